// SVG, PDF and PNG pictures of an example spectrum with peaks, read back by other readers.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QXmlStreamReader>
#include <algorithm>
#include <set>

#include "AppTestSupport.h"
#include "app/output/PictureFile.h"
#include "core/Error.h"
#include "files/OpenCommand.h"
#include "output/TimesMetrics.h"
#include "support/RecordingCanvas.h"
#include "support/SvgShapes.h"
#include "support/TempDir.h"
#include "view/AppState.h"
#include "view/Plotting.h"

namespace kalvex::app {
namespace {

using output::PictureFormat;
using test::RecordingCanvas;

// The ethanol example with its eight peaks, peaks "Broken", sum "Broken-Dot", on the virtual
// printer's landscape page.
struct ExamplePlot {
    view::AppState s;
    output::PrinterPage page = output::VirtualPdfPage(false);

    ExamplePlot() {
        s.Doc = files::LoadSpectrum(test::ExamplePath("ethanol-60MHz.spc"), core::Document{},
                                    s.Opts, [](int) { return 1; });
        s.Opts.P_Line2 = static_cast<int>(view::CurveStyle::kBroken);
        s.Opts.Sum_Line2 = static_cast<int>(view::CurveStyle::kBrokenDot);
    }
    RecordingCanvas Expected(int dpi) {
        RecordingCanvas c(dpi);
        view::RenderForOutput(c, dpi, s.Doc, s.Opts, s.Plot, page.Portrait());
        return c;
    }
    void Write(const std::string& path, PictureFormat format, int dpi) {
        WritePictureFile(path, format, page, dpi, s.Doc, s.Opts, s.Plot);
    }
};

// The highest point the recording drew: the summit of the tallest line.
view::Point Summit(const RecordingCanvas& c) {
    view::Point top{0, INT32_MAX};
    for (const auto& stroke : c.Strokes()) {
        for (const view::Point& p : stroke.Points) {
            if (p.Y < top.Y) top = p;
        }
    }
    return top;
}

bool DarkNear(const QImage& image, int x, int y, int reach) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint p(x + dx, y + dy);
            if (image.valid(p) && qGray(image.pixel(p)) < 96) return true;
        }
    }
    return false;
}

TEST(PictureFiles, AnSvgHoldsEveryLabelCurveDashAndDiscAsXml) {
    ExamplePlot plot;
    test::TempDir dir;
    const RecordingCanvas expected = plot.Expected(600);
    plot.Write(dir.File("plot.svg"), PictureFormat::kSvg, 600);

    QFile file(QString::fromStdString(dir.File("plot.svg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList texts;
    std::set<std::pair<int, int>> vertices;
    int ellipses = 0, two_point_lines = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QStringLiteral("text")) {
            texts << xml.readElementText().trimmed();
        } else if (xml.name() == QStringLiteral("polyline")) {
            const QStringList points =
                xml.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts);
            two_point_lines += points.size() == 2;
            for (const QString& p : points) {
                vertices.insert({p.section(',', 0, 0).toInt(), p.section(',', 1, 1).toInt()});
            }
        } else if (xml.name() == QStringLiteral("ellipse") ||
                   xml.name() == QStringLiteral("circle")) {
            ++ellipses;
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const RecordingCanvas::Text& t : expected.Texts()) {
        EXPECT_TRUE(texts.contains(QString::fromStdString(t.Str))) << t.Str;
    }
    int dashes = 0;
    for (const auto& stroke : expected.Strokes()) {
        // A dash between two points on one pixel has no length; it draws nothing anywhere.
        if (stroke.Points.size() == 2 && stroke.Points[0] == stroke.Points[1]) continue;
        dashes += stroke.Points.size() == 2;
        for (const view::Point& p : {stroke.Points.front(), stroke.Points.back()}) {
            ASSERT_TRUE(vertices.count({p.X, p.Y})) << p.X << "," << p.Y;
        }
    }
    const view::Point top = Summit(expected);
    EXPECT_TRUE(vertices.count({top.X, top.Y}));
    EXPECT_GT(dashes, 1000);  // the broken peaks are dashes, not lines
    EXPECT_EQ(two_point_lines, dashes);
    EXPECT_EQ(ellipses, expected.Count("Ellipse"));
}

TEST(PictureFiles, APdfPageShowsTheLabelsAndTheCurvesWhereThePrinterPutsThem) {
    if (!test::ProgramAvailable("pdftoppm") || !test::ProgramAvailable("pdftotext")) {
        GTEST_SKIP() << "poppler-utils not installed";
    }
    ExamplePlot plot;
    test::TempDir dir;
    const std::string pdf = dir.File("page.pdf");
    plot.Write(pdf, PictureFormat::kPdf, 600);
    ASSERT_TRUE(test::RunShell("pdftotext '" + pdf + "' '" + dir.File("page.txt") + "'"));
    const std::string text = test::ReadFileBytes(dir.File("page.txt"));
    for (const char* label : {"5.0", "2.5", "0.0", "Chemical Shift / ppm"}) {
        EXPECT_NE(text.find(label), std::string::npos) << label;
    }
    // Rendered at 60 dpi, a tenth of the drawing's: the summit of the tallest line is there.
    ASSERT_TRUE(test::RunShell("pdftoppm -r 60 -gray -singlefile '" + pdf + "' '" +
                               dir.File("page") + "'"));
    const QImage page(QString::fromStdString(dir.File("page.pgm")));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), plot.page.PhysicalWidth / 10, 1);
    EXPECT_NEAR(page.height(), plot.page.PhysicalHeight / 10, 1);
    const view::Point top = Summit(plot.Expected(60));
    EXPECT_TRUE(DarkNear(page, top.X, top.Y, 1));
    EXPECT_FALSE(DarkNear(page, page.width() - 20, 20, 10));  // right of the plot: paper
}

TEST(PictureFiles, APngHasTheChosenResolutionAndTheCurvesOnItsPixels) {
    ExamplePlot plot;
    test::TempDir dir;
    plot.Write(dir.File("plot.png"), PictureFormat::kPng, 150);
    const QImage png(QString::fromStdString(dir.File("plot.png")));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(1754, 1240));  // the A4 page at 150 dpi
    EXPECT_EQ(png.dotsPerMeterX(), 5906);
    const RecordingCanvas expected = plot.Expected(150);
    const auto strokes = expected.Strokes();
    // Every curve's ends and the summit are drawn in black on white.
    for (const auto& stroke : strokes) {
        for (const view::Point& p : {stroke.Points.front(), stroke.Points.back()}) {
            ASSERT_TRUE(DarkNear(png, p.X, p.Y, 1)) << p.X << "," << p.Y;
        }
    }
    const view::Point top = Summit(expected);
    EXPECT_TRUE(DarkNear(png, top.X, top.Y, 1));
    EXPECT_EQ(png.pixel(png.width() - 5, 5), qRgb(255, 255, 255));
}

TEST(PictureFiles, AFailedWriteNamesTheFileAndKeepsThePreviousOne) {
    ExamplePlot plot;
    test::TempDir dir;
    const std::string path = dir.Write("plot.svg", "previous");
    try {
        const test::FileSizeLimit limit(4096);
        plot.Write(path, PictureFormat::kSvg, 600);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.File(), path);
    }
    EXPECT_EQ(test::ReadFileBytes(path), "previous");
    EXPECT_EQ(test::FilesIn(dir.Path()), std::vector<std::string>{"plot.svg"});
    EXPECT_THROW(plot.Write(dir.File("none/plot.png"), PictureFormat::kPng, 100), Error);
}

TEST(PictureFiles, TheMetafilesTextWidthsAreTheScreenFontsWidths) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(2048);
    font.setKerning(false);  // printers place the glyphs by their advances alone
    const QFontMetrics metrics(font);
    for (const char* text : {"Chemical Shift / ppm", "Offset / Hz", "0.123456789", "-1234.5"}) {
        EXPECT_NEAR(output::TimesTextWidth(text, 2048),
                    metrics.horizontalAdvance(QString::fromLatin1(text)), 2)
            << text;
    }
}

}  // namespace
}  // namespace kalvex::app
