// A loaded document, the application state and a fake main window, as the view tests start.
#pragma once

#include "support/DocumentBuilder.h"
#include "support/FakeShell.h"
#include "view/AppState.h"
#include "view/Plotting.h"
#include "view/RefreshLogic.h"

namespace kalvex::view {

/// 101 points from 10 ppm down by 0.01 ppm at 400 MHz, refreshed once in a 668 x 510 client
/// area: PlotLeft 6, PlotRight 635, PlotTop 10, PlotBaseY 394, PxPerPoint 6.29.
struct ViewFixture {
    AppState state;
    test::FakeShell shell;

    explicit ViewFixture(int points = 101) {
        state.Doc = test::MakeDocument(points);
        RefreshClick(state, shell);
        shell.Calls.clear();
    }

    const PlotGeometry& Geo() const { return state.Plot; }
    /// X of shown point i.
    int X(int i) const { return ShownPointX(state.Plot, i); }
};

}  // namespace kalvex::view
