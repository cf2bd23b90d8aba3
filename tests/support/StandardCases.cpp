#include "support/StandardCases.h"

#include <cmath>
#include <random>

#include "fit/LineShapes.h"

namespace kalvex::test {

namespace {

core::Document EmptySpectrum(int points, bool lorentz) {
    core::Document doc = core::Document::FreshForOpen(core::Document{});
    doc.PointCount = doc.ViewPointCount = doc.RangeFullCount = points;
    doc.XFirstPpm = doc.XFirstPpm0 = doc.RangeFullPpm = 12.0;
    doc.XStepPpm = 12.0 / (points - 1);
    doc.ObsFreq = 400.0;
    doc.XFirstHz = doc.XFirstHz0 = doc.RangeFullHz = 12.0 * 400.0;
    doc.XStepHz = doc.XStepPpm * 400.0;
    doc.YScale = 1.0;
    doc.PeakKindLorentz = lorentz;
    doc.SpectrumLoaded = true;
    return doc;
}

}  // namespace

const std::vector<StandardCase>& StandardCases() {
    static const std::vector<StandardCase> cases = {
        {"4k-5-lorentz", 4096, 5, core::LineType::kLorentz},
        {"16k-10-lorentz", 16384, 10, core::LineType::kLorentz},
        {"16k-10-gauss", 16384, 10, core::LineType::kGauss},
        {"64k-30-lorentz", 65536, 30, core::LineType::kLorentz},
    };
    return cases;
}

GeneratedCase GenerateCase(const StandardCase& c, unsigned seed) {
    std::mt19937 rng(static_cast<unsigned>(c.Points * 31 + c.Peaks) + 7919 * (seed - 1));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    GeneratedCase g{EmptySpectrum(c.Points, c.Line == core::LineType::kLorentz), {}};
    core::Document& doc = g.Doc;
    const double spacing = static_cast<double>(c.Points) / (c.Peaks + 1);
    for (int k = 1; k <= c.Peaks; ++k) {
        doc.PeakPos[k] = static_cast<std::uint16_t>(
            std::lround(k * spacing + (unit(rng) - 0.5) * 0.2 * spacing));
        doc.PeakHeight[k] = 0.2 + 0.7 * unit(rng);
        doc.PeakHalfWidth[k] = 4.0 + 16.0 * unit(rng);
        doc.PeakHalfWidthG[k] = doc.PeakHalfWidthL[k] = doc.PeakHalfWidth[k];
        g.TruePos.push_back(doc.PeakPos[k]);
    }
    doc.PeakCount = static_cast<std::uint8_t>(c.Peaks);
    fit::SynthesiseModel(doc, c.Line);
    std::normal_distribution<double> noise(0.0, 0.002);
    for (int i = 0; i < c.Points; ++i) {
        doc.ObsY[static_cast<std::size_t>(i)] =
            doc.SumY[static_cast<std::size_t>(i)] + kStandardBias + noise(rng);
    }
    doc.Bias = kStandardBias;
    auto off = [&]() { return (0.1 + 0.2 * unit(rng)) * (unit(rng) < 0.5 ? -1.0 : 1.0); };
    for (int k = 1; k <= c.Peaks; ++k) {
        const int shift = 2 + static_cast<int>(unit(rng) * 3.0);
        doc.PeakPos[k] =
            static_cast<std::uint16_t>(doc.PeakPos[k] + (unit(rng) < 0.5 ? -shift : shift));
        doc.PeakHeight[k] *= 1.0 + off();
        doc.PeakHalfWidth[k] *= 1.0 + off();
        doc.PeakHalfWidthG[k] = doc.PeakHalfWidthL[k] = doc.PeakHalfWidth[k];
    }
    return g;
}

}  // namespace kalvex::test
