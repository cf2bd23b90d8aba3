// Peak lines in .sp2 files and the .sp3 curve table.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "files/PeakLines.h"
#include "support/DocumentBuilder.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;
using test::TempDir;

Document ReadLines(const std::string& text, Document doc = test::MakeDocument(200)) {
    core::NumberReader in(text, "peaks.sp2");
    ReadPeakLines(in, doc);
    return doc;
}

TEST(PeakLines, ThreeFieldLinesReadWithZeroErrors) {
    Document doc = test::MakeDocument(200);
    doc.PeakPosErr[2] = 9.0;
    doc = ReadLines("10 0.5 2\r\n20 0.25 3 \r\n30 0.125 4 1 2 3\r\n", doc);
    ASSERT_EQ(doc.PeakCount, 3);
    EXPECT_EQ(doc.PeakPos[2], 20);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[2], 3.0);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidthG[2], 3.0);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidthL[2], 3.0);
    EXPECT_DOUBLE_EQ(doc.PeakPosErr[2], 0.0);  // a trailing blank does not reach the next line
    EXPECT_DOUBLE_EQ(doc.PeakHeightErr[3], 2.0);
    EXPECT_FALSE(doc.BiasFromFile);
}

TEST(PeakLines, PositionsUpTo65535AreStoredAndOneMoreIsARangeError) {
    for (const auto& [text, pos] : {std::pair{"65535 1 2", 65535}, {"-1 1 2", 0}, {"0 1 2", 0}}) {
        EXPECT_EQ(ReadLines(text).PeakPos[1], pos) << text;
    }
    EXPECT_THROW(ReadLines("1 1 2\r\n65536 1 2"), RangeCheckError);
}

TEST(PeakLines, TheFirstLineCarriesBiasAndLineShape) {
    struct Case {
        const char* Line;
        bool StartLorentz;
        float Bias;
        bool FromFile;
        bool Lorentz;
    };
    const Case cases[] = {
        {"5 1 2 0 0 0 0.02 FALSE\r\n", true, 0.02f, true, false},
        {"5 1 2 0 0 0 0.02 true\r\n", false, 0.02f, true, true},
        {"5 1 2 0 0 0 0.02 TRUE\n", false, 0.02f, true, true},
        {"5 1 2 0 0 0 0.02\r\n", true, 0.02f, true, true},  // no flag: the shape stays
        {"5 1 2 0 0 0\r\n", true, 0.0f, false, true},
    };
    for (const Case& c : cases) {
        Document doc = test::MakeDocument(100);
        doc.PeakKindLorentz = c.StartLorentz;
        doc = ReadLines(c.Line, doc);
        EXPECT_FLOAT_EQ(doc.Bias, c.Bias) << c.Line;
        EXPECT_EQ(doc.BiasFromFile, c.FromFile) << c.Line;
        EXPECT_EQ(doc.PeakKindLorentz, c.Lorentz) << c.Line;
    }
    // Only the first line may carry them.
    Document doc = ReadLines("5 1 2 0 0 0\r\n6 1 2 0 0 0 0.5 TRUE\r\n");
    EXPECT_FALSE(doc.BiasFromFile);
    EXPECT_FALSE(doc.PeakKindLorentz);
}

TEST(PeakLines, ThirtyFirstLineAndBadTokenKeepTheTableCount) {
    std::string lines;
    for (int k = 1; k <= 31; ++k) lines += std::to_string(k) + " 1 2\r\n";
    Document doc = test::MakeDocument(100);
    test::AddPeak(doc, 50, 1.0, 1.0);
    core::NumberReader too_many(lines, "many.sp2");
    try {
        ReadPeakLines(too_many, doc);
        FAIL() << "31 peaks accepted";
    } catch (const RangeCheckError& e) {
        EXPECT_EQ(e.Line(), 31);
    }
    EXPECT_EQ(doc.PeakCount, 1);

    core::NumberReader bad("1 1 2\r\n2 x 2\r\n", "bad.sp2");
    try {
        ReadPeakLines(bad, doc);
        FAIL() << "bad token accepted";
    } catch (const InvalidNumericInput& e) {
        EXPECT_EQ(e.Line(), 2);
        EXPECT_EQ(e.File(), "bad.sp2");
    }
    EXPECT_EQ(doc.PeakCount, 1);

    lines.resize(lines.rfind("31 "));
    EXPECT_EQ(ReadLines(lines + "\r\n\r\n").PeakCount, 30);  // blank lines at the end add nothing
    EXPECT_EQ(ReadLines("").PeakCount, 0);
}

TEST(PeakLines, Sp2KeepsPeaksOutsideTheRangeWithNegativePositions) {
    Document doc = test::MakeDocument(200);
    test::AddPeak(doc, 150, 1.5, 2.0);
    test::AddPeak(doc, 80, -0.00125, 0.5);
    doc.PeakPosErr[1] = 1.0;
    doc.Bias = 0.25f;
    doc.PeakKindLorentz = true;
    doc.ViewFirstPoint = 101;
    const std::string expected =
        "50  1.50000000000000E+0000 2.00000000000000E+0000 1.00000000000000E+0000 "
        "0.00000000000000E+0000 0.00000000000000E+0000 2.50000000000000E-0001 TRUE\r\n"
        "-20 -1.25000000000000E-0003 5.00000000000000E-0001 0.00000000000000E+0000 "
        "0.00000000000000E+0000 0.00000000000000E+0000\r\n";
    EXPECT_EQ(PeakFileText(doc), expected);

    TempDir dir;
    const std::string path = dir.File("a.sp2");
    ASSERT_EQ(WritePeakFile(path, doc), PeakWriteStatus::kWritten);
    EXPECT_EQ(test::ReadFileBytes(path), expected);

    // Read back with the whole spectrum shown: 50 is point 50; the peak before the range
    // cannot sit at a negative point and comes back at point 0.
    Document back = test::MakeDocument(200);
    ASSERT_TRUE(ReadPeakFileIfPresent(path, back));
    ASSERT_EQ(back.PeakCount, 2);
    EXPECT_EQ(back.PeakPos[1], 50);
    EXPECT_EQ(back.PeakPos[2], 0);
    EXPECT_DOUBLE_EQ(back.PeakHeight[2], -0.00125);
    EXPECT_FLOAT_EQ(back.Bias, 0.25f);
    EXPECT_TRUE(back.PeakKindLorentz);

    EXPECT_FALSE(ReadPeakFileIfPresent(dir.File("missing.sp2"), back));
    EXPECT_EQ(back.PeakCount, 2);
}

TEST(PeakLines, EmptyTableWritesNothing) {
    TempDir dir;
    Document doc = test::MakeDocument(10);
    EXPECT_EQ(WritePeakFile(dir.File("a.sp2"), doc), PeakWriteStatus::kNoPeakData);
    EXPECT_EQ(WriteCurveTable(dir.File("a.sp3"), doc), PeakWriteStatus::kNoPeakData);
    EXPECT_TRUE(test::FilesIn(dir.Path()).empty());
}

TEST(PeakLines, CurveTableHasHeaderPeakLinesColumnsAndOneRowPerPoint) {
    Document doc = test::MakeDocument(3, 2.0, 0.5, 100.0, [](int p) { return 0.25 * p; });
    doc.YScale = 2.0;
    doc.YOffset = 1.0;
    doc.Bias = 0.5f;
    test::AddPeak(doc, 2, 1.0, 1.0);
    test::AddPeak(doc, 3, 0.5, 1.0);
    for (int p = 0; p < 3; ++p) {
        doc.PeakCurve(1)[p] = 0.1 * (p + 1);
        doc.PeakCurve(2)[p] = 0.2;
        doc.SumY[p] = doc.PeakCurve(1)[p] + 0.2;
    }
    const std::string text = CurveTableText(doc);
    const std::string expected =
        "Peak number, X-point(digital point), Normarized-Y, Half-Width, error-X, error-Y, "
        "error-width; 1st-line: Bias & LorG\r\n"
        "Peak #: 1, 2  1.00000000000000E+0000 1.00000000000000E+0000 0.00000000000000E+0000 "
        "0.00000000000000E+0000 0.00000000000000E+0000 5.00000000000000E-0001 FALSE\r\n"
        "Peak #: 2, 3  5.00000000000000E-0001 1.00000000000000E+0000 0.00000000000000E+0000 "
        "0.00000000000000E+0000 0.00000000000000E+0000\r\n"
        " x data (ppm or Hz),     y data :  Obs.,         #: 1,                   #: 2,"
        "                  Sum Spectrum; JCAMP type data\r\n"
        // X, observed 0.25*p*2+1, peak (c+0.5)*2+1, peak 2 (0.2+0.5)*2+1, sum
        " 2.00000000000000E+0000  1.50000000000000E+0000  2.20000000000000E+0000  "
        "2.40000000000000E+0000  2.60000000000000E+0000\r\n"
        " 1.50000000000000E+0000  2.00000000000000E+0000  2.40000000000000E+0000  "
        "2.40000000000000E+0000  2.80000000000000E+0000\r\n"
        " 1.00000000000000E+0000  2.50000000000000E+0000  2.60000000000000E+0000  "
        "2.40000000000000E+0000  3.00000000000000E+0000\r\n";
    EXPECT_EQ(text, expected);

    // A narrowed view: every point is still written, X counted from the first point shown.
    doc.ViewFirstPoint = 2;
    doc.ViewPointCount = 2;
    doc.XFirstPpm = 1.5;
    const std::string narrowed = CurveTableText(doc);
    EXPECT_NE(narrowed.find("Peak #: 1, 1 "), std::string::npos);
    EXPECT_EQ(narrowed.substr(narrowed.find("JCAMP type data\r\n") + 17),
              text.substr(text.find("JCAMP type data\r\n") + 17));

    // One peak: three header lines, four values per row.
    doc.PeakCount = 1;
    const std::string one = CurveTableText(doc);
    EXPECT_NE(one.find(" x data (ppm or Hz),     y data :  Obs.,         #: 1,                  "
                       "Sum Spectrum; JCAMP type data\r\n"),
              std::string::npos);
    const std::size_t rows_start = one.find("JCAMP type data\r\n") + 17;
    const std::string first_row = one.substr(rows_start, one.find("\r\n", rows_start) - rows_start);
    EXPECT_EQ(first_row.size(), 4u * 23u + 3u);
}

}  // namespace
}  // namespace kalvex::files
