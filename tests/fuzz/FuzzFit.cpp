// Fuzz target: a spectrum with its peaks (a .spc file) fitted a few iterations in both
// precisions. The input is two control bytes and the file. Byte 0: bits 0-1 the line shape
// (Gauss, Lorentz, Gauss+Lorentz, Gauss+Lorentz fitting the fraction), bits 2-4 the fitted
// kinds (Position, Width, Height as bits), bits 5-6 the mode, bit 7 the Gauss+Lorentz width
// (Lorentzian when set). Byte 1: bits 0-1 the iterations less one, bits 2-4 the "Damp Value"
// item (modulo 6), bits 5-7 the "Convergent" item.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "fit/FitSafety.h"
#include "fit/GaussNewton.h"

namespace {

using namespace kalvex;

// Stops the run after a few iterations in all, as kalvex-fit's --max-iterations does: "AUTO"
// restarts a diverging run from the table for as long as nobody stops it.
struct FiniteObserver : fit::FitObserver {
    int iterations = 0;
    bool OnIteration(double z, double z_old, std::uint16_t) override {
        if (!std::isfinite(z) || !std::isfinite(z_old))
            fuzz::Fail("the observer saw a Z that is not finite");
        return ++iterations >= 8;
    }
    void OnWarning(const std::string&) override {}
};

bool SameTable(const core::Document& a, const core::Document& b) {
    return a.PeakPos == b.PeakPos && a.PeakHeight == b.PeakHeight &&
           a.PeakHalfWidth == b.PeakHalfWidth && a.PeakHalfWidthG == b.PeakHalfWidthG &&
           a.PeakHalfWidthL == b.PeakHalfWidthL && a.PeakFractionL == b.PeakFractionL &&
           a.PeakAreaGL == b.PeakAreaGL && a.PeakPosErr == b.PeakPosErr &&
           a.PeakHeightErr == b.PeakHeightErr && a.PeakHalfWidthErr == b.PeakHalfWidthErr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t shape = data[0];
    const std::uint8_t run = data[1];
    const std::string path = fuzz::WriteScratch(
        "fit.spc", std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
    core::Document* opened = nullptr;
    try {
        opened = &fuzz::Open(fuzz::Slot::kInput, path);
    } catch (const Error&) {
        return 0;
    }
    core::Document& doc = *opened;
    fuzz::CheckOpened(doc);
    if (doc.PeakCount == 0) return 0;

    fit::GaussNewtonOptions o;
    const int line = shape & 3;
    o.Line = line == 0   ? core::LineType::kGauss
             : line == 1 ? core::LineType::kLorentz
                         : core::LineType::kGaussLorentz;
    o.FractionL = line == 3;
    const int kinds = (shape >> 2) & 7;
    o.FitSelect = "000";
    for (int b = 0; b < 3; ++b)
        o.FitSelect[static_cast<std::size_t>(b)] = (kinds >> (2 - b)) & 1 ? '1' : '0';
    if (o.FractionL) o.FitSelect = "000";
    const int mode = (shape >> 5) & 3;
    o.Mode = mode == 1   ? fit::FitMode::kSemiAuto
             : mode == 2 ? fit::FitMode::kManual
                         : fit::FitMode::kAuto;
    o.WidthIsLorentzian = (shape & 0x80) != 0;
    o.ManualIterations = true;
    o.IterationCount = static_cast<std::uint16_t>((run & 3) + 1);
    o.DampItem = ((run >> 2) & 7) % 6;
    o.ConvItem = (run >> 5) & 7;
    o.Threads = 1;

    const core::Document before = doc;  // the table the run starts from, each time
    for (const fit::Precision precision : {fit::Precision::kExtended, fit::Precision::kDouble}) {
        fit::PeakTableSnapshot(before).Restore(doc);
        o.Arithmetic = precision;
        fit::FitRunState state;
        state.CopyObserved(doc);
        FiniteObserver observer;
        const fit::GaussNewtonSummary s = fit::RunGaussNewton(doc, o, state, observer);
        if (!s.ResultsWritten()) {
            if (!SameTable(doc, before)) fuzz::Fail("a run without a result changed the table");
            if (s.Message.empty()) fuzz::Fail("a run without a result says nothing");
            continue;
        }
        if (!fit::PeakTableFinite(doc)) fuzz::Fail("a run wrote a value that is not finite");
        fuzz::CheckOpened(doc);
        fuzz::CheckWritersReadBack(doc);
    }
    return 0;
}
