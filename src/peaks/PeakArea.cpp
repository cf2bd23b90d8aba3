// Peak areas with their fit errors, the total, and the texts the dialog and the report show.
#include "peaks/PeakArea.h"

#include "core/NumberFormat.h"
#include "fit/LineShapes.h"

#include <cmath>
#include <numbers>

namespace kalvex::peaks {

namespace {

// Relative error of a quantity; a quantity of 0 has none to give (its area is 0 anyway),
// so the term is left out instead of turning the whole error into NaN.
double Relative(double error, double value) { return value == 0.0 ? 0.0 : error / value; }

}  // namespace

int EffectiveIntType(core::LineType type, int int_type) {
    return type == core::LineType::kGaussLorentz ? 0 : int_type;
}

AreaWithError AreaOfPeak(const core::Document& doc, core::LineType type, int int_type, int k) {
    int_type = EffectiveIntType(type, int_type);
    AreaWithError r;
    r.A = fit::PeakIntegral(doc, type, int_type, k);
    const double h = doc.PeakHeight[k];
    const double e_h = doc.PeakHeightErr[k];
    const double scale = doc.XStepHz * doc.YScale;
    if (type == core::LineType::kGaussLorentz) {
        const double rf = doc.PeakFractionLErr[k];  // absolute: the fraction is already 0..1
        const double rh = Relative(e_h, h);
        const double rg = Relative(doc.PeakHalfWidthGErr[k], doc.PeakHalfWidthG[k]);
        const double rl = Relative(doc.PeakHalfWidthLErr[k], doc.PeakHalfWidthL[k]);
        r.E = r.A * std::sqrt(rf * rf + rh * rh + rg * rg + rl * rl);
    } else {
        const double w = doc.PeakHalfWidth[k];
        const double e_w = doc.PeakHalfWidthErr[k];
        if (int_type == 1) {
            // Magnitudes: a negative peak has the same error bar as its mirror image.
            r.E = (std::fabs(e_h * w) + std::fabs(e_w * h)) * scale * 2.0;
        } else {
            const double factor = type == core::LineType::kLorentz
                                      ? std::numbers::pi
                                      : std::sqrt(std::numbers::pi / std::log(2.0));
            r.E = std::hypot(e_h * w, e_w * h) * scale * factor;
        }
    }
    r.E = std::fabs(r.E);
    return r;
}

double TotalArea(const core::Document& doc, core::LineType type, int int_type) {
    int_type = EffectiveIntType(type, int_type);
    double t = 0.0;
    for (int k = 1; k <= doc.PeakCount; ++k) t += fit::PeakIntegral(doc, type, int_type, k);
    return t;
}

int AreaExponent(double a) {
    const double m = std::fabs(a);
    const double l = std::trunc(std::log10(m));
    // Deliberate: 1 and 0.1 are not > 1, so they get one exponent less and a mantissa of 10.000.
    return static_cast<int>(m > 1.0 ? l : l - 1.0);
}

std::string IntegAreaText(double a, double e) {
    if (a == 0.0) {
        return std::string(" ( 0 ") + kPlusMinus + (e == 0.0 ? "0" : core::FormatSci(e, 4, 2)) +
               " )";
    }
    if (!std::isfinite(a)) {
        return " ( " + core::FormatFixed(a, 6, 3) + " " + kPlusMinus + core::FormatFixed(e, 6, 4) +
               " )";
    }
    const int exponent = AreaExponent(a);
    // Extended precision keeps the power of ten exact enough and in range down to denormals.
    const long double power = std::pow(10.0L, static_cast<long double>(exponent));
    const auto mantissa = static_cast<double>(static_cast<long double>(a) / power);
    const auto error = static_cast<double>(static_cast<long double>(e) / power);
    return " ( " + core::FormatFixed(mantissa, 6, 3) + " " + kPlusMinus +
           core::FormatFixed(error, 6, 4) + " )*10^" + std::to_string(exponent);
}

std::string TotalAreaText(double t) { return core::FormatSci(t, 4, 2); }

std::string PercentText(double a, double t) {
    if (t == 0.0) return "";
    return core::FormatFixed(std::fabs(a / t * 100.0), 4, 2) + "%";
}

}  // namespace kalvex::peaks
