// The picture's mouse and key state machine: placing, picking, range drag, cursor, gain keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "view/MouseLogic.h"
#include "view/ViewFixture.h"

namespace kalvex::view {
namespace {

constexpr ShiftState kNoButtons{};

void Click(ViewFixture& f, MouseButton button, int x, int y) {
    ImgSpectMouseUp(f.state, f.shell, button, kNoButtons, x, y);
}

TEST(MouseLogic, RightClickOnTheBaselineRowAddsAPeakOfHeightOffsetMinusBias) {
    ViewFixture f;
    f.state.Doc.YOffset = 0.2;
    f.state.Doc.YRange = 0.5;
    f.state.Doc.Bias = 0.05f;
    Click(f, MouseButton::kRight, f.X(40), f.Geo().PlotBaseY);
    ASSERT_EQ(f.state.Doc.PeakCount, 1);
    EXPECT_EQ(f.state.Doc.PeakPos[1], 41);
    EXPECT_NEAR(f.state.Doc.PeakHeight[1], 0.2 - 0.05f, 1e-12);
    EXPECT_TRUE(f.state.View.NewPeakPending);
    EXPECT_EQ(f.shell.PeakOrderItems, (std::vector<std::string>{"1"}));
}

TEST(MouseLogic, PlacedPeakHasItsTopAtTheClickAndTheWidthOfTheSecondClick) {
    ViewFixture f;
    f.state.Doc.YOffset = 0.2;
    f.state.Doc.YRange = 0.5;
    f.state.Doc.Bias = 0.05f;
    const int y = f.Geo().PlotBaseY - 100;
    Click(f, MouseButton::kRight, f.X(40), y);
    // The red marker: the column down to the baseline and the half-height guide.
    const auto marker = f.shell.Picture()->StrokesIn(kRed);
    ASSERT_EQ(marker.size(), 2u);
    EXPECT_EQ(marker[0].Points, (std::vector<Point>{{258, y}, {258, 394}}));
    EXPECT_EQ(marker[1].Points, (std::vector<Point>{{101, 344}, {415, 344}}));

    Click(f, MouseButton::kLeft, 258 + 13, 0);  // Y plays no part
    EXPECT_FALSE(f.state.View.NewPeakPending);
    EXPECT_DOUBLE_EQ(f.state.Doc.PeakHalfWidth[1], 13 / 6.29);
    EXPECT_DOUBLE_EQ(f.state.Doc.PeakHalfWidthG[1], 13 / 6.29);
    EXPECT_DOUBLE_EQ(f.state.Doc.PeakHalfWidthL[1], 13 / 6.29);
    // "Refresh Btn" mode: the peak is drawn onto the same picture, its top on the clicked row.
    EXPECT_EQ(f.shell.BitmapsCreated, 1);
    // (Its tails lie below the axis, where the curve is cut off.)
    const auto red = f.shell.Picture()->StrokesIn(kRed);
    ASSERT_GE(red.size(), 3u);
    EXPECT_TRUE(std::any_of(red.begin() + 2, red.end(), [&](const auto& stroke) {
        return std::find(stroke.Points.begin(), stroke.Points.end(), Point{258, y}) !=
               stroke.Points.end();
    }));
}

TEST(MouseLogic, LeftClickOnThePeakColumnGivesHalfWidthZero) {
    ViewFixture f;
    Click(f, MouseButton::kRight, f.X(40), 200);
    Click(f, MouseButton::kLeft, f.X(40), 200);
    EXPECT_EQ(f.state.Doc.PeakHalfWidth[1], 0.0);
}

TEST(MouseLogic, AutoRefreshModeRedrawsAFreshPicture) {
    ViewFixture f;
    f.state.Opts.RefMethod = 0;
    Click(f, MouseButton::kRight, f.X(40), 200);
    Click(f, MouseButton::kLeft, f.X(45), 200);
    EXPECT_EQ(f.shell.BitmapsCreated, 2);
    EXPECT_EQ(f.shell.Picture()->StrokesIn(kRed).size(), 1u);  // the marker is gone
}

TEST(MouseLogic, NearestPeakIsPickedTiesGoToTheLowerNumber) {
    ViewFixture f;
    test::AddPeak(f.state.Doc, 50, 0.5, 3.0);
    test::AddPeak(f.state.Doc, 30, 0.5, 3.0);
    Click(f, MouseButton::kLeft, f.X(39), 100);  // point 40, 10 from both
    EXPECT_EQ(f.shell.Calls.front(), "ShowPeakInfo 1");
    Click(f, MouseButton::kLeft, f.X(30), 100);  // point 31
    EXPECT_EQ(f.shell.CallCount("ShowPeakInfo 2"), 1);
    // Picked and shown, the peak is drawn green over the current picture.
    EXPECT_EQ(f.shell.Picture()->StrokesIn(kGreen).size(), 2u);
}

TEST(MouseLogic, OnePeakIsPickedFromAnywhere) {
    ViewFixture f;
    test::AddPeak(f.state.Doc, 95, 0.5, 3.0);
    Click(f, MouseButton::kLeft, f.Geo().PlotLeft + 1, f.Geo().PlotTop - 5);
    EXPECT_EQ(f.shell.CallCount("ShowPeakInfo 1"), 1);
}

TEST(MouseLogic, ClicksOutsideThePlotOrWithTheWrongButtonDoNothing) {
    ViewFixture f;
    Click(f, MouseButton::kLeft, f.X(40), 200);  // no peaks yet
    Click(f, MouseButton::kMiddle, f.X(40), 200);
    Click(f, MouseButton::kRight, f.X(40), f.Geo().PlotTop - 1);    // above the plot rows
    Click(f, MouseButton::kRight, f.X(40), f.Geo().PlotBaseY + 1);  // below the baseline
    Click(f, MouseButton::kRight, f.Geo().PlotLeft, 200);           // on the edge column
    EXPECT_EQ(f.state.Doc.PeakCount, 0);
    Click(f, MouseButton::kRight, f.X(40), 200);
    Click(f, MouseButton::kRight, f.X(60), 200);  // a second right click while pending
    EXPECT_EQ(f.state.Doc.PeakCount, 1);
    EXPECT_EQ(f.state.Doc.PeakPos[1], 41);
}

TEST(MouseLogic, ARefreshBetweenTheClicksDropsTheHalfPlacedPeak) {
    ViewFixture f;
    test::AddPeak(f.state.Doc, 20, 0.5, 3.0);
    f.shell.PeakOrderItems = {"1"};
    Click(f, MouseButton::kRight, f.X(40), 200);
    EXPECT_EQ(f.shell.PeakOrderItems.size(), 2u);
    RefreshClick(f.state, f.shell);
    EXPECT_EQ(f.state.Doc.PeakCount, 1);
    EXPECT_FALSE(f.state.View.NewPeakPending);
    EXPECT_EQ(f.shell.PeakOrderItems, (std::vector<std::string>{"1"}));
    Click(f, MouseButton::kLeft, f.X(40), 200);  // now a pick, not a width
    EXPECT_EQ(f.state.Doc.PeakHalfWidth[1], 3.0);
    EXPECT_EQ(f.shell.CallCount("ShowPeakInfo 1"), 1);
}

TEST(MouseLogic, TheThirtyFirstPeakIsRefused) {
    ViewFixture f;
    for (int k = 1; k <= 30; ++k) test::AddPeak(f.state.Doc, k * 3, 0.1, 2.0);
    Click(f, MouseButton::kRight, f.X(40), 200);
    EXPECT_EQ(f.state.Doc.PeakCount, 30);
    EXPECT_FALSE(f.state.View.NewPeakPending);
    EXPECT_EQ(f.shell.Messages, (std::vector<std::string>{"The peak table is full (30 peaks)"}));
    EXPECT_TRUE(f.shell.PeakOrderItems.empty());
}

TEST(MouseLogic, AClickOnPoint65536PlacesThePeakAt65535) {
    ViewFixture f(65536);
    f.state.Doc.ViewFirstPoint = 65527;
    f.state.Doc.ViewPointCount = 10;
    RefreshClick(f.state, f.shell);
    const int x = f.Geo().PlotRight - 1;
    ASSERT_EQ(PointAt(f.state.Doc, f.Geo(), x), 65536);
    Click(f, MouseButton::kRight, x, 200);
    EXPECT_EQ(f.state.Doc.PeakPos[1], 65535);
}

TEST(MouseLogic, AxisValueTextIsCutNotRounded) {
    ViewFixture f;
    f.state.Doc.XFirstPpm = 1.23456;
    EXPECT_EQ(AxisValueText(f.state.Doc, f.Geo(), f.Geo().PlotLeft), "1.234");
    f.state.Doc.XAxisPpm = false;
    f.state.Doc.XFirstHz = -12.345;
    EXPECT_EQ(AxisValueText(f.state.Doc, f.Geo(), f.Geo().PlotLeft), "-12.34");
}

TEST(MouseLogic, RangeDragFillsTheEditsDrawsTheBandAndRunsOk) {
    ViewFixture f;
    f.state.View.RangeDialogOpen = true;
    ShiftState left_held;
    left_held.Left = true;
    ImgSpectMouseDown(f.state, f.shell, MouseButton::kLeft, left_held, 0, 100);
    EXPECT_EQ(f.shell.Edit1, "10");  // clamped to PlotLeft
    EXPECT_TRUE(f.state.View.DragLeftButton);
    ImgSpectMouseMove(f.state, f.shell, kNoButtons, 200, 150);  // no button: no band
    EXPECT_TRUE(f.shell.Picture()->StrokesIn(kBlue).empty());
    ImgSpectMouseMove(f.state, f.shell, left_held, 200, 150);
    const auto band = f.shell.Picture()->StrokesIn(kBlue);
    ASSERT_EQ(band.size(), 8u);  // the old rectangle erased, the new one drawn
    EXPECT_EQ(band[0].Mode, PenMode::kNotXor);
    EXPECT_EQ(band[4].Points, (std::vector<Point>{{6, 100}, {200, 100}}));

    // Released on the right edge or past it: the last column inside; on the left edge: nothing.
    const int right = f.Geo().PlotRight, left = f.Geo().PlotLeft;
    for (const auto& [x, oks] : {std::pair{700, 1}, {right, 2}, {right - 1, 3}, {left, 3}}) {
        f.shell.Edit2.clear();
        ImgSpectMouseUp(f.state, f.shell, MouseButton::kRight, kNoButtons, x, 150);
        EXPECT_EQ(f.shell.Edit2, x == left ? "" : AxisValueText(f.state.Doc, f.Geo(), right - 1));
        EXPECT_EQ(f.shell.CallCount("RangeDialogOk"), oks) << x;
    }
    EXPECT_EQ(f.state.Doc.PeakCount, 0);

    ImgSpectMouseDown(f.state, f.shell, MouseButton::kRight, kNoButtons, 300, 100);
    EXPECT_TRUE(f.shell.ApplyMode);
    EXPECT_FALSE(f.state.View.DragLeftButton);
    ShiftState right_held;
    right_held.Right = true;
    ImgSpectMouseMove(f.state, f.shell, right_held, 320, 150);
    EXPECT_EQ(f.shell.Picture()->StrokesIn(kGreen).size(), 8u);
}

TEST(MouseLogic, PpmCursorMovesInNotXorAndReadsTheValuesUnderIt) {
    ViewFixture f;
    f.shell.PpmShown = true;
    f.state.View.CursorFresh = true;
    f.state.Doc.ObsY[10] = 0.5;
    f.state.Doc.YScale = 2500.0;
    const int x1 = f.X(10);
    ImgSpectMouseMove(f.state, f.shell, kNoButtons, x1, 50);
    auto lines = f.shell.Picture()->StrokesIn(kMaroon);
    ASSERT_EQ(lines.size(), 2u);
    const int low = f.Geo().CursorLowY;
    EXPECT_EQ(lines[0].Points, (std::vector<Point>{{-1, low}, {-1, 10}}));  // nothing to erase
    EXPECT_EQ(lines[1].Points, (std::vector<Point>{{x1, low}, {x1, 10}}));
    EXPECT_EQ(lines[1].Mode, PenMode::kNotXor);
    EXPECT_EQ(f.shell.Readout.ppm_label, "9.9");
    EXPECT_EQ(f.shell.Readout.Label4, "11 ");
    EXPECT_EQ(f.shell.Readout.diff_Hz, "3960");
    EXPECT_EQ(f.shell.Readout.Int_Label, "1.250E+03");
    EXPECT_EQ(f.shell.Readout.Label7, "0.500");

    Click(f, MouseButton::kRight, f.X(20), 200);  // sets the reference, places no peak
    EXPECT_EQ(f.shell.DiffHz, "3920 Hz ");
    EXPECT_EQ(f.state.Doc.PeakCount, 0);
    ImgSpectMouseMove(f.state, f.shell, kNoButtons, f.X(15), 50);
    lines = f.shell.Picture()->StrokesIn(kMaroon);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2].Points[0].X, x1);  // the previous line erased
    EXPECT_EQ(f.shell.Readout.diff_Hz, "20");
}

TEST(MouseLogic, NothingActsBeforeASpectrumIsOpen) {
    AppState state;
    test::FakeShell shell;
    ImgSpectMouseUp(state, shell, MouseButton::kRight, kNoButtons, 100, 100);
    KeyPress(state, shell, 'D');
    CMChildKey(state, shell, kVkUp);
    EXPECT_TRUE(shell.Calls.empty());
    EXPECT_EQ(state.Doc.YExpand, 1.0);
}

TEST(MouseLogic, DKeyStepsTheGainDownAndIKeyUp) {
    ViewFixture f;
    f.state.Doc.YExpand = 31.0;
    const double down[] = {21, 11, 10, 1, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1, 0.1};
    for (std::size_t i = 0; i < std::size(down); ++i) {
        KeyPress(f.state, f.shell, i % 2 ? 'd' : 'D');
        EXPECT_NEAR(f.state.Doc.YExpand, down[i], 1e-12) << i;
    }
    EXPECT_EQ(f.shell.Label6, "0.10");
    EXPECT_EQ(f.shell.CallCount("OpenRangeDialogOnYTab"), 1);  // only while it was hidden
    EXPECT_EQ(f.shell.FocusTaken, 14);
    EXPECT_EQ(f.shell.Title, "/data/test.spc : 1-101<101points>");  // redrawn keeping the range

    f.state.Doc.YExpand = 1.0;
    for (double up : {11.0, 21.0, 31.0}) {
        KeyPress(f.state, f.shell, 'i');
        EXPECT_EQ(f.state.Doc.YExpand, up);
    }
}

TEST(MouseLogic, AResetsTheGainRResetsTheViewOtherKeysOnlyRound) {
    ViewFixture f;
    f.state.Doc.YExpand = 7.0;
    KeyPress(f.state, f.shell, 'a');
    EXPECT_EQ(f.state.Doc.YExpand, 1.0);
    EXPECT_EQ(f.shell.CallCount("OpenRangeDialogOnYTab"), 0);

    KeyPress(f.state, f.shell, 'r');
    EXPECT_EQ(f.shell.CallCount("RangeDialogReset"), 1);
    f.shell.PpmShown = true;
    const int bitmaps = f.shell.BitmapsCreated;
    KeyPress(f.state, f.shell, 'R');  // the refresh is dropped while the read-out is open
    EXPECT_EQ(f.shell.CallCount("RangeDialogReset"), 1);
    EXPECT_EQ(f.shell.BitmapsCreated, bitmaps);

    for (const auto& [before, after] : {std::pair{0.0125, 0.012}, std::pair{0.0135, 0.014}}) {
        f.state.Doc.YExpand = before;
        KeyPress(f.state, f.shell, 'x');
        EXPECT_DOUBLE_EQ(f.state.Doc.YExpand, after);  // halves to even
    }
}

TEST(MouseLogic, ArrowKeysOpenTheYTabAndStepTheGain) {
    struct Case {
        int key;
        double before, after;
    };
    const Case cases[] = {{kVkDown, 1.5, 1.0}, {kVkDown, 1.0, 0.9}, {kVkDown, 2.0, 1.0},
                          {kVkDown, 0.1, 0.1}, {kVkUp, 1.0, 2.0},   {kVkUp, 0.5, 0.6},
                          {kVkLeft, 3.0, 3.0}, {kVkRight, 3.0, 3.0}};
    for (const Case& c : cases) {
        ViewFixture f;
        f.shell.RangeShown = true;  // opened again all the same
        f.state.Doc.YExpand = c.before;
        CMChildKey(f.state, f.shell, c.key);
        EXPECT_NEAR(f.state.Doc.YExpand, c.after, 1e-12) << c.key << " " << c.before;
        EXPECT_EQ(f.shell.CallCount("OpenRangeDialogOnYTab"), 1);
        const bool redrawn = c.key == kVkUp || c.key == kVkDown;
        EXPECT_EQ(f.shell.CallCount("SetRangeLabel6"), redrawn ? 1 : 0);
        EXPECT_EQ(f.shell.BitmapsCreated, redrawn ? 2 : 1);
    }
    ViewFixture f;
    CMChildKey(f.state, f.shell, 41);
    EXPECT_TRUE(f.shell.Calls.empty());
}

}  // namespace
}  // namespace kalvex::view
