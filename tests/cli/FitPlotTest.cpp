// kalvex-fit --plot: the printed picture of each fitted spectrum, in the format of its name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cli/FitArguments.h"
#include "cli/FitCommand.h"
#include "cli/FitPlot.h"
#include "files/PeakLines.h"
#include "support/DocumentBuilder.h"
#include "support/SpectrumFileWriters.h"
#include "support/TempDir.h"

namespace kalvex::cli {
namespace {

std::string Example() {
    const char* src = std::getenv("KALVEX_SOURCE_DIR");
    return std::string(src ? src : ".") + "/examples/ethanol-60MHz.spc";
}

int RunFit(const std::vector<std::string>& args, std::string* err = nullptr) {
    std::ostringstream out, errors;
    const int status = RunFitCommand(args, out, errors);
    if (err != nullptr) *err = errors.str();
    return status;
}

std::uint32_t BigEndian32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(
        static_cast<unsigned char>(b[at]) << 24 | static_cast<unsigned char>(b[at + 1]) << 16 |
        static_cast<unsigned char>(b[at + 2]) << 8 | static_cast<unsigned char>(b[at + 3]));
}

TEST(FitPlot, WritesThePrintedPictureInTheFormatOfItsName) {
    // SVG, PDF and PNG are drawn by Qt; a build without the program writes the metafiles only.
    const bool qt_pictures = PlotFormatSupported("fit.svg");
    test::TempDir dir;
    std::vector<std::string> names{"fit.emf", "fit.wmf"};
    if (qt_pictures) names.insert(names.end(), {"fit.svg", "fit.pdf"});
    for (const std::string& name : names) {
        std::string err;
        ASSERT_EQ(RunFit({Example(), "--quiet", "--plot", dir.File(name)}, &err), kExitOk) << err;
        EXPECT_EQ(err, "") << name;  // no chatter from the picture writers
    }
    EXPECT_EQ(test::ReadFileBytes(dir.File("fit.emf")).substr(40, 4), " EMF");
    EXPECT_EQ(test::ReadFileBytes(dir.File("fit.wmf")).substr(0, 4), "\xD7\xCD\xC6\x9A");
    if (!qt_pictures) return;
    EXPECT_NE(test::ReadFileBytes(dir.File("fit.svg")).find(">Chemical Shift / ppm<"),
              std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(dir.File("fit.pdf")).substr(0, 5), "%PDF-");

    // A PNG of the A4 landscape page's printable area at the resolution asked for.
    ASSERT_EQ(RunFit({Example(), "--quiet", "--plot", dir.File("fit.png"), "--plot-dpi", "100"}),
              kExitOk);
    const std::string png = test::ReadFileBytes(dir.File("fit.png"));
    ASSERT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(BigEndian32(png, 16), 1169u);
    EXPECT_EQ(BigEndian32(png, 20), 827u);
}

TEST(FitPlot, DrawsWithThePrintLayoutOfTheSettingsFile) {
    if (!PlotFormatSupported("fit.svg")) GTEST_SKIP() << "SVG needs the Qt build";
    test::TempDir dir;
    const std::string ini = dir.Write("Kalvex.ini", "[PRINT]\nprn_xline=0\n");
    const char* before = std::getenv("KALVEX_SETTINGS");
    const std::string kept = before != nullptr ? before : "";
    setenv("KALVEX_SETTINGS", ini.c_str(), 1);
    const int status = RunFit({Example(), "--quiet", "--plot", dir.File("fit.svg")});
    if (before != nullptr) {
        setenv("KALVEX_SETTINGS", kept.c_str(), 1);
    } else {
        unsetenv("KALVEX_SETTINGS");
    }
    ASSERT_EQ(status, kExitOk);
    EXPECT_EQ(test::ReadFileBytes(dir.File("fit.svg")).find("Chemical Shift"), std::string::npos);
}

TEST(FitPlot, EveryFittedSpectrumOfABatchGetsItsNumberedPicture) {
    test::TempDir dir;
    constexpr int n = 1000;  // the parameter listing's default
    std::vector<std::vector<float>> spectra;
    for (int t = 0; t < 3; ++t) {
        std::vector<double> y(n, 10.0);
        for (int p = 1; p <= n; ++p) {
            const double u = (p - 500) / 8.0;
            y[static_cast<std::size_t>(p - 1)] +=
                100.0 / (t + 1) * std::exp(-std::log(2.0) * u * u);
        }
        spectra.push_back(test::ToFloats(y));
    }
    dir.Write("series.vnp", test::ProcparText({}));
    const std::string path =
        dir.Write("series.vnj", test::VnmrDataFile(spectra, test::Endian::kBig));
    core::Document peaks = test::MakeDocument(n);
    test::AddPeak(peaks, 501, 0.8, 7.0);
    dir.Write("series.sp2", files::PeakFileText(peaks));

    std::string err;
    ASSERT_EQ(RunFit({path, "--all-spectra", "--peaks", dir.File("series.sp2"), "--quiet", "--plot",
                      dir.File("series.emf")},
                     &err),
              kExitOk)
        << err;
    EXPECT_EQ(test::FilesIn(dir.Path()),
              (std::vector<std::string>{"series-1.emf", "series-2.emf", "series-3.emf",
                                        "series.sp2", "series.vnj", "series.vnp"}));
}

TEST(FitPlot, TheFileNeedsAPictureExtensionAndTheResolutionItsLimits) {
    auto refused = [](const std::vector<std::string>& args) {
        try {
            ParseFitArguments(args);
        } catch (const UsageError&) {
            return true;
        }
        return false;
    };
    EXPECT_TRUE(refused({"s.spc", "--plot", "fit.jpg"}));
    EXPECT_TRUE(refused({"s.spc", "--plot", "fit"}));
    EXPECT_TRUE(refused({"s.spc", "--plot-dpi", "300"}));  // without --plot
    EXPECT_TRUE(refused({"s.spc", "--plot", "f.emf", "--plot-dpi", "49"}));
    EXPECT_TRUE(refused({"s.spc", "--plot", "f.emf", "--plot-dpi", "1201"}));
    EXPECT_EQ(ParseFitArguments({"s.spc", "--plot", "f.EMF", "--plot-dpi", "50"}).PlotDpi, 50);
    EXPECT_EQ(ParseFitArguments({"s.spc", "--plot", "f.wmf", "--plot-dpi", "1200"}).PlotDpi, 1200);

    EXPECT_EQ(NumberedPlotName("/d/fit.svg", 3), "/d/fit-3.svg");
    EXPECT_EQ(NumberedPlotName("/d.x/fit.emf", 12), "/d.x/fit-12.emf");
}

}  // namespace
}  // namespace kalvex::cli
