// The .par report, byte for byte: both layouts, the number column, narrow widths, the Hz axis,
// the Gauss+Lorentz variant, cut cells, and the write beside the spectrum.
#include <gtest/gtest.h>

#include "peaks/FitReport.h"
#include "support/DocumentBuilder.h"
#include "support/TempDir.h"

namespace kalvex::peaks {
namespace {

using core::Document;
using core::Options;

const std::string kRule =
    "------------------------------------------------------------------------------------------"
    "------------\r\n";

// 1000 points from 10 ppm (4000 Hz), 0.01 ppm = 4 Hz per point, YScale 1, no magnification.
Document Spectrum() { return test::MakeDocument(1000); }

void SetErrors(Document& doc, int k, double pos, double height, double width) {
    doc.PeakPosErr[k] = pos;
    doc.PeakHeightErr[k] = height;
    doc.PeakHalfWidthErr[k] = width;
}

// Two Gauss peaks, the first with four times the area of the second.
Document TwoGaussPeaks() {
    Document doc = Spectrum();
    test::AddPeak(doc, 201, 0.8, 5.0);
    SetErrors(doc, 1, 0.2, 0.004, 0.1);
    test::AddPeak(doc, 451, 0.4, 2.5);
    SetErrors(doc, 2, 0.5, 0.003, 0.05);
    return doc;
}

std::string Header(const std::string& gains, const std::string& total, const std::string& kind,
                   const std::string& points = "1000") {
    return "test.spc : Best Fit Parameters\r\n"
           "FID Data Points : " +
           points + "\r\n" + gains + "     Total Area : " + total +
           "\r\n    Peak's Kind : " + kind + "\r\n" + kRule;
}

const std::string kUnitGains =
    "Normarized Gain : 1.00000000000000E+0000\r\n"
    "Peak Gain :  1.00000000000000E+0000\r\n"
    "magnitify :  1.00000000000000E+0000\r\n";

TEST(FitReport, OnePeakShareIsTakenOfTheTotalAsShown) {
    Document doc = Spectrum();
    test::AddPeak(doc, 101, 0.3086275, 5.0);
    SetErrors(doc, 1, 0.3, 0.002, 0.1);
    Options opts;
    opts.Int_Type = 1;  // "Compatible": 12.3451, shown as 1.235E+01
    const std::string expected =
        Header(kUnitGains, "1.235E+01", "Gaussian") +
        "Peak Number   X-position       Peak Height    Full lineWidth   Area (Height*FLW) "
        "<relative, %>\r\n" +
        kRule +
        "    1         9.00+-0.00 ppm   0.309+-0.002   40.00+-0.80 Hz   12.345+-0.3269 "
        "<99.96%>\r\n" +
        kRule;
    EXPECT_EQ(FitReportText(doc, opts), expected);
}

TEST(FitReport, TenPeaksKeepTheirNumbersEndingInOneColumn) {
    Document doc = Spectrum();
    doc.YScale = 2.5;
    doc.YRange = 0.5;
    doc.ViewPointCount = 800;
    doc.PeakKindLorentz = true;
    for (int k = 1; k <= 10; ++k) {
        test::AddPeak(doc, 1 + 60 * (k - 1), 0.05 * k, 2 + 0.5 * k);
        SetErrors(doc, k, 0.1 * k, 0.001 * k, 0.02 * k);
    }
    Options opts;
    const std::string gains =
        "Normarized Gain : 2.50000000000000E+0000\r\n"
        "Peak Gain :  5.00000000000000E-0001\r\n"
        "magnitify :  2.00000000000000E+0000\r\n";
    const std::string expected =
        Header(gains, "4.752E+02", "Lorentzian", "800") +
        "Peak Number   X-position        Peak Height    Full lineWidth   Area (Height*FLW) "
        "<relative, %>\r\n" +
        kRule +
        "    1         10.00+-0.00 ppm   0.050+-0.001   20.00+-0.16 Hz   3.927+-0.0846   "
        "<0.83%>\r\n"
        "\r\n"
        "    2         9.40+-0.00 ppm    0.100+-0.002   24.00+-0.32 Hz   9.425+-0.2265   "
        "<1.98%>\r\n"
        "\r\n"
        "    3         8.80+-0.00 ppm    0.150+-0.003   28.00+-0.48 Hz   16.493+-0.4345  "
        "<3.47%>\r\n"
        "\r\n"
        "    4         8.20+-0.00 ppm    0.200+-0.004   32.00+-0.64 Hz   25.133+-0.7109  "
        "<5.29%>\r\n"
        "\r\n"
        "    5         7.60+-0.01 ppm    0.250+-0.005   36.00+-0.80 Hz   35.343+-1.0566  "
        "<7.44%>\r\n"
        "\r\n"
        "    6         7.00+-0.01 ppm    0.300+-0.006   40.00+-0.96 Hz   47.124+-1.4722  "
        "<9.92%>\r\n"
        "\r\n"
        "    7         6.40+-0.01 ppm    0.350+-0.007   44.00+-1.12 Hz   60.476+-1.9577  "
        "<12.73%>\r\n"
        "\r\n"
        "    8         5.80+-0.01 ppm    0.400+-0.008   48.00+-1.28 Hz   75.398+-2.5133  "
        "<15.87%>\r\n"
        "\r\n"
        "    9         5.20+-0.01 ppm    0.450+-0.009   52.00+-1.44 Hz   91.892+-3.1390  "
        "<19.34%>\r\n"
        "\r\n"
        "   10         4.60+-0.01 ppm    0.500+-0.010   56.00+-1.60 Hz   109.956+-3.8348 "
        "<23.14%>\r\n" +
        kRule;
    EXPECT_EQ(FitReportText(doc, opts), expected);
}

TEST(FitReport, NarrowWidthsStillGetTheHeadingWideColumn) {
    Document doc = Spectrum();
    test::AddPeak(doc, 201, 0.8, 0.5);
    SetErrors(doc, 1, 0.2, 0.004, 0.01);
    test::AddPeak(doc, 251, 0.4, 1.0);
    SetErrors(doc, 2, 0.5, 0.003, 0.02);
    Options opts;
    const std::string expected =
        Header(kUnitGains, "6.813E+00", "Gaussian") +
        "Peak Number   X-position       Peak Height    Full lineWidth   Area (Height*FLW) "
        "<relative, %>\r\n" +
        kRule +
        "    1         8.00+-0.00 ppm   0.800+-0.004   4.00+-0.08 Hz    3.406+-0.0702 <50.00%>\r\n"
        "\r\n"
        "    2         7.50+-0.01 ppm   0.400+-0.003   8.00+-0.16 Hz    3.406+-0.0728 "
        "<50.00%>\r\n" +
        kRule;
    EXPECT_EQ(FitReportText(doc, opts), expected);
}

TEST(FitReport, HzAxisChangesOnlyTheTablePositionColumn) {
    const Document doc = TwoGaussPeaks();
    Options opts;
    opts.Xaxis = 1;
    const std::string expected =
        Header(kUnitGains, "4.258E+01", "Gaussian") +
        "Peak Number   X-position         Peak Height    Full lineWidth   Area (Height*FLW) "
        "<relative, %>\r\n" +
        kRule +
        "    1         3200.00+-0.80 Hz   0.800+-0.004   40.00+-0.80 Hz   34.063+-0.7022 "
        "<80.00%>\r\n"
        "\r\n"
        "    2         2200.00+-2.00 Hz   0.400+-0.003   20.00+-0.40 Hz   8.516+-0.1819  "
        "<20.00%>\r\n" +
        kRule;
    EXPECT_EQ(FitReportText(doc, opts), expected);

    opts.ParType = 1;
    const std::string blocks = FitReportText(doc, opts);
    opts.Xaxis = 0;
    EXPECT_EQ(blocks, FitReportText(doc, opts));
}

TEST(FitReport, AllParamsWritesABlockPerPeak) {
    Document doc = TwoGaussPeaks();
    doc.YScale = 2.0;
    doc.YRange = 0.5;
    Options opts;
    opts.ParType = 1;
    const std::string gains =
        "Normarized Gain : 2.00000000000000E+0000\r\n"
        "Peak Gain :  5.00000000000000E-0001\r\n"
        "magnitify :  2.00000000000000E+0000\r\n";
    const std::string expected = Header(gains, "8.516E+01", "Gaussian") +
                                 "Peak : 1\r\n"
                                 "Position : 8.00+-0.00ppm  3200.00+-0.80Hz  201+-0.2points\r\n"
                                 "  Height : 0.800+-0.004\r\n"
                                 "LineWidth: 0.10+-0.00ppm  40.00+-0.80 Hz 10.00+-0.20points\r\n"
                                 "    Area : 68.126+-1.4045 <80.00%>\r\n"
                                 "\r\n"
                                 "Peak : 2\r\n"
                                 "Position : 5.50+-0.01ppm  2200.00+-2.00Hz  451+-0.5points\r\n"
                                 "  Height : 0.400+-0.003\r\n"
                                 "LineWidth: 0.05+-0.00ppm  20.00+-0.40 Hz 5.00+-0.10points\r\n"
                                 "    Area : 17.031+-0.3638 <20.00%>\r\n" +
                                 kRule;
    EXPECT_EQ(FitReportText(doc, opts), expected);
}

// The Gauss peaks with Gauss+Lorentz values: Gaussian and Lorentzian widths, fraction, area.
Document GaussLorentzPeaks() {
    Document doc = TwoGaussPeaks();
    doc.PeakHalfWidth[1] = doc.PeakHalfWidth[2] = 9.0;  // must not show
    doc.PeakHalfWidthErr[1] = doc.PeakHalfWidthErr[2] = 0.3;
    const struct {
        double G, L, F, Area, GErr, LErr, FErr;
    } gl[] = {{5.0, 3.0, 0.25, 7.5, 0.1, 0.06, 0.01}, {2.5, 1.5, 0.5, 2.5, 0.05, 0.03, 0.02}};
    for (int k = 1; k <= 2; ++k) {
        const auto& v = gl[k - 1];
        doc.PeakHalfWidthG[k] = v.G;
        doc.PeakHalfWidthL[k] = v.L;
        doc.PeakFractionL[k] = v.F;
        doc.PeakAreaGL[k] = v.Area;
        doc.PeakHalfWidthGErr[k] = v.GErr;
        doc.PeakHalfWidthLErr[k] = v.LErr;
        doc.PeakFractionLErr[k] = v.FErr;
    }
    return doc;
}

TEST(FitReport, GaussLorentzTableHasBothWidthsAndTheIntrinsicArea) {
    const Document doc = GaussLorentzPeaks();
    Options opts;
    opts.LGselect = 2;
    opts.Int_Type = 1;  // ignored: Gauss+Lorentz integrates as "Area"
    const std::string expected =
        Header(kUnitGains, "1.000E+01", "Gauss+Lorentz") +
        "Peak Number   X-position       Peak Height    Gauss lineWidth   Lorentz lineWidth   "
        "Area (Intrinsic) <relative, %>\r\n" +
        kRule +
        "    1         8.00+-0.00 ppm   0.800+-0.004   40.00+-0.80 Hz    24.00+-0.48 Hz      "
        "7.500+-0.2281 <75.00%>\r\n"
        "\r\n"
        "    2         5.50+-0.01 ppm   0.400+-0.003   20.00+-0.40 Hz    12.00+-0.24 Hz      "
        "2.500+-0.0886 <25.00%>\r\n" +
        kRule;
    EXPECT_EQ(FitReportText(doc, opts), expected);
}

TEST(FitReport, GaussLorentzBlocksHaveBothWidthsAndTheFraction) {
    const Document doc = GaussLorentzPeaks();
    Options opts;
    opts.LGselect = 2;
    opts.ParType = 1;
    const std::string expected = Header(kUnitGains, "1.000E+01", "Gauss+Lorentz") +
                                 "Peak : 1\r\n"
                                 "Position : 8.00+-0.00ppm  3200.00+-0.80Hz  201+-0.2points\r\n"
                                 "  Height : 0.800+-0.004\r\n"
                                 "G-Width  : 0.10+-0.00ppm  40.00+-0.80 Hz 10.00+-0.20points\r\n"
                                 "L-Width  : 0.06+-0.00ppm  24.00+-0.48 Hz 6.00+-0.12points\r\n"
                                 "Fraction : 0.250+-0.0100\r\n"
                                 "    Area : 7.500+-0.2281 <75.00%>\r\n"
                                 "\r\n"
                                 "Peak : 2\r\n"
                                 "Position : 5.50+-0.01ppm  2200.00+-2.00Hz  451+-0.5points\r\n"
                                 "  Height : 0.400+-0.003\r\n"
                                 "G-Width  : 0.05+-0.00ppm  20.00+-0.40 Hz 5.00+-0.10points\r\n"
                                 "L-Width  : 0.03+-0.00ppm  12.00+-0.24 Hz 3.00+-0.06points\r\n"
                                 "Fraction : 0.500+-0.0200\r\n"
                                 "    Area : 2.500+-0.0886 <25.00%>\r\n" +
                                 kRule;
    EXPECT_EQ(FitReportText(doc, opts), expected);
}

TEST(FitReport, CellsLongerThanThirtyCharactersAreCut) {
    Document doc = Spectrum();
    doc.XFirstHz0 = -1.23456789e300;
    test::AddPeak(doc, 1, 0.5, 5.0);
    doc.PeakPosErr[1] = 1.2345678e300 / 4.0;
    Options opts;
    opts.Xaxis = 1;
    const std::string text = FitReportText(doc, opts);
    // "-1.2345679E300+-1.234568E300 Hz" is 31 characters; the cell keeps 30.
    EXPECT_NE(text.find("         -1.2345679E300+-1.234568E300 H   0.500"), std::string::npos)
        << text;
}

TEST(FitReport, NoShareOfAZeroTotal) {
    Document doc = Spectrum();
    test::AddPeak(doc, 101, 0.0, 5.0);
    Options opts;
    const std::string text = FitReportText(doc, opts);
    EXPECT_NE(text.find("     Total Area : 0.000E+00\r\n"), std::string::npos);
    EXPECT_NE(text.find("   0.000+-0.0000 \r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('<', text.find("    1  ")), std::string::npos);
}

TEST(FitReport, ATotalBeyondTheDoublesIsShownAsItIs) {
    // Found by fuzzing: reading the shown total back threw once numbers had to be finite.
    Document doc = Spectrum();
    test::AddPeak(doc, 101, 1e300, 1e10);
    test::AddPeak(doc, 201, 1e300, 1e10);
    const std::string text = FitReportText(doc, Options{});
    EXPECT_NE(text.find("     Total Area : INF\r\n"), std::string::npos) << text;
}

TEST(FitReport, WrittenBesideTheSpectrumReplacingAnOldReport) {
    test::TempDir dir;
    Document doc = TwoGaussPeaks();
    doc.SpectrumFileName = dir.File("run 7.spc");
    const std::string path = FitReportPath(doc);
    EXPECT_EQ(path, dir.File("run 7.par"));
    dir.Write("run 7.par", "an older report that is longer than nothing");
    Options opts;
    WriteFitReport(path, doc, opts);
    const std::string text = FitReportText(doc, opts);
    EXPECT_EQ(test::ReadFileBytes(path), text);
    EXPECT_EQ(text.substr(0, 32), "run 7.spc : Best Fit Parameters\r");
}

}  // namespace
}  // namespace kalvex::peaks
