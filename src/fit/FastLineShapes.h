// The curve generators of a fast (double-precision) fit run.
#pragma once

#include <cstdint>

namespace kalvex::fit {

struct DoubleKernels;

/// FillPeakCurveRange (LineShapes.h) computed in double with `kernels`: the same curve to
/// about 1E-15 relative, the same edge rescale (the first smallest-magnitude point becomes 0,
/// a point equal to `height` keeps it), the same degenerate cases (a zero or NaN half width,
/// or height equal to the smallest magnitude: all 0).
void FillPeakCurveFast(const DoubleKernels& kernels, double* shape, std::uint16_t centre,
                       std::int32_t first, std::int32_t count, double half_width, double height,
                       bool lorentz);

/// FillPeakCurveGLRange computed in double with `kernels`, likewise.
void FillPeakCurveGLFast(const DoubleKernels& kernels, double* shape, std::uint16_t centre,
                         std::int32_t first, std::int32_t count, double half_width_g,
                         double half_width_l, double height, double area, double fraction_l);

}  // namespace kalvex::fit
