// The main window's eight client-area size presets ("Form" in the settings, "Form Size").
#pragma once

#include <array>
#include <string>

namespace kalvex::core {

struct ClientSize {
    int Width;
    int Height;
};

/// Texts of the "Form Size" combo box, index 0..7.
inline constexpr std::array<const char*, 8> kFormSizeTexts = {
    " 600*450", " 640*480", " 720*540", " 750*600", " 800*600", " 800*640", " 960*768", "1024*768"};

/// Client area of preset `index`; an index outside 0..7 gives the designed 639 x 321.
ClientSize FormClientSize(int index);

}  // namespace kalvex::core
