#include "app/qt/QtCanvas.h"

#include "app/qt/CpuState.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <algorithm>

namespace kalvex::app {

namespace {

QColor ToQColor(view::Rgb c) { return QColor(c.R, c.G, c.B); }

// Every call that runs Qt's drawing code leaves the vector registers clean for the caller's
// numerical code, which runs between the drawing calls.
struct AfterQt {
    ~AfterQt() { ClearUpperVectorState(); }
};

}  // namespace

QtCanvas::QtCanvas(QPaintDevice* device, int pixels_per_inch)
    : painter_(device), ppi_(pixels_per_inch) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    pen_ = QPen(Qt::black);
    ApplyPen();
    painter_.setBrush(Qt::white);
    font_ = QFont(QStringLiteral("Times New Roman"));
    font_.setPixelSize(std::max(1, ppi_ * 10 / 72));
    painter_.setFont(font_);
}

QtCanvas::~QtCanvas() { End(); }

void QtCanvas::End() {
    const AfterQt clean;
    if (painter_.isActive()) painter_.end();
}

void QtCanvas::ApplyPen() {
    // Widths of 0 and 1 are the device's thinnest line. Its square cap makes a chain of
    // LineTo calls and one polyline through the same points cover the same pixels; wide
    // output pens end flat, so the dashes of the broken styles keep their length.
    const bool thin = pen_width_ <= 1;
    pen_.setWidth(thin ? 0 : pen_width_);
    pen_.setCosmetic(thin);
    pen_.setCapStyle(thin ? Qt::SquareCap : Qt::FlatCap);
    pen_.setJoinStyle(thin ? Qt::BevelJoin : Qt::MiterJoin);
    painter_.setPen(pen_);
}

void QtCanvas::SetPenColor(view::Rgb color) {
    pen_.setColor(ToQColor(color));
    ApplyPen();
}

void QtCanvas::SetPenWidth(int width) {
    pen_width_ = std::max(0, width);
    ApplyPen();
}

void QtCanvas::SetPenStyle(view::PenStyle style) {
    switch (style) {
        case view::PenStyle::kSolid:
            pen_.setStyle(Qt::SolidLine);
            break;
        case view::PenStyle::kDash:
            pen_.setStyle(Qt::DashLine);
            break;
        case view::PenStyle::kDot:
            pen_.setStyle(Qt::DotLine);
            break;
        case view::PenStyle::kDashDot:
            pen_.setStyle(Qt::DashDotLine);
            break;
    }
    ApplyPen();
}

void QtCanvas::SetPenMode(view::PenMode mode) {
    mode_ = mode;
    painter_.setCompositionMode(mode == view::PenMode::kNotXor
                                    ? QPainter::RasterOp_NotSourceXorDestination
                                    : QPainter::CompositionMode_SourceOver);
}

void QtCanvas::SetBrushColor(view::Rgb color) { painter_.setBrush(ToQColor(color)); }

void QtCanvas::SetFont(std::string_view name, int size, view::FontCharset charset) {
    const AfterQt clean;
    const QString family = charset == view::FontCharset::kSymbol
                               ? QStringLiteral("Symbol")
                               : QString::fromLatin1(name.data(), static_cast<int>(name.size()));
    font_ = QFont(family);
    // Point sizes become device pixels at the canvas's resolution, so the same picture
    // has the same proportions on the screen and on paper.
    font_.setPixelSize(std::max(1, static_cast<int>(std::lround(std::max(1, size) * ppi_ / 72.0))));
    painter_.setFont(font_);
}

void QtCanvas::MoveTo(int x, int y) { pos_ = QPoint(x, y); }

void QtCanvas::LineTo(int x, int y) {
    const AfterQt clean;
    const QPoint to(x, y);
    painter_.drawLine(pos_, to);
    pos_ = to;
}

void QtCanvas::Polyline(std::span<const view::Point> points) {
    const AfterQt clean;
    if (points.empty()) return;
    const bool thin_copy =
        mode_ == view::PenMode::kCopy && pen_width_ <= 1 && pen_.style() == Qt::SolidLine;
    if (thin_copy) {
        points_ = CompactPolyline(points);
    } else {
        points_.clear();
        points_.reserve(points.size());
        for (const view::Point& p : points) points_.emplace_back(p.X, p.Y);
    }
    if (points_.size() == 1) {
        pos_ = points_.front();
        return;
    }
    painter_.drawPolyline(points_.data(), static_cast<int>(points_.size()));
    pos_ = points_.back();
}

void QtCanvas::Ellipse(int left, int top, int right, int bottom) {
    const AfterQt clean;
    painter_.drawEllipse(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void QtCanvas::TextOut(int x, int y, std::string_view text) {
    const AfterQt clean;
    const QString s = QString::fromLatin1(text.data(), static_cast<int>(text.size()));
    const QFontMetrics fm(font_, painter_.device());
    const QPen keep = painter_.pen();
    painter_.setPen(Qt::black);
    painter_.drawText(QPoint(x, y + fm.ascent()), s);
    painter_.setPen(keep);
}

int QtCanvas::TextWidth(std::string_view text) const {
    const AfterQt clean;
    const QFontMetrics fm(font_, painter_.device());
    return fm.horizontalAdvance(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
}

std::vector<QPoint> CompactPolyline(std::span<const view::Point> points) {
    std::vector<QPoint> out;
    out.reserve(std::min<std::size_t>(points.size(), 4096));
    auto push = [&out](int x, int y) {
        if (out.empty() || out.back() != QPoint(x, y)) out.emplace_back(x, y);
    };
    std::size_t i = 0;
    while (i < points.size()) {
        const int x = points[i].X;
        int lo = points[i].Y;
        int hi = lo;
        std::size_t j = i + 1;
        while (j < points.size() && points[j].X == x) {
            lo = std::min(lo, points[j].Y);
            hi = std::max(hi, points[j].Y);
            ++j;
        }
        push(x, points[i].Y);
        push(x, lo);
        push(x, hi);
        push(x, points[j - 1].Y);
        i = j;
    }
    return out;
}

}  // namespace kalvex::app
