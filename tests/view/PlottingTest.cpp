// The screen and output pictures through RecordingCanvas: layout, axis, mappings, peaks, styles.
#include <gtest/gtest.h>

#include <limits>

#include "core/NumberFormat.h"
#include "support/DocumentBuilder.h"
#include "support/RecordingCanvas.h"
#include "view/Plotting.h"

namespace kalvex::view {
namespace {

using test::RecordingCanvas;

// A screen frame with round numbers: AxisZone 50, PlotBaseY 302, PlotWidth 450.
PlotGeometry Frame() {
    PlotGeometry g;
    g.PlotLeft = 10;
    g.PlotRight = 460;
    g.PlotTop = 10;
    g.PlotBottom = 360;
    return g;
}

core::Document Spectrum(int points, double first, double step, bool ppm = true) {
    core::Document doc = test::MakeDocument(points, first, step, 400.0);
    doc.XAxisPpm = ppm;
    if (!ppm) {
        doc.XFirstHz = first;
        doc.XStepHz = step;
    }
    return doc;
}

struct Screen {
    RecordingCanvas canvas;
    PlotGeometry geo = Frame();
    core::Options opts;
};

void DrawOnScreen(Screen& s, const core::Document& doc) {
    DrawSpectrum(s.canvas, doc, s.opts, s.geo, RenderContext::Screen());
}

// Labels are every text but the last, which is the axis title.
std::vector<std::string> Labels(const RecordingCanvas& canvas) {
    std::vector<std::string> out;
    const auto& texts = canvas.Texts();
    for (std::size_t i = 0; i + 1 < texts.size(); ++i) out.push_back(texts[i].Str);
    return out;
}

TEST(Plotting, PixelRoundingIsNearestWithHalvesAwayFromZeroAndStaysInRange) {
    for (double v : {0.0, 0.5, -0.5, 1.5, -1.5, 2.5, 0.49999999999999994, -0.49999999999999994,
                     302.50000000000006, -282.4999999, 123456789.5, -999999999.5}) {
        EXPECT_EQ(Px(v), core::Nearest(v)) << v;
    }
    EXPECT_EQ(Px(1e300), 1000000000);
    EXPECT_EQ(Px(-std::numeric_limits<double>::infinity()), -1000000000);
    EXPECT_EQ(Px(std::numeric_limits<double>::quiet_NaN()), -1000000000);
}

TEST(Plotting, LayoutFillsTheClientAreaAndTheBitmapSitsInsideTheBevel) {
    PlotGeometry geo;
    LayoutPlotArea(geo, 988, 798);  // form-size preset 6
    EXPECT_EQ(geo.Bevel, (PixelRect{26, 28, 961, 769}));
    EXPECT_EQ(geo.PlotLeft, 10);
    EXPECT_EQ(geo.PlotRight, 951);
    EXPECT_EQ(geo.PlotTop, 15);
    EXPECT_EQ(geo.PlotBottom, 754);
    EXPECT_EQ(PlotBitmapRect(geo.Bevel), (PixelRect{27, 29, 959, 767}));
}

TEST(Plotting, ScreenDrawingDerivesTheVerticalGeometry) {
    Screen s;
    DrawOnScreen(s, Spectrum(10, 10.0, 0.5));
    EXPECT_EQ(s.geo.AxisZone, 50);
    EXPECT_EQ(s.geo.PlotBaseY, 302);
    EXPECT_EQ(s.geo.CursorLowY, 303);
    EXPECT_EQ(s.geo.PlotWidth, 450);
    EXPECT_EQ(s.geo.PlotHeight, 292);
    EXPECT_DOUBLE_EQ(s.geo.PxPerPoint, 50.0);
}

TEST(Plotting, AutomaticTickStepsDecimalsLabelsAndFontSizes) {
    struct Case {
        double first, step;
        int points;
        bool ppm;
        const char* x_delta;
        int decimals;
        std::size_t labels;
        const char* first_label;
        const char* font;
    };
    const Case cases[] = {
        {10.0, 0.5, 10, true, "0.5", 1, 10, "10.0", "Font Times New Roman,10,Default"},
        {20.0, 0.1, 124, true, "1", 0, 13, "20", "Font Times New Roman,10,Default"},
        // 18 labels of 0.002 would run into each other: the step grows to 0.005.
        {1.0, 0.0005, 70, true, "0.005", 3, 7, "1.000", "Font Times New Roman,9,Default"},
        // A five-digit value with 2 decimals loses the last one to the 7-character cut.
        {12345.0, 0.047, 11, false, "0.05", 2, 10, "12345.0", "Font Times New Roman,8,Default"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x_delta);
        Screen s;
        DrawOnScreen(s, Spectrum(c.points, c.first, c.step, c.ppm));
        EXPECT_EQ(s.opts.x_delta, c.x_delta);
        EXPECT_EQ(s.geo.XTickDecimals, c.decimals);
        const auto labels = Labels(s.canvas);
        ASSERT_EQ(labels.size(), c.labels);
        EXPECT_EQ(labels[0], c.first_label);
        EXPECT_TRUE(s.canvas.Contains(c.font));
        EXPECT_EQ(s.canvas.Texts().back().Str, c.ppm ? "Chemical Shift / ppm" : "Offset / Hz");
    }
}

TEST(Plotting, AxisTicksLabelsAndTitleSitWhereTheLayoutPutsThem) {
    Screen s;
    DrawOnScreen(s, Spectrum(10, 10.0, 0.5));  // span 4.5, ticks every 50 px from PlotLeft
    EXPECT_TRUE(s.canvas.Contains("MoveTo 10,310"));
    EXPECT_TRUE(s.canvas.Contains("LineTo 460,310"));
    for (int j = 0; j < 10; ++j) {
        const int x = 10 + 50 * j;
        EXPECT_TRUE(s.canvas.Contains("LineTo " + std::to_string(x) + ",320")) << j;
        // Minor ticks halfway, none past PlotRight and none left of PlotLeft.
        EXPECT_EQ(s.canvas.Contains("LineTo " + std::to_string(x + 25) + ",315"), j < 9) << j;
    }
    EXPECT_FALSE(s.canvas.Contains("LineTo -15,315"));
    // "10.0" is 27 px wide at 10 pt, the title 133 px; the first label is moved right so it
    // is not cut at the picture's edge.
    EXPECT_TRUE(s.canvas.Contains("TextOut 0,321,10.0"));
    EXPECT_TRUE(s.canvas.Contains("TextOut 50,321,9.5"));  // the others stay centred
    EXPECT_TRUE(s.canvas.Contains("TextOut 169,346,Chemical Shift / ppm"));
}

TEST(Plotting, LabelsNeverRunIntoEachOtherNorPastThePicture) {
    struct Case {
        double first, step;
        int points;
        bool ppm, manual;
    };
    const Case cases[] = {{24975.59, 24.4140625, 2048, false, false},
                          {-25000.0, 15.0, 3001, false, false},
                          {1.0, 0.0005, 70, true, false},
                          {16.18, 0.000306, 65536, true, false},
                          {10.0, 0.05, 100, true, true}};
    for (const Case& c : cases) {
        Screen s;
        s.opts.XTickManual = c.manual;
        s.geo.XTickStep = 0.1;  // the manual step: a label every tick would not fit
        DrawOnScreen(s, Spectrum(c.points, c.first, c.step, c.ppm));
        const auto& texts = s.canvas.Texts();
        ASSERT_GE(texts.size(), 3u) << c.first;
        for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
            const int width = static_cast<int>(texts[i].Str.size()) * texts[i].FontSize * 96 / 144;
            EXPECT_GE(texts[i].X, 0) << texts[i].Str;
            EXPECT_LE(texts[i].X + width, 468) << texts[i].Str;
            if (i + 2 < texts.size()) {
                EXPECT_LT(texts[i].X + width, texts[i + 1].X) << texts[i].Str;
            }
        }
    }
}

TEST(Plotting, TickStepSwitchesAboveTheRoundedMantissas6And3And1Point5) {
    // The mantissa is rounded to a whole number first: 1.5 already gives 2, 6.49 still 5.
    for (const auto& [span, step] : {std::pair{1.0, 0.1},
                                     {10.0, 1.0},
                                     {100.0, 10.0},
                                     {0.01, 0.001},
                                     {1.49, 0.1},
                                     {1.5, 0.2},
                                     {3.0, 0.2},
                                     {3.49, 0.2},
                                     {3.5, 0.5},
                                     {6.0, 0.5},
                                     {6.49, 0.5},
                                     {6.5, 1.0},
                                     {9.999, 1.0},
                                     {std::numeric_limits<double>::infinity(), 1.0}}) {
        EXPECT_DOUBLE_EQ(AutoXTickStep(span), step) << span;
    }
    for (const auto& [step, decimals] :
         {std::pair{10.0, 0}, {1.0, 0}, {0.5, 1}, {0.1, 1}, {0.05, 2}, {0.01, 2}, {0.001, 3}}) {
        EXPECT_EQ(XTickDecimalsFor(step), decimals) << step;
    }
}

TEST(Plotting, AViewStartingAtZeroOrBelowPutsTheFirstTickOneStepPastIt) {
    for (const auto& [first, label] : {std::pair{-2.0, "-3"}, {0.0, "-1"}, {1.0, "1"}}) {
        Screen s;
        DrawOnScreen(s, Spectrum(11, first, 1.0));
        EXPECT_EQ(Labels(s.canvas)[0], label) << first;
    }
    Screen s;
    DrawOnScreen(s, Spectrum(11, -2.0, 1.0));
    EXPECT_TRUE(s.canvas.Contains("TextOut 47,321,-3"));
    EXPECT_TRUE(s.canvas.Contains("LineTo 55,320"));  // one tick spacing (45 px) right
    EXPECT_TRUE(s.canvas.Contains("LineTo 33,315"));  // and its minor tick to the left
}

TEST(Plotting, ManualTickStepIsKeptAndAnUnusableOneFallsBack) {
    Screen s;
    s.opts.XTickManual = true;
    s.opts.x_delta = "typed";
    s.geo.XTickStep = 2.0;
    DrawOnScreen(s, Spectrum(10, 10.0, 0.5));
    EXPECT_EQ(Labels(s.canvas).size(), 3u);  // 10, 8, 6
    EXPECT_EQ(s.opts.x_delta, "typed");
    s.geo.XTickStep = 0.0;
    DrawOnScreen(s, Spectrum(10, 10.0, 0.5));
    EXPECT_DOUBLE_EQ(s.geo.XTickStep, 0.5);
    for (int points : {20, 21}) {  // at most 20 ticks: a span of 20 steps would have 21
        Screen m;
        m.opts.XTickManual = true;
        m.geo.XTickStep = 1.0;
        DrawOnScreen(m, Spectrum(points, 30.0, 1.0));
        const auto& lines = m.canvas.Lines();  // major ticks end on row 320
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.ends_with(",320"); }),
                  20)
            << points;
    }
}

TEST(Plotting, BiasFromOneHalfAnchorsTheGainAtFullScale) {
    // Two points: full scale and zero, at gain 2.
    for (const auto& [bias, full_row, zero_row] :
         {std::tuple{0.5f, 10, 594}, std::tuple{0.4999f, -282, 302}}) {
        SCOPED_TRACE(bias);
        core::Document doc = Spectrum(2, 10.0, 1.0);
        doc.ObsY[0] = 1.0;
        doc.YExpand = 2.0;
        doc.Bias = bias;
        Screen s;
        DrawOnScreen(s, doc);
        const VerticalMap map(doc, s.geo);
        EXPECT_EQ(map.ObservedRow(1.0), full_row);
        EXPECT_EQ(map.ObservedRow(0.0), zero_row);
        // A model curve sits on Bias: a curve value 0 is the row of the observed value Bias.
        EXPECT_EQ(map.CurveRow(0.0), map.ObservedRow(bias));
    }
}

TEST(Plotting, CurvesAreCutOffAtFullScaleAndAtTheAxis) {
    // At gain 2 the spectrum 0, 1, 0.5, 0 overshoots full scale (row 10) around point 2.
    core::Document doc = Spectrum(4, 10.0, 1.0);
    doc.ObsY[1] = 1.0;
    doc.ObsY[2] = 0.5;
    doc.YExpand = 2.0;
    Screen s;
    DrawOnScreen(s, doc);
    const auto strokes = s.canvas.Strokes();
    ASSERT_GE(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].Points, (std::vector<Point>{{10, 302}, {85, 10}}));
    EXPECT_EQ(strokes[1].Points, (std::vector<Point>{{310, 10}, {460, 302}}));
    // Values below the axis (row 310) are cut off there.
    doc.ObsY[3] = -0.3;
    Screen low;
    DrawOnScreen(low, doc);
    EXPECT_EQ(low.canvas.Strokes()[1].Points.back(), (Point{406, 310}));
}

TEST(Plotting, WithoutBiasCurvesStartOnTheBaselineEvenWithAnOffset) {
    core::Document doc = Spectrum(2, 10.0, 1.0);
    doc.YOffset = 0.2;
    Screen s;
    DrawOnScreen(s, doc);
    const VerticalMap map(doc, s.geo);
    EXPECT_EQ(map.CurveRow(0.0), s.geo.PlotBaseY);
    EXPECT_EQ(map.ObservedRow(0.2), s.geo.PlotBaseY);
}

struct PeakPicture {
    Screen s;
    core::Document doc = Spectrum(200, 10.0, 0.01);
    PeakDrawOutcome outcome;

    void Draw(int selected) {
        DrawOnScreen(s, doc);
        s.canvas.Clear();
        outcome = DrawPeaks(s.canvas, doc, s.opts, s.geo, RenderContext::Screen(), selected);
    }
};

TEST(Plotting, TwoPeaksDrawTheSelectedGreenAndTheSumBlue) {
    PeakPicture p;
    test::AddPeak(p.doc, 60, 0.5, 5.0);
    test::AddPeak(p.doc, 140, 0.8, 8.0);
    p.doc.ViewFirstPoint = 51;  // a part of the spectrum: the curves still cover all of it
    p.doc.ViewPointCount = 100;
    p.Draw(2);
    ASSERT_EQ(p.s.canvas.StrokesIn(kRed).size(), 1u);
    ASSERT_EQ(p.s.canvas.StrokesIn(kGreen).size(), 1u);
    EXPECT_EQ(p.s.canvas.Strokes().back().Color, kGreen);  // over the sum, not under it
    const auto sums = p.s.canvas.StrokesIn(kBlue);
    ASSERT_EQ(sums.size(), 1u);
    ASSERT_EQ(sums[0].Points.size(), 100u);
    const VerticalMap map(p.doc, p.s.geo);
    for (int i : {0, 9, 89}) {
        const double sum = p.doc.SumY[static_cast<std::size_t>(50 + i)];
        EXPECT_NEAR(sum, p.doc.PeakCurve(1)[50 + i] + p.doc.PeakCurve(2)[50 + i], 1e-12);
        EXPECT_EQ(sums[0].Points[static_cast<std::size_t>(i)],
                  (Point{ShownPointX(p.s.geo, i), map.CurveRow(sum)}));
    }
    EXPECT_GT(p.doc.PeakCurve(2)[139], 0.79);  // the curves were synthesised

    // One peak is never green and has no sum.
    p.doc.PeakCount = 1;
    p.Draw(1);
    EXPECT_EQ(p.s.canvas.Strokes().size(), 1u);
    EXPECT_EQ(p.s.canvas.Strokes()[0].Color, kRed);
    EXPECT_TRUE(p.outcome.Drawn);
}

TEST(Plotting, ResidualSumCoversTheWholeSpectrumAndGatesTheFit) {
    PeakPicture p;
    for (int i = 0; i < 200; ++i) p.doc.ObsY[static_cast<std::size_t>(i)] = 0.1;
    p.doc.Bias = 0.1f;
    test::AddPeak(p.doc, 100, 0.5, 5.0);
    p.doc.ViewFirstPoint = 90;
    p.doc.ViewPointCount = 20;
    p.doc.LsfUpperLimit = 1e6f;
    p.Draw(0);
    double expected = 0.0;
    for (int i = 0; i < 200; ++i) {
        const double r = p.doc.ObsY[static_cast<std::size_t>(i)] -
                         p.doc.SumY[static_cast<std::size_t>(i)] - 0.1f;
        expected += r * r;
    }
    EXPECT_NEAR(p.doc.ResidualSum, expected, 1e-12 * expected);
    EXPECT_TRUE(p.outcome.LsfEnabled);
    p.doc.LsfUpperLimit = static_cast<float>(expected / 2);
    p.Draw(0);
    EXPECT_FALSE(p.outcome.LsfEnabled);
}

TEST(Plotting, OutputRenderingLeavesTheScreenGeometryAndResidualAlone) {
    PeakPicture p;
    test::AddPeak(p.doc, 60, 0.5, 5.0);
    test::AddPeak(p.doc, 140, 0.8, 8.0);
    p.Draw(0);
    const PlotGeometry screen = p.s.geo;
    const double residual = p.doc.ResidualSum;
    p.doc.ObsY[0] = 5.0;  // an output drawing must not recompute the residual

    RecordingCanvas paper(254);  // 100 px per cm
    const RenderContext ctx = RenderForOutput(paper, 254, p.doc, p.s.opts, p.s.geo, false);
    EXPECT_EQ(ctx.PenOut, (std::array<std::uint8_t, 4>{2, 5, 8, 16}));
    EXPECT_TRUE(paper.Contains("MoveTo 200,1601"));  // the axis on paper: 2 cm in, 20 cm page
    EXPECT_TRUE(paper.Contains("LineTo 1800,1601"));
    EXPECT_TRUE(paper.StrokesIn(kRed).empty());
    EXPECT_TRUE(paper.StrokesIn(kBlue).empty());
    EXPECT_EQ(p.doc.ResidualSum, residual);
    EXPECT_DOUBLE_EQ(p.s.geo.PxPerCm, 100.0);
    p.s.geo.PxPerCm = screen.PxPerCm;
    EXPECT_EQ(p.s.geo.PlotBaseY, screen.PlotBaseY);
    EXPECT_EQ(p.s.geo.PlotHeight, screen.PlotHeight);
    EXPECT_EQ(p.s.geo.PxPerPoint, screen.PxPerPoint);
    EXPECT_EQ(p.s.geo.PlotLeft, screen.PlotLeft);
    EXPECT_EQ(p.s.geo.AxisZone, screen.AxisZone);
}

TEST(Plotting, OutputElementsFollowTheirPrintBoxesAndPens) {
    PeakPicture p;
    test::AddPeak(p.doc, 60, 0.5, 5.0);
    test::AddPeak(p.doc, 140, 0.8, 8.0);
    p.s.opts.S_Line1 = 3;    // spectrum "Super Bold"
    p.s.opts.P_Line1 = 1;    // peaks "Regular"
    p.s.opts.Sum_Line1 = 2;  // sum "Bold"
    RecordingCanvas all(254);
    RenderForOutput(all, 254, p.doc, p.s.opts, p.s.geo, true);
    const auto strokes = all.Strokes();
    // The spectrum, the axis line, 10 major and 10 minor ticks, two peaks and the sum.
    ASSERT_EQ(strokes.size(), 1u + 1u + 10u + 10u + 2u + 1u);
    EXPECT_EQ(strokes.front().Width, 16);
    EXPECT_EQ(strokes[strokes.size() - 2].Width, 5);
    EXPECT_EQ(strokes.back().Width, 8);

    p.s.opts.Prn_Source = p.s.opts.Prn_Peaks = p.s.opts.Prn_Sum = p.s.opts.Prn_xline = false;
    RecordingCanvas none(254);
    RenderForOutput(none, 254, p.doc, p.s.opts, p.s.geo, true);
    EXPECT_EQ(none.Count("LineTo"), 0);
    EXPECT_EQ(none.Count("TextOut"), 0);
}

TEST(Plotting, OutputLineStylesDrawDashesAndDiscs) {
    core::Document doc = Spectrum(7, 10.0, 1.0);  // shown points 75 px apart, all on row 302
    PlotGeometry geo = Frame();
    core::Options opts;
    RecordingCanvas unused;
    DrawSpectrum(unused, doc, opts, geo, RenderContext::Screen());
    const std::vector<double> curve(7, 0.0);

    RecordingCanvas solid;
    DrawStyledCurve(solid, curve.data(), CurveStyle::kSolid, doc, geo);
    EXPECT_EQ(solid.Transcript(),
              "MoveTo 10,302\nLineTo 85,302\nLineTo 160,302\nLineTo 235,302\nLineTo 310,302\n"
              "LineTo 385,302\nLineTo 460,302\nPenWidth 1");

    RecordingCanvas broken;
    DrawStyledCurve(broken, curve.data(), CurveStyle::kBroken, doc, geo);
    EXPECT_EQ(broken.Transcript(),
              "MoveTo 10,302\nLineTo 85,302\nMoveTo 160,302\nLineTo 235,302\n"
              "MoveTo 310,302\nLineTo 385,302\nPenWidth 1");

    RecordingCanvas dots;
    dots.SetPenWidth(12);  // discs of radius 5
    dots.Clear();
    DrawStyledCurve(dots, curve.data(), CurveStyle::kBrokenDot, doc, geo);
    EXPECT_EQ(dots.Transcript(),
              "BrushColor 0,0,0\nEllipse 5,297,15,307\n"
              "MoveTo 85,302\nLineTo 160,302\nEllipse 230,297,240,307\n"
              "MoveTo 310,302\nLineTo 385,302\nEllipse 455,297,465,307\n"
              "BrushColor 255,255,255\nPenWidth 1");
}

}  // namespace
}  // namespace kalvex::view
