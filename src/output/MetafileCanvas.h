// A drawing surface that records a Windows metafile (EMF or WMF) instead of drawing pixels.
#pragma once

#include <memory>
#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "output/PictureRules.h"
#include "output/PrinterPage.h"
#include "view/Canvas.h"
#include "view/PlotGeometry.h"

namespace kalvex::output {

class MetafileRecorder;

/// A view::Canvas recording a metafile of width x height device pixels on a page of that
/// size at `dpi`. Pen, brush and font are written only when a drawing call needs them and
/// they changed. Text widths come from the Times New Roman metrics, and every character is
/// placed explicitly, so the measured and the written text agree in any reader.
class MetafileCanvas : public view::Canvas {
public:
    /// `format` is PictureFormat::kEmf or kWmf (anything else records EMF). Throws
    /// kalvex::Error when the metafile cannot be started.
    MetafileCanvas(PictureFormat format, int width, int height, int dpi);
    ~MetafileCanvas() override;
    MetafileCanvas(const MetafileCanvas&) = delete;
    MetafileCanvas& operator=(const MetafileCanvas&) = delete;

    void SetPenColor(view::Rgb color) override;
    void SetPenWidth(int width) override;
    int PenWidth() const override { return pen_width_; }
    void SetPenStyle(view::PenStyle style) override;
    void SetPenMode(view::PenMode mode) override;
    void SetBrushColor(view::Rgb color) override;
    void SetFont(std::string_view name, int size, view::FontCharset charset) override;
    int PixelsPerInch() const override { return dpi_; }
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(std::span<const view::Point> points) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) const override;

    /// Ends the recording and returns the metafile's bytes; the canvas takes no more drawing.
    std::string Finish();

private:
    void ApplyPen();
    void ApplyBrush();
    void ApplyFont();
    int FontPixels() const;

    std::unique_ptr<MetafileRecorder> rec_;
    int dpi_;
    view::Rgb pen_color_ = view::kBlack;
    int pen_width_ = 1;
    view::PenStyle pen_style_ = view::PenStyle::kSolid;
    bool pen_dirty_ = true;
    view::PenMode mode_ = view::PenMode::kCopy;
    view::Rgb brush_color_ = view::kWhite;
    bool brush_dirty_ = true;
    std::string font_name_ = "Times New Roman";
    int font_size_ = 10;
    bool font_symbol_ = false;
    bool font_dirty_ = true;
    view::Point pos_;
    bool device_at_pos_ = false;  // the metafile's current position is pos_
};

/// Draws the whole plot (view::RenderForOutput) at `dpi` into a metafile laid out on `page`:
/// the printable area at `dpi`, so the centimetres of the print layout keep their length
/// whatever the resolution. Writes it atomically to `path`; a failure throws kalvex::Error
/// naming the file and keeps any previous file.
void WriteMetafile(const std::string& path, PictureFormat format, const PrinterPage& page, int dpi,
                   core::Document& doc, core::Options& opts, view::PlotGeometry& geo);

}  // namespace kalvex::output
