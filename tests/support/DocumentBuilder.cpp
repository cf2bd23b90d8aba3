#include "support/DocumentBuilder.h"

namespace kalvex::test {

core::Document MakeDocument(std::int32_t points, double first_ppm, double step_ppm, double obs_freq,
                            const std::function<double(int)>& shape) {
    core::Document doc = core::Document::FreshForOpen(core::Document{});
    doc.PointCount = points;
    doc.ViewPointCount = points;
    doc.RangeFullCount = points;
    doc.XFirstPpm = doc.XFirstPpm0 = doc.RangeFullPpm = first_ppm;
    doc.XStepPpm = step_ppm;
    doc.ObsFreq = obs_freq;
    doc.XFirstHz = doc.XFirstHz0 = doc.RangeFullHz = first_ppm * obs_freq;
    doc.XStepHz = step_ppm * obs_freq;
    doc.YScale = 1.0;
    doc.SpectrumLoaded = true;
    doc.SpectrumFileName = "/data/test.spc";
    doc.SaveFileName = doc.SpectrumFileName;
    if (shape) {
        for (int p = 1; p <= points; ++p) doc.ObsY[static_cast<std::size_t>(p - 1)] = shape(p);
    }
    return doc;
}

int AddPeak(core::Document& doc, int pos, double height, double half_width) {
    const int k = ++doc.PeakCount;
    doc.PeakPos[k] = static_cast<std::uint16_t>(pos);
    doc.PeakHeight[k] = height;
    doc.PeakHalfWidth[k] = half_width;
    doc.PeakHalfWidthG[k] = half_width;
    doc.PeakHalfWidthL[k] = half_width;
    return k;
}

}  // namespace kalvex::test
