// Draw and Delete of the Peak Information window: typed values into the peak table.
#include "peaks/PeakEdit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/Error.h"
#include "core/TextToNumber.h"
#include "fit/LineShapes.h"

namespace kalvex::peaks {

namespace {

void RequirePeak(const core::Document& doc, int n) {
    if (n < 1 || n > doc.PeakCount) throw Error("No peak is selected");
}

// A typed value scaled into the table must stay a number: an infinity there would reach
// every output and start every fit from infinity.
double Finite(double v, const std::string& text, const char* what) {
    if (!std::isfinite(v)) {
        throw Error("'" + text + "' is not a valid peak " + what +
                    ": it passes the largest number on this spectrum's scale");
    }
    return v;
}

bool Pending(bool edited, const std::string& text) { return edited && !core::IsBlank(text); }

// A typed full width in the axis unit as a half width in points.
double HalfWidthPoints(const core::Document& doc, const std::string& text) {
    const double step = doc.XAxisPpm ? doc.XStepPpm : doc.XStepHz;
    return Finite(core::TextToFloat(text) / step / 2.0, text, "width");
}

}  // namespace

void PeakEdits::ClearFlags() {
    PositionEdited = HeightEdited = WidthEdited = WidthLEdited = FractionEdited = false;
}

PeakEdits EditsAfterShow(const PeakInfo& info) {
    PeakEdits e;
    e.Edposition = info.Sel_Dlg.Edposition;
    e.Edhight = info.Sel_Dlg.Edhight;
    e.EdWidth = info.Sel_Dlg.EdWidth;
    e.EdWidth2 = info.Sel_Dlg2.EdWidth2;
    e.fract_L = info.Sel_Dlg2.fract_L;
    return e;
}

void ApplyPeakEdits(core::Document& doc, const core::Options& opts, int n, const PeakEdits& edits) {
    RequirePeak(doc, n);
    const auto k = static_cast<std::size_t>(n);
    // The derived Gauss+Lorentz area follows whatever got applied, also when a later field fails.
    auto follow_area = [&] {
        if (core::CurrentLineType(opts, doc) != core::LineType::kGaussLorentz) return;
        doc.PeakAreaGL[k] =
            doc.PeakHeight[k] / fit::CentreDensityGL(doc.PeakHalfWidthG[k], doc.PeakHalfWidthL[k],
                                                     doc.PeakFractionL[k]);
    };
    try {
        if (Pending(edits.PositionEdited, edits.Edposition)) {
            const std::int32_t pos = core::TextToInt(edits.Edposition);
            if (pos < 0 || pos > std::numeric_limits<std::uint16_t>::max()) {
                throw Error("'" + edits.Edposition +
                            "' is not a valid peak position: it must lie in 0..65535");
            }
            doc.PeakPos[k] = static_cast<std::uint16_t>(pos);
        }
        if (Pending(edits.HeightEdited, edits.Edhight)) {
            doc.PeakHeight[k] =
                Finite(core::TextToFloat(edits.Edhight) * doc.YRange, edits.Edhight, "height");
        }
        if (Pending(edits.WidthEdited, edits.EdWidth)) {
            doc.PeakHalfWidth[k] = HalfWidthPoints(doc, edits.EdWidth);
            doc.PeakHalfWidthG[k] = doc.PeakHalfWidth[k];
        }
        if (Pending(edits.WidthLEdited, edits.EdWidth2)) {
            doc.PeakHalfWidthL[k] = HalfWidthPoints(doc, edits.EdWidth2);
        }
        if (Pending(edits.FractionEdited, edits.fract_L)) {
            doc.PeakFractionL[k] = std::clamp(core::TextToFloat(edits.fract_L), 0.0, 1.0);
        }
    } catch (...) {
        follow_area();
        throw;
    }
    follow_area();
}

int DeletePeak(core::Document& doc, int n) {
    RequirePeak(doc, n);
    using Values = core::PeakArray<double> core::Document::*;
    static constexpr Values kErrors[] = {
        &core::Document::PeakPosErr,        &core::Document::PeakHeightErr,
        &core::Document::PeakHalfWidthErr,  &core::Document::PeakHalfWidthGErr,
        &core::Document::PeakHalfWidthLErr, &core::Document::PeakFractionLErr};
    static constexpr Values kValues[] = {
        &core::Document::PeakHeight,     &core::Document::PeakHalfWidth,
        &core::Document::PeakHalfWidthG, &core::Document::PeakHalfWidthL,
        &core::Document::PeakFractionL,  &core::Document::PeakAreaGL};
    const int count = doc.PeakCount;
    // Every per-peak array moves, so a later peak keeps its own widths, fraction and area.
    for (int j = n; j < count; ++j) {
        const auto to = static_cast<std::size_t>(j);
        const auto from = to + 1;
        doc.PeakPos[to] = doc.PeakPos[from];
        for (Values v : kValues) (doc.*v)[to] = (doc.*v)[from];
        for (Values v : kErrors) (doc.*v)[to] = (doc.*v)[from];
    }
    // The freed slot is the next new peak's: no errors of a deleted peak may show up there.
    const auto last = static_cast<std::size_t>(count);
    for (Values v : kErrors) (doc.*v)[last] = 0.0;
    doc.PeakFractionL[last] = 0.5;
    doc.PeakAreaGL[last] = 0.0;
    doc.PeakCount = static_cast<std::uint8_t>(count - 1);
    return doc.PeakCount < n ? 1 : n;
}

}  // namespace kalvex::peaks
