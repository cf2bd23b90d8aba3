// Metafiles of an example spectrum with peaks, read back by independent converters to SVG.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "files/OpenCommand.h"
#include "output/MetafileCanvas.h"
#include "support/RecordingCanvas.h"
#include "support/SvgShapes.h"
#include "support/TempDir.h"
#include "view/AppState.h"
#include "view/Plotting.h"

namespace kalvex::output {
namespace {

using test::RecordingCanvas;
using test::SvgShapes;

std::string ExampleSpectrum() {
    const char* src = std::getenv("KALVEX_SOURCE_DIR");
    return std::string(src ? src : ".") + "/examples/ethanol-60MHz.spc";
}

// The ethanol example with its eight peaks, peaks "Broken", sum "Broken-Dot", on the virtual
// printer's landscape page at 600 dpi.
struct ExamplePlot {
    view::AppState s;
    PrinterPage page = VirtualPdfPage(false);

    ExamplePlot() {
        s.Doc =
            files::LoadSpectrum(ExampleSpectrum(), core::Document{}, s.Opts, [](int) { return 1; });
        s.Opts.P_Line2 = static_cast<int>(view::CurveStyle::kBroken);
        s.Opts.Sum_Line2 = static_cast<int>(view::CurveStyle::kBrokenDot);
    }
    // The same drawing as calls, to compare the reader's picture with.
    RecordingCanvas Expected() {
        RecordingCanvas c(page.Dpi);
        view::RenderForOutput(c, page.Dpi, s.Doc, s.Opts, s.Plot, page.Portrait());
        return c;
    }
    SvgShapes WriteAndConvert(PictureFormat format, const test::TempDir& dir) {
        const bool emf = format == PictureFormat::kEmf;
        const std::string file = dir.File(emf ? "plot.emf" : "plot.wmf");
        const std::string svg = dir.File("plot.svg");
        WriteMetafile(file, format, page, page.Dpi, s.Doc, s.Opts, s.Plot);
        const std::string command = emf ? "emf2svg-conv -i '" + file + "' -o '" + svg + "'"
                                        : "wmf2svg -o '" + svg + "' '" + file + "'";
        EXPECT_TRUE(test::RunShell(command + " 2>/dev/null")) << command;
        return test::ReadSvgShapes(test::ReadFileBytes(svg));
    }
};

// Where across its drawing the highest point (smallest Y) of a set of lines lies, as a
// fraction of the drawing's width: the same for a recording and a reader's picture when the
// reader placed the curves where they belong, whatever size it gives the picture.
template <typename Lines>
double HighestPointAcross(const Lines& lines) {
    double lo = 1e300, hi = -1e300, top_x = 0, top_y = 1e300;
    for (const auto& line : lines) {
        for (const auto& p : line) {
            lo = std::min<double>(lo, p.X);
            hi = std::max<double>(hi, p.X);
            if (p.Y < top_y) top_y = p.Y, top_x = p.X;
        }
    }
    return (top_x - lo) / (hi - lo);
}

TEST(MetafileOutput, AnEnhancedMetafileShowsEveryCurveLabelDashAndDiscInAnotherReader) {
    if (!test::ProgramAvailable("emf2svg-conv")) GTEST_SKIP() << "emf2svg-conv not installed";
    ExamplePlot plot;
    ASSERT_EQ(plot.s.Doc.PeakCount, 8);
    const RecordingCanvas expected = plot.Expected();
    test::TempDir dir;
    const SvgShapes svg = plot.WriteAndConvert(PictureFormat::kEmf, dir);

    // The frame is the printer's page.
    EXPECT_NEAR(svg.Width, plot.page.PrintableWidth, 2.0);
    EXPECT_NEAR(svg.Height, plot.page.PrintableHeight, 2.0);
    // Every tick label and the axis title.
    for (const RecordingCanvas::Text& t : expected.Texts()) {
        EXPECT_NE(std::find(svg.Texts.begin(), svg.Texts.end(), t.Str), svg.Texts.end()) << t.Str;
    }
    // Spectrum, axis, every dash of the peaks: ends and summit of each stroke are vertices.
    std::set<std::pair<long, long>> vertices;
    std::size_t two_point_paths = 0;
    for (const auto& path : svg.Paths) {
        for (const test::SvgPoint& p : path) vertices.insert({std::lround(p.X), std::lround(p.Y)});
        two_point_paths += path.size() == 2;
    }
    const auto strokes = expected.Strokes();
    std::size_t dashes = 0;
    for (const auto& s : strokes) {
        const view::Point top = *std::min_element(s.Points.begin(), s.Points.end(),
                                                  [](auto a, auto b) { return a.Y < b.Y; });
        for (const view::Point& p : {s.Points.front(), s.Points.back(), top}) {
            ASSERT_TRUE(vertices.count({p.X, p.Y})) << p.X << "," << p.Y;
        }
        dashes += s.Points.size() == 2;
    }
    EXPECT_GT(dashes, 1000u);  // the broken peaks are dashes, not lines
    EXPECT_EQ(two_point_paths, dashes);
    // Broken-Dot: one disc per recorded ellipse, at its place.
    ASSERT_EQ(svg.Ellipses.size(), static_cast<std::size_t>(expected.Count("Ellipse")));
    EXPECT_GT(svg.Ellipses.size(), 500u);
    std::size_t i = 0;
    for (const std::string& line : expected.Lines()) {
        int l = 0, t = 0, r = 0, b = 0;
        if (std::sscanf(line.c_str(), "Ellipse %d,%d,%d,%d", &l, &t, &r, &b) != 4) continue;
        EXPECT_NEAR(svg.Ellipses[i].X, (l + r) / 2.0, 0.5) << i;
        EXPECT_NEAR(svg.Ellipses[i].Y, (t + b) / 2.0, 0.5) << i;
        ++i;
    }
}

TEST(MetafileOutput, AnOldStyleMetafileShowsEveryCurveLabelDashAndDiscInAnotherReader) {
    if (!test::ProgramAvailable("wmf2svg")) GTEST_SKIP() << "wmf2svg not installed";
    ExamplePlot plot;
    const RecordingCanvas expected = plot.Expected();
    test::TempDir dir;
    const SvgShapes svg = plot.WriteAndConvert(PictureFormat::kWmf, dir);

    // The reader writes one text per character: the labels come back in drawing order.
    std::string labels;
    for (const RecordingCanvas::Text& t : expected.Texts()) labels += t.Str;
    EXPECT_EQ(svg.AllText(), labels);
    EXPECT_NE(labels.find("Chemical Shift / ppm"), std::string::npos);
    // One line per drawn segment, one disc per ellipse, and the summit of the picture in the
    // same place across it (the reader scales the drawing to a size of its own).
    EXPECT_EQ(svg.Lines.size(), static_cast<std::size_t>(expected.Count("LineTo")));
    EXPECT_EQ(svg.Ellipses.size(), static_cast<std::size_t>(expected.Count("Ellipse")));
    std::vector<std::vector<view::Point>> strokes;
    for (const auto& s : expected.Strokes()) strokes.push_back(s.Points);
    EXPECT_NEAR(HighestPointAcross(svg.Lines), HighestPointAcross(strokes), 0.005);
}

}  // namespace
}  // namespace kalvex::output
