// Fit engine benchmarks: synthesis, one whole iteration at N = 65,536 and P = 90, whole fits of
// the standard cases. With --write-cases DIR it writes those cases for compare_peers.sh instead.
#include <benchmark/benchmark.h>

#include "core/Document.h"
#include "core/FileSystem.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "fit/FitModel.h"
#include "fit/GaussNewton.h"
#include "fit/LineShapes.h"
#include "fit/LuSolver.h"
#include "fit/NormalSystem.h"
#include "fit/Workers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using kalvex::core::Document;
using kalvex::core::LineType;

// One standard case: a spectrum of `points` points with `peaks` peaks of one shape, noise of
// 0.002 on a bias of 0.02 (normalised units), and starting peaks 2 to 4 points and 10 to 30 %
// off in height and width.
struct Case {
    const char* Name;
    int Points;
    int Peaks;
    LineType Line;
};

constexpr Case kCases[] = {
    {"4k-5-lorentz", 4096, 5, LineType::kLorentz},
    {"16k-10-lorentz", 16384, 10, LineType::kLorentz},
    {"16k-10-gauss", 16384, 10, LineType::kGauss},
    {"64k-30-lorentz", 65536, 30, LineType::kLorentz},
};

constexpr float kBias = 0.02f;
constexpr double kNoise = 0.002;

struct Generated {
    Document Doc;              // spectrum with the starting peaks
    std::vector<int> TruePos;  // true centres
};

Document EmptySpectrum(int points, bool lorentz) {
    Document doc = Document::FreshForOpen(Document{});
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

// Draw `seed` of a case; draw 1 is the one the benchmarks fit.
Generated Generate(const Case& c, unsigned seed = 1) {
    std::mt19937 rng(static_cast<unsigned>(c.Points * 31 + c.Peaks) + 7919 * (seed - 1));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Generated g{EmptySpectrum(c.Points, c.Line == LineType::kLorentz), {}};
    Document& doc = g.Doc;
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
    kalvex::fit::SynthesiseModel(doc, c.Line);
    std::normal_distribution<double> noise(0.0, kNoise);
    for (int i = 0; i < c.Points; ++i) {
        doc.ObsY[static_cast<std::size_t>(i)] =
            doc.SumY[static_cast<std::size_t>(i)] + kBias + noise(rng);
    }
    doc.Bias = kBias;
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

// The fit of one standard case from its starting peaks, as kalvex-fit runs it by default.
void BM_Fit(benchmark::State& st, const Case& c) {
    const Generated g = Generate(c);
    Document doc = g.Doc;
    kalvex::fit::GaussNewtonOptions opts;
    opts.Line = c.Line;
    int iterations = 0;
    double z = 0.0;
    for (auto _ : st) {
        st.PauseTiming();
        doc.PeakPos = g.Doc.PeakPos;
        doc.PeakHeight = g.Doc.PeakHeight;
        doc.PeakHalfWidth = g.Doc.PeakHalfWidth;
        kalvex::fit::FitRunState state;
        state.CopyObserved(doc);
        struct : kalvex::fit::FitObserver {
            bool OnIteration(double, double, std::uint16_t) override { return false; }
            void OnWarning(const std::string&) override {}
        } quiet;
        st.ResumeTiming();
        const kalvex::fit::GaussNewtonSummary s =
            kalvex::fit::RunGaussNewton(doc, opts, state, quiet);
        iterations = s.TotalIterations;
        z = s.Z;
    }
    st.counters["iterations"] = iterations;
    st.counters["Z"] = z;
}

// What every redraw computes: 30 Gauss peaks over 65,536 points, their sum and the residue.
void BM_Synthesis65536Points30GaussPeaks(benchmark::State& st) {
    Document doc = Generate({"synthesis", 65536, 30, LineType::kGauss}).Doc;
    for (auto _ : st) benchmark::DoNotOptimize(kalvex::fit::SynthesiseModel(doc, LineType::kGauss));
}

// One whole iteration at N = 65,536 and P = 90: Jacobian and normal matrix, inversion, step and
// evaluation. Argument: threads (0 = one per core).
void BM_Iteration65536Points90Parameters(benchmark::State& st) {
    Document doc = Generate(kCases[3]).Doc;
    kalvex::fit::FitLayoutChoice choice;
    choice.Line = LineType::kLorentz;
    kalvex::fit::FitModel model(doc, choice, doc.ObsY.data(), doc.ViewPointCount);
    model.EvaluateFit();
    kalvex::fit::Matrix90 a, c;
    kalvex::fit::Vector90 g, delta;
    const int p = model.ParameterCount();
    const int threads = static_cast<int>(st.range(0));
    for (auto _ : st) {
        kalvex::fit::BuildNormalSystem(model, threads, a, g);
        kalvex::fit::InvertMatrix(a, p, c);
        for (int i = 1; i <= p; ++i) {
            long double s = 0;
            for (int j = 1; j <= p; ++j) s += c(i, j) * g[static_cast<std::size_t>(j)];
            delta[static_cast<std::size_t>(i)] = s;
        }
        model.ApplyStep(delta, 0.0);  // the same point every time, the same work
        benchmark::DoNotOptimize(model.EvaluateFit());
    }
}

// The normal matrix of a standard case at its starting peaks, on a pool kept from call to call
// as a run keeps it. Argument: threads (0 = one per core).
void BM_NormalSystem(benchmark::State& st, const Case& c) {
    Document doc = Generate(c).Doc;
    kalvex::fit::FitLayoutChoice choice;
    choice.Line = c.Line;
    kalvex::fit::FitModel model(doc, choice, doc.ObsY.data(), doc.ViewPointCount);
    model.EvaluateFit();
    const int threads = static_cast<int>(st.range(0));
    kalvex::fit::WorkerPool pool(kalvex::fit::ResolveThreadCount(threads));
    kalvex::fit::Matrix90 a;
    kalvex::fit::Vector90 g;
    for (auto _ : st) kalvex::fit::BuildNormalSystem(model, threads, pool, a, g);
}

BENCHMARK(BM_Synthesis65536Points30GaussPeaks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iteration65536Points90Parameters)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NormalSystem, 4k_5_lorentz, kCases[0])
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NormalSystem, 16k_10_lorentz, kCases[1])
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Fit, 4k_5_lorentz, kCases[0])->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Fit, 16k_10_lorentz, kCases[1])->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Fit, 16k_10_gauss, kCases[2])->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Fit, 64k_30_lorentz, kCases[3])
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

std::string Fixed(double v, const char* format = "%.10g") {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Writes, for every standard case and draws 1..seeds, NAME-sK.spc (the spectrum), NAME-sK.sp2
// (the starting peaks with the bias), NAME-sK.dat (point number and value, for other fitters),
// NAME-sK.fityk (a cfityk script fitting the same start) and NAME-sK.truth (the true centres)
// into `dir`, and prints the case names.
int WriteCases(const std::string& dir, int seeds) {
    for (const Case& c : kCases) {
        for (int seed = 1; seed <= seeds; ++seed) {
            const Generated g = Generate(c, static_cast<unsigned>(seed));
            const std::string base = dir + "/" + c.Name + "-s" + std::to_string(seed);
            Document spc = g.Doc;
            spc.PeakCount = 0;  // the peaks travel in the .sp2 beside it
            spc.F_Type = 0;
            kalvex::core::WriteFileAtomically(base + ".spc", kalvex::files::SpcFileText(spc));
            kalvex::files::WritePeakFile(base + ".sp2", g.Doc);

            std::string dat;
            for (int i = 0; i < c.Points; ++i) {
                dat += std::to_string(i + 1) + " " +
                       Fixed(g.Doc.ObsY[static_cast<std::size_t>(i)], "%.17g") + "\n";
            }
            kalvex::core::WriteFileAtomically(base + ".dat", dat);

            const char* fn = c.Line == LineType::kLorentz ? "Lorentzian" : "Gaussian";
            std::string script =
                "set default_sigma = one\nset function_cutoff = 0\nset numeric_format = '%.10g'\n"
                "@0 < '" +
                base + ".dat'\nF += Constant(a=~" + Fixed(kBias) + ")\n";
            for (int k = 1; k <= g.Doc.PeakCount; ++k) {
                script += "F += " + std::string(fn) + "(height=~" + Fixed(g.Doc.PeakHeight[k]) +
                          ", center=~" + std::to_string(g.Doc.PeakPos[k]) + ", hwhm=~" +
                          Fixed(g.Doc.PeakHalfWidth[k]) + ")\n";
            }
            script +=
                "lua t0 = os.clock()\nfit\nlua print(string.format('fit_seconds=%.6f', os.clock() "
                "- "
                "t0))\n";
            for (int k = 1; k <= g.Doc.PeakCount; ++k) {
                script += "print 'center', %_" + std::to_string(k + 1) + ".center\n";
            }
            kalvex::core::WriteFileAtomically(base + ".fityk", script);

            std::string truth;
            for (int p : g.TruePos) truth += std::to_string(p) + "\n";
            kalvex::core::WriteFileAtomically(base + ".truth", truth);
        }
        std::printf("%s\n", c.Name);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--write-cases") == 0) {
        return WriteCases(argv[2], argc == 4 ? std::max(1, std::atoi(argv[3])) : 1);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
