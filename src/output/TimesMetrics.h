// Text widths of the plot's font without a font engine, for pictures written without Qt.
#pragma once

#include <string_view>
#include <vector>

namespace kalvex::output {

/// Advance of the Latin-1 character `c` in Times New Roman at `pixel_size` pixels per em,
/// rounded to whole pixels, as a printer driver places the glyphs one after the other.
int TimesAdvance(unsigned char c, int pixel_size);

/// The advances of every character of `text` (Latin-1).
std::vector<int> TimesAdvances(std::string_view text, int pixel_size);

/// Width of `text` (Latin-1): the sum of its advances.
int TimesTextWidth(std::string_view text, int pixel_size);

}  // namespace kalvex::output
