// Curves in double: the formulas of LineShapes.cpp with the loops of the fast kernels.
#include "fit/FastLineShapes.h"

#include <cmath>

#include "core/Assert.h"
#include "core/Capacities.h"
#include "core/Extended.h"
#include "fit/CurveConstants.h"
#include "fit/CurveMirror.h"
#include "fit/DoubleKernels.h"

namespace kalvex::fit {

using core::Extended;

namespace {

void Clear(double* shape, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) shape[i] = 0.0;
}

// Copies the mirrored elements from their images.
void CopyMirrored(double* shape, const Mirror& m) {
    for (std::int32_t i = m.Lo; i < m.Hi; ++i) shape[i] = shape[m.Pivot2 - i];
}

// The edge rescale of LineShapes.cpp: the first smallest-magnitude value m becomes 0 and the
// curve is stretched by height / (height - m).
void EdgeRescale(const DoubleKernels& kernels, double* shape, std::int32_t count, double height) {
    const double m = kernels.SmallestMagnitude(shape, count);
    const double span = height - m;
    if (span == 0.0) {
        Clear(shape, count);  // a zero height or a one-point range: no curve
        return;
    }
    if (m == 0.0) return;
    kernels.Rescale(shape, 0, count, m, height / span);
}

// Computes the elements outside the mirrored range with `fill(lo, hi)` and copies the rest.
template <typename F>
void FillSymmetric(double* shape, std::int32_t count, const Mirror& m, const F& fill) {
    if (m.Lo > 0) fill(0, m.Lo);
    if (m.Hi < count) fill(m.Hi, count);
    CopyMirrored(shape, m);
}

}  // namespace

void FillPeakCurveFast(const DoubleKernels& kernels, double* shape, std::uint16_t centre,
                       std::int32_t first, std::int32_t count, double half_width, double height,
                       bool lorentz) {
    KALVEX_ASSERT(count >= 0 && first >= 1 && first - 1 + count <= core::kMaxPoints);
    if (count == 0) return;
    if (half_width == 0.0 || std::isnan(half_width)) {
        Clear(shape, count);
        return;
    }
    const double d0 = static_cast<double>(first - static_cast<std::int32_t>(centre));
    const double inv_w = static_cast<double>(1.0L / static_cast<Extended>(half_width));
    FillSymmetric(shape, count, MirrorOf(centre, first, count), [&](int lo, int hi) {
        kernels.Curve(shape, lo, hi, d0, inv_w, height, lorentz);
    });
    EdgeRescale(kernels, shape, count, height);
}

void FillPeakCurveGLFast(const DoubleKernels& kernels, double* shape, std::uint16_t centre,
                         std::int32_t first, std::int32_t count, double half_width_g,
                         double half_width_l, double height, double area, double fraction_l) {
    KALVEX_ASSERT(count >= 0 && first >= 1 && first - 1 + count <= core::kMaxPoints);
    if (count == 0) return;
    const Extended f = fraction_l;
    GLCurveTerms t;
    t.Gauss = f != 1.0L;
    t.Lorentz = f != 0.0L;
    if ((t.Gauss && (half_width_g == 0.0 || std::isnan(half_width_g))) ||
        (t.Lorentz && (half_width_l == 0.0 || std::isnan(half_width_l)))) {
        Clear(shape, count);
        return;
    }
    const Extended wg = half_width_g;
    const Extended wl = half_width_l;
    const Extended a = area;
    if (t.Gauss) {
        t.InvWg = static_cast<double>(1.0L / wg);
        t.AGauss = static_cast<double>(a * (1.0L - f) / (wg * kSqrtPiByLn2));
    }
    t.ALorentz = static_cast<double>(a * f * wl / kPi);
    t.Wl2 = static_cast<double>(wl * wl);
    const double d0 = static_cast<double>(first - static_cast<std::int32_t>(centre));
    FillSymmetric(shape, count, MirrorOf(centre, first, count),
                  [&](int lo, int hi) { kernels.CurveGL(shape, lo, hi, d0, t); });
    EdgeRescale(kernels, shape, count, height);
}

}  // namespace kalvex::fit
