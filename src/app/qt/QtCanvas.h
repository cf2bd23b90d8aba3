// The drawing interface on a QPainter: the screen bitmap, the printer, PDF, SVG and PNG.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPen>
#include <vector>

#include "view/Canvas.h"

class QPaintDevice;

namespace kalvex::app {

/// A view::Canvas drawing on any QPaintDevice through its own QPainter. NOT-XOR uses the
/// raster operation NOT(source XOR destination), which only raster devices (QImage) support.
class QtCanvas : public view::Canvas {
public:
    /// Paints on `device`; `pixels_per_inch` is what font point sizes are scaled with.
    QtCanvas(QPaintDevice* device, int pixels_per_inch);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    void SetPenColor(view::Rgb color) override;
    void SetPenWidth(int width) override;
    int PenWidth() const override { return pen_width_; }
    void SetPenStyle(view::PenStyle style) override;
    void SetPenMode(view::PenMode mode) override;
    void SetBrushColor(view::Rgb color) override;
    void SetFont(std::string_view name, int size, view::FontCharset charset) override;
    int PixelsPerInch() const override { return ppi_; }
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(std::span<const view::Point> points) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) const override;

    /// Whether painting started: false when the device refused it (a printer that cannot
    /// start a job, a file that cannot be written).
    bool Active() const { return painter_.isActive(); }
    /// Ends painting (the destructor does it too).
    void End();

private:
    void ApplyPen();

    QPainter painter_;
    QPen pen_;
    QFont font_;
    int ppi_;
    int pen_width_ = 1;
    view::PenMode mode_ = view::PenMode::kCopy;
    QPoint pos_;
    std::vector<QPoint> points_;  // reused by Polyline
};

/// A polyline with the points of each pixel column reduced to the column's first, lowest,
/// highest and last point: a thin solid line through them covers exactly the same pixels.
std::vector<QPoint> CompactPolyline(std::span<const view::Point> points);

}  // namespace kalvex::app
