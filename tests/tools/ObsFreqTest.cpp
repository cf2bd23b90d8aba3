// The observe frequency entry: its proposal, the typed value, the Hz calibration after it.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "support/DocumentBuilder.h"
#include "tools/ObsFreq.h"
#include "tools/RangeXY.h"

namespace kalvex::tools {
namespace {

TEST(ObsFreq, TypedFrequencyMustBeAPositiveNumber) {
    struct Case {
        const char* Text;
        bool Throws;
        double Freq;
    };
    const Case cases[] = {{"500.1", false, 500.1},
                          {" ", false, 1.0},
                          {"MHz", true, 1.0},
                          {"0", true, 1.0},
                          {"-400", true, 1.0}};
    for (const Case& c : cases) {
        core::Document doc = test::MakeDocument(10, 10.0, 0.01, 1.0);
        doc.ObsFreqSetting = 60.0;
        // With ObsFreq 1 (none known) the entry proposes the frequency kept in the settings.
        EXPECT_EQ(FrequencyEntryText(doc), "60");
        if (c.Throws) {
            EXPECT_THROW(ApplyTypedFrequency(doc, c.Text), Error) << c.Text;
        } else {
            ApplyTypedFrequency(doc, c.Text);
        }
        EXPECT_EQ(doc.ObsFreq, c.Freq) << c.Text;
        EXPECT_EQ(doc.ObsFreqSetting, c.Freq == 1.0 ? 60.0 : c.Freq) << c.Text;
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
    EXPECT_EQ(FrequencyEntryText(doc), "400");
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
