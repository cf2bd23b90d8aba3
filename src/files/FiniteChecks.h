// Checks that what a reader read gives finite numbers wherever the program computes with it.
#pragma once

#include <cstdint>
#include <string>

namespace kalvex::files {

/// Throws kalvex::Error naming `path` (and `line` when above 0) when an axis of `n` points
/// that starts at `first` and falls by `step` per point does not stay finite up to its last
/// point, first - (n - 1) * step. `unit` ("ppm", "Hz") names the axis in the message.
void CheckXAxis(double first, double step, std::int32_t n, const char* unit,
                const std::string& path, int line = 0);

/// Throws kalvex::Error naming `path` and `line` when the steps give no finite observe
/// frequency XStepHz / XStepPpm (a zero ppm step gives none and passes).
void CheckObserveFrequency(double step_ppm, double step_hz, const std::string& path, int line);

/// A number as the messages show it: up to 15 significant digits ("1E+308", "-0.5").
std::string MessageNumber(double value);

}  // namespace kalvex::files
