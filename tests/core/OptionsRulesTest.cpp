// The Options dialog's rules: limits, print lengths, tick spacing, iterations, modes, choices.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/Error.h"
#include "core/OptionsRules.h"

namespace kalvex::core {
namespace {

TEST(OptionsRules, UpperLimitOutside0To50FallsBackTo2) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, float> cases[] = {
        {60, 2.0f},   {-1, 2.0f},  {50, 50.0f}, {50.0001, 2.0f}, {0, 0.0f},
        {-0.0, 0.0f}, {2.5, 2.5f}, {nan, 2.0f}, {inf, 2.0f},     {-inf, 2.0f}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(UpperLimitFrom(value), expected) << value;
    }
}

TEST(OptionsRules, AutoScaleDerivesAxisHeightAndMarginFromTheSpectrumHeight) {
    PrintLengthTexts texts{"2.00", "16.00", "1.40", "15.00", "9.99", "9.99"};
    RecalculatePrintTexts(texts, false);
    EXPECT_EQ(texts.U_Height, "2.59");
    EXPECT_EQ(texts.Spc_Margin, "0.52");
    const PrintLayout layout = PrintLayoutFromTexts(texts, false, PrintLayout{});
    EXPECT_DOUBLE_EQ(layout.AxisHeightCm, 15.0 / 5.8);
    EXPECT_DOUBLE_EQ(layout.SpectrumMarginCm, 3.0 / 5.8);

    // "Manual" leaves the two as typed; "Default" puts the four main lengths back.
    PrintLengthTexts changed{"1", "2", "3", "4", "3.1", "6"};
    RecalculatePrintTexts(changed, true);
    EXPECT_EQ(changed.U_Height, "3.1");
    DefaultPrintTexts(changed, false);
    EXPECT_EQ(
        changed.px_zero + changed.px_Width + changed.py_zero + changed.py_Height + changed.U_Height,
        "2.0016.001.4015.002.59");
    // Under "Auto" the two derived edits are not read at all.
    EXPECT_NO_THROW(PrintLayoutFromTexts({"2", "16", "1.4", "15", "x", "y"}, false, {}));
}

TEST(OptionsRules, ManualTickSpacing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, double> cases[] = {{2.7, 2.0}, {1.0, 1.0},  {1.5, 1.0}, {0.25, 0.25},
                                               {0.0, 0.5}, {-1.0, 0.5}, {nan, 0.5}, {1e300, 1e300}};
    for (const auto& [typed, expected] : cases) {
        EXPECT_EQ(ManualTickStep(typed, 0.5), expected) << typed;
    }
    EXPECT_EQ(ManualTickStep(std::numeric_limits<double>::infinity(), 0.5), 0.5);
}

TEST(OptionsRules, IterationCountIsRoundedToAWholeNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"12.5", "13"}, {"12.49", "12"}, {"0", "1"},     {"", "1"},      {"  ", "1"},
        {"0.4", "1"},   {"-2.5", "-3"},  {"100", "100"}, {"1e3", "1000"}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(RoundIterationText(text), expected) << text;
    }
    EXPECT_THROW(RoundIterationText("ten"), Error);
    EXPECT_THROW(RoundIterationText("1e20"), Error);
}

TEST(OptionsRules, ModeButtonsDecideWhatCanBeUsed) {
    struct Case {
        FitModeButton Button;
        int Iteration;
        GaussNewtonEnables Expected;
        int IterationAfter;
    };
    const Case cases[] = {
        {FitModeButton::kAuto, 1, {false, false, false, false}, 0},
        {FitModeButton::kSemiAuto, 1, {true, true, false, false}, 0},
        {FitModeButton::kManual, 0, {true, true, true, false}, 0},
        {FitModeButton::kManual, 1, {true, false, true, true}, 1},
    };
    for (const Case& c : cases) {
        Options opts;
        opts.Set_Ite = c.Iteration;
        PressModeButton(opts, c.Button);
        EXPECT_EQ(GaussNewtonEnablesOf(opts), c.Expected) << static_cast<int>(c.Button);
        EXPECT_EQ(opts.Set_Ite, c.IterationAfter);
        EXPECT_EQ(opts.AutoOK + opts.Manu1 + opts.Manu2, 1);
    }
}

TEST(OptionsRules, AutoSetUnderManualFollowsTheDamping) {
    const std::tuple<FitModeButton, int, int, int> cases[] = {
        {FitModeButton::kManual, 2, 8, 4},  // "0.01" gives "0.00001"
        {FitModeButton::kManual, 5, 8, 7},
        {FitModeButton::kManual, 0, 3, 3},    // other items are kept
        {FitModeButton::kSemiAuto, 2, 8, 8},  // only under "Manual"
        {FitModeButton::kManual, -1, 8, 8},   // no damping chosen
    };
    for (const auto& [button, damp, chosen, expected] : cases) {
        Options opts;
        PressModeButton(opts, button);
        opts.DampVal = damp;
        ChooseConvergent(opts, chosen);
        EXPECT_EQ(opts.ConvVal, expected) << damp << " " << chosen;
    }
}

TEST(OptionsRules, LineTypeRulesForFractionAndIntegralType) {
    Options opts;
    opts.fraction_Check = true;
    ChooseLineType(opts, 2);
    EXPECT_TRUE(opts.fraction_Check);
    EXPECT_TRUE(GaussLorentzChecksEnabled(opts));
    ChooseIntType(opts, 1);  // "Compatible" snaps back to "Area"
    EXPECT_EQ(opts.Int_Type, 0);
    ChooseLineType(opts, 1);
    EXPECT_FALSE(opts.fraction_Check);
    EXPECT_FALSE(GaussLorentzChecksEnabled(opts));
    ChooseIntType(opts, 1);
    EXPECT_EQ(opts.Int_Type, 1);
}

TEST(OptionsRules, DialogPlaces) {
    EXPECT_EQ(OptionsDialogPlace(300, 100, 670, 560, 510, 451), (WindowPoint{300 + 110, 175}));
    EXPECT_EQ(OptionsDialogPlace(300, 100, 671, 560, 510, 450), (WindowPoint{411, 175}));
    EXPECT_EQ(PrintLayoutDialogPlace(40, 50, 600), (WindowPoint{650, 50}));
}

}  // namespace
}  // namespace kalvex::core
