// The bias dialog: conversion between Bias and the value the user reads and types, and its marks.
#include "tools/BiasEntry.h"

#include "core/NumberFormat.h"
#include "core/TextToNumber.h"
#include "view/Plotting.h"

namespace kalvex::tools {

namespace {

// YRange is never 0 after an open; a hand-made document with 0 shows and takes plain values.
double DisplayRange(const core::Document& doc) { return doc.YRange != 0.0 ? doc.YRange : 1.0; }

}  // namespace

std::string BiasEditText(const core::Document& doc) {
    if (doc.Bias == 0.0f) return "0.0000";
    // Appended rather than " " + text: GCC 12 warns falsely (-Wrestrict) on that.
    std::string text = " ";
    text += core::FormatFixed((doc.Bias - doc.YOffset) / DisplayRange(doc), 5, 4);
    return text;
}

bool ApplyTypedBias(core::Document& doc, const std::string& text) {
    if (core::IsBlank(text)) return false;
    const double v = core::TextToFloat(text);
    if (v < 0.0 || v > 1.0) return false;
    doc.Bias = static_cast<float>(v * DisplayRange(doc) + doc.YOffset);
    return true;
}

int BiasLineRow(const core::Document& doc, const view::PlotGeometry& geo) {
    if (doc.Bias == 0.0f) return geo.PlotBaseY;
    return view::VerticalMap(doc, geo).ObservedRow(doc.Bias);
}

void DrawBiasMarks(view::Canvas& canvas, const core::Document& doc, const view::PlotGeometry& geo) {
    const int row = BiasLineRow(doc, geo);
    canvas.SetPenColor(view::kNavy);
    canvas.SetPenStyle(view::PenStyle::kDot);
    canvas.MoveTo(geo.PlotLeft, row);
    canvas.LineTo(geo.PlotRight, row);
    canvas.SetPenStyle(view::PenStyle::kSolid);
    if (doc.YExpand > 0.99 && doc.YExpand < 1.01) {
        canvas.SetPenColor(view::kGreen);
        canvas.MoveTo(geo.PlotLeft, geo.PlotTop);
        canvas.LineTo(geo.PlotLeft, geo.PlotBaseY);
        const int tick_end = view::Px(geo.PlotLeft + 0.03 * geo.PlotWidth);
        for (int k = 0; k <= 10; ++k) {
            const int y = view::Px(geo.PlotTop + k * (geo.PlotBaseY - geo.PlotTop) / 10.0);
            canvas.MoveTo(geo.PlotLeft, y);
            canvas.LineTo(tick_end, y);
        }
    }
    canvas.SetPenColor(view::kBlack);
}

}  // namespace kalvex::tools
