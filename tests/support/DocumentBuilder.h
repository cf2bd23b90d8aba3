// Documents for tests: an allocated spectrum with a calibration, ready for peaks.
#pragma once

#include <cstdint>
#include <functional>

#include "core/Document.h"

namespace kalvex::test {

/// A loaded document of `points` points, every buffer allocated, the whole range shown,
/// X from `first_ppm` falling by `step_ppm` per point at `obs_freq` MHz, and ObsY[p-1] =
/// `shape(p)` (0 when no shape is given).
core::Document MakeDocument(std::int32_t points, double first_ppm = 10.0, double step_ppm = 0.01,
                            double obs_freq = 400.0,
                            const std::function<double(int)>& shape = nullptr);

/// Appends a peak (position, height, half width) to the table and returns its number.
int AddPeak(core::Document& doc, int pos, double height, double half_width);

}  // namespace kalvex::test
