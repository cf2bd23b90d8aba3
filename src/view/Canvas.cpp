// The one drawing operation with a default: a curve as MoveTo and LineTo calls.
#include "view/Canvas.h"

namespace kalvex::view {

void Canvas::Polyline(std::span<const Point> points) {
    if (points.empty()) return;
    MoveTo(points[0].X, points[0].Y);
    for (std::size_t i = 1; i < points.size(); ++i) LineTo(points[i].X, points[i].Y);
}

}  // namespace kalvex::view
