// Wheel zoom: spans kept inside the spectrum around the cursor, and the picture it redraws.
#include <gtest/gtest.h>

#include <cmath>

#include "support/DocumentBuilder.h"
#include "support/FakeShell.h"
#include "tools/WheelZoom.h"
#include "view/RefreshLogic.h"

namespace kalvex::tools {
namespace {

TEST(WheelZoom, SpansStayInsideTheSpectrumAtBothEnds) {
    struct Case {
        PointSpan View;
        double Index;
        int Notches;
        PointSpan Expected;
    };
    const Case cases[] = {
        {{1, 1000}, 0, 1, {1, 700}},        // in at the left end: point 1 stays first
        {{1, 1000}, 999, 1, {301, 700}},    // in at the right end: point 1000 stays last
        {{1, 1000}, 499.5, 1, {151, 700}},  // in the middle, around the middle
        {{1, 100}, 0, -1, {1, 143}},        // out at the left end
        {{901, 100}, 99, -1, {858, 143}},   // out at the right end
        {{950, 50}, 0, -3, {855, 146}},     // out beyond the right end: moved back inside
        {{400, 200}, 100, -40, {1, 1000}},  // far out: the whole spectrum
        {{400, 200}, 100, 40, {496, 8}},    // far in: the least count, around the cursor
        {{1, 8}, 3, 1, {1, 8}},             // at the least count already
        {{1, 9}, 3, 1, {1, 8}},             // one above it: down to it
        {{10, 5}, 2, 1, {10, 5}},           // a smaller Range XY view never grows inwards
        {{10, 1}, 0, -1, {10, 2}},          // every notch out adds a point
        {{10, 100}, -50, 1, {10, 70}},      // a cursor left of the plot counts as its edge
        {{10, 100}, std::nan(""), 1, {10, 70}},
    };
    for (const Case& c : cases) {
        const PointSpan s = WheelZoomSpan(c.View, 1000, c.Index, c.Notches);
        EXPECT_EQ(s, c.Expected) << c.View.First << "+" << c.View.Count << " at " << c.Index
                                 << " by " << c.Notches << ": " << s.First << "+" << s.Count;
    }
    EXPECT_EQ(WheelZoomSpan({1, 5}, 5, 2, 3), (PointSpan{1, 5}));  // fewer points than the least
}

TEST(WheelZoom, WheelRedrawsTheZoomedRangeAndFillsAnOpenRangeDialog) {
    view::AppState state;
    test::FakeShell shell;
    state.Doc = test::MakeDocument(1001, 100.0, 0.125);
    view::RefreshClick(state, shell);
    state.View.ViewResetRequest = true;  // a pending Reset does not take the zoom back
    shell.RangeShown = true;
    ImgSpectWheel(state, shell, state.Plot.PlotLeft, 2);
    EXPECT_EQ(state.Doc.ViewFirstPoint, 1);
    EXPECT_EQ(state.Doc.ViewPointCount, 490);
    EXPECT_EQ(shell.BitmapsCreated, 2);
    EXPECT_EQ(shell.Edit1, "100");
    EXPECT_EQ(shell.Edit2, "38.88");  // point 490 is at 38.875 ppm
    EXPECT_EQ(shell.Title, "\\...test.spc : 1-490<490points>");

    // The middle double click shows everything again and keeps the gain.
    state.Doc.YExpand = 3.0;
    ImgSpectMiddleDoubleClick(state, shell);
    EXPECT_EQ(state.Doc.ViewPointCount, 1001);
    EXPECT_DOUBLE_EQ(state.Doc.XFirstPpm, 100.0);
    EXPECT_EQ(state.Doc.YExpand, 3.0);

    // With the read-out open the picture must stay as it is: the wheel does nothing.
    shell.PpmShown = true;
    ImgSpectWheel(state, shell, state.Plot.PlotLeft, 2);
    EXPECT_EQ(state.Doc.ViewPointCount, 1001);
}

}  // namespace
}  // namespace kalvex::tools
