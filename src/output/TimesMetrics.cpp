// The widths are the advance widths of Times New Roman, which its metric twin Liberation Serif
// (the font the screen uses for that name) shares, in 1/2048 em for the characters 32..255.
#include "output/TimesMetrics.h"

#include <cstdint>

#include "core/NumberFormat.h"

namespace kalvex::output {

namespace {

constexpr int kUnitsPerEm = 2048;

constexpr std::uint16_t kAdvance[224] = {
    512,  682,  836,  1024, 1024, 1706, 1593, 369,  682,  682,  1024, 1155, 512,  682,  512,  569,
    1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 569,  569,  1155, 1155, 1155, 909,
    1886, 1479, 1366, 1366, 1479, 1251, 1139, 1479, 1479, 682,  797,  1479, 1251, 1821, 1479, 1479,
    1139, 1479, 1366, 1139, 1251, 1479, 1479, 1933, 1479, 1479, 1251, 682,  569,  682,  961,  1024,
    682,  909,  1024, 909,  1024, 909,  682,  1024, 1024, 569,  569,  1024, 569,  1593, 1024, 1024,
    1024, 1024, 682,  797,  569,  1024, 1024, 1479, 1024, 1024, 909,  983,  410,  983,  1108, 1593,
    1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593,
    1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593, 1593,
    512,  682,  1024, 1024, 1024, 1024, 410,  1024, 682,  1556, 565,  1024, 1155, 682,  1556, 1024,
    819,  1124, 614,  614,  682,  1180, 928,  682,  682,  614,  635,  1024, 1536, 1536, 1536, 909,
    1479, 1479, 1479, 1479, 1479, 1479, 1821, 1366, 1251, 1251, 1251, 1251, 682,  682,  682,  682,
    1479, 1479, 1479, 1479, 1479, 1479, 1479, 1155, 1479, 1479, 1479, 1479, 1479, 1479, 1139, 1024,
    909,  909,  909,  909,  909,  909,  1366, 909,  909,  909,  909,  909,  569,  569,  569,  569,
    1024, 1024, 1024, 1024, 1024, 1024, 1024, 1124, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024,
};

// Control characters have no glyph; they take the width of a blank.
constexpr int kBlank = 512;

}  // namespace

int TimesAdvance(unsigned char c, int pixel_size) {
    const int units = c >= 32 ? kAdvance[c - 32] : kBlank;
    return static_cast<int>(core::Nearest(static_cast<double>(units) * pixel_size / kUnitsPerEm));
}

std::vector<int> TimesAdvances(std::string_view text, int pixel_size) {
    std::vector<int> out;
    out.reserve(text.size());
    for (char c : text) out.push_back(TimesAdvance(static_cast<unsigned char>(c), pixel_size));
    return out;
}

int TimesTextWidth(std::string_view text, int pixel_size) {
    int width = 0;
    for (char c : text) width += TimesAdvance(static_cast<unsigned char>(c), pixel_size);
    return width;
}

}  // namespace kalvex::output
