// Pixel geometry of the last screen drawing, and the render context that tells screen from output.
#pragma once

#include <array>
#include <cstdint>

namespace kalvex::view {

/// A rectangle in pixels of the main window's client area or of a bitmap.
struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    constexpr bool operator==(const PixelRect&) const = default;
};

/// Where the spectrum is drawn, in pixels of the current target. Every screen drawing
/// recomputes it and the mouse handling and the tools read it until the next one; an output
/// rendering changes it only while it runs. X grows to the right, Y downwards.
struct PlotGeometry {
    PixelRect Bevel;                  ///< the frame M_Bevel in the main window's client area
    int PlotLeft = 0;                 ///< X of the first shown point
    int PlotRight = 0;                ///< X of the last shown point
    int PlotTop = 0;                  ///< row of full scale (normalised value 1 at gain 1)
    int PlotBottom = 0;               ///< lower edge of the X-axis zone
    int PlotWidth = 0;                ///< PlotRight - PlotLeft
    int PlotHeight = 0;               ///< PlotBaseY - PlotTop: pixels of a normalised value of 1
    int PlotBaseY = 0;                ///< row of zero intensity (the baseline row)
    int AxisZone = 0;                 ///< height of the X-axis zone at the bottom
    double PxPerPoint = 1.0;          ///< PlotWidth / (ViewPointCount - 1)
    int CursorLowY = 0;               ///< lower end of the ppm/Hz cursor line (screen only)
    double PxPerCm = 0.0;             ///< device pixels per centimetre of the last output rendering
    double XTickStep = 1.0;           ///< X tick spacing in axis units (ppm or Hz)
    std::uint16_t XTickDecimals = 0;  ///< decimals of the tick labels
};

/// Indices of the output pen widths, as the Options radio groups number them.
enum class OutputPen : int { kThin = 0, kRegular = 1, kBold = 2, kSuperBold = 3 };

/// What kind of target a drawing goes to. The screen is drawn in colour with one-pixel lines;
/// an output device (printer, preview, metafile) in black with the widths computed by
/// RenderForOutput from the plot's diagonal.
struct RenderContext {
    bool Output = false;  ///< drawing to a printer or metafile (black, styled, switchable)
    /// Pen widths in device pixels for "Thin", "Regular", "Bold", "Super Bold".
    std::array<std::uint8_t, 4> PenOut{1, 1, 1, 1};

    static RenderContext Screen() { return RenderContext{}; }

    /// The output pen width chosen by a radio-group item 0..3; other items give "Thin".
    int PenOutWidth(int item) const {
        return (item >= 0 && item <= 3) ? PenOut[static_cast<std::size_t>(item)] : PenOut[0];
    }
};

}  // namespace kalvex::view
