// Horizontal Shift and Change_Height on the peak table.
#include "tools/PeakShift.h"

#include <cmath>
#include <cstdint>

#include "core/Capacities.h"
#include "core/NumberFormat.h"
#include "core/TextToNumber.h"

namespace kalvex::tools {

namespace {

constexpr double kLastStorablePosition = 65535.0;  // PeakPos is 16 bits wide

}  // namespace

ShiftOutcome ShiftPeaks(core::Document& doc, const std::string& text) {
    if (core::IsBlank(text)) return ShiftOutcome::kNothingTyped;
    const double s = core::TextToFloat(text);
    const double whole = core::Trunc(std::fabs(s));
    if (s >= 0) {
        // Checked for every peak first: a shift stopped half way would leave the table torn.
        for (int k = 1; k <= doc.PeakCount; ++k) {
            if (doc.PeakPos[k] + whole > kLastStorablePosition) return ShiftOutcome::kRefused;
        }
        for (int k = 1; k <= doc.PeakCount; ++k) {
            doc.PeakPos[k] = static_cast<std::uint16_t>(doc.PeakPos[k] + whole);
        }
    } else {
        for (int k = 1; k <= doc.PeakCount; ++k) {
            doc.PeakPos[k] = std::fabs(s) < doc.PeakPos[k]
                                 ? static_cast<std::uint16_t>(doc.PeakPos[k] - whole)
                                 : std::uint16_t{0};
        }
    }
    return ShiftOutcome::kShifted;
}

bool ChangeHeights(core::Document& doc, const std::string& text) {
    const auto a = static_cast<float>(core::TextToFloat(text));
    if (!(a > 0.0f && a < 1.0f)) return false;
    for (int k = 1; k <= core::kMaxPeaks; ++k) doc.PeakHeight[k] *= static_cast<double>(a);
    return true;
}

}  // namespace kalvex::tools
