// The .par report of the fit results: a table or a block per peak, with areas and shares.
#include "peaks/FitReport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "core/FileSystem.h"
#include "core/NumberFormat.h"
#include "peaks/PeakArea.h"

namespace kalvex::peaks {

namespace {

using core::FormatFixed;

constexpr const char* kEol = "\r\n";
// Column strings are held in 30-character cells.
constexpr std::size_t kCellChars = 30;

// Blanks, but at least one, so columns never touch.
std::string Spaces(int n) { return std::string(static_cast<std::size_t>(std::max(n, 1)), ' '); }

int Len(const std::string& s) { return static_cast<int>(s.size()); }

std::string Cell(std::string s) {
    if (s.size() > kCellChars) s.resize(kCellChars);
    return s;
}

std::string Rule() { return std::string(47, '-') + std::string(55, '-'); }

// Full width in Hz with its error: the table's width column.
std::string WidthHzText(const core::Document& doc, double half_width, double error) {
    return FormatFixed(2.0 * half_width * doc.XStepHz, 8, 2) + "+-" +
           FormatFixed(2.0 * error * doc.XStepHz, 7, 2) + " Hz";
}

// The "LineWidth" block line: ppm, Hz (the column string) and points.
std::string WidthLine(const std::string& label, const core::Document& doc, double half_width,
                      double error, const std::string& hz_text) {
    return label + FormatFixed(2.0 * half_width * doc.XStepPpm, 8, 2) + "+-" +
           FormatFixed(2.0 * error * doc.XStepPpm, 8, 2) + "ppm  " + hz_text + " " +
           FormatFixed(2.0 * half_width, 8, 2) + "+-" + FormatFixed(2.0 * error, 8, 2) + "points";
}

struct Row {
    std::string Pos;
    std::string Height;
    std::string Width;   // Gaussian width in Gauss+Lorentz mode
    std::string WidthL;  // Gauss+Lorentz mode only
    std::string Area;
    std::string Relative;
};

// The share as the report shows it; no share of a total of 0.
std::string RelativeText(double a, double shown_total) {
    if (shown_total == 0.0) return "";
    // Appended piece by piece: GCC 12 warns falsely on "<" + a temporary string.
    std::string text = "<";
    text += FormatFixed(std::fabs(a / shown_total * 100.0), 4, 2);
    text += "%>";
    return text;
}

}  // namespace

std::string FitReportText(const core::Document& doc, const core::Options& opts) {
    const core::LineType type = core::CurrentLineType(opts, doc);
    const bool gl = type == core::LineType::kGaussLorentz;
    const int int_type = EffectiveIntType(type, opts.Int_Type);
    const bool hz_axis = opts.Xaxis == 1;

    const double total = TotalArea(doc, type, int_type);
    const std::string total_text = TotalAreaText(total);
    // Deliberate: the share is taken of the total as shown, rounded to four digits. A total
    // beyond the doubles (shown as INF, or rounded past the largest) is taken as it is.
    double shown_total = total;
    const auto parsed =
        std::from_chars(total_text.data(), total_text.data() + total_text.size(), shown_total);
    if (parsed.ec != std::errc()) shown_total = total;

    std::vector<Row> rows;
    int l_pos = 1, l_h = 1, l_w = 1, l_wl = 1, l_a = 1;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        const auto s = static_cast<std::size_t>(k);
        const double steps = static_cast<double>(doc.PeakPos[s] - 1);
        const double pos_err = doc.PeakPosErr[s];
        Row r;
        if (hz_axis) {
            r.Pos = FormatFixed(doc.XFirstHz0 - steps * doc.XStepHz, 8, 2) + "+-" +
                    FormatFixed(pos_err * doc.XStepHz, 7, 2) + " Hz";
        } else {
            r.Pos = FormatFixed(doc.XFirstPpm0 - steps * doc.XStepPpm, 7, 2) + "+-" +
                    FormatFixed(pos_err * doc.XStepPpm, 6, 2) + " ppm";
        }
        r.Height =
            FormatFixed(doc.PeakHeight[s], 5, 3) + "+-" + FormatFixed(doc.PeakHeightErr[s], 5, 3);
        if (gl) {
            r.Width = WidthHzText(doc, doc.PeakHalfWidthG[s], doc.PeakHalfWidthGErr[s]);
            r.WidthL = WidthHzText(doc, doc.PeakHalfWidthL[s], doc.PeakHalfWidthLErr[s]);
        } else {
            r.Width = WidthHzText(doc, doc.PeakHalfWidth[s], doc.PeakHalfWidthErr[s]);
        }
        const AreaWithError area = AreaOfPeak(doc, type, int_type, k);
        r.Area = FormatFixed(area.A, 6, 3) + "+-" + FormatFixed(area.E, 6, 4);
        r.Relative = RelativeText(area.A, shown_total);
        r.Pos = Cell(r.Pos);
        r.Height = Cell(r.Height);
        r.Width = Cell(r.Width);
        r.WidthL = Cell(r.WidthL);
        r.Area = Cell(r.Area);
        r.Relative = Cell(r.Relative);
        l_pos = std::max(l_pos, Len(r.Pos));
        l_h = std::max(l_h, Len(r.Height));
        l_w = std::max(l_w, Len(r.Width));
        l_wl = std::max(l_wl, Len(r.WidthL));
        l_a = std::max(l_a, Len(r.Area));
        rows.push_back(std::move(r));
    }

    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += kEol;
    };
    line(core::FileNameOf(doc.SpectrumFileName) + " : Best Fit Parameters");
    line("FID Data Points : " + std::to_string(doc.ViewPointCount));
    line("Normarized Gain :" + core::FormatReal23(doc.YScale));
    line("Peak Gain : " + core::FormatReal23(doc.YRange));
    line("magnitify : " + core::FormatReal23(1.0 / doc.YRange));
    line("     Total Area : " + total_text);
    const char* kind = gl                                 ? "Gauss+Lorentz"
                       : type == core::LineType::kLorentz ? "Lorentzian"
                                                          : "Gaussian";
    line(std::string("    Peak's Kind : ") + kind);
    line(Rule());

    const int count = static_cast<int>(rows.size());
    if (opts.ParType == 0) {
        // Gauss+Lorentz adds a Lorentzian width column; each width column is at least as wide
        // as its heading.
        const std::string w_head = gl ? "Gauss lineWidth" : "Full lineWidth";
        const std::string wl_head = "Lorentz lineWidth";
        std::string heading = "Peak Number   X-position" + Spaces(l_pos - 10 + 3) + "Peak Height" +
                              Spaces(l_h - 11 + 3) + w_head +
                              Spaces(std::max(0, l_w - Len(w_head)) + 3);
        if (gl) heading += wl_head + Spaces(std::max(0, l_wl - Len(wl_head)) + 3);
        heading += gl ? "Area (Intrinsic) <relative, %>" : "Area (Height*FLW) <relative, %>";
        line(heading);
        line(Rule());
        for (int k = 1; k <= count; ++k) {
            const Row& r = rows[static_cast<std::size_t>(k - 1)];
            std::string text = (k < 10 ? "    " : "   ") + std::to_string(k) + std::string(9, ' ');
            text += r.Pos + Spaces(l_pos - Len(r.Pos) + 3);
            text += r.Height + Spaces(l_h - Len(r.Height) + 3);
            text += r.Width + Spaces(std::max(l_w, Len(w_head)) - Len(r.Width) + 3);
            if (gl) text += r.WidthL + Spaces(std::max(l_wl, Len(wl_head)) - Len(r.WidthL) + 3);
            text += r.Area + Spaces(l_a - Len(r.Area) + 1) + r.Relative;
            line(text);
            if (k < count) line("");
        }
    } else {
        for (int k = 1; k <= count; ++k) {
            const auto s = static_cast<std::size_t>(k);
            const Row& r = rows[s - 1];
            const double steps = static_cast<double>(doc.PeakPos[s] - 1);
            const double pos_err = doc.PeakPosErr[s];
            line("Peak : " + std::to_string(k));
            line("Position : " + FormatFixed(doc.XFirstPpm0 - steps * doc.XStepPpm, 6, 2) + "+-" +
                 FormatFixed(pos_err * doc.XStepPpm, 6, 2) + "ppm  " +
                 FormatFixed(doc.XFirstHz0 - steps * doc.XStepHz, 8, 2) + "+-" +
                 FormatFixed(pos_err * doc.XStepHz, 8, 2) + "Hz  " +
                 std::to_string(doc.PeakPos[s]) + "+-" + FormatFixed(pos_err, 7, 1) + "points");
            line("  Height : " + r.Height);
            if (gl) {
                line(WidthLine("G-Width  : ", doc, doc.PeakHalfWidthG[s], doc.PeakHalfWidthGErr[s],
                               r.Width));
                line(WidthLine("L-Width  : ", doc, doc.PeakHalfWidthL[s], doc.PeakHalfWidthLErr[s],
                               r.WidthL));
                line("Fraction : " + FormatFixed(doc.PeakFractionL[s], 4, 3) + "+-" +
                     FormatFixed(doc.PeakFractionLErr[s], 6, 4));
            } else {
                line(WidthLine("LineWidth: ", doc, doc.PeakHalfWidth[s], doc.PeakHalfWidthErr[s],
                               r.Width));
            }
            line("    Area : " + r.Area + Spaces(l_a - Len(r.Area) + 1) + r.Relative);
            if (k < count) line("");
        }
    }
    line(Rule());
    return out;
}

void WriteFitReport(const std::string& path, const core::Document& doc, const core::Options& opts,
                    core::FileTransaction* into) {
    core::WriteOrStage(path, FitReportText(doc, opts), into);
}

std::string FitReportPath(const core::Document& doc) {
    return core::ReplaceExtension(doc.SpectrumFileName, ".par");
}

}  // namespace kalvex::peaks
