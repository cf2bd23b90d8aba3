// The X-Y text and VnmrJ text readers and the common normalisation of every import.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "files/OpenCommand.h"
#include "files/VnmrText.h"
#include "files/XyText.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;
using test::TempDir;

Document Load(const std::string& path) {
    return LoadSpectrum(path, Document{}, core::Options{}, nullptr);
}

// Raw intensities 20, 60, 120 -> min 20, range 100.
const std::string kFalling = "7.5 20\n7.25 60\n7.0 120\n";

TEST(XyText, ReadsCalibrationAndNormalisesToTheRange) {
    TempDir dir;
    const Document doc = Load(dir.Write("a.dat", kFalling));
    EXPECT_EQ(doc.F_Type, static_cast<int>(core::FileType::kDat));
    EXPECT_EQ(doc.PointCount, 3);
    EXPECT_EQ(doc.ViewPointCount, 3);
    EXPECT_EQ(doc.RangeFullCount, 3);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm, 7.5);
    EXPECT_DOUBLE_EQ(doc.XFirstHz, 7.5);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm0, 7.5);
    EXPECT_DOUBLE_EQ(doc.RangeFullHz, 7.5);
    EXPECT_DOUBLE_EQ(doc.XStepPpm, 0.25);
    EXPECT_DOUBLE_EQ(doc.XStepHz, 0.25);
    EXPECT_DOUBLE_EQ(doc.ObsFreq, 1.0);
    EXPECT_DOUBLE_EQ(doc.YScale, 100.0);
    EXPECT_EQ(doc.YOffset, 0.0);
    EXPECT_EQ(doc.SpcExtra, 0.0);
    EXPECT_DOUBLE_EQ(doc.ObsY[0], 0.0);
    EXPECT_DOUBLE_EQ(doc.ObsY[1], 0.4);
    EXPECT_DOUBLE_EQ(doc.ObsY[2], 1.0);
}

TEST(XyText, RisingXIsReadFromTheLastLineSoEveryPointKeepsItsX) {
    TempDir dir;
    // Tabs, CR LF, a third column; X rises by 0.5, with the middle X rounded.
    const Document doc = Load(dir.Write("r.dat", "-2.0\t5\t9\r\n-1.4\t7\t9\r\n-1.0\t6\t9\r\n"));
    ASSERT_EQ(doc.PointCount, 3);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm, -1.0);
    EXPECT_DOUBLE_EQ(doc.XStepPpm, 0.5);
    EXPECT_DOUBLE_EQ(doc.XStepHz, 0.5);
    EXPECT_DOUBLE_EQ(doc.ObsY[0], 0.5);  // the last line's 6
    EXPECT_DOUBLE_EQ(doc.ObsY[1], 1.0);
    EXPECT_DOUBLE_EQ(doc.ObsY[2], 0.0);  // the first line's 5, at X -2
}

TEST(XyText, BlankLinesAtTheEndAddNoPoint) {
    TempDir dir;
    for (const char* tail : {"", "\n", "\r\n\r\n  \n"}) {
        const Document doc = Load(dir.Write("b.dat", kFalling + tail));
        EXPECT_EQ(doc.PointCount, 3) << "tail " << tail;
        EXPECT_DOUBLE_EQ(doc.YScale, 100.0);
    }
    const Document vdt = Load(dir.Write("w.vdt", "10.0\n-2.0\n5\n-3\n13\n1\n\n\n"));
    EXPECT_EQ(vdt.PointCount, 4);
    EXPECT_DOUBLE_EQ(vdt.XStepPpm, 4.0);
}

TEST(XyText, ReadsTheSp2FileBeside) {
    TempDir dir;
    dir.Write("p.sp2", "2  5.00000000000000E-0001 3.00000000000000E+0000\r\n");
    const Document doc = Load(dir.Write("p.dat", kFalling));
    ASSERT_EQ(doc.PeakCount, 1);
    EXPECT_EQ(doc.PeakPos[1], 2);
}

TEST(XyText, StopsAtTheLimitOfPoints) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 65536; ++i) text += std::to_string(i) + " " + std::to_string(i % 7) + "\n";
    EXPECT_EQ(Load(dir.Write("full.dat", text)).PointCount, 65536);
    try {
        Load(dir.Write("over.dat", text + "-1 3\n"));
        FAIL() << "a 65,537th point was accepted";
    } catch (const Error& e) {
        EXPECT_NE(e.Reason().find("Range check error"), std::string::npos) << e.what();
        EXPECT_EQ(e.Line(), 65537);
    }
}

TEST(VnmrText, FirstAndLastXGiveTheStep) {
    TempDir dir;
    const Document doc = Load(dir.Write("v.vdt", "10.0\r\n-2.0\r\n5\r\n-3\r\n13\r\n1\r\n"));
    EXPECT_EQ(doc.F_Type, static_cast<int>(core::FileType::kVnmrText));
    EXPECT_EQ(doc.PointCount, 4);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm, 10.0);
    EXPECT_DOUBLE_EQ(doc.XFirstHz, 10.0);
    EXPECT_DOUBLE_EQ(doc.XStepPpm, 4.0);
    EXPECT_DOUBLE_EQ(doc.XStepHz, 4.0);
    EXPECT_DOUBLE_EQ(doc.ObsFreq, 1.0);
    EXPECT_DOUBLE_EQ(doc.YScale, 16.0);
    EXPECT_DOUBLE_EQ(doc.ObsY[0], 0.5);
    EXPECT_DOUBLE_EQ(doc.ObsY[2], 1.0);
}

}  // namespace
}  // namespace kalvex::files
