// The analytic derivatives of a fit run's model, in extended precision and in double.
#include <cmath>

#include "core/Assert.h"
#include "fit/CurveConstants.h"
#include "fit/DoubleKernels.h"
#include "fit/FastExp.h"
#include "fit/FitModel.h"

namespace kalvex::fit {

using core::Extended;
using core::LineType;

FitModel::GLTerms FitModel::GLTermsOf(int k, const PeakValues& v) const {
    GLTerms t;
    const Extended f = v.fraction;
    const Extended wg = v.width_g;
    const Extended wl = v.width_l;
    const Extended gg = wg * kSqrtPiByLn2;
    const Extended gl_norm = kPi * wl;
    // A term whose weight or width is 0 contributes nothing (and is never divided by).
    const bool with_g = gg != 0.0L && f != 1.0L;
    const bool with_l = gl_norm != 0.0L && f != 0.0L;
    t.GDefined = gg != 0.0L;
    t.LDefined = gl_norm != 0.0L;
    const Extended density = (with_g ? (1.0L - f) / gg : 0.0L) + (with_l ? f / gl_norm : 0.0L);
    const Extended h = doc_.PeakHeight[k];
    const ParamKind kind = kinds_.front();
    Extended area = v.area;
    if (kind == ParamKind::kWidthL || kind == ParamKind::kWidthG) area = h / density;
    const Extended denom_f = (gg - gl_norm) * f + gl_norm;
    t.AreaF = h * gg * gl_norm / denom_f;
    t.DAreaF = -h * gg * gl_norm * (gg - gl_norm) / (denom_f * denom_f);
    // Per-peak constants of the formulas; the loop keeps one division (the Lorentzian).
    t.InvWg = t.GDefined ? 1.0L / wg : 0.0L;
    t.InvWl = t.LDefined ? 1.0L / wl : 0.0L;
    t.Cg = with_g ? (1.0L - f) / gg : 0.0L;  // weight of G in S
    t.Cl = with_l ? f / gl_norm : 0.0L;      // weight of L in S
    t.PosG = area * t.Cg * 2.0L * kLn2 * t.InvWg;
    t.PosL = area * t.Cl * 2.0L * t.InvWl;
    t.WlA = with_l ? area * f / (kPi * wl * wl) : 0.0L;
    t.WlB = with_l ? h * f / (kPi * wl * wl * density * density) : 0.0L;
    t.WgA = with_g ? area * (1.0L - f) / (kSqrtPiByLn2 * wg * wg) : 0.0L;
    t.WgB = with_g ? h * (1.0L - f) / (kSqrtPiByLn2 * wg * wg * density * density) : 0.0L;
    t.InvGl = t.LDefined ? 1.0L / gl_norm : 0.0L;
    t.InvGg = t.GDefined ? 1.0L / gg : 0.0L;
    return t;
}

void FitModel::BuildJacobianBlock(std::int32_t first_x, std::int32_t rows, int first_peak,
                                  int last_peak, Extended* columns, std::size_t stride) const {
    KALVEX_ASSERT(first_x >= 1 && rows >= 0 && first_x + rows - 1 <= n_);
    KALVEX_ASSERT(static_cast<std::size_t>(rows) <= stride);
    const bool gl = choice_.Line == LineType::kGaussLorentz;
    const bool lorentz = choice_.Line == LineType::kLorentz;
    const int kinds = KindCount();
    for (int k = first_peak; k <= last_peak; ++k) {
        const PeakValues v = ValuesOf(k);
        Extended* col[3] = {nullptr, nullptr, nullptr};
        for (int s = 0; s < kinds; ++s) {
            col[s] = columns + static_cast<std::size_t>(Entry(k, s) - 1) * stride;
        }
        if (!gl) {
            const int pos_slot = SlotOf(k, ParamKind::kPosition);
            const int width_slot = SlotOf(k, ParamKind::kWidth);
            const int height_slot = SlotOf(k, ParamKind::kHeight);
            Extended* pos_col = pos_slot >= 0 ? col[pos_slot] : nullptr;
            Extended* width_col = width_slot >= 0 ? col[width_slot] : nullptr;
            Extended* height_col = height_slot >= 0 ? col[height_slot] : nullptr;
            // Reciprocals taken once per peak: the inner loop keeps one division (Lorentz)
            // or none (Gauss). The derivatives only steer the step; the model is exact.
            const Extended inv_w = 1.0L / v.width;
            const Extended pos_factor = (lorentz ? 2.0L : 2.0L * kLn2) * v.height * inv_w;
            const Extended x0 = static_cast<Extended>(first_ + first_x - 1) - v.centre;
            for (std::int32_t i = 0; i < rows; ++i) {
                const Extended u = (x0 + static_cast<Extended>(i)) * inv_w;
                Extended s;
                Extended dpos;
                if (lorentz) {
                    s = 1.0L / (1.0L + u * u);
                    dpos = pos_factor * u * s * s;
                } else {
                    s = ExpExtended(-kLn2 * (u * u));
                    dpos = pos_factor * u * s;
                }
                if (pos_col != nullptr) pos_col[i] = dpos;
                if (width_col != nullptr) width_col[i] = u * dpos;
                if (height_col != nullptr) height_col[i] = s;
            }
            continue;
        }

        const GLTerms t = GLTermsOf(k, v);
        const ParamKind kind = kinds_.front();
        const Extended x0 = static_cast<Extended>(first_ + first_x - 1) - v.centre;
        Extended* out = col[0];
        for (std::int32_t i = 0; i < rows; ++i) {
            const Extended d = x0 + static_cast<Extended>(i);
            Extended gv = 0.0L, g = 0.0L, lo = 0.0L, l = 0.0L;
            if (t.GDefined) {
                gv = d * t.InvWg;
                g = ExpExtended(-kLn2 * (gv * gv));
            }
            if (t.LDefined) {
                lo = d * t.InvWl;
                l = 1.0L / (1.0L + lo * lo);
            }
            const Extended s = t.Cg * g + t.Cl * l;
            Extended j = 0.0L;
            switch (kind) {
                case ParamKind::kPosition:
                    j = t.PosG * g * gv + t.PosL * l * l * lo;
                    break;
                case ParamKind::kWidthL:
                    j = t.WlA * (2.0L * lo * lo * l * l - l) + t.WlB * s;
                    break;
                case ParamKind::kWidthG:
                    j = t.WgA * g * (2.0L * kLn2 * gv * gv - 1.0L) + t.WgB * s;
                    break;
                case ParamKind::kArea:
                    j = s;
                    break;
                case ParamKind::kFraction:
                    j = t.DAreaF * s + t.AreaF * (l * t.InvGl - g * t.InvGg);
                    break;
                default:
                    break;
            }
            out[i] = j;
        }
    }
}

bool FitModel::BuildJacobianBlockDouble(std::int32_t first_x, const StripPanel& panel, int peak,
                                        double* scratch) const {
    KALVEX_ASSERT(kernels_ != nullptr);
    KALVEX_ASSERT(first_x >= 1 && panel.Rows >= 0 && first_x + panel.Rows - 1 <= n_);
    constexpr int kStep = StripPanel::kStep;
    const int rows = panel.Rows;
    const PeakValues v = ValuesOf(peak);
    const double d0 = static_cast<double>(static_cast<Extended>(first_ + first_x - 1) - v.centre);
    auto column = [&](int slot) { return panel.Column(Entry(peak, slot) - 1); };
    if (choice_.Line != LineType::kGaussLorentz) {
        // The derivatives that are not fitted go to the scratch strip.
        const ParamKind order[3] = {ParamKind::kPosition, ParamKind::kWidth, ParamKind::kHeight};
        double* out[3];
        for (int s = 0; s < 3; ++s) {
            const int slot = SlotOf(peak, order[s]);
            out[s] = slot >= 0 ? column(slot) : scratch + s;
        }
        const bool lorentz = choice_.Line == LineType::kLorentz;
        const Extended inv_w = 1.0L / v.width;
        const Extended pos_factor = (lorentz ? 2.0L : 2.0L * kLn2) * v.height * inv_w;
        const double w = static_cast<double>(inv_w);
        const double f = static_cast<double>(pos_factor);
        if (!lorentz && rows > 0) {
            // A Gauss peak whose nearest row already lies below 2^-1020 is 0 at every row of
            // the block, and so are its derivatives as long as nothing in them is infinite:
            // the kernel would compute and write only zeros.
            const double d1 = d0 + (rows - 1);
            const double near = d0 > 0.0 ? d0 : d1 < 0.0 ? -d1 : 0.0;
            const double u_near = near * w;
            const double u_far = std::fmax(std::fabs(d0), std::fabs(d1)) * w;
            if (!(-(u_near * u_near) > -1020.0) && std::isfinite(u_far) &&
                std::isfinite(f * u_far)) {
                return false;
            }
        }
        kernels_->Columns(out[0], out[1], out[2], kStep, rows, d0, w, f, lorentz);
        return true;
    }
    const GLTerms t = GLTermsOf(peak, v);
    GLColumnTerms d;
    switch (kinds_.front()) {
        case ParamKind::kPosition:
            d.Kind = GLColumnKind::kPosition;
            break;
        case ParamKind::kWidthL:
            d.Kind = GLColumnKind::kWidthL;
            break;
        case ParamKind::kWidthG:
            d.Kind = GLColumnKind::kWidthG;
            break;
        case ParamKind::kFraction:
            d.Kind = GLColumnKind::kFraction;
            break;
        default:
            d.Kind = GLColumnKind::kArea;
            break;
    }
    auto in_double = [](Extended x) { return static_cast<double>(x); };
    d.InvWg = in_double(t.InvWg);
    d.InvWl = in_double(t.InvWl);
    d.Cg = in_double(t.Cg);
    d.Cl = in_double(t.Cl);
    d.PosG = in_double(t.PosG);
    d.PosL = in_double(t.PosL);
    d.WlA = in_double(t.WlA);
    d.WlB = in_double(t.WlB);
    d.WgA = in_double(t.WgA);
    d.WgB = in_double(t.WgB);
    d.DAreaF = in_double(t.DAreaF);
    d.AreaF = in_double(t.AreaF);
    d.InvGl = in_double(t.InvGl);
    d.InvGg = in_double(t.InvGg);
    kernels_->ColumnGL(column(0), kStep, rows, d0, d);
    return true;
}

}  // namespace kalvex::fit
