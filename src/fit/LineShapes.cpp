// Curve generators: every point evaluated in extended precision, stored as double, then rescaled.
#include "fit/LineShapes.h"

#include <algorithm>
#include <cmath>

#include "core/Assert.h"
#include "core/Capacities.h"
#include "core/Extended.h"
#include "fit/CurveConstants.h"
#include "fit/CurveMirror.h"
#include "fit/FastExp.h"
#include "fit/Workers.h"

namespace kalvex::fit {

using core::Extended;

namespace {

// Below this many curve points a redraw synthesises on one thread: starting a second one
// costs more than it saves.
constexpr double kSmallSynthesis = 2e5;

void Clear(double* shape, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) shape[i] = 0.0;
}

// Runs f(i) for every element outside [m.Lo, m.Hi), then copies the others from their images.
template <typename F>
void FillSymmetric(double* shape, std::int32_t count, const Mirror& m, const F& f) {
    for (std::int32_t i = 0; i < m.Lo; ++i) shape[i] = f(i);
    for (std::int32_t i = m.Hi; i < count; ++i) shape[i] = f(i);
    for (std::int32_t i = m.Lo; i < m.Hi; ++i) shape[i] = shape[m.Pivot2 - i];
}

// Makes the smallest-magnitude point 0 and stretches the curve so that a value equal to
// `height` keeps it. Only a strictly smaller magnitude replaces m: the lowest x wins ties.
// The rescale of a value depends on nothing else, so mirrored elements stay mirrored.
void EdgeRescale(double* shape, std::int32_t count, double height, const Mirror& mirror) {
    double m = shape[0];
    double m_abs = std::fabs(m);
    for (std::int32_t i = 1; i < count; ++i) {
        const double a = std::fabs(shape[i]);
        if (a < m_abs) {
            m = shape[i];
            m_abs = a;
        }
    }
    const Extended span = static_cast<Extended>(height) - m;
    if (span == 0.0L) {
        // Division by zero in the formula: a zero height or a one-point range. No curve.
        Clear(shape, count);
        return;
    }
    // With m = 0 the rescale is v * h / h, which returns every double unchanged: skip it.
    if (m == 0.0) return;
    const Extended h = height;
    FillSymmetric(shape, count, mirror, [&](std::int32_t i) {
        return static_cast<double>((static_cast<Extended>(shape[i]) - m) * h / span);
    });
}

}  // namespace

void FillPeakCurve(double* shape, std::uint16_t centre, std::int32_t count, double half_width,
                   double height, bool lorentz) {
    FillPeakCurveRange(shape, centre, 1, count, half_width, height, lorentz);
}

void FillPeakCurveGL(double* shape, std::uint16_t centre, std::int32_t count, double half_width_g,
                     double half_width_l, double height, double area, double fraction_l) {
    FillPeakCurveGLRange(shape, centre, 1, count, half_width_g, half_width_l, height, area,
                         fraction_l);
}

void FillPeakCurveRange(double* shape, std::uint16_t centre, std::int32_t first, std::int32_t count,
                        double half_width, double height, bool lorentz) {
    KALVEX_ASSERT(count >= 0 && first >= 1 && first - 1 + count <= core::kMaxPoints);
    if (count == 0) return;
    if (half_width == 0.0 || std::isnan(half_width)) {
        Clear(shape, count);
        return;
    }
    const Extended w = half_width;
    const Extended h = height;
    const std::int32_t c = centre;
    const Mirror mirror = MirrorOf(centre, first, count);
    if (lorentz) {
        FillSymmetric(shape, count, mirror, [&](std::int32_t i) {
            const Extended u = static_cast<Extended>(first + i - c) / w;
            return static_cast<double>(h / (1.0L + u * u));
        });
    } else {
        FillSymmetric(shape, count, mirror, [&](std::int32_t i) {
            const Extended u = static_cast<Extended>(first + i - c) / w;
            return static_cast<double>(h * ExpExtended(-kLn2 * (u * u)));
        });
    }
    EdgeRescale(shape, count, height, mirror);
}

void FillPeakCurveGLRange(double* shape, std::uint16_t centre, std::int32_t first,
                          std::int32_t count, double half_width_g, double half_width_l,
                          double height, double area, double fraction_l) {
    KALVEX_ASSERT(count >= 0 && first >= 1 && first - 1 + count <= core::kMaxPoints);
    if (count == 0) return;
    const Extended f = fraction_l;
    const bool with_gauss = f != 1.0L;
    const bool with_lorentz = f != 0.0L;
    if ((with_gauss && (half_width_g == 0.0 || std::isnan(half_width_g))) ||
        (with_lorentz && (half_width_l == 0.0 || std::isnan(half_width_l)))) {
        Clear(shape, count);
        return;
    }
    const Extended wg = half_width_g;
    const Extended wl = half_width_l;
    const Extended a = area;
    // Constant factors of the two unit-area terms, taken out of the loop.
    const Extended gauss_factor = with_gauss ? (1.0L - f) / (wg * kSqrtPiByLn2) : 0.0L;
    const Extended lorentz_numerator = f * wl / kPi;
    const Extended wl2 = wl * wl;
    const std::int32_t c = centre;
    const Mirror mirror = MirrorOf(centre, first, count);
    FillSymmetric(shape, count, mirror, [&](std::int32_t i) {
        const std::int32_t d = first + i - c;
        Extended s = 0.0L;
        if (with_gauss) {
            const Extended v = static_cast<Extended>(d) / wg;
            s = gauss_factor * ExpExtended(-kLn2 * (v * v));
        }
        if (with_lorentz) {
            const std::int64_t d2 = static_cast<std::int64_t>(d) * d;
            s += lorentz_numerator / (wl2 + static_cast<Extended>(d2));
        }
        return static_cast<double>(a * s);
    });
    EdgeRescale(shape, count, height, mirror);
}

double CentreDensityGL(double half_width_g, double half_width_l, double fraction_l) {
    const Extended f = fraction_l;
    Extended density = 0.0L;
    if (f != 1.0L) density += (1.0L - f) / (static_cast<Extended>(half_width_g) * kSqrtPiByLn2);
    if (f != 0.0L) density += f / (kPi * static_cast<Extended>(half_width_l));
    return static_cast<double>(density);
}

void DeriveAreasGL(core::Document& doc) {
    for (int k = 1; k <= doc.PeakCount; ++k) {
        doc.PeakAreaGL[k] =
            doc.PeakHeight[k] /
            CentreDensityGL(doc.PeakHalfWidthG[k], doc.PeakHalfWidthL[k], doc.PeakFractionL[k]);
    }
}

double SynthesiseModel(core::Document& doc, core::LineType type) {
    KALVEX_ASSERT(doc.Allocated());
    const std::int32_t n = doc.PointCount;
    KALVEX_ASSERT(n >= 0 && n <= core::kMaxPoints);
    double* sum = doc.SumY.data();
    Clear(sum, n);
    const int peaks = doc.PeakCount;
    if (type == core::LineType::kGaussLorentz) DeriveAreasGL(doc);
    auto fill = [&doc, n, type](int k) {
        double* curve = doc.PeakCurve(k);
        if (type == core::LineType::kGaussLorentz) {
            FillPeakCurveGL(curve, doc.PeakPos[k], n, doc.PeakHalfWidthG[k], doc.PeakHalfWidthL[k],
                            doc.PeakHeight[k], doc.PeakAreaGL[k], doc.PeakFractionL[k]);
        } else {
            FillPeakCurve(curve, doc.PeakPos[k], n, doc.PeakHalfWidth[k], doc.PeakHeight[k],
                          type == core::LineType::kLorentz);
        }
    };
    // Every curve is independent of the others, so the cores share them; the sum is then
    // taken in peak order as always, which keeps it the same to the last bit.
    const int workers = static_cast<double>(peaks) * n < kSmallSynthesis
                            ? 1
                            : std::min(ResolveThreadCount(0), peaks);
    RunWorkers(workers, [&](int w) {
        for (int k = 1 + w; k <= peaks; k += workers) fill(k);
    });
    for (int k = 1; k <= peaks; ++k) {
        const double* curve = doc.PeakCurve(k);
        for (std::int32_t i = 0; i < n; ++i) sum[i] += curve[i];
    }
    const double bias = doc.Bias;
    const double* obs = doc.ObsY.data();
    double residual_sum = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        const double r = obs[i] - sum[i] - bias;
        residual_sum += r * r;
    }
    return residual_sum;
}

double PeakIntegral(const core::Document& doc, core::LineType type, int int_type, int k) {
    const Extended scale = static_cast<Extended>(doc.XStepHz) * doc.YScale;
    const Extended hw = static_cast<Extended>(doc.PeakHeight[k]) * doc.PeakHalfWidth[k];
    switch (type) {
        case core::LineType::kGaussLorentz:
            // Always the stored area; normalised intensity times points, no Hz factor.
            return static_cast<double>(static_cast<Extended>(doc.PeakAreaGL[k]) * doc.YScale);
        case core::LineType::kGauss:
            if (int_type == 0) return static_cast<double>(kSqrtPiByLn2 * hw * scale);
            break;
        case core::LineType::kLorentz:
            if (int_type == 0) return static_cast<double>(kPi * hw * scale);
            break;
    }
    return static_cast<double>(2.0L * hw * scale);
}

}  // namespace kalvex::fit
