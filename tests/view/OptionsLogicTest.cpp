// The Options dialog's working copy, its OK and the redraw after it, on a fake main window.
#include <gtest/gtest.h>

#include <functional>

#include "core/Error.h"
#include "view/OptionsLogic.h"
#include "view/ViewFixture.h"

namespace kalvex::view {
namespace {

TEST(OptionsLogic, OpensWithTheFitChecksFromFitSelectAndTheLimitAsText) {
    struct Case {
        const char* Select;
        int LineType;
        bool WidthGChecked;
        bool Position, Width, WidthG, Height;
    };
    const Case cases[] = {
        {"101", 0, false, true, false, false, true},
        {"010", 1, false, false, true, false, false},
        {"010", 2, false, false, true, false, false},
        {"010", 2, true, false, false, true, false},  // the Gaussian width is the one fitted
        {"000", 2, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        AppState state;
        state.Doc.FitSelect = c.Select;
        state.Opts.LGselect = c.LineType;
        state.Opts.Width_Check = !c.WidthGChecked;
        state.Opts.WidthG_Check = c.WidthGChecked;
        const OptionsDraft d = OpenOptionsDraft(state);
        EXPECT_EQ(d.Opts.Position_Check, c.Position) << c.Select;
        EXPECT_EQ(d.Opts.Width_Check, c.Width) << c.Select;
        EXPECT_EQ(d.Opts.WidthG_Check, c.WidthG) << c.Select;
        EXPECT_EQ(d.Opts.Height_Check, c.Height) << c.Select;
        EXPECT_EQ(d.FitSelect, c.Select);
        EXPECT_FALSE(d.Changed);
    }
    AppState state;
    state.Doc.LsfUpperLimit = 2.0f;
    state.Opts.Print.HeightCm = 11.6;  // under "Auto" the axis follows
    const OptionsDraft d = OpenOptionsDraft(state);
    EXPECT_EQ(d.Opts.LSFlimit, "2.00");
    EXPECT_EQ(d.Lengths.py_Height, "11.60");
    EXPECT_EQ(d.Lengths.U_Height, "2.00");
    EXPECT_EQ(d.Lengths.px_zero, "2.00");
}

TEST(OptionsLogic, OkAppliesAxisUnitLineTypeLimitAndPrintLengths) {
    struct Case {
        int Xaxis;
        int LineType;
        const char* Limit;
        bool Ppm;
        bool Lorentz;
        float UpperLimit;
    };
    const Case cases[] = {
        {1, 1, "60", false, true, 2.0f},     // Hz, Lorentz
        {0, 0, "12.5", true, false, 12.5f},  // ppm, Gauss
        {1, 2, "50", false, true, 50.0f},    // Gauss+Lorentz leaves the Lorentz flag
    };
    for (const Case& c : cases) {
        AppState state;
        state.Doc.PeakKindLorentz = true;
        OptionsDraft d = OpenOptionsDraft(state);
        ChooseXaxis(d, c.Xaxis);
        ChooseLineTypeItem(d, c.LineType);
        EditUpperLimit(d, c.Limit);
        d.Lengths.py_Height = "15.00";
        CommitOptionsDraft(d, state, OptionsScope::kAll);
        EXPECT_EQ(state.Doc.XAxisPpm, c.Ppm) << c.Limit;
        EXPECT_EQ(state.Doc.PeakKindLorentz, c.Lorentz) << c.Limit;
        EXPECT_EQ(state.Doc.LsfUpperLimit, c.UpperLimit) << c.Limit;
        EXPECT_EQ(state.Opts.LGselect, c.LineType);
        EXPECT_DOUBLE_EQ(state.Opts.Print.AxisHeightCm, 15.0 / 5.8);
        EXPECT_FALSE(state.Opts.XTickManual);
    }
}

TEST(OptionsLogic, ManualScaleTakesTheTickSpacing) {
    const std::pair<const char*, double> cases[] = {
        {"2.7", 2.0}, {"0.25", 0.25}, {"0", 0.5}, {"-1", 0.5}};
    for (const auto& [typed, expected] : cases) {
        AppState state;
        state.Plot.XTickStep = 0.5;
        OptionsDraft d = OpenOptionsDraft(state);
        ChooseScaleSetting(d, 1);
        EditTickSpacing(d, typed);
        d.Lengths.U_Height = "3.00";
        CommitOptionsDraft(d, state, OptionsScope::kAll);
        EXPECT_TRUE(state.Opts.XTickManual);
        EXPECT_EQ(state.Plot.XTickStep, expected) << typed;
        EXPECT_EQ(state.Opts.Print.AxisHeightCm, 3.0);
    }
}

TEST(OptionsLogic, ATextThatIsNotANumberStopsOkBeforeAnythingIsApplied) {
    const std::pair<std::function<void(OptionsDraft&)>, const char*> cases[] = {
        {[](OptionsDraft& d) { d.Lengths.px_Width = "wide"; }, "Spectrum width: "},
        {[](OptionsDraft& d) { EditUpperLimit(d, "nan"); }, "Max Limit of | r |: "},
        {[](OptionsDraft& d) { d.Opts.Manu_ITE = "many"; }, "Iteration = "},
        {[](OptionsDraft& d) {
             ChooseScaleSetting(d, 1);
             EditTickSpacing(d, "1,5");
         },
         "tic / CS Unit: "},
    };
    for (const auto& [spoil, message] : cases) {
        AppState state;
        OptionsDraft d = OpenOptionsDraft(state);
        ChooseXaxis(d, 1);
        spoil(d);
        try {
            CommitOptionsDraft(d, state, OptionsScope::kAll);
            ADD_FAILURE() << message;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
        EXPECT_TRUE(state.Doc.XAxisPpm) << message;
    }
    // Under "Auto" the tick spacing is not read.
    AppState state;
    OptionsDraft d = OpenOptionsDraft(state);
    EditTickSpacing(d, "junk");
    EXPECT_NO_THROW(CommitOptionsDraft(d, state, OptionsScope::kAll));
}

TEST(OptionsLogic, FromThePreviewOnlyThePrintLayoutAndTheUsableControlsAreTaken) {
    AppState state;
    OptionsDraft d = OpenOptionsDraft(state);
    state.Opts.LGselect = 1;  // an open changed them meanwhile
    state.Doc.FitSelect = "100";
    ChooseXaxis(d, 1);
    d.Opts.Int_Type = 1;
    d.Opts.P_Line2 = 2;
    d.Opts.Print.PortraitPaper = true;
    d.Lengths.px_zero = "3.5";
    EditUpperLimit(d, "7");
    d.Opts.RefMethod = 0;
    CommitOptionsDraft(d, state, OptionsScope::kPrintLayout);
    EXPECT_FALSE(state.Doc.XAxisPpm);
    EXPECT_EQ(state.Opts.Int_Type, 1);
    EXPECT_EQ(state.Opts.P_Line2, 2);
    EXPECT_TRUE(state.Opts.Print.PortraitPaper);
    EXPECT_EQ(state.Opts.Print.LeftCm, 3.5);
    EXPECT_EQ(state.Opts.LGselect, 1);
    EXPECT_EQ(state.Doc.FitSelect, "100");
    EXPECT_EQ(state.Doc.LsfUpperLimit, 2.0f);
    EXPECT_EQ(state.Opts.RefMethod, 1);
}

TEST(OptionsLogic, OnlyTheChangesThatNeedItSetTheRedrawFlag) {
    const std::pair<std::function<void(OptionsDraft&)>, bool> cases[] = {
        {[](OptionsDraft& d) { ChooseXaxis(d, 0); }, true},
        {[](OptionsDraft& d) { ChooseLineTypeItem(d, 0); }, true},
        {[](OptionsDraft& d) { ChooseFormSize(d, 1); }, true},
        {[](OptionsDraft& d) { EditUpperLimit(d, "2.00"); }, true},
        {[](OptionsDraft& d) { EditTickSpacing(d, "1"); }, true},
        {[](OptionsDraft& d) { ChooseScaleSetting(d, 0); }, true},
        {[](OptionsDraft& d) { ChooseScaleSetting(d, 1); }, false},
        {[](OptionsDraft& d) { PressDefault(d); }, true},
        {[](OptionsDraft& d) { PressCalc(d); }, false},
    };
    int i = 0;
    for (const auto& [change, changed] : cases) {
        OptionsDraft d = OpenOptionsDraft(AppState{});
        change(d);
        EXPECT_EQ(d.Changed, changed) << i++;
    }
}

TEST(OptionsLogic, OkClosesAndReopensTheReadoutAroundItsRedrawAndShowsThePeakAgain) {
    ViewFixture f;
    test::AddPeak(f.state.Doc, 30, 0.5, 3.0);
    f.state.Doc.XAxisPpm = false;
    f.shell.PeakInfoShown = true;
    f.shell.PeakOrderItem = 0;
    f.shell.PpmShown = true;
    f.state.View.ToolMode = true;
    FinishOptionsOk(f.state, f.shell, true);
    EXPECT_EQ(f.shell.PpmUnit, "Hz ");
    EXPECT_EQ(f.shell.Calls.front(), "ClosePpmReadout");
    EXPECT_EQ(f.shell.CallCount("CreatePlotBitmap"), 1);
    EXPECT_FALSE(f.state.View.ToolMode);
    EXPECT_EQ(f.shell.Calls[f.shell.Calls.size() - 2], "OpenPpmReadout");
    EXPECT_EQ(f.shell.Calls.back(), "ShowPeakInfo 1");
}

}  // namespace
}  // namespace kalvex::view
