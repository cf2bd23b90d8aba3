// The finiteness checks of a fit run, its peak-table snapshot and the meaningless-result
// warnings.
#include "fit/FitSafety.h"

#include <cmath>
#include <limits>

#include "core/NumberFormat.h"

namespace kalvex::fit {

using core::Extended;

bool FiniteAsDouble(Extended v) {
    // Extended reaches far beyond double: such a value would be written as infinity.
    return std::isfinite(v) &&
           std::fabs(v) <= static_cast<Extended>(std::numeric_limits<double>::max());
}

int FirstNotFinite(const Vector90& v, int n, bool as_double) {
    for (int i = 1; i <= n; ++i) {
        if (as_double ? !FiniteAsDouble(v[i]) : !std::isfinite(v[i])) return i;
    }
    return 0;
}

const char* KindName(ParamKind kind) {
    switch (kind) {
        case ParamKind::kPosition:
            return "position";
        case ParamKind::kWidth:
            return "half width";
        case ParamKind::kWidthL:
            return "Lorentzian half width";
        case ParamKind::kWidthG:
            return "Gaussian half width";
        case ParamKind::kArea:
            return "area";
        case ParamKind::kFraction:
            return "Lorentzian fraction";
        case ParamKind::kHeight:
            break;
    }
    return "height";
}

bool AllFinite(const Matrix90& m, int n) {
    for (int i = 1; i <= n; ++i) {
        const Extended* row = m.Row(i);
        for (int j = 0; j < n; ++j) {
            if (!std::isfinite(row[j])) return false;
        }
    }
    return true;
}

bool PeakTableFinite(const core::Document& doc) {
    for (int k = 1; k <= doc.PeakCount; ++k) {
        for (const double v :
             {doc.PeakHeight[k], doc.PeakHalfWidth[k], doc.PeakHalfWidthG[k], doc.PeakHalfWidthL[k],
              doc.PeakFractionL[k], doc.PeakAreaGL[k], doc.PeakPosErr[k], doc.PeakHeightErr[k],
              doc.PeakHalfWidthErr[k], doc.PeakHalfWidthGErr[k], doc.PeakHalfWidthLErr[k],
              doc.PeakFractionLErr[k]}) {
            if (!std::isfinite(v)) return false;
        }
    }
    return true;
}

PeakTableSnapshot::PeakTableSnapshot(const core::Document& doc)
    : pos_(doc.PeakPos),
      height_(doc.PeakHeight),
      width_(doc.PeakHalfWidth),
      width_g_(doc.PeakHalfWidthG),
      width_l_(doc.PeakHalfWidthL),
      fraction_(doc.PeakFractionL),
      area_(doc.PeakAreaGL),
      pos_err_(doc.PeakPosErr),
      height_err_(doc.PeakHeightErr),
      width_err_(doc.PeakHalfWidthErr),
      width_g_err_(doc.PeakHalfWidthGErr),
      width_l_err_(doc.PeakHalfWidthLErr),
      fraction_err_(doc.PeakFractionLErr) {}

void PeakTableSnapshot::Restore(core::Document& doc) const {
    doc.PeakPos = pos_;
    doc.PeakHeight = height_;
    doc.PeakHalfWidth = width_;
    doc.PeakHalfWidthG = width_g_;
    doc.PeakHalfWidthL = width_l_;
    doc.PeakFractionL = fraction_;
    doc.PeakAreaGL = area_;
    doc.PeakPosErr = pos_err_;
    doc.PeakHeightErr = height_err_;
    doc.PeakHalfWidthErr = width_err_;
    doc.PeakHalfWidthGErr = width_g_err_;
    doc.PeakHalfWidthLErr = width_l_err_;
    doc.PeakFractionLErr = fraction_err_;
}

namespace {

// What the table shows of a fitted value: an area's error is written as that of the height
// it gives.
struct Written {
    const char* name;
    double value, error;
    bool width;
};

Written WrittenOf(ParamKind kind, const core::Document& doc, int k) {
    const char* name = KindName(kind);
    switch (kind) {
        case ParamKind::kPosition:
            return {name, static_cast<double>(doc.PeakPos[k]), doc.PeakPosErr[k], false};
        case ParamKind::kWidth:
            return {name, doc.PeakHalfWidth[k], doc.PeakHalfWidthErr[k], true};
        case ParamKind::kWidthL:
            return {name, doc.PeakHalfWidthL[k], doc.PeakHalfWidthLErr[k], true};
        case ParamKind::kWidthG:
            return {name, doc.PeakHalfWidthG[k], doc.PeakHalfWidthGErr[k], true};
        case ParamKind::kFraction:
            return {name, doc.PeakFractionL[k], doc.PeakFractionLErr[k], false};
        case ParamKind::kHeight:
        case ParamKind::kArea:
            break;
    }
    return {KindName(ParamKind::kHeight), doc.PeakHeight[k], doc.PeakHeightErr[k], false};
}

}  // namespace

std::vector<std::string> MeaninglessResultWarnings(const FitModel& model, const core::Document& doc,
                                                   const core::PeakArray<std::uint16_t>& start_pos,
                                                   int tiny_pivot_entry) {
    std::vector<std::string> warnings;
    const std::int32_t first = model.FirstPoint();
    const std::int32_t last = first + model.PointCount() - 1;
    auto inside = [&](std::int32_t pos) { return pos >= first && pos <= last; };
    for (int e = 1; e <= model.ParameterCount(); ++e) {
        const int k = model.PeakOf(e);
        const std::string peak = "peak " + std::to_string(k);
        const ParamKind kind = model.KindOf(e);
        const Written w = WrittenOf(kind, doc, k);
        if (kind == ParamKind::kPosition && inside(start_pos[k]) && !inside(doc.PeakPos[k])) {
            warnings.push_back("Peak " + std::to_string(k) + " moved to point " +
                               std::to_string(doc.PeakPos[k]) + ", outside the fitted points " +
                               std::to_string(first) + " to " + std::to_string(last));
        }
        if (w.width && std::fabs(w.value) > doc.PointCount) {
            warnings.push_back("The " + std::string(w.name) + " of " + peak + " is " +
                               core::FormatGeneral(w.value) +
                               " points, longer than the spectrum's " +
                               std::to_string(doc.PointCount));
        }
        if (std::fabs(w.error) > kMeaninglessErrorRatio * std::fabs(w.value)) {
            warnings.push_back("The error of the " + std::string(w.name) + " of " + peak + ", " +
                               core::FormatGeneral(w.error) +
                               ", is more than 1E+10 times its value, " +
                               core::FormatGeneral(w.value));
        }
    }
    if (tiny_pivot_entry >= 1 && tiny_pivot_entry <= model.ParameterCount()) {
        warnings.push_back("Peak " + std::to_string(model.PeakOf(tiny_pivot_entry)) +
                           " cannot be told apart from the peaks before it (its normal matrix "
                           "needed the 1E-200 pivot): its values and errors mean nothing");
    }
    return warnings;
}

}  // namespace kalvex::fit
