#include "support/RecordingCanvas.h"

#include <cmath>

namespace kalvex::test {

namespace {

std::string ColorText(view::Rgb c) {
    return std::to_string(c.R) + "," + std::to_string(c.G) + "," + std::to_string(c.B);
}

std::string PointText(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

}  // namespace

void RecordingCanvas::SetPenColor(view::Rgb color) {
    pen_color_ = color;
    stroke_open_ = false;
    Record("PenColor " + ColorText(color));
}

void RecordingCanvas::SetPenWidth(int width) {
    pen_width_ = width;
    stroke_open_ = false;
    Record("PenWidth " + std::to_string(width));
}

void RecordingCanvas::SetPenStyle(view::PenStyle style) {
    static const char* const kNames[] = {"Solid", "Dash", "Dot", "DashDot"};
    Record(std::string("PenStyle ") + kNames[static_cast<int>(style)]);
}

void RecordingCanvas::SetPenMode(view::PenMode mode) {
    pen_mode_ = mode;
    stroke_open_ = false;
    Record(mode == view::PenMode::kCopy ? "PenMode Copy" : "PenMode NotXor");
}

void RecordingCanvas::SetBrushColor(view::Rgb color) { Record("BrushColor " + ColorText(color)); }

void RecordingCanvas::SetFont(std::string_view name, int size, view::FontCharset charset) {
    font_size_ = size;
    Record("Font " + std::string(name) + "," + std::to_string(size) +
           (charset == view::FontCharset::kDefault ? ",Default" : ",Symbol"));
}

void RecordingCanvas::MoveTo(int x, int y) {
    position_ = {x, y};
    stroke_open_ = false;
    Record("MoveTo " + PointText(x, y));
}

void RecordingCanvas::LineTo(int x, int y) {
    if (!stroke_open_) {
        strokes_.push_back(Stroke{pen_color_, pen_width_, pen_mode_, {position_}});
        stroke_open_ = true;
    }
    strokes_.back().Points.push_back({x, y});
    position_ = {x, y};
    Record("LineTo " + PointText(x, y));
}

void RecordingCanvas::Ellipse(int left, int top, int right, int bottom) {
    Record("Ellipse " + PointText(left, top) + "," + PointText(right, bottom));
}

void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
    texts_.push_back(Text{x, y, std::string(text), font_size_});
    Record("TextOut " + PointText(x, y) + "," + std::string(text));
}

int RecordingCanvas::TextWidth(std::string_view text) const {
    const int size = font_size_ < 1 ? 1 : font_size_;
    return static_cast<int>(std::lround(static_cast<double>(text.size()) * size * ppi_ / 144.0));
}

std::string RecordingCanvas::Transcript() const {
    std::string out;
    for (const auto& line : lines_) {
        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}

int RecordingCanvas::Count(std::string_view prefix) const {
    int n = 0;
    for (const auto& line : lines_) n += line.starts_with(prefix) ? 1 : 0;
    return n;
}

bool RecordingCanvas::Contains(std::string_view line) const {
    for (const auto& l : lines_) {
        if (l == line) return true;
    }
    return false;
}

std::vector<RecordingCanvas::Stroke> RecordingCanvas::Strokes() const { return strokes_; }

std::vector<RecordingCanvas::Stroke> RecordingCanvas::StrokesIn(view::Rgb color) const {
    std::vector<Stroke> out;
    for (const auto& s : strokes_) {
        if (s.Color == color) out.push_back(s);
    }
    return out;
}

void RecordingCanvas::Clear() {
    lines_.clear();
    strokes_.clear();
    texts_.clear();
    stroke_open_ = false;
}

}  // namespace kalvex::test
