// kalvex-fit end to end: spectra and peaks written here, fitted, and every output read back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <regex>
#include <sstream>

#include "cli/FitCommand.h"
#include "core/NumberReader.h"
#include "files/OpenCommand.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "files/XyText.h"
#include "fit/LineShapes.h"
#include "support/DocumentBuilder.h"
#include "support/SpectrumFileWriters.h"
#include "support/TempDir.h"
#include "tools/Bias.h"

namespace kalvex::cli {
namespace {

using core::Document;
using core::LineType;
using test::TempDir;

struct Result {
    int status;
    std::string out, err;
};

Result RunCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunFitCommand(args, out, err);
    return {status, out.str(), err.str()};
}

// Standard output without the fit times, which differ from run to run.
std::string Outcome(const Result& r) {
    return std::regex_replace(r.out, std::regex(" seconds=\\S+"), "");
}

// The Z of the one line of a run, or of spectrum k's line in a series.
double ZOf(const Result& r, int k = 0) {
    const std::string key = k ? "spectrum=" + std::to_string(k) + " Z=" : "Z=";
    return std::stod(r.out.substr(r.out.find(key) + key.size()));
}

struct Peak {
    int pos;
    double height, width;
};

// Three Lorentz peaks on 1,000 points over a bias of 0.02 with seeded noise of 0.002.
const std::vector<Peak> kTruth = {{250, 0.6, 9.0}, {480, 0.9, 14.0}, {700, 0.4, 7.0}};
constexpr float kBias = 0.02f;

// spectrum.spc without peaks and spectrum.sp2 beside it with the starting peaks.
std::string WriteSpectrumWithPeaks(const TempDir& dir, const std::vector<Peak>& start,
                                   const std::string& name = "spectrum") {
    Document doc = test::MakeDocument(1000, 10.0, 0.01, 400.0);
    for (const Peak& p : kTruth) test::AddPeak(doc, p.pos, p.height, p.width);
    doc.PeakKindLorentz = true;
    fit::SynthesiseModel(doc, LineType::kLorentz);
    std::mt19937 rng(17);
    std::normal_distribution<double> noise(0.0, 0.002);
    for (int i = 0; i < 1000; ++i) {
        doc.ObsY[static_cast<std::size_t>(i)] =
            doc.SumY[static_cast<std::size_t>(i)] + kBias + noise(rng);
    }
    Document peaks = doc;
    peaks.PeakCount = 0;
    for (const Peak& p : start) test::AddPeak(peaks, p.pos, p.height, p.width);
    peaks.Bias = kBias;
    dir.Write(name + ".sp2", files::PeakFileText(peaks));
    doc.PeakCount = 0;
    doc.F_Type = 0;
    return dir.Write(name + ".spc", files::SpcFileText(doc));
}

const std::vector<Peak> kStart = {{253, 0.75, 7.0}, {478, 0.7, 17.0}, {702, 0.5, 6.0}};

// Text lines equal; numbers of the data rows equal to 1E-12 relative.
void ExpectSameCurveTable(const std::string& got, const std::string& want) {
    std::istringstream g(got), w(want);
    std::string gl, wl;
    int line = 0;
    while (std::getline(w, wl)) {
        ++line;
        ASSERT_TRUE(std::getline(g, gl)) << "missing line " << line;
        if (wl.rfind(" x data", 0) == 0 || wl.rfind("Peak", 0) == 0) {
            EXPECT_EQ(gl, wl) << line;
            continue;
        }
        core::NumberReader gr(gl, "got"), wr(wl, "want");
        while (!wr.SeekEof()) {
            const double a = gr.ReadReal(), b = wr.ReadReal();
            ASSERT_NEAR(a, b, 1e-12 * std::fabs(b) + 1e-300) << "line " << line;
        }
    }
    EXPECT_FALSE(std::getline(g, gl)) << "extra lines";
}

TEST(FitCommand, FitsASpectrumWithItsPeakFileAndWritesEveryOutput) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, kStart);
    const Result r =
        RunCli({spc, "--shape", "lorentz", "--bias", "0.02", "--out-sp2", dir.File("fit.sp2"),
                "--out-spc", dir.File("fit.spc"), "--sp3", dir.File("fit.sp3"), "--report",
                dir.File("fit.par"), "--table", dir.File("fit.csv"), "--quiet"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_TRUE(std::regex_match(
        r.out, std::regex("Z=[0-9.E+-]+ iterations=[1-9][0-9]* seconds=[0-9]+\\.[0-9]{6}\n")))
        << r.out;
    EXPECT_EQ(r.err, "");  // --quiet

    // The peak file: the true positions, heights and widths within 2 % (noise 0.002 against
    // heights of 0.4 and more moves them by a fraction of that).
    Document back = test::MakeDocument(1000);
    ASSERT_TRUE(files::ReadPeakFileIfPresent(dir.File("fit.sp2"), back));
    ASSERT_EQ(back.PeakCount, 3);
    EXPECT_TRUE(back.PeakKindLorentz);
    EXPECT_FLOAT_EQ(back.Bias, kBias);
    for (int k = 1; k <= 3; ++k) {
        const Peak& t = kTruth[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(back.PeakPos[k], t.pos);
        EXPECT_NEAR(back.PeakHeight[k], t.height, 0.02 * t.height);
        EXPECT_NEAR(back.PeakHalfWidth[k], t.width, 0.02 * t.width);
        EXPECT_GT(back.PeakHeightErr[k], 0.0);
    }
    // The summary's Z is the squared sum of the written peaks against the spectrum.
    Document fitted =
        files::LoadSpectrum(dir.File("fit.spc"), Document{}, core::Options{}, nullptr);
    ASSERT_EQ(fitted.PeakCount, 3);
    EXPECT_EQ(fitted.PeakHeight, back.PeakHeight);
    const double z = fit::SynthesiseModel(fitted, LineType::kLorentz);
    const double printed = std::stod(r.out.substr(2));
    EXPECT_NEAR(z, printed, 1e-9 * printed);

    // The curve table holds the spectrum and the model of the fitted peaks (the reloaded
    // peaks went through 15-digit text, so the curves agree to about that).
    ExpectSameCurveTable(test::ReadFileBytes(dir.File("fit.sp3")), files::CurveTableText(fitted));
    const std::string report = test::ReadFileBytes(dir.File("fit.par"));
    EXPECT_EQ(report.rfind("spectrum.spc : Best Fit Parameters", 0), 0u) << report.substr(0, 80);

    const std::string table = test::ReadFileBytes(dir.File("fit.csv"));
    std::istringstream lines(table);
    std::string header, row;
    std::getline(lines, header);
    EXPECT_EQ(
        header.rfind("spectrum,peak,status,position_point,position_ppm,position_hz,height,", 0),
        0u);
    int rows = 0;
    while (std::getline(lines, row)) {
        ++rows;
        EXPECT_EQ(
            row.rfind("1," + std::to_string(rows) + ",converged," +
                          std::to_string(kTruth[static_cast<std::size_t>(rows - 1)].pos) + ",",
                      0),
            0u)
            << row;
    }
    EXPECT_EQ(rows, 3);
}

TEST(FitCommand, PeaksFromAFileReplaceThoseBesideTheSpectrum) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, {{100, 0.1, 3.0}});
    Document peaks = test::MakeDocument(1000);
    for (const Peak& p : kStart) test::AddPeak(peaks, p.pos, p.height, p.width);
    peaks.PeakKindLorentz = true;
    const std::string other = dir.Write("start.txt", files::PeakFileText(peaks));
    dir.Write("spectrum.sp2", "not a peak file");  // never read with --peaks
    const Result r = RunCli({spc, "--peaks", other, "--out-sp2", dir.File("fit.sp2"), "--quiet"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    Document back = test::MakeDocument(1000);
    ASSERT_TRUE(files::ReadPeakFileIfPresent(dir.File("fit.sp2"), back));
    ASSERT_EQ(back.PeakCount, 3);
    EXPECT_TRUE(back.PeakKindLorentz);  // the flag of the given peak lines
    EXPECT_EQ(back.PeakPos[2], 480);
}

TEST(FitCommand, NoFitOnlyConvertsAndSynthesises) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, kStart);
    const Result r = RunCli({spc, "--no-fit", "--bias", "0.02", "--sp3", dir.File("start.sp3")});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find(' ')), " iterations=0 seconds=0.000000\n");
    Document doc = files::LoadSpectrum(spc, Document{}, core::Options{}, nullptr);
    const double z = fit::SynthesiseModel(doc, LineType::kLorentz);
    EXPECT_NEAR(std::stod(r.out.substr(2)), z, 1e-12 * z);
    EXPECT_EQ(test::ReadFileBytes(dir.File("start.sp3")), files::CurveTableText(doc));
}

TEST(FitCommand, NoFitConvertsASpectrumWithoutPeaks) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, {});
    std::remove(dir.File("spectrum.sp2").c_str());
    const Result r = RunCli({spc, "--no-fit", "--out-dat", dir.File("s.dat"), "--out-spc",
                             dir.File("s.spc"), "--quiet"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const Document doc = files::LoadSpectrum(spc, Document{}, core::Options{}, nullptr);
    EXPECT_EQ(test::ReadFileBytes(dir.File("s.dat")), files::XyTextFileText(doc));
    EXPECT_EQ(test::ReadFileBytes(dir.File("s.spc")), test::ReadFileBytes(spc));
    EXPECT_EQ(RunCli({spc, "--quiet"}).status, kExitBadInput);  // a fit still needs peaks
    EXPECT_EQ(RunCli({spc, "--no-fit", "--out-dat", dir.File("s.txt")}).status, kExitBadInput);
}

TEST(FitCommand, OutputsAreReplacedAllTogetherOrNotAtAll) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, kStart);
    const std::vector<std::string> outputs = {"fit.sp2", "fit.spc", "fit.dat", "fit.sp3"};
    for (const std::string& name : outputs) dir.Write(name, "old");
    auto run = [&](const std::string& report) {
        return RunCli({spc, "--no-fit", "--out-sp2", dir.File("fit.sp2"), "--out-spc",
                       dir.File("fit.spc"), "--out-dat", dir.File("fit.dat"), "--sp3",
                       dir.File("fit.sp3"), "--report", dir.File(report), "--quiet"});
    };
    // The last output cannot be written: none of the others is replaced.
    ::mkdir(dir.File("folder.par").c_str(), 0755);
    const Result r = run("folder.par");
    EXPECT_EQ(r.status, kExitBadInput);
    EXPECT_NE(r.err.find("Is a directory\n" + dir.File("folder.par")), std::string::npos) << r.err;
    for (const std::string& name : outputs) EXPECT_EQ(test::ReadFileBytes(dir.File(name)), "old");
    EXPECT_EQ(test::FilesIn(dir.Path()),
              (std::vector<std::string>{"fit.dat", "fit.sp2", "fit.sp3", "fit.spc", "folder.par",
                                        "spectrum.sp2", "spectrum.spc"}));
    ASSERT_EQ(run("fit.par").status, kExitOk);
    for (const std::string& name : outputs) EXPECT_NE(test::ReadFileBytes(dir.File(name)), "old");
    EXPECT_TRUE(test::FileExists(dir.File("fit.par")));
}

TEST(FitCommand, BadInputAndUsageExitWithOne) {
    TempDir dir;
    Result r = RunCli({dir.File("missing.spc")});
    EXPECT_EQ(r.status, kExitBadInput);
    EXPECT_NE(r.err.find("File not found"), std::string::npos) << r.err;

    const std::string spc = WriteSpectrumWithPeaks(dir, kStart);
    r = RunCli({spc, "--frobnicate"});
    EXPECT_EQ(r.status, kExitBadInput);
    EXPECT_NE(r.err.find("unknown option --frobnicate"), std::string::npos);
    EXPECT_EQ(r.out, "");

    dir.Write("empty.sp2", "");
    r = RunCli({spc, "--peaks", dir.File("empty.sp2")});
    EXPECT_EQ(r.status, kExitBadInput);
    EXPECT_NE(r.err.find("No Peak Data !!!"), std::string::npos);
}

TEST(FitCommand, ASingularFitExitsWithTwoAndWritesNothing) {
    TempDir dir;
    // The second peak has no height: neither its position nor its width changes the model.
    const std::string spc = WriteSpectrumWithPeaks(dir, {{480, 0.8, 12.0}, {700, 0.0, 5.0}});
    const Result r = RunCli(
        {spc, "--fit", "pw", "--shape", "gauss", "--out-sp2", dir.File("fit.sp2"), "--quiet"});
    EXPECT_EQ(r.status, kExitFitFailed);
    EXPECT_NE(r.err.find("pause in LUDCMP - singular matrix"), std::string::npos) << r.err;
    EXPECT_FALSE(test::FileExists(dir.File("fit.sp2")));
}

TEST(FitCommand, PeaksBeyondTheSpectrumAreNamedAndNotFitted) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, {{480, 0.8, 12.0}, {60000, 0.5, 1.0}});
    const Result r = RunCli({spc, "--out-sp2", dir.File("fit.sp2"), "--quiet"});
    EXPECT_EQ(r.status, kExitBadInput);
    EXPECT_NE(r.err.find(spc), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Peak 2 (point 60000) lies outside the spectrum, points 1 to 1000"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(test::FileExists(dir.File("fit.sp2")));
}

TEST(FitCommand, AFittedFractionOutsideZeroToOneIsReportedNotHeld) {
    TempDir dir;
    // The first line has a fraction of 1.2: more Lorentzian than a Lorentzian.
    Document doc = test::MakeDocument(1000, 10.0, 0.01, 400.0);
    test::AddPeak(doc, 300, 0.8, 10.0);
    test::AddPeak(doc, 600, 0.6, 8.0);
    doc.PeakFractionL[1] = 1.2;
    doc.PeakFractionL[2] = 0.6;
    fit::SynthesiseModel(doc, LineType::kGaussLorentz);
    doc.ObsY = doc.SumY;
    dir.Write("gl.sp2", files::PeakFileText(doc));
    doc.PeakCount = 0;
    doc.F_Type = 0;
    const std::string spc = dir.Write("gl.spc", files::SpcFileText(doc));
    const Result r = RunCli({spc, "--shape", "gl", "--fit", "fraction", "--bias", "0", "--quiet",
                             "--out-sp2", dir.File("fit.sp2")});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.err, "kalvex-fit: Fraction L of peak 1 is 1.200, outside 0..1\n");
}

TEST(FitCommand, ADivergenceInSemiAutoExitsWithTwo) {
    TempDir dir;
    // One Lorentz peak fitted for width and height from a start five times too wide, with the
    // full step of damping 1.00: the second step raises Z by more than 1.
    Document doc = test::MakeDocument(400);
    test::AddPeak(doc, 200, 3.0, 8.0);
    fit::SynthesiseModel(doc, LineType::kLorentz);
    doc.ObsY = doc.SumY;
    doc.PeakHalfWidth[1] = 40.0;
    doc.PeakKindLorentz = true;
    doc.F_Type = 1;
    const std::string spc = dir.Write("wide.spc", files::SpcFileText(doc));
    const Result r = RunCli({spc, "--fit", "wh", "--mode", "semi", "--damp", "1.00", "--bias", "0",
                             "--out-sp2", dir.File("fit.sp2")});
    EXPECT_EQ(r.status, kExitFitFailed);
    EXPECT_NE(r.err.find("Change Initial Conditions !!!"), std::string::npos) << r.err;
    EXPECT_FALSE(test::FileExists(dir.File("fit.sp2")));
}

TEST(FitCommand, ArgumentsFollowTheOptionsPageRules) {
    auto usage = [](std::vector<std::string> args) {
        args.insert(args.begin(), "s.spc");
        EXPECT_THROW(ParseFitArguments(args), UsageError) << args[1];
    };
    usage({"--damp", "0.01"});  // AUTO chooses its own damping
    usage({"--iterations", "10", "--mode", "semi"});
    usage({"--iterations", "10", "--mode", "manual", "--conv", "0.1"});
    usage({"--shape", "gl"});  // one kind at a time
    usage({"--shape", "gl", "--fit", "pw"});
    usage({"--fit", "g"});  // the Gaussian width exists only in gl
    usage({"--fit", "fraction"});
    usage({"--fit", "pp"});
    usage({"--fit", "x"});
    usage({"--bias", "0.1", "--auto-bias"});
    usage({"--chain"});
    usage({"--all-spectra", "--out-sp2", "a.sp2"});
    usage({"--spectrum", "0"});
    usage({"--spectrum", "2", "--all-spectra"});
    usage({"--conv", "0.5", "--mode", "semi"});
    usage({"--damp", "0.5", "--mode", "semi"});
    usage({"--out-spc", "x.sp2"});
    usage({"--jobs", "2"});  // one spectrum: nothing to share
    usage({"--all-spectra", "--chain", "--jobs", "2"});
    usage({"--all-spectra", "--jobs", "0"});
    usage({"--all-spectra", "--jobs", "65"});
    usage({"--precision", "quad"});
    usage({"--table-header", "maybe"});
    EXPECT_EQ(ParseFitArguments({"s.spc", "--precision", "double"}).Precision, 1);
    EXPECT_THROW(ParseFitArguments({}), UsageError);

    const FitArguments a =
        ParseFitArguments({"s.spc", "--shape=gl", "--fit", "g", "--mode", "manual", "--damp",
                           "0.001", "--conv", "auto", "--fraction", "0.25"});
    EXPECT_EQ(a.Shape, LineType::kGaussLorentz);
    EXPECT_EQ(a.FitSelect, "010");
    EXPECT_TRUE(a.GaussianWidth);
    EXPECT_EQ(a.Mode, 2);
    EXPECT_EQ(a.DampItem, 3);
    EXPECT_EQ(a.ConvItem, 8);
    EXPECT_EQ(a.Fraction, 0.25);
    const FitArguments f = ParseFitArguments({"s.spc", "--shape", "gl", "--fit", "fraction"});
    EXPECT_TRUE(f.FractionL);
    EXPECT_EQ(f.FitSelect, "000");
}

TEST(FitCommand, HelpPrintsTheUsageAndRunsNothing) {
    for (const auto& args : {std::vector<std::string>{"--help"}, {"missing.spc", "-h"}}) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, kExitOk);
        EXPECT_EQ(r.out, FitUsage());
        EXPECT_EQ(r.err, "");
    }
}

TEST(FitCommand, IterationCapsAndTheConvergenceLimitChangeTheRun) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, kStart);
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {spc, "--bias", "0.02", "--quiet"});
        return RunCli(args);
    };
    auto iterations = [](const Result& r) {
        return std::stoi(r.out.substr(r.out.find("ns=") + 3));
    };
    const Result capped = run({"--max-iterations", "2"});
    EXPECT_EQ(capped.status, kExitFitFailed);
    EXPECT_EQ(iterations(capped), 2);
    EXPECT_NE(capped.err.find("no convergence within 2 iterations"), std::string::npos);
    // The count of "Manual Set" raises the cap to itself.
    const Result manual = run({"--mode", "manual", "--iterations", "3", "--max-iterations", "2"});
    EXPECT_EQ(manual.status, kExitOk) << manual.err;
    EXPECT_EQ(iterations(manual), 3);
    // "Auto Set" in manual mode is the item two below the damping: 0.0001 for 0.10.
    auto with_conv = [&](const char* conv) {
        return Outcome(run({"--mode", "manual", "--damp", "0.1", "--conv", conv}));
    };
    EXPECT_EQ(with_conv("auto"), with_conv("0.0001"));
    EXPECT_NE(with_conv("auto"), with_conv("0.1"));
}

TEST(FitCommand, BiasChoicesSetTheBiasTheRunStartsFrom) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, kStart);  // its peak lines carry 0.02
    const std::string no_bias = dir.Write("nobias.sp2", "253 0.75 7\r\n478 0.7 17\r\n");
    const float estimate =
        tools::ComputeAutoBias(files::LoadSpectrum(spc, Document{}, core::Options{}, nullptr));
    ASSERT_NE(estimate, kBias);
    for (const auto& [args, bias] : {
             std::pair{std::vector<std::string>{}, estimate},
             {{"--auto-bias"}, estimate},
             {{"--file-bias"}, kBias},
             {{"--file-bias", "--peaks", no_bias}, estimate},
             {{"--bias", "0.5"}, 0.5f},
         }) {
        std::vector<std::string> all = {spc, "--no-fit", "--quiet", "--out-sp2", dir.File("b.sp2")};
        all.insert(all.end(), args.begin(), args.end());
        ASSERT_EQ(RunCli(all).status, kExitOk);
        Document back = test::MakeDocument(1000);
        ASSERT_TRUE(files::ReadPeakFileIfPresent(dir.File("b.sp2"), back));
        EXPECT_FLOAT_EQ(back.Bias, bias) << all.size();
    }
}

TEST(FitCommand, LineShapeFractionAndPrecisionChooseTheModel) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, kStart);
    auto z = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {spc, "--bias", "0.02", "--quiet"});
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        return ZOf(r);
    };
    // A Lorentzian fraction of 1 is the Lorentz line, of 0 the Gauss line.
    EXPECT_EQ(z({"--no-fit", "--shape", "gl", "--fit", "h", "--fraction", "1"}),
              z({"--no-fit", "--shape", "lorentz"}));
    EXPECT_EQ(z({"--no-fit", "--shape", "gl", "--fit", "h", "--fraction", "0"}),
              z({"--no-fit", "--shape", "gauss"}));
    EXPECT_NE(z({"--no-fit", "--shape", "lorentz"}), z({"--no-fit", "--shape", "gauss"}));
    // Double precision reaches the same squared sum within 1E-9 (a run stopped early shows its
    // last digits); threads change nothing.
    const double extended = z({"--mode", "semi"});
    const double fast = z({"--mode", "semi", "--precision", "double"});
    EXPECT_NEAR(fast, extended, 1e-9 * extended);
    EXPECT_NE(fast, extended);
    EXPECT_EQ(z({"--threads", "3"}), z({"--threads", "1"}));
}

// An arrayed VnmrJ file of 6 spectra, 1,000 points each: two Gauss lines whose heights decay
// as exp(-t / 2.5) for t = 0..5, on a baseline, with seeded noise.
struct Series {
    std::string path;
    std::vector<std::vector<double>> heights;  // [spectrum][line], raw intensity units
};

Series WriteDecayingSeries(const TempDir& dir, test::Endian order = test::Endian::kBig,
                           const std::string& name = "series") {
    const int n = 1000;
    const double a0[] = {2000.0, 1200.0};
    const int pos[] = {300, 650};
    const double hw[] = {8.0, 12.0};
    std::mt19937 rng(4);
    std::normal_distribution<double> noise(0.0, 4.0);
    Series s;
    std::vector<std::vector<float>> spectra;
    for (int t = 0; t < 6; ++t) {
        std::vector<double> y(static_cast<std::size_t>(n), 100.0);
        std::vector<double> h;
        for (int j = 0; j < 2; ++j) {
            const double height = a0[j] * std::exp(-t / 2.5);
            h.push_back(height);
            for (int p = 1; p <= n; ++p) {
                const double u = (p - pos[j]) / hw[j];
                y[static_cast<std::size_t>(p - 1)] += height * std::exp(-std::log(2.0) * u * u);
            }
        }
        for (double& v : y) v += noise(rng);
        s.heights.push_back(h);
        spectra.push_back(test::ToFloats(y));
    }
    dir.Write(name + ".vnp", test::ProcparText({}));
    s.path = dir.Write(name + ".vnj", test::VnmrDataFile(spectra, order));
    Document peaks = test::MakeDocument(n);
    test::AddPeak(peaks, 302, 0.6, 7.0);
    test::AddPeak(peaks, 648, 0.5, 13.5);
    dir.Write("series.sp2", files::PeakFileText(peaks));
    return s;
}

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);  // header
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ',')) fields.push_back(cell);
        rows.push_back(fields);
    }
    return rows;
}

TEST(FitCommand, AllSpectraOfADecayingSeriesFollowTheDecay) {
    TempDir dir;
    const Series s = WriteDecayingSeries(dir);
    const Result r = RunCli({s.path, "--all-spectra", "--peaks", dir.File("series.sp2"), "--table",
                             dir.File("series.csv"), "--quiet"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 6);
    EXPECT_EQ(r.out.rfind("spectrum=1 Z=", 0), 0u) << r.out;
    const auto rows = CsvRows(test::ReadFileBytes(dir.File("series.csv")));
    ASSERT_EQ(rows.size(), 12u);
    for (const auto& row : rows) {
        const int t = std::stoi(row[0]) - 1;
        const int line = std::stoi(row[1]) - 1;
        const double height = std::stod(row[6]);
        const double error = std::stod(row[12]);
        const double truth = s.heights[static_cast<std::size_t>(t)][static_cast<std::size_t>(line)];
        // Within 5 of the fit's own errors (which come from the noise) and within 2 %.
        EXPECT_NEAR(height, truth, 5 * error) << "spectrum " << t + 1 << " line " << line + 1;
        EXPECT_NEAR(height, truth, 0.02 * truth);
        EXPECT_EQ(row[3], line == 0 ? "300" : "650");
    }
}

TEST(FitCommand, ASeriesFittedInParallelWritesWhatTheSequentialRunWrites) {
    TempDir dir;
    const Series s = WriteDecayingSeries(dir);
    auto run = [&](const std::vector<std::string>& more, const std::string& table) {
        std::vector<std::string> args = {
            s.path, "--all-spectra", "--peaks", dir.File("series.sp2"), "--table", dir.File(table)};
        args.insert(args.end(), more.begin(), more.end());
        Result r = RunCli(args);
        r.out = Outcome(r);  // fit times differ from run to run; everything else must not
        return r;
    };
    const Result one = run({"--jobs", "1"}, "one.csv");
    ASSERT_EQ(one.status, kExitOk) << one.err;
    for (const char* jobs : {"2", "4", "9"}) {
        SCOPED_TRACE(jobs);
        const Result more = run({"--jobs", jobs}, "more.csv");
        ASSERT_EQ(more.status, kExitOk) << more.err;
        EXPECT_EQ(more.out, one.out);
        EXPECT_EQ(more.err, one.err);  // the progress lines too, spectrum by spectrum
        EXPECT_EQ(test::ReadFileBytes(dir.File("more.csv")),
                  test::ReadFileBytes(dir.File("one.csv")));
    }
    EXPECT_NE(one.err.find("iteration 1: Z="), std::string::npos);

    // Without its header the table is the rows alone, ready to be joined to others.
    const Result rows = run({"--table-header", "no", "--quiet"}, "rows.csv");
    ASSERT_EQ(rows.status, kExitOk) << rows.err;
    const std::string full = test::ReadFileBytes(dir.File("one.csv"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("rows.csv")), full.substr(full.find("\r\n") + 2));
}

// A series fitted from a width whose first step leaves the doubles (unguarded, Z and the
// position went NaN and the table said "-nan"): every spectrum is marked in the table without
// numbers, its summary line has no Z, the exit status says the fit failed, and nothing
// anywhere says nan or inf. Sequential and parallel alike.
TEST(FitCommand, SpectraWhoseFitMeetsInfinityAreMarkedWithoutNumbers) {
    TempDir dir;
    const int n = 300;
    std::vector<std::vector<float>> spectra;
    for (int t = 0; t < 3; ++t) {
        std::vector<double> y(static_cast<std::size_t>(n), 0.0);
        for (int p = 1; p <= n; ++p) {
            const double u = (p - 150) / 6.0;
            y[static_cast<std::size_t>(p - 1)] = (1000.0 - 300 * t) * std::exp(-u * u) + p % 7;
        }
        spectra.push_back(test::ToFloats(y));
    }
    test::ProcparFields fields;
    fields.Fn = std::to_string(2 * n);
    dir.Write("s.vnp", test::ProcparText(fields));
    const std::string path = dir.Write("s.vnj", test::VnmrDataFile(spectra, test::Endian::kBig));
    Document peaks = test::MakeDocument(n);
    test::AddPeak(peaks, 150, 1.0, 1e150);
    dir.Write("s.sp2", files::PeakFileText(peaks));
    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        const Result r = RunCli({path, "--all-spectra", "--peaks", dir.File("s.sp2"), "--table",
                                 dir.File("s.csv"), "--jobs", jobs, "--quiet"});
        EXPECT_EQ(r.status, kExitFitFailed);
        const std::string table = test::ReadFileBytes(dir.File("s.csv"));
        for (std::string text : {r.out, r.err, table}) {
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_EQ(text.find("nan"), std::string::npos) << text;
            EXPECT_EQ(text.find("inf"), std::string::npos) << text;
        }
        std::istringstream lines(r.out);
        std::string line;
        for (int k = 1; k <= 3; ++k) {
            ASSERT_TRUE(std::getline(lines, line));
            EXPECT_EQ(line.rfind("spectrum=" + std::to_string(k) + " Z= iterations=0 ", 0), 0u)
                << line;
        }
        EXPECT_NE(r.err.find("The fit stopped in iteration 1: the step made the half width of "
                             "peak 1 overflow. The peak table is unchanged."),
                  std::string::npos)
            << r.err;
        const auto rows = CsvRows(table);
        ASSERT_EQ(rows.size(), 3u);
        for (int k = 1; k <= 3; ++k) {
            const auto& row = rows[static_cast<std::size_t>(k - 1)];
            ASSERT_EQ(row.size(), 15u);  // 16 columns, the last empty one not split off
            EXPECT_EQ(row[0], std::to_string(k));
            EXPECT_EQ(row[2], "not finite");
            for (std::size_t f = 3; f < row.size(); ++f) EXPECT_EQ(row[f], "") << f;
        }
    }
}

TEST(FitCommand, OneSpectrumOfAnArrayedFileInEitherByteOrder) {
    TempDir dir;
    const Series s = WriteDecayingSeries(dir);
    const std::string peaks = dir.File("series.sp2");
    const Result r = RunCli(
        {s.path, "--spectrum", "4", "--peaks", peaks, "--table", dir.File("four.csv"), "--quiet"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const auto rows = CsvRows(test::ReadFileBytes(dir.File("four.csv")));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "4");
    EXPECT_NEAR(std::stod(rows[0][6]), s.heights[3][0], 0.02 * s.heights[3][0]);
    EXPECT_EQ(RunCli({s.path, "--spectrum", "7", "--peaks", peaks}).status, kExitBadInput);

    // The same series written little-endian reads so with --little-endian only.
    const Series little = WriteDecayingSeries(dir, test::Endian::kLittle, "little");
    auto little_run = [&](std::vector<std::string> more) {
        more.insert(more.begin(), {little.path, "--spectrum", "4", "--peaks", peaks, "--quiet"});
        return Outcome(RunCli(more));
    };
    EXPECT_EQ(little_run({"--little-endian"}), Outcome(r));  // stdout is the same with --table
    EXPECT_NE(little_run({}), Outcome(r));
}

TEST(FitCommand, AChainStartsEachSpectrumFromThePreviousResult) {
    TempDir dir;
    const Series s = WriteDecayingSeries(dir);
    auto one_step = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {s.path, "--mode", "manual", "--iterations", "1", "--quiet"});
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        return r;
    };
    const std::string start = dir.File("series.sp2");
    const Result chain = one_step({"--all-spectra", "--chain", "--peaks", start});
    one_step({"--spectrum", "1", "--peaks", start, "--out-sp2", dir.File("one.sp2")});
    // Spectrum 2 from spectrum 1's result (through its 15-digit peak file), not from the start.
    const double from_one = ZOf(one_step({"--spectrum", "2", "--peaks", dir.File("one.sp2")}));
    const double from_start = ZOf(one_step({"--spectrum", "2", "--peaks", start}));
    EXPECT_NEAR(ZOf(chain, 2), from_one, 1e-9 * from_one);
    EXPECT_GT(std::fabs(from_start - from_one), 1e-6 * from_one);
    EXPECT_EQ(ZOf(one_step({"--all-spectra", "--peaks", start}), 2), from_start);
}

// The real executable: exit status and streams as a shell sees them.
int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(FitCommand, TheExecutableReportsThroughItsExitStatus) {
    TempDir dir;
    const std::string spc = WriteSpectrumWithPeaks(dir, kStart);
    const std::string exe = KALVEX_FIT_EXE;
    const std::string out = dir.File("out.txt");
    const std::string err = dir.File("err.txt");
    const std::string redirect = " >" + out + " 2>" + err;
    EXPECT_EQ(Shell(exe + " " + spc + " --bias 0.02" + redirect), 0);
    EXPECT_TRUE(std::regex_match(test::ReadFileBytes(out),
                                 std::regex("Z=\\S+ iterations=\\d+ seconds=\\S+\n")));
    EXPECT_NE(test::ReadFileBytes(err).find("iteration 1: Z="), std::string::npos);
    EXPECT_EQ(Shell(exe + " " + dir.File("none.spc") + redirect), 1);
    EXPECT_EQ(Shell(exe + " " + spc + " --mode sideways" + redirect), 1);
    EXPECT_NE(test::ReadFileBytes(err).find("--mode must be auto, semi or manual"),
              std::string::npos);
    EXPECT_EQ(Shell(exe + " --help" + redirect), 0);
}

}  // namespace
}  // namespace kalvex::cli
