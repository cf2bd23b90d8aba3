// The spectrum tools in the real windows: range drags, the read-out, the tool mode, the dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>

#include "AppTestSupport.h"
#include "FakePrompter.h"
#include "app/fit/CalcGo.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Mainpeak.h"
#include "app/tools/Horizontal_Shift.h"
#include "app/tools/RangeDlg.h"
#include "app/tools/SetB.h"
#include "app/tools/height_change.h"
#include "app/tools/ppm_box.h"
#include "tools/BiasEntry.h"
#include "view/MouseLogic.h"

namespace kalvex::app {
namespace {

class Tools : public ::testing::Test {
protected:
    void SetUp() override {
        form_.show();
        form_.OpenSpectrumFile(QString::fromStdString(test::ExamplePath("overlap-gauss.spc")));
        ASSERT_TRUE(doc_.SpectrumLoaded);
    }
    QAction* Action(const char* name) { return form_.Action(name); }
    QToolButton* Button(const char* name) {
        return form_.findChild<QToolButton*>(QString::fromLatin1(name));
    }
    void Click(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }

    // The commands a tool mode takes away, as "name=0/1" so a failure names them.
    std::string Competing() {
        std::string out;
        for (const char* b : {"FileOpenButton", "SaveButton", "emf_button", "PreviewButton"}) {
            out += std::string(b) + "=" + (Button(b)->isEnabled() ? "1 " : "0 ");
        }
        for (const char* a : {"SetBias", "ReadCSppm", "RangeXY"}) {
            out += std::string(a) + "=" + (Action(a)->isEnabled() ? "1 " : "0 ");
        }
        return out;
    }
    static constexpr const char* kAllEnabled =
        "FileOpenButton=1 SaveButton=1 emf_button=1 PreviewButton=1 SetBias=1 ReadCSppm=1 "
        "RangeXY=1 ";

    void Drag(Qt::MouseButton button, int x0, int x1) {
        const int y = plot_.PlotTop + 20;
        QTest::mousePress(form_.Image(), button, {}, QPoint(x0, y));
        QTest::mouseMove(form_.Image(), QPoint((x0 + x1) / 2, y + 30));
        QTest::mouseMove(form_.Image(), QPoint(x1, y + 40));
        QTest::mouseRelease(form_.Image(), button, {}, QPoint(x1, y + 40));
    }
    int ColumnAt(double fraction) const {
        return plot_.PlotLeft + static_cast<int>(fraction * plot_.PlotWidth);
    }
    int PixelsOnRow(int row, QRgb colour) {
        int n = 0;
        for (int x = plot_.PlotLeft; x <= plot_.PlotRight; ++x) {
            n += form_.Image()->Bitmap().pixel(x, row) == colour ? 1 : 0;
        }
        return n;
    }

    view::AppState state_;
    core::Document& doc_ = state_.Doc;
    const view::PlotGeometry& plot_ = state_.Plot;
    test::FakePrompter prompter_;
    M_Form form_{state_, prompter_};
};

TEST_F(Tools, LeftDragOnThePictureShowsTheDraggedRangeAndEndsTheToolMode) {
    Click("RangeXY_button");
    ASSERT_TRUE(form_.RangeDialog()->isVisible());
    EXPECT_TRUE(Button("RangeXY_button")->isChecked());
    EXPECT_EQ(Competing(),
              "FileOpenButton=0 SaveButton=0 emf_button=0 PreviewButton=0 SetBias=0 "
              "ReadCSppm=0 RangeXY=1 ");
    const int x0 = ColumnAt(0.25);
    const int x1 = ColumnAt(0.6);
    const int p0 = view::PointAt(doc_, plot_, x0);
    const int p1 = view::PointAt(doc_, plot_, x1);
    Drag(Qt::LeftButton, x0, x1);
    // The edits hold the X values cut to 3 decimals, so the ends may move by a point.
    EXPECT_NEAR(doc_.ViewFirstPoint, p0, 1);
    EXPECT_NEAR(doc_.ViewLastPoint(), p1, 1);
    EXPECT_FALSE(form_.RangeDialog()->isVisible());
    EXPECT_FALSE(Button("RangeXY_button")->isChecked());
    EXPECT_FALSE(state_.View.ToolMode);
    EXPECT_EQ(Competing(), kAllEnabled);

    // The wheel zooms further around the cursor; a middle double click shows everything.
    const int count = doc_.ViewPointCount;
    QWheelEvent wheel(QPointF(ColumnAt(0.5), 100), form_.Image()->mapToGlobal(QPointF(0, 0)),
                      QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(form_.Image(), &wheel);
    EXPECT_EQ(doc_.ViewPointCount, static_cast<int>(count * 0.7 + 0.5));
    QTest::mouseDClick(form_.Image(), Qt::MiddleButton, {}, QPoint(ColumnAt(0.5), 100));
    EXPECT_EQ(doc_.ViewFirstPoint, 1);
    EXPECT_EQ(doc_.ViewPointCount, doc_.PointCount);
}

TEST_F(Tools, RightDragAppliesAndKeepsTheDialogOpenUntilItsButtonIsPressedAgain) {
    Action("RangeXY")->trigger();
    RangeDlg* dlg = form_.RangeDialog();
    ASSERT_TRUE(dlg->isVisible());
    Drag(Qt::RightButton, ColumnAt(0.2), ColumnAt(0.7));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->CancelBtn->text(), "Apply");
    EXPECT_FALSE(dlg->OKBtn->isEnabled());
    EXPECT_LT(doc_.ViewPointCount, doc_.PointCount);
    QTest::mouseClick(dlg->CancelBtn, Qt::LeftButton);  // "Apply" runs OK and stays open
    EXPECT_TRUE(dlg->isVisible());
    Click("RangeXY_button");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->CancelBtn->text(), "Cancel");
    EXPECT_TRUE(dlg->OKBtn->isEnabled());
    EXPECT_EQ(Competing(), kAllEnabled);
}

TEST_F(Tools, ReadoutShowsTheValuesUnderTheCursorAndItsClickSetsTheReference) {
    Click("Read_ppm_button");
    ppm_box* box = form_.Readout();
    ASSERT_TRUE(box->IsOpen());
    EXPECT_EQ(Competing(),
              "FileOpenButton=0 SaveButton=0 emf_button=0 PreviewButton=0 SetBias=0 "
              "ReadCSppm=0 RangeXY=0 ");
    const int x = ColumnAt(0.1);  // on the baseline, away from the lines
    QTest::mouseMove(form_.Image(), QPoint(x, plot_.PlotTop + 30));
    const int p = view::PointAt(doc_, plot_, x);
    EXPECT_EQ(box->Label4->text(), QString::number(p) + " ");
    EXPECT_EQ(box->ppm_label->text().toStdString(), view::AxisValueText(doc_, plot_, x));
    EXPECT_EQ(box->Label1->text(), "ppm ");
    EXPECT_EQ(form_.Image()->Bitmap().pixel(x, plot_.PlotTop + 1), qRgb(128, 0, 0));
    QTest::mouseClick(form_.Image(), Qt::LeftButton, {}, QPoint(x, plot_.PlotTop + 30));
    EXPECT_TRUE(box->diff_Hz->text().endsWith(" Hz "));
    QTest::mouseMove(form_.Image(), QPoint(x, plot_.PlotTop + 40));
    EXPECT_EQ(box->diff_Hz->text(), "0");
    EXPECT_EQ(doc_.PeakCount, 2);  // no peak was picked or placed meanwhile

    Click("Read_ppm_button");
    EXPECT_FALSE(box->IsOpen());
    EXPECT_FALSE(Button("Read_ppm_button")->isChecked());
    EXPECT_EQ(Competing(), kAllEnabled);
    // The refresh after Close took the cursor line away.
    EXPECT_NE(form_.Image()->Bitmap().pixel(x, plot_.PlotTop + 1), qRgb(128, 0, 0));
}

TEST_F(Tools, EveryWayOutOfAToolModeGivesTheCommandsBack) {
    struct Way {
        const char* Name;
        std::function<void()> Enter;
        std::function<void()> Leave;
    };
    const auto range_menu = [this] { Action("RangeXY")->trigger(); };
    const auto readout_menu = [this] { Action("ReadCSppm")->trigger(); };
    const Way ways[] = {
        {"Range Cancel", range_menu,
         [this] { QTest::mouseClick(form_.RangeDialog()->CancelBtn, Qt::LeftButton); }},
        {"Range All Reset", range_menu, [this] { form_.A_ResetClick(); }},
        {"left arrow, Cancel", [this] { QTest::keyClick(&form_, Qt::Key_Left); },
         [this] { QTest::mouseClick(form_.RangeDialog()->CancelBtn, Qt::LeftButton); }},
        {"right arrow, R key", [this] { QTest::keyClick(&form_, Qt::Key_Right); },
         [this] { QTest::keyClick(&form_, 'r'); }},
        {"Readout Close", readout_menu,
         [this] { QTest::mouseClick(form_.Readout()->ppm_close, Qt::LeftButton); }},
        {"Readout All Reset", readout_menu, [this] { form_.A_ResetClick(); }},
        {"Readout, the fit", readout_menu,
         [this] {
             form_.FitDialog()->SetRunner([](LSF_GN& fit) { fit.LSF_ExitClick(); });
             form_.LSFClick();
         }},
    };
    for (const Way& w : ways) {
        w.Enter();
        EXPECT_TRUE(state_.View.ToolMode) << w.Name;
        EXPECT_NE(Competing(), kAllEnabled) << w.Name;
        w.Leave();
        EXPECT_FALSE(state_.View.ToolMode) << w.Name;
        EXPECT_FALSE(state_.View.RangeDialogOpen) << w.Name;
        EXPECT_FALSE(form_.RangeDialog()->isVisible()) << w.Name;
        EXPECT_FALSE(form_.Readout()->IsOpen()) << w.Name;
        EXPECT_EQ(Competing(), kAllEnabled) << w.Name;
        EXPECT_FALSE(Button("RangeXY_button")->isChecked()) << w.Name;
        EXPECT_FALSE(Button("Read_ppm_button")->isChecked()) << w.Name;
    }
}

TEST_F(Tools, EveryToolButtonComesUpAfterItsCommand) {
    form_.FitDialog()->SetRunner([](LSF_GN& fit) { fit.LSF_ExitClick(); });
    form_.BiasDialog()->SetRunner([](SetB& b) { b.OKBtnClick(); });
    for (const char* name :
         {"FileOpenButton", "SaveButton", "PreviewButton", "LSF", "SetBias_button"}) {
        Click(name);
        EXPECT_FALSE(Button(name)->isChecked()) << name;
    }
    for (const char* name : {"RangeXY_button", "Read_ppm_button"}) {
        Click(name);
        EXPECT_TRUE(Button(name)->isChecked()) << name;  // down while its window is open
        Click(name);
        EXPECT_FALSE(Button(name)->isChecked()) << name;
    }
    // One tool replaces the other, and only its button stays down.
    Click("RangeXY_button");
    Click("Read_ppm_button");
    EXPECT_FALSE(Button("RangeXY_button")->isChecked());
    EXPECT_TRUE(Button("Read_ppm_button")->isChecked());
    EXPECT_FALSE(form_.RangeDialog()->isVisible());
}

TEST_F(Tools, BiasDialogDrawsTheLevelAndApplyMovesIt) {
    const QRgb navy = qRgb(0, 0, 128);
    int rows[2] = {0, 0};
    form_.BiasDialog()->SetRunner([&](SetB& b) {
        rows[0] = tools::BiasLineRow(doc_, plot_);
        EXPECT_GT(PixelsOnRow(rows[0], navy), plot_.PlotWidth / 4);  // dotted
        b.EdBias->setText("0.5");
        QTest::mouseClick(b.SB_apply, Qt::LeftButton);
        EXPECT_FLOAT_EQ(doc_.Bias, static_cast<float>(0.5 * doc_.YRange + doc_.YOffset));
        rows[1] = tools::BiasLineRow(doc_, plot_);
        EXPECT_GT(PixelsOnRow(rows[1], navy), plot_.PlotWidth / 4);
        QTest::mouseClick(b.OKBtn, Qt::LeftButton);
    });
    Click("SetBias_button");
    EXPECT_NE(rows[0], rows[1]);
    EXPECT_EQ(PixelsOnRow(rows[1], navy), 0);  // OK's refresh took the line away
}

TEST_F(Tools, FrequencyEntryThenShiftThenHeightEachActOnce) {
    std::vector<QString> typed = {"400.5", "3"};
    form_.ShiftDialog()->SetRunner([&](Horizontal_Shift& d) {
        d.Shift_Value->setText(typed.front());
        typed.erase(typed.begin());
        d.Shift_OKClick();
    });
    Action("inputFreq")->trigger();
    EXPECT_EQ(doc_.ObsFreq, 400.5);
    EXPECT_DOUBLE_EQ(doc_.XStepHz, 400.5 * doc_.XStepPpm);
    // The next use of the dialog shifts the peaks and leaves the frequency alone.
    const int pos1 = doc_.PeakPos[1];
    Action("HorizonShift")->trigger();
    EXPECT_EQ(doc_.PeakPos[1], pos1 + 3);
    EXPECT_EQ(doc_.ObsFreq, 400.5);

    const double height = doc_.PeakHeight[1];
    Action("ChangeHeight")->trigger();
    height_change* h = form_.HeightWindow();
    EXPECT_EQ(h->CH_value->text(), "1.0");
    h->CH_value->setText("0.5");
    QTest::mouseClick(h->CH_OK, Qt::LeftButton);
    EXPECT_EQ(doc_.PeakHeight[1], height * 0.5);
    EXPECT_FALSE(h->isVisible());
    for (const char* tick : {"inputFreq", "HorizonShift", "ChangeHeight"}) {
        EXPECT_FALSE(Action(tick)->isChecked()) << tick;
    }
}

}  // namespace
}  // namespace kalvex::app
