// Moving every peak by whole points and scaling every height: Horizontal Shift and Change_Height.
#pragma once

#include <string>

#include "core/Document.h"

namespace kalvex::tools {

/// How a typed shift ended.
enum class ShiftOutcome {
    kNothingTyped,  ///< blank text: nothing changes, the dialog closes
    kShifted,       ///< every peak moved
    kRefused,       ///< a peak would pass the last storable position: nothing moved
};

/// The message of a refused shift.
inline constexpr const char* kShiftBeyondLastPosition =
    "This shift would move a peak beyond point 65535: no peak was shifted";

/// OK of the shift dialog. s := the typed number; trunc(s) whole points are added to every
/// peak 1..PeakCount; a negative shift of at least a peak's position leaves it at 0 (kept in the
/// table, outside the point numbering: the curves and the fit never read before point 1).
/// A positive shift that would carry any position beyond 65535 is refused whole. Throws
/// kalvex::Error when the text is not a number; nothing changes then.
ShiftOutcome ShiftPeaks(core::Document& doc, const std::string& text);

/// The text the height window proposes.
inline constexpr const char* kHeightFactorPreset = "1.0";

/// OK of the height window: a := the typed number as a 32-bit float; with 0 < a < 1 every
/// PeakHeight slot (all 30) is multiplied by a and true returned; any other factor changes
/// nothing. Throws kalvex::Error when the text is not a number.
bool ChangeHeights(core::Document& doc, const std::string& text);

}  // namespace kalvex::tools
