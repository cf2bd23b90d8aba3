// The abstract drawing surface every picture is drawn on: screen bitmap, printer, metafile, tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kalvex::view {

/// A colour as 8-bit red, green and blue.
struct Rgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;

    constexpr bool operator==(const Rgb&) const = default;
};

/// The named colours of the picture (green, maroon and navy are the half-intensity ones).
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kMaroon{128, 0, 0};
inline constexpr Rgb kNavy{0, 0, 128};

/// Dash pattern of the pen. The output curve styles are drawn as separate segments with a
/// solid pen; the patterned pens serve the tools (the dotted bias line).
enum class PenStyle { kSolid, kDash, kDot, kDashDot };

/// How the pen combines with what is already there. kNotXor sets each pixel to
/// NOT(screen XOR pen), so drawing the same line twice restores the picture.
enum class PenMode { kCopy, kNotXor };

/// Character set of the font.
enum class FontCharset { kDefault, kSymbol };

/// A device pixel position.
struct Point {
    int X = 0;
    int Y = 0;

    constexpr bool operator==(const Point&) const = default;
};

/// A drawing surface with a pen, a brush, a font and a current position, in device pixels
/// with Y growing downwards. A fresh canvas has a black solid copy pen of width 1, a white
/// brush and its backend's default font. Nothing is clipped by the callers: coordinates
/// outside the surface are passed on as they are.
class Canvas {
public:
    virtual ~Canvas() = default;

    // --- Pen
    virtual void SetPenColor(Rgb color) = 0;
    /// Width in device pixels; 0 is the thinnest line the device draws.
    virtual void SetPenWidth(int width) = 0;
    virtual int PenWidth() const = 0;
    virtual void SetPenStyle(PenStyle style) = 0;
    virtual void SetPenMode(PenMode mode) = 0;

    // --- Brush (the fill of Ellipse)
    virtual void SetBrushColor(Rgb color) = 0;

    // --- Font
    /// `size` in points (at PixelsPerInch() pixels per inch); values below 1 draw at 1.
    virtual void SetFont(std::string_view name, int size, FontCharset charset) = 0;
    /// Pixels per inch at which the font's point size becomes device pixels.
    virtual int PixelsPerInch() const = 0;

    // --- Drawing
    /// Makes (x, y) the current position without drawing.
    virtual void MoveTo(int x, int y) = 0;
    /// Draws from the current position to (x, y), which becomes the current position. Whether
    /// the end pixel is drawn is the backend's; drawing the same figure twice in NOT-XOR mode
    /// always restores the picture.
    virtual void LineTo(int x, int y) = 0;
    /// MoveTo(points[0]), then LineTo every further point: one curve. Backends may draw it in
    /// one go; the result must be the same. Does nothing for an empty span.
    virtual void Polyline(std::span<const Point> points);
    /// The ellipse inside the box (left, top)-(right, bottom), outlined by the pen and
    /// filled with the brush.
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    /// Writes `text` (Latin-1 bytes) with the top-left corner of its cell at (x, y), in black
    /// on a transparent background.
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    /// Width of `text` in device pixels with the current font.
    virtual int TextWidth(std::string_view text) const = 0;
};

}  // namespace kalvex::view
