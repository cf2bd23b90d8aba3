// Drawing of the spectrum, its X axis, the model peaks and their sum on the screen or an output.
#pragma once

#include <cstdint>
#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "view/Canvas.h"
#include "view/PlotGeometry.h"

namespace kalvex::view {

/// Curve styles of the output pictures, as the items of P_Line2 and Sum_Line2.
enum class CurveStyle : int { kSolid = 0, kBroken = 1, kBrokenDot = 2 };

/// The pixel coordinate of a computed position: nearest(v), halves away from zero, as
/// core::Nearest. Values beyond +-1E9 pixels (and NaN) are held at that bound so they stay
/// integers; nothing that lies on any real target is changed.
inline int Px(double v) {
    constexpr double kLimit = 1.0e9;
    // Written as selects so they compile to min/max without branches; NaN takes the lower
    // bound.
    v = v > -kLimit ? v : -kLimit;
    v = v < kLimit ? v : kLimit;
    // Inline rather than a library call: this runs for every drawn point. Within the limit the
    // cut-off fraction is exact, so halves go away from zero exactly as in core::Nearest. The
    // comparisons add 0 or 1 instead of branching: their outcome is a coin toss per point.
    const auto whole = static_cast<std::int64_t>(v);
    const double fraction = v - static_cast<double>(whole);
    return static_cast<int>(whole + static_cast<std::int64_t>(fraction >= 0.5) -
                            static_cast<std::int64_t>(fraction <= -0.5));
}

/// Screen layout for a main-window client area of the given size: M_Bevel at (26, 28)
/// filling the rest less 1 pixel right and bottom, and PlotLeft, PlotRight, PlotTop and
/// PlotBottom at 1 %, 99 %, 2 % and 98 % of the bevel (as bitmap coordinates, although the
/// bitmap is 2 pixels smaller than the bevel).
void LayoutPlotArea(PlotGeometry& geo, int client_width, int client_height);

/// Where the plot bitmap goes and how large it is: 1 pixel inside the bevel on every side
/// (at least 1 x 1 pixel).
PixelRect PlotBitmapRect(const PixelRect& bevel);

/// X of shown point i (0 = ViewFirstPoint): nearest(i * PxPerPoint + PlotLeft).
inline int ShownPointX(const PlotGeometry& geo, int i) {
    return Px(i * geo.PxPerPoint + geo.PlotLeft);
}

/// The vertical mapping of the last DrawSpectrum: normalised values and model-curve values to
/// pixel rows. Gain YExpand enlarges about the baseline row, or about full scale (PlotTop)
/// whenever Bias >= 0.5 (top-anchored mapping); every height is divided by YRange.
class VerticalMap {
public:
    VerticalMap(const core::Document& doc, const PlotGeometry& geo);

    /// Row of the normalised value v (a point of ObsY, or a level such as Bias).
    int ObservedRow(double v) const { return Px(base_y_ - Height(v - y_offset_)); }
    /// Row of a model-curve value c (a height above Bias): the row of the observed value
    /// c + Bias, except that with Bias exactly 0 the curves start on the baseline row even when
    /// YOffset is not 0.
    int CurveRow(double c) const { return Px(base_y_ - Height(c) - curve_offset_); }
    bool TopAnchored() const { return top_anchored_; }
    /// The pixel offset o of model curves.
    double CurveOffset() const { return curve_offset_; }

private:
    // Height in pixels of a value already taken relative to YOffset (or to 0 for curves).
    double Height(double rel) const {
        if (top_anchored_) return plot_height_ * (y_expand_ * rel / y_range_ + 1.0 - y_expand_);
        return plot_height_ * y_expand_ * rel / y_range_;
    }

    double plot_height_;
    double base_y_;
    double y_expand_;
    double y_offset_;
    double y_range_;
    bool top_anchored_;
    double curve_offset_;
};

/// The automatic X tick step for a view span |D| (axis units): |D| as sci(3,2), the mantissa
/// rounded to m, then 10 (m > 6), 5 (m > 3), 2 (m > 1.5) or 1, times 10^(exponent - 1).
/// A span that is not a finite number gives 1.
double AutoXTickStep(double abs_span);

/// Decimals of the tick labels: 0 for a step of 1 or more, else nearest(|log10(step)| + 0.49).
std::uint16_t XTickDecimalsFor(double step);

/// "Chemical Shift / ppm" on a ppm axis, else "Offset / Hz".
std::string AxisTitle(bool ppm_axis);

/// Derives the vertical geometry (AxisZone, PlotBaseY, PlotWidth, PlotHeight, PxPerPoint and,
/// on the screen, CursorLowY), draws the shown points of ObsY with the canvas's current pen
/// colour (on an output only when Prn_Source is ticked, with the S_Line1 width) and then the
/// X axis. Leaves the pen width at 1. A view of a single point puts it at PlotLeft
/// (PxPerPoint = PlotWidth). Writes opts.x_delta through DrawXAxis.
void DrawSpectrum(Canvas& canvas, const core::Document& doc, core::Options& opts, PlotGeometry& geo,
                  const RenderContext& ctx);

/// The X axis of the shown range: tick step (automatic unless opts.XTickManual, then written
/// in general form into opts.x_delta), at most 20 labelled ticks with minor ticks halfway,
/// labels in fixed(5, XTickDecimals) cut to 7 characters, the axis title, font "Times New Roman"
/// sized from AxisZone. On an output the pen width comes from XLine_Style and nothing is drawn
/// unless Prn_xline is ticked. Writes geo.XTickStep and geo.XTickDecimals. A view whose span is
/// 0 gets its line and title but no ticks.
void DrawXAxis(Canvas& canvas, const core::Document& doc, core::Options& opts, PlotGeometry& geo,
               const RenderContext& ctx);

/// What DrawPeaks asks of the main window.
struct PeakDrawOutcome {
    bool Drawn = false;       ///< PeakCount > 0: enable M_saveGL and apply the fit gate
    bool LsfEnabled = false;  ///< ResidualSum < LsfUpperLimit
};

/// Synthesises every peak and the sum into doc.PeakY and doc.SumY (fit::SynthesiseModel; in
/// Gauss+Lorentz mode this rewrites PeakAreaGL), sets doc.ResidualSum on the screen (never on
/// an output), and draws each peak over the shown points: on the screen red, or green for
/// `selected_peak` (1-based; 0 for none) when there is more than one peak; then the sum in blue
/// from two peaks on. On an output: black, with the widths and styles of P_Line1/P_Line2 and
/// Sum_Line1/Sum_Line2, each element only when its Prn_ box is ticked. Does nothing when
/// PeakCount is 0. Needs the geometry of a DrawSpectrum on the same target.
PeakDrawOutcome DrawPeaks(Canvas& canvas, core::Document& doc, const core::Options& opts,
                          const PlotGeometry& geo, const RenderContext& ctx, int selected_peak);

/// Draws a model curve (point p at curve[p - 1]) over the shown points with the current pen
/// colour and width in the output style: solid, broken (dashes one point spacing long) or
/// broken-dot (discs of radius nearest(width * 5 / 12) between dashes, brush black meanwhile,
/// white afterwards). Leaves the pen width at 1.
void DrawStyledCurve(Canvas& canvas, const double* curve, CurveStyle style,
                     const core::Document& doc, const PlotGeometry& geo);

/// Draws the whole picture onto an output canvas of `dpi` pixels per inch, laid out in
/// centimetres from opts.Print on a page 28 cm high when `portrait_page` (the printer's page is
/// taller than wide), else 20 cm. Pen widths from the plot's diagonal d: d/1500, d/500, d/300,
/// d/150 (at most 255). Afterwards the geometry is the screen's again (only PxPerCm keeps the
/// output value); doc.ResidualSum is left alone, doc.PeakY/SumY hold the same synthesis.
/// Returns the context it drew with.
RenderContext RenderForOutput(Canvas& canvas, int dpi, core::Document& doc, core::Options& opts,
                              PlotGeometry& geo, bool portrait_page);

}  // namespace kalvex::view
