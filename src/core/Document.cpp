#include "core/Document.h"

#include "core/Assert.h"

namespace kalvex::core {

void Document::Allocate() {
    ObsY.assign(kMaxPoints, 0.0);
    SumY.assign(kMaxPoints, 0.0);
    PeakY.assign(static_cast<std::size_t>(kMaxPeaks) * kMaxPoints, 0.0);
}

void Document::Release() {
    // Give the memory back, not just the size.
    std::vector<double>().swap(ObsY);
    std::vector<double>().swap(SumY);
    std::vector<double>().swap(PeakY);
}

double* Document::PeakCurve(int k) {
    KALVEX_ASSERT(k >= 1 && k <= kMaxPeaks && !PeakY.empty());
    return PeakY.data() + static_cast<std::size_t>(k - 1) * kMaxPoints;
}

const double* Document::PeakCurve(int k) const {
    KALVEX_ASSERT(k >= 1 && k <= kMaxPeaks && !PeakY.empty());
    return PeakY.data() + static_cast<std::size_t>(k - 1) * kMaxPoints;
}

Document Document::FreshForOpen(const Document& previous) {
    Document doc;
    doc.XAxisPpm = previous.XAxisPpm;
    doc.PeakKindLorentz = previous.PeakKindLorentz;
    doc.F_Type = previous.F_Type;
    doc.FitSelect = previous.FitSelect;
    doc.LsfUpperLimit = previous.LsfUpperLimit;
    doc.PrinterPresent = previous.PrinterPresent;
    doc.ObsFreqSetting = previous.ObsFreqSetting;
    doc.ArrayCount = previous.ArrayCount;
    doc.ArrayIndex = previous.ArrayIndex;
    doc.SpectrumLoaded = previous.SpectrumLoaded;

    doc.Allocate();
    doc.PeakCount = 0;
    doc.Bias = 0.0f;
    doc.ViewFirstPoint = 1;
    doc.YExpand = 1.0;
    doc.YRange = 1.0;
    doc.BiasFromFile = false;
    doc.IsArrayed = false;
    doc.SeqSaving = false;
    doc.PeakFractionL.Fill(0.5);
    // The error arrays start at 0 by construction; stated for the reader of this lifecycle.
    doc.PeakPosErr.Fill(0.0);
    doc.PeakHeightErr.Fill(0.0);
    doc.PeakHalfWidthErr.Fill(0.0);
    doc.PeakHalfWidthGErr.Fill(0.0);
    doc.PeakHalfWidthLErr.Fill(0.0);
    doc.PeakFractionLErr.Fill(0.0);
    return doc;
}

}  // namespace kalvex::core
