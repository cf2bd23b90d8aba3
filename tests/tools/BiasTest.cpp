// The automatic bias: its two end windows, the truncation, single-precision sums, the setting.
#include <gtest/gtest.h>

#include "support/DocumentBuilder.h"
#include "tools/Bias.h"

namespace kalvex::tools {
namespace {

using core::Document;

TEST(AutoBias, HundredPointsUseWindowsThreeToTwelveAndEightyNineToNinetyEight) {
    // Points just outside each window hold a value that would move the mean if read.
    Document doc = test::MakeDocument(100, 10.0, 0.01, 400.0, [](int p) {
        if (p >= 3 && p <= 12) return 0.25;
        if (p >= 89 && p <= 98) return 0.625;
        return 0.9;
    });
    EXPECT_NEAR(ComputeAutoBias(doc), 0.4375f, 1e-6);
}

TEST(AutoBias, TenPointsGiveTwoEmptyWindowsAndZero) {
    const Document doc = test::MakeDocument(10, 10.0, 0.01, 400.0, [](int) { return 0.7; });
    EXPECT_EQ(ComputeAutoBias(doc), 0.0f);
}

TEST(AutoBias, ValuesAreCutToFiveDecimalsTowardZero) {
    // 0.3 is stored as 0.29999999999999998890, and its cut is 0.29999.
    const Document third = test::MakeDocument(100, 10.0, 0.01, 400.0, [](int) { return 0.3; });
    EXPECT_NEAR(ComputeAutoBias(third), 0.29999f, 2e-8);
    const Document up = test::MakeDocument(100, 10.0, 0.01, 400.0, [](int) { return 0.123459; });
    EXPECT_NEAR(ComputeAutoBias(up), 0.12345f, 2e-8);
    const Document down = test::MakeDocument(100, 10.0, 0.01, 400.0, [](int) { return -0.123459; });
    EXPECT_NEAR(ComputeAutoBias(down), -0.12345f, 2e-8);
}

TEST(AutoBias, SumsInSinglePrecisionTermByTerm) {
    // 6,554 points per window at 65,536 points: the float running sum drifts from the exact
    // mean, and the stored estimate is that drifted value, not the exact 0.25.
    const Document doc = test::MakeDocument(65536, 10.0, 0.01, 400.0, [](int) { return 0.25; });
    float acc = 0.0f;
    for (int i = 0; i < 2 * 6554; ++i) {
        acc = static_cast<float>(static_cast<long double>(acc) + 0.25L / 6554.0L);
    }
    const float bauto = ComputeAutoBias(doc);
    EXPECT_EQ(bauto, acc / 2.0f);
    EXPECT_NE(bauto, 0.25f);
    EXPECT_NEAR(bauto, 0.25f, 1e-4);
}

TEST(AutoBias, LabelShowsTheValueInDisplayUnits) {
    Document doc = test::MakeDocument(100);
    EXPECT_EQ(AutoBiasLabel(doc, 0.0f), "Auto is 0.0000");
    EXPECT_EQ(AutoBiasLabel(doc, 0.123456f), "Auto is 0.1235");
    doc.YOffset = 0.2;
    doc.YRange = 0.5;
    EXPECT_EQ(AutoBiasLabel(doc, 0.45f), "Auto is 0.5000");
}

TEST(AutoBias, SettingDecidesWhetherTheEstimateReplacesTheBias) {
    struct Case {
        int BiasSet;
        bool FromFile;
        float Expected;
    };
    for (const Case c : {Case{0, false, 0.02f}, Case{0, true, 0.02f}, Case{1, false, 0.25f},
                         Case{1, true, 0.25f}, Case{2, false, 0.25f}, Case{2, true, 0.02f}}) {
        Document doc = test::MakeDocument(10);
        doc.Bias = 0.02f;
        doc.BiasFromFile = c.FromFile;
        ApplyAutoBiasSetting(doc, c.BiasSet, 0.25f);
        EXPECT_EQ(doc.Bias, c.Expected) << "Bias_set " << c.BiasSet << " from file " << c.FromFile;
    }
}

}  // namespace
}  // namespace kalvex::tools
