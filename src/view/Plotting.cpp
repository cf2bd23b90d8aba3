// The screen and output pictures: layout, observed spectrum, X axis, peaks, sum, output styles.
#include "view/Plotting.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/NumberFormat.h"
#include "fit/LineShapes.h"

namespace kalvex::view {

namespace {

constexpr int kMaxTicks = 20;
constexpr const char* kAxisFont = "Times New Roman";

// The shown points that exist in the spectrum: a view reaching past the last point (or a
// document without buffers) must never read past the buffers.
struct ShownRange {
    std::size_t FirstElement = 0;  // element of shown point 0
    int Count = 0;
};

ShownRange ShownPoints(const core::Document& doc) {
    ShownRange r;
    if (doc.ViewFirstPoint < 1 || doc.ObsY.empty()) return r;
    const std::int64_t available =
        std::min<std::int64_t>(doc.PointCount, static_cast<std::int64_t>(doc.ObsY.size())) -
        (doc.ViewFirstPoint - 1);
    r.FirstElement = static_cast<std::size_t>(doc.ViewFirstPoint - 1);
    r.Count = static_cast<int>(
        std::clamp<std::int64_t>(doc.ViewPointCount, 0, std::max<std::int64_t>(available, 0)));
    return r;
}

// The X of every shown point, computed once per drawing and shared by all curves.
std::vector<Point> ShownPointColumns(const PlotGeometry& geo, int count) {
    std::vector<Point> pts(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) pts[static_cast<std::size_t>(i)].X = ShownPointX(geo, i);
    return pts;
}

// The part of the segment a-b within rows top..bottom, or false when none of it is.
bool ClipToRows(Point& a, Point& b, int top, int bottom) {
    const double dy = b.Y - a.Y;
    double t0 = 0.0;
    double t1 = 1.0;
    for (const auto& [p, q] : {std::pair{-dy, static_cast<double>(a.Y - top)},
                               std::pair{dy, static_cast<double>(bottom - a.Y)}}) {
        if (p == 0.0) {
            if (q < 0.0) return false;
            continue;
        }
        const double r = q / p;
        if (p < 0.0) {
            t0 = std::max(t0, r);
        } else {
            t1 = std::min(t1, r);
        }
    }
    if (t0 > t1) return false;
    const Point from = a;
    const double dx = b.X - a.X;
    if (t0 > 0.0) a = Point{Px(from.X + t0 * dx), Px(from.Y + t0 * dy)};
    if (t1 < 1.0) b = Point{Px(from.X + t1 * dx), Px(from.Y + t1 * dy)};
    return true;
}

// The curve through `pts`, cut off where it leaves rows top..bottom: nothing is drawn above
// full scale or into the axis, whatever the gain or the heights of the model.
void PolylineWithinRows(Canvas& canvas, std::span<const Point> pts, int top, int bottom) {
    const auto inside = [&](const Point& p) { return p.Y >= top && p.Y <= bottom; };
    if (std::all_of(pts.begin(), pts.end(), inside)) {
        canvas.Polyline(pts);
        return;
    }
    std::vector<Point> run;
    auto flush = [&] {
        if (run.size() > 1) canvas.Polyline(run);
        run.clear();
    };
    for (std::size_t i = 1; i < pts.size(); ++i) {
        Point a = pts[i - 1];
        Point b = pts[i];
        if (!ClipToRows(a, b, top, bottom)) {
            flush();
            continue;
        }
        if (run.empty() || !(run.back() == a)) {
            flush();
            run.push_back(a);
        }
        if (!(run.back() == b)) run.push_back(b);
        if (!(b == pts[i])) flush();
    }
    flush();
}

int AxisRow(const PlotGeometry& geo) { return geo.PlotBottom - geo.AxisZone; }

void DrawCurve(Canvas& canvas, std::vector<Point>& pts, const double* values,
               const VerticalMap& map, const PlotGeometry& geo) {
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i) pts[i].Y = map.CurveRow(values[i]);
    PolylineWithinRows(canvas, pts, geo.PlotTop, AxisRow(geo));
}

}  // namespace

void LayoutPlotArea(PlotGeometry& geo, int client_width, int client_height) {
    geo.Bevel.Left = 26;
    geo.Bevel.Top = 28;
    geo.Bevel.Height = client_height - 28 - 1;
    geo.Bevel.Width = client_width - 26 - 1;
    const double wb = geo.Bevel.Width;
    const double hb = geo.Bevel.Height;
    geo.PlotLeft = Px(0.01 * wb);
    geo.PlotRight = Px(0.99 * wb);
    geo.PlotTop = Px(0.02 * hb);
    geo.PlotBottom = Px(0.98 * hb);
}

PixelRect PlotBitmapRect(const PixelRect& bevel) {
    return PixelRect{bevel.Left + 1, bevel.Top + 1, std::max(bevel.Width - 2, 1),
                     std::max(bevel.Height - 2, 1)};
}

VerticalMap::VerticalMap(const core::Document& doc, const PlotGeometry& geo)
    : plot_height_(geo.PlotHeight),
      base_y_(geo.PlotBaseY),
      y_expand_(doc.YExpand),
      y_offset_(doc.YOffset),
      y_range_(doc.YRange),
      top_anchored_(doc.Bias >= 0.5f),
      // With no bias the curves start on the baseline row even when YOffset is not 0.
      curve_offset_(doc.Bias == 0.0f
                        ? 0.0
                        : plot_height_ * doc.YExpand * (doc.Bias - doc.YOffset) / doc.YRange) {}

double AutoXTickStep(double abs_span) {
    if (!std::isfinite(abs_span)) return 1.0;
    // "1.23E+01": the mantissa is characters 1..4, the exponent follows the "E".
    const std::string sci = core::FormatSci(abs_span, 3, 2);
    const double mantissa = std::stod(sci.substr(0, 4));
    const int exponent = std::stoi(sci.substr(sci.find('E') + 1));
    const auto m = core::Nearest(mantissa);
    const double base = m > 6 ? 10.0 : m > 3 ? 5.0 : m > 1.5 ? 2.0 : 1.0;
    // Dividing by an exact power of ten keeps 0.002 the double nearest to 0.002.
    const int power = exponent - 1;
    return power >= 0 ? base * std::pow(10.0, power) : base / std::pow(10.0, -power);
}

std::uint16_t XTickDecimalsFor(double step) {
    if (step >= 1.0) return 0;
    return static_cast<std::uint16_t>(Px(std::fabs(std::log10(step)) + 0.49));
}

std::string AxisTitle(bool ppm_axis) { return ppm_axis ? "Chemical Shift / ppm" : "Offset / Hz"; }

void DrawSpectrum(Canvas& canvas, const core::Document& doc, core::Options& opts, PlotGeometry& geo,
                  const RenderContext& ctx) {
    if (!ctx.Output) {
        geo.AxisZone = Px((geo.PlotBottom - geo.PlotTop) / 7.0);
        // The baseline sits one sixth of the axis zone above the axis line.
        geo.PlotBaseY = Px(geo.PlotBottom - 7.0 * geo.AxisZone / 6.0);
        geo.CursorLowY = geo.PlotBottom - geo.AxisZone - Px((geo.PlotBottom - geo.PlotTop) / 50.0);
    } else {
        geo.AxisZone = Px(opts.Print.AxisHeightCm * geo.PxPerCm);
        geo.PlotBaseY = Px(geo.PlotBottom -
                           (opts.Print.AxisHeightCm + opts.Print.SpectrumMarginCm) * geo.PxPerCm);
    }
    geo.PlotWidth = geo.PlotRight - geo.PlotLeft;
    geo.PlotHeight = geo.PlotBaseY - geo.PlotTop;
    // A one-point view would divide by zero: its point sits at PlotLeft.
    geo.PxPerPoint = doc.ViewPointCount > 1 ? geo.PlotWidth / (doc.ViewPointCount - 1.0)
                                            : static_cast<double>(geo.PlotWidth);

    if (ctx.Output) canvas.SetPenWidth(ctx.PenOutWidth(opts.S_Line1));
    if (!ctx.Output || opts.Prn_Source) {
        const ShownRange shown = ShownPoints(doc);
        std::vector<Point> pts = ShownPointColumns(geo, shown.Count);
        const VerticalMap map(doc, geo);
        const double* obs = doc.ObsY.data() + shown.FirstElement;
        for (std::size_t i = 0; i < pts.size(); ++i) pts[i].Y = map.ObservedRow(obs[i]);
        PolylineWithinRows(canvas, pts, geo.PlotTop, AxisRow(geo));
    }
    DrawXAxis(canvas, doc, opts, geo, ctx);
    canvas.SetPenWidth(1);
}

namespace {

// The ticks of one step over the shown range, their labels and where the labels go.
struct AxisLayout {
    double Step = 1.0;
    int Count = 0;    // labelled ticks, at most kMaxTicks
    double F0 = 0.0;  // value of tick 0
    int Half = 0;     // half the tick spacing, pixels
    std::uint16_t Decimals = 0;
    int FontSize = 1;
    std::vector<int> X;             // tick columns
    std::vector<std::string> Text;  // labels
    std::vector<int> Left;          // label left edges
    int LabelEvery = 1;             // 1: every tick labelled; k: every k-th
};

// The next step of the 1, 2, 5 series above `step`.
double NextTickStep(double step) {
    const int e = static_cast<int>(std::floor(std::log10(step)));
    const double power = e >= 0 ? std::pow(10.0, e) : 1.0 / std::pow(10.0, -e);
    const double base = step / power;
    const double next = base < 1.5 ? 2.0 : base < 3.5 ? 5.0 : 10.0;
    return e >= 0 ? next * power : next / std::pow(10.0, -e);
}

AxisLayout LayOutAxis(Canvas& canvas, const core::Document& doc, const PlotGeometry& geo,
                      double step) {
    const double s = doc.XAxisPpm ? doc.XFirstPpm : doc.XFirstHz;
    const double t = doc.XAxisPpm ? doc.XStepPpm : doc.XStepHz;
    const double span = (s - (doc.ViewPointCount - 1) * t) - s;
    const double abs_span = std::fabs(span);
    AxisLayout a;
    a.Step = step;
    // Without a span there is no scale to put ticks on.
    const bool has_ticks = abs_span > 0.0 && std::isfinite(abs_span);
    if (has_ticks) {
        a.Count = static_cast<int>(
            std::min(std::fabs(core::Trunc(span / step)) + 1.0, static_cast<double>(kMaxTicks)));
        // Left of zero the first tick is one step past the view start.
        a.F0 = s > 0 ? core::Trunc(s / step) * step : core::Trunc(s / step) * step - step;
    }
    auto tick_x = [&](int j) {
        return Px(((j * step + (s - a.F0)) / abs_span) * geo.PlotWidth + geo.PlotLeft);
    };
    a.Half = has_ticks ? static_cast<int>(core::Trunc((tick_x(1) - tick_x(0)) / 2.0)) : 0;
    a.Decimals = XTickDecimalsFor(step);

    const double r = canvas.PixelsPerInch();
    int size = Px(geo.AxisZone / r * 2.54 * 10);
    if (static_cast<double>(geo.PlotHeight) / geo.PlotWidth > 1.5) {
        size = Px(geo.PlotWidth / r * 2.54 * 2);
    }
    if (doc.XAxisPpm) {
        if (a.Decimals >= 2) {
            size = Px(size * 0.7);
            if (a.Count >= 12) size = Px(size * 0.9);
        } else if (a.Decimals > 0 || a.Count >= 12) {
            size = Px(size * 0.8);
        }
    } else {
        size = Px(size * 0.8);
        if (a.Decimals > 0 || a.Count >= 12) size = Px(size * 0.8);
    }
    a.FontSize = size;
    canvas.SetFont(kAxisFont, size, FontCharset::kDefault);

    // Labels never reach past the picture: the plot's margins are as wide on both sides.
    const int right_limit = geo.PlotRight + geo.PlotLeft - 2;
    for (int j = 0; j < a.Count; ++j) {
        const int x = tick_x(j);
        if (x < geo.PlotLeft || x > geo.PlotRight) continue;
        std::string label = core::FormatFixed(a.F0 - j * step, 5, a.Decimals).substr(0, 7);
        const int width = canvas.TextWidth(label);
        int left = Px(x - core::Trunc(width / 2.0));
        left = std::max(std::min(left, right_limit - width), 0);
        a.X.push_back(x);
        a.Text.push_back(std::move(label));
        a.Left.push_back(left);
    }
    return a;
}

// Whether labels k, 2k, 3k ... keep a gap of half a digit between each other.
bool LabelsFit(Canvas& canvas, const AxisLayout& a, int every) {
    const int gap = canvas.TextWidth("0") / 2;
    int previous_right = std::numeric_limits<int>::min();
    for (std::size_t i = 0; i < a.Text.size(); i += static_cast<std::size_t>(every)) {
        if (previous_right != std::numeric_limits<int>::min() && a.Left[i] < previous_right + gap) {
            return false;
        }
        previous_right = a.Left[i] + canvas.TextWidth(a.Text[i]);
    }
    return true;
}

}  // namespace

void DrawXAxis(Canvas& canvas, const core::Document& doc, core::Options& opts, PlotGeometry& geo,
               const RenderContext& ctx) {
    const double s = doc.XAxisPpm ? doc.XFirstPpm : doc.XFirstHz;
    const double t = doc.XAxisPpm ? doc.XStepPpm : doc.XStepHz;
    const double abs_span = std::fabs((s - (doc.ViewPointCount - 1) * t) - s);

    // A manual step that is no usable number falls back to the automatic one.
    const bool automatic =
        !opts.XTickManual || !(geo.XTickStep > 0.0) || !std::isfinite(geo.XTickStep);
    if (automatic) geo.XTickStep = AutoXTickStep(abs_span);
    AxisLayout axis = LayOutAxis(canvas, doc, geo, geo.XTickStep);
    // Labels that would run into each other: the automatic step grows along 1, 2, 5 until
    // they fit; a step the user chose stays, and only every second, fifth ... tick is labelled.
    if (automatic) {
        while (axis.Text.size() > 1 && !LabelsFit(canvas, axis, 1)) {
            axis = LayOutAxis(canvas, doc, geo, NextTickStep(axis.Step));
        }
        geo.XTickStep = axis.Step;
        opts.x_delta = core::FormatGeneral(geo.XTickStep);
    } else {
        for (const int every : {2, 5, 10, 20}) {
            if (LabelsFit(canvas, axis, axis.LabelEvery)) break;
            axis.LabelEvery = every;
        }
    }
    geo.XTickDecimals = axis.Decimals;

    if (ctx.Output) canvas.SetPenWidth(ctx.PenOutWidth(opts.XLine_Style == 1 ? 2 : 1));
    if (ctx.Output && !opts.Prn_xline) return;

    const int ya = geo.PlotBottom - geo.AxisZone;
    const int minor_end = Px(geo.PlotBottom - 9.0 * geo.AxisZone / 10.0);
    const int major_end = Px(geo.PlotBottom - 4.0 * geo.AxisZone / 5.0);
    const int label_top = Px(geo.PlotBottom - 5.5 * geo.AxisZone / 7.0);
    canvas.MoveTo(geo.PlotLeft, ya);
    canvas.LineTo(geo.PlotRight, ya);
    if (axis.Count > 0) {
        // The minor tick left of tick 0, which may lie left of the plot and is then skipped.
        const double s0 = s - axis.F0;
        const int x0 = Px((s0 / abs_span) * geo.PlotWidth + geo.PlotLeft);
        if (x0 - axis.Half >= geo.PlotLeft) {
            canvas.MoveTo(x0 - axis.Half, ya);
            canvas.LineTo(x0 - axis.Half, minor_end);
        }
    }
    for (std::size_t i = 0; i < axis.X.size(); ++i) {
        const int x = axis.X[i];
        canvas.MoveTo(x, ya);
        canvas.LineTo(x, major_end);
        if (x + axis.Half < geo.PlotRight) {
            canvas.MoveTo(x + axis.Half, ya);
            canvas.LineTo(x + axis.Half, minor_end);
        }
        if (i % static_cast<std::size_t>(axis.LabelEvery) == 0) {
            canvas.TextOut(axis.Left[i], label_top, axis.Text[i]);
        }
    }
    const std::string title = AxisTitle(doc.XAxisPpm);
    const double half_title = core::Trunc(canvas.TextWidth(title) / 2.0);
    canvas.TextOut(Px(geo.PlotLeft + geo.PlotWidth * 0.5 - half_title),
                   Px(geo.PlotBottom - 2.0 * geo.AxisZone / 7.0), title);
}

PeakDrawOutcome DrawPeaks(Canvas& canvas, core::Document& doc, const core::Options& opts,
                          const PlotGeometry& geo, const RenderContext& ctx, int selected_peak) {
    PeakDrawOutcome outcome;
    if (doc.PeakCount == 0 || !doc.Allocated()) return outcome;
    outcome.Drawn = true;

    // Every drawing synthesises all peaks over the whole spectrum; an output rendering keeps
    // the residual of the last screen drawing.
    const double residual = fit::SynthesiseModel(doc, core::CurrentLineType(opts, doc));
    if (!ctx.Output) doc.ResidualSum = residual;

    const ShownRange shown = ShownPoints(doc);
    std::vector<Point> pts = ShownPointColumns(geo, shown.Count);
    const VerticalMap map(doc, geo);
    // A single peak is never shown as selected; the selected one is drawn last, over the sum.
    const int green =
        !ctx.Output && doc.PeakCount != 1 && selected_peak >= 1 && selected_peak <= doc.PeakCount
            ? selected_peak
            : 0;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        const double* curve = doc.PeakCurve(k);
        if (ctx.Output) {
            if (!opts.Prn_Peaks) continue;
            canvas.SetPenWidth(ctx.PenOutWidth(opts.P_Line1));
            DrawStyledCurve(canvas, curve, static_cast<CurveStyle>(opts.P_Line2), doc, geo);
        } else if (k != green) {
            canvas.SetPenColor(kRed);
            DrawCurve(canvas, pts, curve + shown.FirstElement, map, geo);
            canvas.SetPenColor(kBlack);
        }
    }
    outcome.LsfEnabled = doc.ResidualSum < doc.LsfUpperLimit;

    if (doc.PeakCount >= 2) {
        if (ctx.Output) {
            if (opts.Prn_Sum) {
                canvas.SetPenWidth(ctx.PenOutWidth(opts.Sum_Line1));
                DrawStyledCurve(canvas, doc.SumY.data(), static_cast<CurveStyle>(opts.Sum_Line2),
                                doc, geo);
            }
        } else {
            canvas.SetPenColor(kBlue);
            DrawCurve(canvas, pts, doc.SumY.data() + shown.FirstElement, map, geo);
            canvas.SetPenColor(kBlack);
        }
    }
    if (green != 0) {
        canvas.SetPenColor(kGreen);
        DrawCurve(canvas, pts, doc.PeakCurve(green) + shown.FirstElement, map, geo);
        canvas.SetPenColor(kBlack);
    }
    return outcome;
}

void DrawStyledCurve(Canvas& canvas, const double* curve, CurveStyle style,
                     const core::Document& doc, const PlotGeometry& geo) {
    const ShownRange shown = ShownPoints(doc);
    const VerticalMap map(doc, geo);
    const double* values = curve + shown.FirstElement;
    const int n = shown.Count;
    auto at = [&](int i) { return Point{ShownPointX(geo, i), map.CurveRow(values[i])}; };
    const int top = geo.PlotTop;
    const int bottom = AxisRow(geo);
    auto segment = [&](int a, int b) {
        Point pa = at(a);
        Point pb = at(b);
        if (!ClipToRows(pa, pb, top, bottom)) return;
        canvas.MoveTo(pa.X, pa.Y);
        canvas.LineTo(pb.X, pb.Y);
    };
    switch (style) {
        case CurveStyle::kBroken:
            for (int i = 1; i < n; i += 2) segment(i - 1, i);
            break;
        case CurveStyle::kBrokenDot: {
            if (n == 0) break;
            canvas.SetBrushColor(kBlack);
            const int r = Px(canvas.PenWidth() * 5.0 / 12.0);
            auto disc = [&](int i) {
                const Point p = at(i);
                if (p.Y < top || p.Y > bottom) return;
                canvas.Ellipse(p.X - r, p.Y - r, p.X + r, p.Y + r);
            };
            disc(0);
            for (int i = 4; i <= n; ++i) {
                if (i % 3 != 1) continue;
                segment(i - 3, i - 2);
                disc(i - 1);
            }
            canvas.SetBrushColor(kWhite);
            break;
        }
        case CurveStyle::kSolid:
        default: {
            std::vector<Point> pts(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) pts[static_cast<std::size_t>(i)] = at(i);
            PolylineWithinRows(canvas, pts, top, bottom);
            break;
        }
    }
    canvas.SetPenWidth(1);
}

RenderContext RenderForOutput(Canvas& canvas, int dpi, core::Document& doc, core::Options& opts,
                              PlotGeometry& geo, bool portrait_page) {
    const PlotGeometry screen = geo;
    RenderContext ctx;
    ctx.Output = true;
    geo.PxPerCm = dpi / 2.54;
    const double paper_height = portrait_page ? 28.0 : 20.0;
    const core::PrintLayout& print = opts.Print;
    geo.PlotLeft = Px(print.LeftCm * geo.PxPerCm);
    geo.PlotRight = Px((print.WidthCm + print.LeftCm) * geo.PxPerCm);
    geo.PlotBottom = Px((paper_height - print.TopCm) * geo.PxPerCm);
    geo.PlotTop = Px(geo.PlotBottom -
                     (print.HeightCm + print.AxisHeightCm + print.SpectrumMarginCm) * geo.PxPerCm);

    const double dx = geo.PlotRight - geo.PlotLeft;
    const double dy = geo.PlotBottom - geo.PlotTop;
    const double diagonal = std::sqrt(dx * dx + dy * dy);
    const double divisors[4] = {1500.0, 500.0, 300.0, 150.0};
    for (std::size_t i = 0; i < 4; ++i) {
        ctx.PenOut[i] = static_cast<std::uint8_t>(std::clamp(Px(diagonal / divisors[i]), 0, 255));
    }

    // An output is black whatever the last screen drawing left on a reused canvas.
    canvas.SetPenColor(kBlack);
    DrawSpectrum(canvas, doc, opts, geo, ctx);
    DrawPeaks(canvas, doc, opts, geo, ctx, 0);

    // The mouse works with the geometry of the last screen drawing.
    const double px_per_cm = geo.PxPerCm;
    geo = screen;
    geo.PxPerCm = px_per_cm;
    return ctx;
}

}  // namespace kalvex::view
