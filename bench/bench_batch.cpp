// kalvex-fit on an arrayed series: 24 spectra of 16,384 points with 10 Lorentz lines each,
// fitted one at a time on one core, or shared out over the cores (--jobs).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/FitCommand.h"
#include "core/Document.h"
#include "files/PeakLines.h"
#include "support/DocumentBuilder.h"
#include "support/SpectrumFileWriters.h"
#include "support/TempDir.h"

namespace {

constexpr int kSpectra = 24;
constexpr int kPoints = 16384;
constexpr int kLines = 10;

// The series (lines decaying from spectrum to spectrum, on a baseline, with noise) and the
// starting peaks beside it, written once.
struct Series {
    kalvex::test::TempDir Dir;
    std::string Path;
    Series() {
        std::mt19937 rng(24);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::normal_distribution<double> noise(0.0, 3.0);
        std::vector<double> pos, width, height;
        for (int j = 0; j < kLines; ++j) {
            pos.push_back((j + 1) * kPoints / (kLines + 1.0));
            width.push_back(5.0 + 15.0 * unit(rng));
            height.push_back(600.0 + 1400.0 * unit(rng));
        }
        std::vector<std::vector<float>> spectra;
        for (int t = 0; t < kSpectra; ++t) {
            std::vector<double> y(kPoints, 100.0);
            for (int j = 0; j < kLines; ++j) {
                const double h = height[static_cast<std::size_t>(j)] * std::exp(-t / 20.0);
                for (int p = 1; p <= kPoints; ++p) {
                    const double u =
                        (p - pos[static_cast<std::size_t>(j)]) / width[static_cast<std::size_t>(j)];
                    y[static_cast<std::size_t>(p - 1)] += h / (1 + u * u);
                }
            }
            for (double& v : y) v += noise(rng);
            spectra.push_back(kalvex::test::ToFloats(y));
        }
        kalvex::test::ProcparFields procpar;
        procpar.Fn = std::to_string(2 * kPoints);  // fn counts real and imaginary points
        Dir.Write("series.vnp", kalvex::test::ProcparText(procpar));
        Path = Dir.Write("series.vnj",
                         kalvex::test::VnmrDataFile(spectra, kalvex::test::Endian::kBig));
        kalvex::core::Document peaks = kalvex::test::MakeDocument(kPoints);
        for (int j = 0; j < kLines; ++j) {
            kalvex::test::AddPeak(peaks, static_cast<int>(pos[static_cast<std::size_t>(j)]) + 2,
                                  0.5, 1.2 * width[static_cast<std::size_t>(j)]);
        }
        peaks.PeakKindLorentz = true;
        Dir.Write("series.sp2", kalvex::files::PeakFileText(peaks));
    }
};

// Arguments: jobs (1: one spectrum at a time on one core), precision (0 extended, 1 double).
void BM_Series24Spectra(benchmark::State& st) {
    static const Series series;
    const std::string jobs = std::to_string(st.range(0));
    std::vector<std::string> args = {series.Path,
                                     "--all-spectra",
                                     "--peaks",
                                     series.Dir.File("series.sp2"),
                                     "--quiet",
                                     "--jobs",
                                     jobs,
                                     "--threads",
                                     "1",
                                     "--precision",
                                     st.range(1) == 0 ? "extended" : "double",
                                     "--table",
                                     series.Dir.File("series-" + jobs + ".csv")};
    for (auto _ : st) {
        std::ostringstream out, err;
        if (kalvex::cli::RunFitCommand(args, out, err) != kalvex::cli::kExitOk) {
            st.SkipWithError(err.str().c_str());
            break;
        }
    }
}

BENCHMARK(BM_Series24Spectra)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
