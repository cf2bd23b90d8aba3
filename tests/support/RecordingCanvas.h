// A canvas that writes one text line per drawing call, for transcripts and searches in tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "view/Canvas.h"

namespace kalvex::test {

/// Records every setter and drawing call as one line: "PenColor 255,0,0", "PenWidth 2",
/// "PenStyle Dash", "PenMode NotXor", "BrushColor 0,0,0", "Font Times New Roman,10,Default",
/// "MoveTo 10,20", "LineTo 11,21", "Ellipse 1,2,3,4", "TextOut 5,6,label". Queries are not
/// recorded. TextWidth is deterministic: half an em per character,
/// nearest(length * size * PixelsPerInch / 144).
class RecordingCanvas : public view::Canvas {
public:
    explicit RecordingCanvas(int pixels_per_inch = 96) : ppi_(pixels_per_inch) {}

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
    void Ellipse(int left, int top, int right, int bottom) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) const override;

    /// One connected line: a MoveTo and the LineTo calls after it, with the pen it was drawn
    /// with (taken at the first LineTo).
    struct Stroke {
        view::Rgb Color;
        int Width = 1;
        view::PenMode Mode = view::PenMode::kCopy;
        std::vector<view::Point> Points;
    };
    struct Text {
        int X = 0;
        int Y = 0;
        std::string Str;
        int FontSize = 0;
    };

    const std::vector<std::string>& Lines() const { return lines_; }
    /// The lines joined by "\n".
    std::string Transcript() const;
    /// Number of lines starting with `prefix`.
    int Count(std::string_view prefix) const;
    bool Contains(std::string_view line) const;
    /// Strokes with at least one LineTo, in drawing order.
    std::vector<Stroke> Strokes() const;
    /// Strokes drawn in `color`.
    std::vector<Stroke> StrokesIn(view::Rgb color) const;
    const std::vector<Text>& Texts() const { return texts_; }
    void Clear();

private:
    void Record(std::string line) { lines_.push_back(std::move(line)); }

    int ppi_;
    std::vector<std::string> lines_;
    std::vector<Stroke> strokes_;
    std::vector<Text> texts_;
    view::Rgb pen_color_ = view::kBlack;
    int pen_width_ = 1;
    view::PenMode pen_mode_ = view::PenMode::kCopy;
    int font_size_ = 10;
    view::Point position_;
    bool stroke_open_ = false;
};

}  // namespace kalvex::test
