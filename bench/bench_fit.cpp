// Fit engine benchmarks: synthesis, one whole iteration at N = 65,536 and P = 90, whole fits of
// the standard cases. With --write-cases DIR it writes those cases for compare_peers.sh instead.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/FileSystem.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "fit/DoubleNormalSystem.h"
#include "fit/FitModel.h"
#include "fit/GaussNewton.h"
#include "fit/LineShapes.h"
#include "fit/LuSolver.h"
#include "fit/NormalSystem.h"
#include "fit/Workers.h"
#include "support/StandardCases.h"

namespace {

using kalvex::core::Document;
using kalvex::core::LineType;

using kalvex::test::GenerateCase;
using kalvex::test::StandardCase;
using kalvex::test::StandardCases;

const StandardCase& CaseAt(int index) { return StandardCases()[static_cast<std::size_t>(index)]; }

kalvex::fit::Precision PrecisionOf(std::int64_t arg) {
    return arg == 0 ? kalvex::fit::Precision::kExtended : kalvex::fit::Precision::kDouble;
}

// The fit of one standard case from its starting peaks, as kalvex-fit runs it by default.
// Argument: 0 "Extended (exact)", 1 "Double (fast)".
void BM_Fit(benchmark::State& st, int index) {
    const StandardCase& c = CaseAt(index);
    const kalvex::test::GeneratedCase g = GenerateCase(c);
    Document doc = g.Doc;
    kalvex::fit::GaussNewtonOptions opts;
    opts.Line = c.Line;
    opts.Arithmetic = PrecisionOf(st.range(0));
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
    Document doc = GenerateCase({"synthesis", 65536, 30, LineType::kGauss}).Doc;
    for (auto _ : st) benchmark::DoNotOptimize(kalvex::fit::SynthesiseModel(doc, LineType::kGauss));
}

// One whole iteration at N = 65,536 and P = 90: Jacobian and normal matrix, inversion, step and
// evaluation. Argument: threads (0 = one per core).
void BM_Iteration65536Points90Parameters(benchmark::State& st) {
    Document doc = GenerateCase(CaseAt(3)).Doc;
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
// as a run keeps it. Arguments: threads (0 = one per core), precision (0 extended, 1 double).
void BM_NormalSystem(benchmark::State& st, int index) {
    const StandardCase& c = CaseAt(index);
    Document doc = GenerateCase(c).Doc;
    kalvex::fit::FitLayoutChoice choice;
    choice.Line = c.Line;
    kalvex::fit::FitModel model(doc, choice, doc.ObsY.data(), doc.ViewPointCount);
    const bool fast = st.range(1) != 0;
    if (fast) model.UseDoublePrecision(kalvex::fit::KernelsFor(kalvex::fit::SimdPath::kBest));
    model.EvaluateFit();
    const int threads = static_cast<int>(st.range(0));
    kalvex::fit::WorkerPool pool(kalvex::fit::ResolveThreadCount(threads));
    kalvex::fit::DoubleNormalSystem fast_system(model);
    kalvex::fit::Matrix90 a;
    kalvex::fit::Vector90 g;
    for (auto _ : st) {
        if (fast) {
            fast_system.Build(threads, pool, a, g);
        } else {
            kalvex::fit::BuildNormalSystem(model, threads, pool, a, g);
        }
    }
}

BENCHMARK(BM_Synthesis65536Points30GaussPeaks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iteration65536Points90Parameters)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NormalSystem, 4k_5_lorentz, 0)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NormalSystem, 16k_10_lorentz, 1)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NormalSystem, 64k_30_lorentz, 3)
    ->ArgsProduct({{0}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Fit, 4k_5_lorentz, 0)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Fit, 16k_10_lorentz, 1)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Fit, 16k_10_gauss, 2)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Fit, 64k_30_lorentz, 3)
    ->Arg(0)
    ->Arg(1)
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
    for (const StandardCase& c : StandardCases()) {
        for (int seed = 1; seed <= seeds; ++seed) {
            const kalvex::test::GeneratedCase g = GenerateCase(c, static_cast<unsigned>(seed));
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
                base + ".dat'\nF += Constant(a=~" + Fixed(kalvex::test::kStandardBias) + ")\n";
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
