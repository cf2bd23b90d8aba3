// The full redraw of the main window's picture into a real bitmap: 65,536 points, 30 peaks.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>

#include "app/qt/QtCanvas.h"
#include "core/Document.h"
#include "view/AppState.h"
#include "view/Plotting.h"

namespace {

using kalvex::view::AppState;

AppState MakeState(bool lorentz) {
    AppState s;
    kalvex::core::Document& doc = s.Doc;
    doc = kalvex::core::Document::FreshForOpen(doc);
    doc.PointCount = doc.ViewPointCount = kalvex::core::kMaxPoints;
    doc.XFirstPpm = doc.XFirstPpm0 = 12.0;
    doc.XStepPpm = 12.0 / 65535.0;
    doc.XFirstHz = doc.XFirstHz0 = 12.0 * 400.0;
    doc.XStepHz = doc.XStepPpm * 400.0;
    doc.ObsFreq = 400.0;
    doc.PeakKindLorentz = lorentz;
    doc.SpectrumLoaded = true;
    for (int k = 1; k <= kalvex::core::kMaxPeaks; ++k) {
        doc.PeakPos[k] = static_cast<std::uint16_t>(1000 + 2100 * (k - 1));
        doc.PeakHeight[k] = 0.3 + 0.02 * k;
        doc.PeakHalfWidth[k] = 8.0 + k;
    }
    doc.PeakCount = kalvex::core::kMaxPeaks;
    for (int p = 0; p < doc.PointCount; ++p)
        doc.ObsY[static_cast<std::size_t>(p)] = 0.5 + 0.4 * std::sin(p * 0.001);
    kalvex::view::LayoutPlotArea(s.Plot, 988, 798);
    return s;
}

// What a refresh does to the picture: a fresh white bitmap, the spectrum with its axis, then
// the synthesis of every peak, the sum, the squared residue and their curves.
void Refresh(benchmark::State& st, bool lorentz) {
    AppState s = MakeState(lorentz);
    const kalvex::view::PixelRect r = kalvex::view::PlotBitmapRect(s.Plot.Bevel);
    for (auto _ : st) {
        QImage image(r.Width, r.Height, QImage::Format_RGB32);
        image.fill(Qt::white);
        kalvex::app::QtCanvas canvas(&image, 96);
        const auto ctx = kalvex::view::RenderContext::Screen();
        kalvex::view::DrawSpectrum(canvas, s.Doc, s.Opts, s.Plot, ctx);
        kalvex::view::DrawPeaks(canvas, s.Doc, s.Opts, s.Plot, ctx, 0);
        canvas.End();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Refresh65536Points30GaussPeaks(benchmark::State& st) { Refresh(st, false); }
void BM_Refresh65536Points30LorentzPeaks(benchmark::State& st) { Refresh(st, true); }

BENCHMARK(BM_Refresh65536Points30GaussPeaks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refresh65536Points30LorentzPeaks)->Unit(benchmark::kMillisecond);

}  // namespace

// Fonts need an application object; the offscreen platform needs no display.
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
