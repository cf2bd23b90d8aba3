// The print preview's arithmetic: zoom steps and limits, its label, the sheet and printable area.
#pragma once

#include <string>

#include "output/PrinterPage.h"
#include "view/PlotGeometry.h"

namespace kalvex::output {

/// Zoom of the preview in percent: 50 to 200 in steps of 25, 50 when the window is created.
inline constexpr int kZoomMin = 50;
inline constexpr int kZoomMax = 200;
inline constexpr int kZoomStep = 25;

/// The zoom after a request for `request` percent: the request itself, unless it equals
/// `current` or lies outside 50..200, when `current` stays.
int RequestZoom(int current, int request);

/// ZoomUp is enabled below 200 %, ZoomDown above 50 %.
inline bool ZoomUpEnabled(int zoom) { return zoom < kZoomMax; }
inline bool ZoomDownEnabled(int zoom) { return zoom > kZoomMin; }

/// The zoom label: a blank, the zoom, a blank and "%" (" 125 %").
std::string ZoomLabel(int zoom);

/// Resolution the preview draws at: screen_ppi * zoom / 100, rounded to the nearest integer.
int PreviewDpi(int screen_ppi, int zoom);

/// Where the preview puts the sheet and the printable area, in screen pixels.
struct PreviewRects {
    view::PixelRect Sheet;      ///< Panel2: the whole sheet at (0, 0)
    view::PixelRect Printable;  ///< PaintBox1 inside the sheet
    /// Only at 50 % does the window take the sheet's size plus a 20-pixel border; at other
    /// zooms it keeps its size and the sheet scrolls.
    bool ResizeWindow = false;
    int ClientWidth = 0;   ///< the window's client width when ResizeWindow
    int ClientHeight = 0;  ///< its client height without the top panel when ResizeWindow
};

/// The layout at `zoom` for `page`: scale s = screen_ppi / page.Dpi * zoom / 100; sheet
/// nearest(W s) x nearest(H s); printable area at nearest(offset s), nearest(printable s).
PreviewRects LayoutPreview(const PrinterPage& page, int screen_ppi, int zoom);

}  // namespace kalvex::output
