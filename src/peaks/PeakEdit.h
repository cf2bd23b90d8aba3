// Draw and Delete of the Peak Information window: typed values into the peak table.
#pragma once

#include "core/Document.h"
#include "core/Options.h"
#include "peaks/PeakInfo.h"

#include <string>

namespace kalvex::peaks {

/// The five edit boxes Draw reads and their edited flags. A flag is set by any change of its
/// box's text (the program's own included) and all are cleared at the end of every show.
struct PeakEdits {
    std::string Edposition;  ///< position, points
    std::string Edhight;     ///< height / YRange
    std::string EdWidth;     ///< full width in the axis unit (Gaussian in Gauss+Lorentz mode)
    std::string EdWidth2;    ///< Lorentzian full width in the axis unit (Sel_Dlg2)
    std::string fract_L;     ///< Lorentzian fraction (Sel_Dlg2)
    bool PositionEdited = false;
    bool HeightEdited = false;
    bool WidthEdited = false;
    bool WidthLEdited = false;
    bool FractionEdited = false;

    void ClearFlags();
};

/// The edit boxes as a show leaves them: the shown texts, no flag set.
PeakEdits EditsAfterShow(const PeakInfo& info);

/// Draw (also run by choosing a peak in the list and by Sel_Dlg2's Draw) for peak n: applies,
/// in this order, each edited and non-blank field: position (a decimal integer 0..65535),
/// height (x YRange), full width (/ step / 2 in the document's axis unit, into PeakHalfWidth
/// and PeakHalfWidthG), Lorentzian full width (likewise into PeakHalfWidthL), fraction
/// (clamped to 0..1). In Gauss+Lorentz mode PeakAreaGL[n] then follows the new values
/// (height / CentreDensityGL), as the next drawing would set it.
/// Throws kalvex::Error when n is not a peak (no entry selected) - nothing is changed - and
/// when a text is not a number or a position is out of range, naming the text; the fields
/// before it stay applied. The caller then shows peak n again and redraws.
void ApplyPeakEdits(core::Document& doc, const core::Options& opts, int n, const PeakEdits& edits);

/// Delete of peak n (1..PeakCount), after the user confirmed it: later peaks move down one
/// slot with all their values and errors (Gauss+Lorentz ones included), the freed slot gets
/// zero errors, fraction 0.5 and area 0, and PeakCount drops by one. Returns the peak to show
/// next: 1 when n is now beyond the last peak, else n. Throws kalvex::Error, changing
/// nothing, when n is not a peak.
int DeletePeak(core::Document& doc, int n);

}  // namespace kalvex::peaks
