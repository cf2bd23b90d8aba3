// What an SVG file draws, read without an SVG library: texts, lines, paths and ellipses.
#pragma once

#include <string>
#include <vector>

namespace kalvex::test {

/// A point of an SVG picture, in its own user units.
struct SvgPoint {
    double X = 0.0;
    double Y = 0.0;
};

/// The shapes of an SVG picture. Transforms are not applied: the readers whose output the
/// tests check write coordinates in the picture's units.
struct SvgShapes {
    double Width = 0.0;  ///< the width attribute of the svg element
    double Height = 0.0;
    std::vector<std::vector<SvgPoint>> Paths;  ///< vertices of every path and polyline
    std::vector<std::vector<SvgPoint>> Lines;  ///< every line element as its two ends
    std::vector<SvgPoint> Ellipses;            ///< centres of every ellipse and circle
    std::vector<std::string> Texts;            ///< contents of the text elements, in order

    /// Every text concatenated without separators (readers that place each character on its
    /// own write one text element per character).
    std::string AllText() const;
};

/// Reads the shapes of an SVG document.
SvgShapes ReadSvgShapes(const std::string& svg);

/// Whether a program of that name is on the PATH.
bool ProgramAvailable(const std::string& name);

/// Runs a shell command; true when it exits with status 0.
bool RunShell(const std::string& command);

}  // namespace kalvex::test
