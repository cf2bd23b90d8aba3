// The observe frequency entry: its proposal, the typed value, the Hz calibration after it.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "support/DocumentBuilder.h"
#include "tools/ObsFreq.h"
#include "tools/RangeXY.h"

namespace kalvex::tools {
namespace {

TEST(ObsFreq, EntryProposesTheSettingWhileTheSpectrumHasNoFrequency) {
    core::Document doc = test::MakeDocument(10, 10.0, 0.01, 1.0);
    doc.ObsFreqSetting = 400.13;
    EXPECT_EQ(FrequencyEntryText(doc), "400.13");
    doc.ObsFreq = 60.0;
    EXPECT_EQ(FrequencyEntryText(doc), "60");
}

TEST(ObsFreq, TypedFrequencyMustBeAPositiveNumber) {
    struct Case {
        const char* Text;
        bool Throws;
        bool Applied;
        double Freq;
    };
    const Case cases[] = {
        {"500.1", false, true, 500.1}, {"", false, false, 1.0}, {" ", false, false, 1.0},
        {"MHz", true, false, 1.0},     {"0", true, false, 1.0}, {"-400", true, false, 1.0},
    };
    for (const Case& c : cases) {
        core::Document doc = test::MakeDocument(10, 10.0, 0.01, 1.0);
        doc.ObsFreqSetting = 60.0;
        if (c.Throws) {
            EXPECT_THROW(ApplyTypedFrequency(doc, c.Text), Error) << c.Text;
        } else {
            EXPECT_EQ(ApplyTypedFrequency(doc, c.Text), c.Applied) << c.Text;
        }
        EXPECT_EQ(doc.ObsFreq, c.Freq) << c.Text;
        EXPECT_EQ(doc.ObsFreqSetting, c.Applied ? c.Freq : 60.0) << c.Text;
    }
}

TEST(ObsFreq, HzFollowTheNewFrequencyAlsoInAZoomedView) {
    // An X-Y text spectrum: Hz equal ppm until a frequency is entered.
    core::Document doc = test::MakeDocument(801, 100.0, 0.125, 1.0);
    EXPECT_FALSE(MissingFrequencyHint(doc).empty());
    ShowPoints(doc, 81, 400);
    ApplyTypedFrequency(doc, "400");
    RecalibrateHz(doc);
    EXPECT_TRUE(MissingFrequencyHint(doc).empty());
    EXPECT_EQ(doc.XFirstHz0, 40000.0);
    EXPECT_EQ(doc.XStepHz, 50.0);
    EXPECT_EQ(doc.XFirstHz, 36000.0);  // the first shown point's, not point 1's
    // A range typed in Hz afterwards lands where the same range in ppm does.
    doc.XAxisPpm = false;
    ASSERT_TRUE(ApplyTypedRange(doc, "28000", "24000", true, true));
    EXPECT_EQ(doc.ViewFirstPoint, 241);
    EXPECT_EQ(doc.ViewPointCount, 81);
    EXPECT_EQ(doc.XFirstPpm, 70.0);
}

}  // namespace
}  // namespace kalvex::tools
