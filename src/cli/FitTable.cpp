// kalvex-fit's CSV table rows and status words.
#include "cli/FitTable.h"

#include <cmath>
#include <cstdio>

#include "peaks/PeakArea.h"

namespace kalvex::cli {

using core::LineType;

std::string StatusOf(fit::FitEnd reason) {
    switch (reason) {
        case fit::FitEnd::kConverged:
            return "converged";
        case fit::FitEnd::kUnchangedZ:
            return "unchanged";
        case fit::FitEnd::kIterationCount:
            return "iterations";
        case fit::FitEnd::kStopped:
            return "stopped";
        case fit::FitEnd::kDiverged:
            return "diverged";
        case fit::FitEnd::kSingularMatrix:
            return "singular";
        case fit::FitEnd::kNotFinite:
            return "not finite";
        default:
            return "refused";
    }
}

std::string TableReal(double v) {
    if (!std::isfinite(v)) return {};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.12g", v);
    return buf;
}

std::string TableHeader(LineType type) {
    std::string header =
        "spectrum,peak,status,position_point,position_ppm,position_hz,height,full_width_hz,"
        "area,position_error_point,position_error_ppm,position_error_hz,height_error,"
        "full_width_error_hz,area_error,squared_sum";
    if (type == LineType::kGaussLorentz) {
        header +=
            ",fraction_l,fraction_l_error,gauss_full_width_hz,gauss_full_width_error_hz,"
            "lorentz_full_width_hz,lorentz_full_width_error_hz";
    }
    header += "\r\n";
    return header;
}

void AppendTableRows(std::string& table, const core::Document& doc, LineType type,
                     const core::Options& opts, int spectrum, const std::string& status, double z,
                     bool numbers) {
    const bool gl = type == LineType::kGaussLorentz;
    const int int_type = peaks::EffectiveIntType(type, opts.Int_Type);
    const double step_hz = std::fabs(doc.XStepHz);
    for (int k = 1; k <= doc.PeakCount; ++k) {
        const int p = doc.PeakPos[k];
        const peaks::AreaWithError area = peaks::AreaOfPeak(doc, type, int_type, k);
        std::string row = std::to_string(spectrum);
        // Field by field: operator+ on a literal and a string trips a false -Wrestrict.
        auto field = [&row](const std::string& text) {
            row += ',';
            row += text;
        };
        field(std::to_string(k));
        field(status);
        if (!numbers) {
            row.append(gl ? 19 : 13, ',');
            table += row;
            table += "\r\n";
            continue;
        }
        field(std::to_string(p));
        field(TableReal(doc.XFirstPpm0 - (p - 1) * doc.XStepPpm));
        field(TableReal(doc.XFirstHz0 - (p - 1) * doc.XStepHz));
        field(TableReal(doc.PeakHeight[k] * doc.YScale));
        field(gl ? std::string() : TableReal(2 * doc.PeakHalfWidth[k] * step_hz));
        field(TableReal(area.A));
        field(TableReal(doc.PeakPosErr[k]));
        field(TableReal(doc.PeakPosErr[k] * std::fabs(doc.XStepPpm)));
        field(TableReal(doc.PeakPosErr[k] * step_hz));
        field(TableReal(doc.PeakHeightErr[k] * doc.YScale));
        field(gl ? std::string() : TableReal(2 * doc.PeakHalfWidthErr[k] * step_hz));
        field(TableReal(area.E));
        field(TableReal(z));
        if (gl) {
            field(TableReal(doc.PeakFractionL[k]));
            field(TableReal(doc.PeakFractionLErr[k]));
            field(TableReal(2 * doc.PeakHalfWidthG[k] * step_hz));
            field(TableReal(2 * doc.PeakHalfWidthGErr[k] * step_hz));
            field(TableReal(2 * doc.PeakHalfWidthL[k] * step_hz));
            field(TableReal(2 * doc.PeakHalfWidthLErr[k] * step_hz));
        }
        table += row;
        table += "\r\n";
    }
}

}  // namespace kalvex::cli
