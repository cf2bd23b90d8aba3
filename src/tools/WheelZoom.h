// Zooming the X range with the mouse wheel around the cursor, and back to the whole spectrum.
#pragma once

#include <cstdint>

#include "core/Document.h"
#include "view/AppState.h"
#include "view/Shell.h"

namespace kalvex::tools {

/// A stretch of shown points: First (1-based) and Count.
struct PointSpan {
    std::int32_t First = 1;
    std::int32_t Count = 0;

    constexpr bool operator==(const PointSpan&) const = default;
};

/// Each notch of the wheel shows this share of the points shown before (its inverse outwards).
inline constexpr double kWheelZoomFactor = 0.7;
/// The wheel zooms in no further than this many points (fewer only in a smaller spectrum).
inline constexpr std::int32_t kMinWheelPoints = 8;

/// The span after `notches` wheel notches (positive: in, negative: out) over the shown point
/// `shown_index` (0 = the first shown point; fractions between points allowed). The point
/// under the cursor keeps its place on the screen as far as the ends of the spectrum allow;
/// each notch changes the count by at least one point; the span always lies inside
/// 1..total and holds between min(kMinWheelPoints, total) and total points.
PointSpan WheelZoomSpan(PointSpan view, std::int32_t total, double shown_index, int notches);

/// The wheel over the picture at bitmap column x: with a spectrum open and the ppm/Hz read-out
/// hidden (its cursor needs the picture unchanged), the zoomed span is shown through
/// ShowPoints and the picture refreshed; an open Range XY dialog gets the new range in its
/// edits.
void ImgSpectWheel(view::AppState& state, view::Shell& shell, int x, int notches);

/// A double click with the middle button: the whole spectrum, the gain unchanged, under the
/// same conditions as the wheel.
void ImgSpectMiddleDoubleClick(view::AppState& state, view::Shell& shell);

}  // namespace kalvex::tools
