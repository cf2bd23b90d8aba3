// The spectrum picture in the real window: peaks placed with the mouse, keys, the bitmap's pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "AppTestSupport.h"
#include "FakePrompter.h"
#include "app/peaks/Peaks.h"
#include "app/qt/PlotImage.h"
#include "app/qt/QtCanvas.h"
#include "app/shell/Mainpeak.h"
#include "support/TempDir.h"
#include "view/MouseLogic.h"
#include "view/Plotting.h"

namespace kalvex::app {
namespace {

QRgb Pixel(const M_Form& form, int x, int y) {
    return const_cast<M_Form&>(form).Image()->Bitmap().pixel(x, y);
}

TEST(Picture, TwoPeaksPlacedWithTheMouseAreDrawnWhereTheyBelong) {
    view::AppState state;
    test::FakePrompter prompter;
    M_Form form(state, prompter);
    form.show();
    test::TempDir dir;
    // The spectrum without its peak file, so the table starts empty.
    const std::string path =
        dir.Write("g.spc", test::ReadFileBytes(test::ExamplePath("overlap-gauss.spc")));
    prompter.OpenAnswers.push_back({QString::fromStdString(path), 1});
    form.M_OpenClick();
    ASSERT_TRUE(state.Doc.SpectrumLoaded);
    ASSERT_EQ(state.Doc.PeakCount, 0);

    PlotImage* img = form.Image();
    const view::PlotGeometry& g = state.Plot;
    const int x1 = g.PlotLeft + g.PlotWidth / 4;
    const int y1 = g.PlotBaseY - g.PlotHeight / 2;
    QTest::mouseClick(img, Qt::RightButton, {}, QPoint(x1, y1));
    ASSERT_EQ(state.Doc.PeakCount, 1);
    EXPECT_TRUE(state.View.NewPeakPending);
    // The red marker: a vertical line from the click down to the baseline.
    EXPECT_EQ(
        Pixel(form, view::ShownPointX(g, state.Doc.PeakPos[1] - 1), (y1 + g.PlotBaseY) / 2 + 3),
        qRgb(255, 0, 0));
    QTest::mouseClick(img, Qt::LeftButton, {}, QPoint(x1 + 6, g.PlotTop + 5));
    EXPECT_FALSE(state.View.NewPeakPending);

    const int x2 = g.PlotLeft + 3 * g.PlotWidth / 4;
    const int y2 = g.PlotBaseY - g.PlotHeight / 4;
    QTest::mouseClick(img, Qt::RightButton, {}, QPoint(x2, y2));
    QTest::mouseClick(img, Qt::LeftButton, {}, QPoint(x2 - 4, g.PlotBottom - 2));
    ASSERT_EQ(state.Doc.PeakCount, 2);

    const core::Document& doc = state.Doc;
    EXPECT_EQ(doc.PeakPos[1], view::PointAt(doc, g, x1));
    EXPECT_EQ(doc.PeakPos[2], view::PointAt(doc, g, x2));
    // Heights are those whose rows are the clicked ones (no gain, the bias of the open).
    auto height_of_row = [&](int y) {
        return ((g.PlotBaseY - y) / static_cast<double>(g.PlotHeight) / doc.YExpand -
                (doc.Bias - doc.YOffset) / doc.YRange) *
               doc.YRange;
    };
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], height_of_row(y1));
    EXPECT_DOUBLE_EQ(doc.PeakHeight[2], height_of_row(y2));
    EXPECT_NEAR(doc.PeakHalfWidth[1], 6.0 / g.PxPerPoint, 1e-9);
    EXPECT_NEAR(doc.PeakHalfWidth[2], 4.0 / g.PxPerPoint, 1e-9);
    EXPECT_EQ(state.Opts.RefMethod, 1);  // "Refresh Btn": the peaks were drawn onto the picture

    // The sum is drawn last, in blue, through each peak's top; under the first peak the
    // second one's curve runs along its baseline in red.
    const view::VerticalMap map(doc, g);
    const int p1 = doc.PeakPos[1];
    const int col1 = view::ShownPointX(g, p1 - doc.ViewFirstPoint);
    EXPECT_EQ(Pixel(form, col1, map.CurveRow(doc.SumY[static_cast<std::size_t>(p1 - 1)])),
              qRgb(0, 0, 255));
    EXPECT_EQ(Pixel(form, col1, map.CurveRow(doc.PeakCurve(2)[p1 - 1])), qRgb(255, 0, 0));
    EXPECT_TRUE(form.findChild<QToolButton*>("LSF")->isEnabled() ==
                (doc.ResidualSum < doc.LsfUpperLimit));
    EXPECT_FALSE(form.findChild<QLabel*>("Sxx")->text().isEmpty());

    // Picking with a left click shows the nearest peak; a full refresh then draws it green.
    QTest::mouseClick(img, Qt::LeftButton, {}, QPoint(x2 + 2, g.PlotTop + 10));
    EXPECT_TRUE(form.PeakDialog()->isVisible());
    EXPECT_EQ(form.PeakDialog()->OrderIndex(), 1);
    form.RefreshClick();
    EXPECT_EQ(Pixel(form, col1, map.CurveRow(doc.PeakCurve(2)[p1 - 1])), qRgb(0, 128, 0));
}

TEST(Picture, GainKeysReachThePictureInEitherCase) {
    view::AppState state;
    test::FakePrompter prompter;
    M_Form form(state, prompter);
    form.show();
    prompter.OpenAnswers.push_back(
        {QString::fromStdString(test::ExamplePath("broad-lorentz.spc")), 1});
    form.M_OpenClick();
    ASSERT_TRUE(state.Doc.SpectrumLoaded);
    QTest::keyClick(&form, 'i');
    EXPECT_DOUBLE_EQ(state.Doc.YExpand, 11.0);
    QTest::keyClick(&form, 'D');
    EXPECT_DOUBLE_EQ(state.Doc.YExpand, 10.0);
    QTest::keyClick(&form, 'a');
    EXPECT_DOUBLE_EQ(state.Doc.YExpand, 1.0);
    QTest::keyClick(&form, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(state.Doc.YExpand, 2.0);
    // A gain key writes the long title, with the whole path.
    EXPECT_TRUE(form.windowTitle().startsWith(
        QString::fromStdString(test::ExamplePath("broad-lorentz.spc"))));
}

TEST(Picture, LongCurvesCompactToTheSamePixels) {
    // A curve with many points per column, drawn point by point and compacted.
    std::vector<view::Point> pts;
    for (int i = 0; i < 5000; ++i) {
        pts.push_back({10 + i / 37, 100 + static_cast<int>(60 * std::sin(i * 0.05))});
    }
    QImage a(300, 200, QImage::Format_RGB32);
    QImage b(300, 200, QImage::Format_RGB32);
    a.fill(Qt::white);
    b.fill(Qt::white);
    {
        QtCanvas ca(&a, 96);
        ca.MoveTo(pts[0].X, pts[0].Y);
        for (std::size_t i = 1; i < pts.size(); ++i) ca.LineTo(pts[i].X, pts[i].Y);
        QtCanvas cb(&b, 96);
        cb.Polyline(pts);
    }
    EXPECT_LT(CompactPolyline(pts).size(), pts.size() / 5);
    EXPECT_TRUE(a == b);
}

}  // namespace
}  // namespace kalvex::app
