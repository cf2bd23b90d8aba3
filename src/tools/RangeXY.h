// The Range XY rules: the edits' texts, the typed X range, the magnification arrows, Cancel.
#pragma once

#include <cstdint>
#include <string>

#include "core/Document.h"

namespace kalvex::tools {

/// What the Range XY dialog shows when it opens: Edit1 (range start), Edit2 (range end) and
/// the text of both unit labels.
struct RangeTexts {
    std::string Edit1;
    std::string Edit2;
    std::string Unit;
};

/// On a ppm axis Edit1 = general(trunc(XFirstPpm * 100) / 100) and Edit2 =
/// general((trunc(end * 100) + 1) / 100), end being the ppm of the last shown point, unit
/// "PPM"; on a Hz axis the same with 10 instead of 100 from XFirstHz and XStepHz, unit "Hz".
RangeTexts RangeShowTexts(const core::Document& doc);

/// Shows points first..first + count - 1 (1-based, inside 1..PointCount): ViewFirstPoint and
/// ViewPointCount, and the X of point `first` for the axis unit (from RangeFullPpm or
/// RangeFullHz); the other unit follows through ObsFreq. Every change of the X range ends
/// here, so the rest of the program sees an ordinary range.
void ShowPoints(core::Document& doc, std::int32_t first, std::int32_t count);

/// OK's range arithmetic on the typed texts (X falls from left to right). The range is
/// accepted only when end < start, start < full start and end > full end (full end = full
/// start - (RangeFullCount - 1) * step); when only Edit1 was edited the last shown point stays,
/// when only Edit2 was edited the first shown point stays, with both the range is rebuilt from
/// the two values. A result that would not lie inside the spectrum (possible with negative X
/// values and one edit) is refused too. Returns whether the range was accepted; a refused range
/// changes nothing. Throws kalvex::Error when a text is not a number, before changing anything.
bool ApplyTypedRange(core::Document& doc, const std::string& edit1, const std::string& edit2,
                     bool edited1, bool edited2);

/// Which magnification arrow was clicked: UpDown_Y steps by 1, UpDown_Y2 (fine) by 0.1.
enum class GainArrow { kUp, kDown };

/// The gain after a click on one of the magnification arrows. The rule reads the gain as its
/// label Label6 shows it (fixed(3,2)): up only while that is below 100.1, by the step from 1
/// on and a tenth of it below 1, and never beyond 100; down only while it is above 0, by a
/// tenth of the step below 1.1 and by the step from there, and never below 0.01.
double SteppedGain(double y_expand, bool fine, GainArrow arrow);

/// Whether Cancel puts the gain back to 1: only the magnification arrows were used (neither
/// edit was edited since the dialog opened or the last refresh).
bool CancelResetsGain(bool edited1, bool edited2, bool y_touched);

}  // namespace kalvex::tools
