// Range XY: the texts it opens with, the typed range, the magnification arrows, Cancel's gain.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "support/DocumentBuilder.h"
#include "tools/RangeXY.h"

namespace kalvex::tools {
namespace {

// 801 points from 100 ppm down by 0.125 ppm at 400 MHz (full end 0 ppm), showing points
// 81..480 (90 .. 40.125 ppm): every value below is exact in binary.
core::Document ZoomedDocument() {
    core::Document doc = test::MakeDocument(801, 100.0, 0.125, 400.0);
    ShowPoints(doc, 81, 400);
    return doc;
}

TEST(RangeXY, OpensWithTheShownRangeCutOnPpmAndHzAxes) {
    core::Document doc = ZoomedDocument();
    const RangeTexts ppm = RangeShowTexts(doc);
    EXPECT_EQ(ppm.Edit1, "90");
    EXPECT_EQ(ppm.Edit2, "40.13");  // 40.125 cut to 40.12, raised by 0.01
    EXPECT_EQ(ppm.Unit, "PPM");
    doc.XAxisPpm = false;
    const RangeTexts hz = RangeShowTexts(doc);
    EXPECT_EQ(hz.Edit1, "36000");
    EXPECT_EQ(hz.Edit2, "16050.1");
    EXPECT_EQ(hz.Unit, "Hz");
}

TEST(RangeXY, TypedRangeSetsFirstPointAndCountByWhichEditChanged) {
    struct Case {
        const char* Edit1;
        const char* Edit2;
        bool Edited1;
        bool Edited2;
        bool Ppm;
        bool Accepted;
        std::int32_t First;
        std::int32_t Count;
    };
    const Case cases[] = {
        {"90", "60", false, true, true, true, 81, 241},      // only Edit2: the first point stays
        {"70", "40.13", true, false, true, true, 241, 240},  // only Edit1: the last point stays
        {"70", "60", true, true, true, true, 241, 81},
        {"69.9", "59.93", true, true, true, true, 241, 82},  // start cut, end rounded
        {"28000", "24000", true, true, false, true, 241, 81},
        {"100", "60", true, true, true, false, 81, 400},  // start at the full start
        {"101", "60", true, true, true, false, 81, 400},
        {"70", "0", true, true, true, false, 81, 400},  // end at the full end
        {"70", "-1", true, true, true, false, 81, 400},
        {"60", "60", true, true, true, false, 81, 400},
        {"60", "70", true, true, true, false, 81, 400},
        {"40000", "0", true, true, false, false, 81, 400},
    };
    for (const Case& c : cases) {
        core::Document doc = ZoomedDocument();
        doc.XAxisPpm = c.Ppm;
        const bool accepted = ApplyTypedRange(doc, c.Edit1, c.Edit2, c.Edited1, c.Edited2);
        const std::string what = std::string(c.Edit1) + " - " + c.Edit2;
        EXPECT_EQ(accepted, c.Accepted) << what;
        EXPECT_EQ(doc.ViewFirstPoint, c.First) << what;
        EXPECT_EQ(doc.ViewPointCount, c.Count) << what;
        // Both X values of the first shown point follow it, whichever unit was typed.
        EXPECT_DOUBLE_EQ(doc.XFirstPpm, 100.0 - (c.First - 1) * 0.125) << what;
        EXPECT_DOUBLE_EQ(doc.XFirstHz, doc.XFirstPpm * 400.0) << what;
    }
}

TEST(RangeXY, RangeThatWouldBeEmptyOrIsNoNumberChangesNothing) {
    // X from 0 down to -2 ppm; the view starts at -1.234 ppm, whose Edit1 text -1.23 lies to
    // the left of it. An end between the two gives a count below 1.
    core::Document doc = test::MakeDocument(2001, 0.0, 0.001, 400.0);
    ShowPoints(doc, 1235, 100);
    EXPECT_EQ(RangeShowTexts(doc).Edit1, "-1.23");
    EXPECT_FALSE(ApplyTypedRange(doc, "-1.23", "-1.231", false, true));
    EXPECT_THROW(ApplyTypedRange(doc, "-1.23", "-1.3O", false, true), Error);  // no number
    EXPECT_EQ(doc.ViewFirstPoint, 1235);
    EXPECT_EQ(doc.ViewPointCount, 100);
}

TEST(RangeXY, MagnificationArrowsStepAndStopAtTheirLimits) {
    struct Case {
        double Y;
        bool Fine;
        GainArrow Arrow;
        double Expected;
    };
    const Case cases[] = {
        {100, false, GainArrow::kUp, 100},    // nothing beyond 100
        {99.5, false, GainArrow::kUp, 100},   // a step past 100.1 gives exactly 100
        {100.2, false, GainArrow::kUp, 100},  // shown with 3 digits as 100.00
        {150, false, GainArrow::kUp, 150},    // from the keys, above 100.1: nothing
        {5, false, GainArrow::kUp, 6},           {1, false, GainArrow::kUp, 2},
        {0.5, false, GainArrow::kUp, 0.6},  // below 1 a tenth of the step
        {0.5, true, GainArrow::kUp, 0.51},       {5, true, GainArrow::kUp, 5.1},
        {1.05, false, GainArrow::kDown, 0.95},  // below 1.1 down by a tenth
        {1.1, false, GainArrow::kDown, 0.1},    // from 1.1 on by the whole step
        {2, true, GainArrow::kDown, 1.9},        {0.5, true, GainArrow::kDown, 0.49},
        {0.01, false, GainArrow::kDown, 0.01},    // never below 0.01
        {0.004, false, GainArrow::kDown, 0.004},  // shown as 0.00: the arrow does nothing
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(SteppedGain(c.Y, c.Fine, c.Arrow), c.Expected, 1e-12)
            << c.Y << (c.Fine ? " fine" : "") << (c.Arrow == GainArrow::kUp ? " up" : " down");
    }
}

TEST(RangeXY, CancelResetsTheGainOnlyAfterNothingButTheArrows) {
    EXPECT_TRUE(CancelResetsGain(false, false, true));
    EXPECT_FALSE(CancelResetsGain(false, false, false));
    EXPECT_FALSE(CancelResetsGain(true, false, true));
    EXPECT_FALSE(CancelResetsGain(false, true, true));
}

}  // namespace
}  // namespace kalvex::tools
