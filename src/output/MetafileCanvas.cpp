#include "output/MetafileCanvas.h"

#include <algorithm>
#include <cmath>

#include "core/Error.h"
#include "core/FileSystem.h"
#include "output/MetafileRecorder.h"
#include "output/TimesMetrics.h"
#include "view/Plotting.h"

namespace kalvex::output {

MetafileCanvas::MetafileCanvas(PictureFormat format, int width, int height, int dpi)
    : rec_(format == PictureFormat::kWmf ? MakeWmfRecorder(width, height, dpi)
                                         : MakeEmfRecorder(width, height, dpi)),
      dpi_(dpi) {}

MetafileCanvas::~MetafileCanvas() = default;

void MetafileCanvas::SetPenColor(view::Rgb color) {
    pen_dirty_ = pen_dirty_ || !(color == pen_color_);
    pen_color_ = color;
}

void MetafileCanvas::SetPenWidth(int width) {
    width = std::max(0, width);
    pen_dirty_ = pen_dirty_ || width != pen_width_;
    pen_width_ = width;
}

void MetafileCanvas::SetPenStyle(view::PenStyle style) {
    pen_dirty_ = pen_dirty_ || style != pen_style_;
    pen_style_ = style;
}

void MetafileCanvas::SetPenMode(view::PenMode mode) {
    if (mode != mode_) rec_->SetNotXor(mode == view::PenMode::kNotXor);
    mode_ = mode;
}

void MetafileCanvas::SetBrushColor(view::Rgb color) {
    brush_dirty_ = brush_dirty_ || !(color == brush_color_);
    brush_color_ = color;
}

void MetafileCanvas::SetFont(std::string_view name, int size, view::FontCharset charset) {
    font_name_ = std::string(name);
    font_size_ = std::max(1, size);
    font_symbol_ = charset == view::FontCharset::kSymbol;
    font_dirty_ = true;
}

int MetafileCanvas::FontPixels() const {
    // Point sizes become pixels at the metafile's resolution, as on every other target.
    return std::max(1, static_cast<int>(std::lround(font_size_ * dpi_ / 72.0)));
}

void MetafileCanvas::ApplyPen() {
    if (!pen_dirty_) return;
    rec_->SelectPen(pen_color_, pen_width_, pen_style_);
    pen_dirty_ = false;
}

void MetafileCanvas::ApplyBrush() {
    if (!brush_dirty_) return;
    rec_->SelectBrush(brush_color_);
    brush_dirty_ = false;
}

void MetafileCanvas::ApplyFont() {
    if (!font_dirty_) return;
    rec_->SelectFont(font_symbol_ ? "Symbol" : font_name_, FontPixels(), font_symbol_);
    font_dirty_ = false;
}

void MetafileCanvas::MoveTo(int x, int y) {
    pos_ = {x, y};
    device_at_pos_ = false;
}

void MetafileCanvas::LineTo(int x, int y) {
    ApplyPen();
    // The move is written only when a line starts from it; chains of LineTo need none.
    if (!device_at_pos_) rec_->MoveTo(pos_);
    pos_ = {x, y};
    rec_->LineTo(pos_);
    device_at_pos_ = true;
}

void MetafileCanvas::Polyline(std::span<const view::Point> points) {
    if (points.empty()) return;
    if (points.size() > 1) {
        ApplyPen();
        rec_->Polyline(points);
    }
    pos_ = points.back();
    device_at_pos_ = false;
}

void MetafileCanvas::Ellipse(int left, int top, int right, int bottom) {
    ApplyPen();
    ApplyBrush();
    rec_->Ellipse(left, top, right, bottom);
}

void MetafileCanvas::TextOut(int x, int y, std::string_view text) {
    ApplyFont();
    rec_->Text({x, y}, text, TimesAdvances(text, FontPixels()));
}

int MetafileCanvas::TextWidth(std::string_view text) const {
    return TimesTextWidth(text, FontPixels());
}

std::string MetafileCanvas::Finish() { return rec_->Finish(); }

void WriteMetafile(const std::string& path, PictureFormat format, const PrinterPage& page, int dpi,
                   core::Document& doc, core::Options& opts, view::PlotGeometry& geo) {
    if (dpi <= 0) throw Error("No resolution to draw the metafile at", path);
    const PrinterPage at_dpi = PageAtDpi(page, dpi);
    std::string bytes;
    try {
        MetafileCanvas canvas(format, at_dpi.PrintableWidth, at_dpi.PrintableHeight, dpi);
        view::RenderForOutput(canvas, dpi, doc, opts, geo, page.Portrait());
        bytes = canvas.Finish();
    } catch (const Error& e) {
        throw Error(e.Reason(), path);
    }
    core::WriteFileAtomically(path, bytes);
}

}  // namespace kalvex::output
