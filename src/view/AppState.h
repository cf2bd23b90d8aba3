// The whole running state of the program, owned by main() and passed by reference.
#pragma once

#include "core/Document.h"
#include "core/Options.h"
#include "view/PlotGeometry.h"
#include "view/ViewState.h"

namespace kalvex::view {

/// One instance for the whole run: the document, the Options values, the geometry of the
/// last screen drawing and the view's flags. Nothing here is global.
struct AppState {
    core::Document Doc;
    core::Options Opts;
    PlotGeometry Plot;
    ViewState View;
};

}  // namespace kalvex::view
