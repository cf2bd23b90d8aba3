// Horizontal Shift and Change_Height on the peak table.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Error.h"
#include "fit/LineShapes.h"
#include "support/DocumentBuilder.h"
#include "tools/PeakShift.h"

namespace kalvex::tools {
namespace {

core::Document ThreePeaks(int a, int b, int c) {
    core::Document doc = test::MakeDocument(100);
    for (int pos : {a, b, c}) test::AddPeak(doc, pos, 0.5, 2.0);
    return doc;
}

std::vector<int> Positions(const core::Document& doc) {
    std::vector<int> out;
    for (int k = 1; k <= doc.PeakCount; ++k) out.push_back(doc.PeakPos[k]);
    return out;
}

TEST(PeakShift, WholePointsAndZeroForLargeNegativeShifts) {
    struct Case {
        const char* Text;
        ShiftOutcome Outcome;
        std::vector<int> Expected;
    };
    const Case cases[] = {
        {"-5", ShiftOutcome::kShifted, {0, 0, 1}},    {"2.7", ShiftOutcome::kShifted, {5, 7, 8}},
        {"-2.7", ShiftOutcome::kShifted, {1, 3, 4}},  {"0", ShiftOutcome::kShifted, {3, 5, 6}},
        {"", ShiftOutcome::kNothingTyped, {3, 5, 6}},
    };
    for (const Case& c : cases) {
        core::Document doc = ThreePeaks(3, 5, 6);
        EXPECT_EQ(ShiftPeaks(doc, c.Text), c.Outcome) << c.Text;
        EXPECT_EQ(Positions(doc), c.Expected) << c.Text;
    }
    core::Document doc = ThreePeaks(3, 5, 6);
    EXPECT_THROW(ShiftPeaks(doc, "2 points"), Error);
    EXPECT_THROW(ChangeHeights(doc, "half"), Error);
    EXPECT_EQ(Positions(doc), (std::vector<int>{3, 5, 6}));
    EXPECT_EQ(doc.PeakHeight[1], 0.5);
}

TEST(PeakShift, ShiftPastTheLastStorablePositionIsRefusedWhole) {
    core::Document doc = ThreePeaks(3, 65530, 7);
    doc.PeakPos[4] = 65535;  // a stale slot plays no part
    EXPECT_EQ(ShiftPeaks(doc, "6"), ShiftOutcome::kRefused);
    EXPECT_EQ(Positions(doc), (std::vector<int>{3, 65530, 7}));
    EXPECT_EQ(ShiftPeaks(doc, "5.9"), ShiftOutcome::kShifted);
    EXPECT_EQ(Positions(doc), (std::vector<int>{8, 65535, 12}));
    EXPECT_EQ(ShiftPeaks(doc, "1E300"), ShiftOutcome::kRefused);
}

TEST(PeakShift, PeakLeftAtPositionZeroStaysOutsideTheSpectrum) {
    core::Document doc = ThreePeaks(3, 50, 60);
    ShiftPeaks(doc, "-3");
    ASSERT_EQ(doc.PeakPos[1], 0);
    const double residual_sum = fit::SynthesiseModel(doc, core::LineType::kGauss);
    // Its curve is the right flank of a peak centred one point before point 1.
    const double* curve = doc.PeakCurve(1);
    EXPECT_GT(curve[0], curve[1]);
    EXPECT_LT(curve[0], 0.5);
    EXPECT_TRUE(std::isfinite(residual_sum));
}

TEST(PeakShift, HeightFactorsBelowOneScaleEverySlot) {
    struct Case {
        const char* Text;
        bool Changed;
        double Factor;
    };
    const Case cases[] = {
        {"1.0", false, 1.0},
        {"0.5", true, 0.5},
        {"0", false, 1.0},
        {"1.5", false, 1.0},
        {"0.3", true, static_cast<double>(0.3f)},  // the factor is kept as a 32-bit float
    };
    for (const Case& c : cases) {
        core::Document doc = ThreePeaks(3, 5, 6);
        doc.PeakHeight[30] = -2.0;
        EXPECT_EQ(ChangeHeights(doc, c.Text), c.Changed) << c.Text;
        EXPECT_EQ(doc.PeakHeight[1], 0.5 * c.Factor) << c.Text;
        EXPECT_EQ(doc.PeakHeight[30], -2.0 * c.Factor) << c.Text;
    }
}

}  // namespace
}  // namespace kalvex::tools
