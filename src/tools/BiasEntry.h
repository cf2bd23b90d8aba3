// The bias dialog's rules: the value in display units, the typed value, the marks on the picture.
#pragma once

#include <string>

#include "core/Document.h"
#include "view/Canvas.h"
#include "view/PlotGeometry.h"

namespace kalvex::tools {

/// EdBias when the dialog opens: " " + fixed(5,4)((Bias - YOffset) / YRange), or "0.0000"
/// when Bias is 0.
std::string BiasEditText(const core::Document& doc);

/// OK and Apply: a typed value v with 0 <= v <= 1 sets Bias = v * YRange + YOffset (a 32-bit
/// float) and returns true; a blank text or a value outside 0..1 changes nothing and returns
/// false. Throws kalvex::Error when the text is not a number; Bias is then unchanged.
bool ApplyTypedBias(core::Document& doc, const std::string& text);

/// The pixel row of the bias level in the last screen drawing: the row the plot's mapping
/// gives to the value Bias (top-anchored too), PlotBaseY itself when Bias is 0.
int BiasLineRow(const core::Document& doc, const view::PlotGeometry& geo);

/// What the dialog draws on the picture while it is open: a dotted navy line from PlotLeft to
/// PlotRight at BiasLineRow and, at a gain within 0.99..1.01 (exclusive), a green scale on
/// the left edge: the line PlotTop..PlotBaseY at PlotLeft and 11 ticks at the rows
/// nearest(PlotTop + k * (PlotBaseY - PlotTop) / 10), k = 0..10, reaching to
/// nearest(PlotLeft + 0.03 * PlotWidth). Leaves a black solid pen.
void DrawBiasMarks(view::Canvas& canvas, const core::Document& doc, const view::PlotGeometry& geo);

}  // namespace kalvex::tools
