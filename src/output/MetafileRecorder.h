// The records a metafile canvas writes, one implementation per metafile format (internal).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "view/Canvas.h"

namespace kalvex::output {

/// Appends drawing records to a metafile in memory. Coordinates are device pixels of the
/// metafile's page. Each Select call creates the object, selects it and deletes the one it
/// replaces, so a metafile never holds more than one pen, brush and font.
class MetafileRecorder {
public:
    virtual ~MetafileRecorder() = default;

    virtual void SelectPen(view::Rgb color, int width, view::PenStyle style) = 0;
    virtual void SelectBrush(view::Rgb color) = 0;
    /// `pixel_height` is the em size in pixels.
    virtual void SelectFont(const std::string& face, int pixel_height, bool symbol) = 0;
    /// NOT(screen XOR pen) when set, else copy.
    virtual void SetNotXor(bool on) = 0;
    virtual void MoveTo(view::Point p) = 0;
    virtual void LineTo(view::Point p) = 0;
    /// A polyline of at least two points; it leaves the current position undefined.
    virtual void Polyline(std::span<const view::Point> points) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    /// Latin-1 `text` with the top-left corner of its cell at `at`, each character
    /// `advances[i]` pixels after the one before.
    virtual void Text(view::Point at, std::string_view text, const std::vector<int>& advances) = 0;
    /// Ends the metafile and returns its bytes. Throws kalvex::Error when the library fails.
    virtual std::string Finish() = 0;
};

/// An enhanced metafile (EMF) of `width` x `height` pixels on a page of that size at `dpi`.
std::unique_ptr<MetafileRecorder> MakeEmfRecorder(int width, int height, int dpi);
/// An old-style, placeable Windows metafile (WMF) of the same frame. Its coordinates are
/// 16-bit: anything beyond +-32767 pixels is held at that bound.
std::unique_ptr<MetafileRecorder> MakeWmfRecorder(int width, int height, int dpi);

}  // namespace kalvex::output
