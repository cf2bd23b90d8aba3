// Fuzz target: peak lines as a .sp2 file holds them, read into an open spectrum.
#include <cstdint>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/NumberReader.h"
#include "files/PeakLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kalvex;
    // An open spectrum of 200 points, made once; each run starts from its empty peak table.
    static core::Document doc = [] {
        core::Document d = core::Document::FreshForOpen(core::Document{});
        d.PointCount = d.ViewPointCount = d.RangeFullCount = 200;
        d.XFirstPpm = d.XFirstPpm0 = d.RangeFullPpm = 10.0;
        d.XStepPpm = 0.01;
        d.XFirstHz = d.XFirstHz0 = d.RangeFullHz = 4000.0;
        d.XStepHz = 4.0;
        d.ObsFreq = 400.0;
        d.YScale = 1e4;
        for (int i = 0; i < 200; ++i) d.ObsY[static_cast<std::size_t>(i)] = (i % 97) / 96.0;
        return d;
    }();
    doc.PeakCount = 0;
    doc.Bias = 0.0f;
    doc.BiasFromFile = false;
    doc.PeakKindLorentz = false;
    core::NumberReader in(std::string(reinterpret_cast<const char*>(data), size), "in.sp2");
    try {
        files::ReadPeakLines(in, doc);
    } catch (const Error&) {
        if (doc.PeakCount != 0) fuzz::Fail("a refused peak file changed the peak count");
        return 0;
    }
    fuzz::CheckOpened(doc);
    fuzz::CheckWritersReadBack(doc);
    return 0;
}
