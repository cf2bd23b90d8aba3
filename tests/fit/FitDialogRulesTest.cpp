// The fit dialog's check-box rules, FitSelect bookkeeping, GO! and the close query.
#include <gtest/gtest.h>

#include "fit/FitDialogRules.h"

namespace kalvex::fit {
namespace {

using core::LineType;

struct Fixture {
    FitDialogModel dialog;
    core::Options opts;
    std::string fit_select = "111";
    FitDialogContext Ctx(LineType line) { return {dialog, opts, fit_select, line}; }
};

TEST(FitDialogRules, TheDialogOpensOnlyBelowTheUpperLimit) {
    Fixture f;
    FitDialogContext ctx = f.Ctx(LineType::kGauss);
    EXPECT_FALSE(OpenFitDialog(ctx, 2.5, 2.0f));
    EXPECT_EQ(f.dialog.Ite, "ite");  // nothing prepared
    EXPECT_TRUE(OpenFitDialog(ctx, 2.5, 50.0f));
    EXPECT_EQ(f.dialog.Ite, "0");
    EXPECT_EQ(f.dialog.Zansa_New, "2.50000000");
    EXPECT_EQ(f.dialog.DeltaZZ, "0.00000000");
    EXPECT_FALSE(f.dialog.OkEnabled);
    EXPECT_TRUE(f.dialog.ExitEnabled);
    EXPECT_FALSE(OpenFitDialog(ctx, 2.0, 2.0f));  // "at or above" the limit
    EXPECT_TRUE(OpenFitDialog(ctx, 1.9999999, 2.0f));
}

TEST(FitDialogRules, GaussModeShowsTheSelectionWithTheExtraBoxesOff) {
    Fixture f;
    f.fit_select = "101";
    f.opts.Width_Check = false;
    f.dialog.WidthG_Box = {true, true};  // left over from a Gauss+Lorentz session
    FitDialogContext ctx = f.Ctx(LineType::kGauss);
    PrepareCheckBoxes(ctx);
    ASSERT_TRUE(OpenFitDialog(ctx, 0.1, 2.0f));
    EXPECT_EQ(f.dialog.Position_Box, (CheckBoxState{true, true}));
    EXPECT_EQ(f.dialog.Width_Box, (CheckBoxState{false, true}));
    EXPECT_EQ(f.dialog.Height_Box, (CheckBoxState{true, true}));
    EXPECT_EQ(f.dialog.WidthG_Box, (CheckBoxState{false, false}));
    EXPECT_EQ(f.dialog.Fraction_Box, (CheckBoxState{false, false}));
    EXPECT_FALSE(f.dialog.Label1Enabled);
    EXPECT_EQ(f.dialog.WidthCaption, CaptionColour::kBlack);
    EXPECT_EQ(f.fit_select, "101");
}

TEST(FitDialogRules, GaussModeBoxesCombineFreelyAndFollowTheirOptionsTwins) {
    Fixture f;
    FitDialogContext ctx = f.Ctx(LineType::kLorentz);
    PrepareCheckBoxes(ctx);
    OpenFitDialog(ctx, 0.1, 2.0f);
    ClickBox(ctx, FitBox::kWidth);
    EXPECT_FALSE(f.opts.Width_Check);
    EXPECT_EQ(f.fit_select, "101");
    ClickBox(ctx, FitBox::kPosition);
    EXPECT_EQ(f.fit_select, "001");
    EXPECT_TRUE(f.dialog.Height_Box.Enabled);
    ClickBox(ctx, FitBox::kWidth);
    EXPECT_EQ(f.fit_select, "011");
    EXPECT_TRUE(f.dialog.Height_Box.Checked);
    ClickBox(ctx, FitBox::kWidthG);  // disabled outside Gauss+Lorentz: ignored
    EXPECT_FALSE(f.dialog.WidthG_Box.Checked);
    EXPECT_FALSE(f.opts.WidthG_Check);
}

TEST(FitDialogRules, GaussLorentzBoxesExcludeEachOther) {
    Fixture f;
    f.fit_select = "000";
    f.opts.Position_Check = f.opts.Width_Check = f.opts.Height_Check = false;
    FitDialogContext ctx = f.Ctx(LineType::kGaussLorentz);
    PrepareCheckBoxes(ctx);
    OpenFitDialog(ctx, 0.1, 2.0f);
    EXPECT_EQ(f.dialog.WidthCaption, CaptionColour::kBlue);
    EXPECT_TRUE(f.dialog.Label1Enabled);
    EXPECT_TRUE(f.dialog.Label2Enabled);

    ClickBox(ctx, FitBox::kHeight);
    EXPECT_EQ(f.fit_select, "001");
    EXPECT_TRUE(f.dialog.Height_Box.Checked);
    for (FitBox other : {FitBox::kPosition, FitBox::kWidth, FitBox::kWidthG, FitBox::kFraction}) {
        EXPECT_EQ(f.dialog.Box(other), (CheckBoxState{false, false}));
    }
    ClickBox(ctx, FitBox::kHeight);
    EXPECT_EQ(f.fit_select, "000");
    for (FitBox other : {FitBox::kPosition, FitBox::kWidth, FitBox::kWidthG, FitBox::kFraction}) {
        EXPECT_EQ(f.dialog.Box(other), (CheckBoxState{false, true}));
    }

    // Height, then Position: Position is disabled now, so the click is ignored.
    ClickBox(ctx, FitBox::kHeight);
    ClickBox(ctx, FitBox::kPosition);
    EXPECT_EQ(f.fit_select, "001");

    // The Gaussian width box writes WidthG_Check and takes the width character.
    ClickBox(ctx, FitBox::kHeight);
    ClickBox(ctx, FitBox::kWidthG);
    EXPECT_TRUE(f.opts.WidthG_Check);
    EXPECT_FALSE(f.opts.Width_Check);
    EXPECT_EQ(f.fit_select, "010");
    EXPECT_FALSE(f.dialog.Width_Box.Enabled);
}

TEST(FitDialogRules, CheckingTheFractionClearsTheKindsAndAllowsAFractionFit) {
    Fixture f;
    f.fit_select = "001";
    FitDialogContext ctx = f.Ctx(LineType::kGaussLorentz);
    PrepareCheckBoxes(ctx);
    OpenFitDialog(ctx, 0.1, 2.0f);
    ClickBox(ctx, FitBox::kHeight);  // release Height so the fraction box is enabled
    ClickBox(ctx, FitBox::kFraction);
    EXPECT_TRUE(f.opts.fraction_Check);
    EXPECT_EQ(f.fit_select, "000");
    EXPECT_FALSE(f.opts.Position_Check || f.opts.Width_Check || f.opts.Height_Check ||
                 f.opts.WidthG_Check);
    for (FitBox other : {FitBox::kPosition, FitBox::kWidth, FitBox::kHeight, FitBox::kWidthG}) {
        EXPECT_EQ(f.dialog.Box(other), (CheckBoxState{false, false}));
    }
    FitRunState state;
    state.FitStop = true;
    EXPECT_TRUE(GoClick(ctx, state));
    EXPECT_FALSE(state.FitStop);  // a new run does not stop at once

    ClickBox(ctx, FitBox::kFraction);
    EXPECT_FALSE(f.opts.fraction_Check);
    EXPECT_TRUE(f.dialog.Position_Box.Enabled);
    EXPECT_TRUE(f.dialog.WidthG_Box.Enabled);
}

TEST(FitDialogRules, OpeningInGaussLorentzModeLeavesOneKindOfAFullSelection) {
    // Each state change runs its rule: Position, then Height (unchecking Position), then Width
    // (unchecking Height) are checked in turn, so "111" ends as the width alone.
    Fixture f;
    FitDialogContext ctx = f.Ctx(LineType::kGaussLorentz);
    PrepareCheckBoxes(ctx);
    OpenFitDialog(ctx, 0.1, 2.0f);
    EXPECT_EQ(f.fit_select, "010");
    EXPECT_TRUE(f.dialog.Width_Box.Checked);
    EXPECT_FALSE(f.dialog.Position_Box.Checked || f.dialog.Height_Box.Checked);
    EXPECT_FALSE(f.dialog.Height_Box.Enabled);
    EXPECT_TRUE(IsValidFitSelection(f.opts, f.fit_select, LineType::kGaussLorentz));
}

TEST(FitDialogRules, PreparationInGaussLorentzModeDisablesWhatTheCheckedBoxesExclude) {
    Fixture f;
    f.dialog.Height_Box = {true, true};
    f.dialog.Position_Box = {false, true};
    f.dialog.Width_Box = {false, true};
    FitDialogContext ctx = f.Ctx(LineType::kGaussLorentz);
    PrepareCheckBoxes(ctx);
    EXPECT_FALSE(f.dialog.Fraction_Box.Enabled);
    EXPECT_FALSE(f.dialog.WidthG_Box.Enabled);
    EXPECT_FALSE(f.dialog.Position_Box.Enabled);
    EXPECT_FALSE(f.dialog.Width_Box.Enabled);
    EXPECT_TRUE(f.dialog.Height_Box.Enabled);
}

TEST(FitDialogRules, ShowOnlyChecksBoxesWhoseTwinsAreChecked) {
    Fixture f;
    f.opts.fraction_Check = true;
    f.fit_select = "000";
    f.opts.Position_Check = f.opts.Width_Check = f.opts.Height_Check = false;
    FitDialogContext ctx = f.Ctx(LineType::kGaussLorentz);
    PrepareCheckBoxes(ctx);
    f.dialog.Fraction_Box.Checked = false;
    ShowFitDialog(ctx);
    EXPECT_TRUE(f.dialog.Fraction_Box.Checked);
    f.opts.fraction_Check = false;
    ShowFitDialog(ctx);
    EXPECT_TRUE(f.dialog.Fraction_Box.Checked);  // never unchecked by the show
}

TEST(FitDialogRules, OptionsWidthChecksExcludeEachOther) {
    core::Options opts;
    std::string select = "111";
    SetOptionCheck(opts, select, FitOptionCheck::kWidthG, true);
    EXPECT_FALSE(opts.Width_Check);
    EXPECT_EQ(select, "111");
    SetOptionCheck(opts, select, FitOptionCheck::kWidth, false);  // already unchecked
    EXPECT_EQ(select, "111");
    SetOptionCheck(opts, select, FitOptionCheck::kWidthG, false);
    EXPECT_EQ(select, "101");
    SetOptionCheck(opts, select, FitOptionCheck::kWidth, true);
    EXPECT_EQ(select, "111");
    SetOptionCheck(opts, select, FitOptionCheck::kPosition, false);
    SetOptionCheck(opts, select, FitOptionCheck::kHeight, false);
    EXPECT_EQ(select, "010");
    SetOptionCheck(opts, select, FitOptionCheck::kFraction, true);
    EXPECT_EQ(select, "010");
    EXPECT_TRUE(OptionCheckState(opts, FitOptionCheck::kFraction));
}

TEST(FitDialogRules, GoRefusesAnImpossibleSelection) {
    Fixture f;
    f.fit_select = "000";
    FitDialogContext ctx = f.Ctx(LineType::kGauss);
    FitRunState state;
    EXPECT_FALSE(GoClick(ctx, state));
    EXPECT_TRUE(f.dialog.GoEnabled);
    f.opts.fraction_Check = true;  // a fraction outside Gauss+Lorentz mode is not a fit
    EXPECT_FALSE(GoClick(ctx, state));
    f.fit_select = "100";
    EXPECT_FALSE(GoClick(ctx, state));  // a fraction with another kind neither
    f.opts.fraction_Check = false;
    EXPECT_TRUE(GoClick(ctx, state));
    EXPECT_FALSE(f.dialog.GoEnabled);
}

TEST(FitDialogRules, ButtonsAfterARunAndTheCloseQuery) {
    FitDialogModel d;
    d.GoEnabled = false;
    GaussNewtonSummary singular;
    singular.Reason = FitEnd::kSingularMatrix;
    FinishRun(d, singular);
    EXPECT_FALSE(d.GoEnabled);
    EXPECT_FALSE(d.OkEnabled);
    EXPECT_TRUE(d.ExitEnabled);

    GaussNewtonSummary done;
    done.Reason = FitEnd::kConverged;
    done.Z = 0.123456789;
    done.ZOld = 0.1234577;
    done.Iterations = 7;
    FinishRun(d, done);
    EXPECT_TRUE(d.GoEnabled);
    EXPECT_TRUE(d.OkEnabled);
    EXPECT_FALSE(d.ExitEnabled);
    EXPECT_EQ(d.Ite, "7");
    EXPECT_EQ(d.Zansa_New, "0.12345679");
    EXPECT_EQ(d.DeltaZZ, "0.000000911");

    GaussNewtonSummary refused;
    refused.Reason = FitEnd::kPeaksOutside;
    d.GoEnabled = false;
    FinishRun(d, refused);
    EXPECT_TRUE(d.GoEnabled);

    // A singular run leaves GO! disabled only until the dialog opens again.
    FinishRun(d, singular);
    d.GoEnabled = false;
    core::Options opts;
    std::string select = "111";
    FitDialogContext ctx{d, opts, select, LineType::kGauss};
    ASSERT_TRUE(OpenFitDialog(ctx, 0.5, 2.0f));
    EXPECT_TRUE(d.GoEnabled);

    FitRunState state;
    EXPECT_FALSE(CanClose(state));  // the close box does nothing while FitStop is clear
    RequestStop(state);
    EXPECT_TRUE(CanClose(state));
    EXPECT_FALSE(state.FitStop);
}

}  // namespace
}  // namespace kalvex::fit
