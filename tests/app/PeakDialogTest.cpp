// Peak Information and Gauss + Lorentz in the real windows: show, edit, Delete, To File.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "AppTestSupport.h"
#include "FakePrompter.h"
#include "app/peaks/Peaks.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Mainpeak.h"
#include "app/tools/height_change.h"
#include "core/FileSystem.h"
#include "support/TempDir.h"

namespace kalvex::app {
namespace {

using test::In;

class PeakDialog : public ::testing::Test {
protected:
    void SetUp() override {
        form_.show();
        prompter_.OpenAnswers.push_back(
            {QString::fromStdString(test::CopyEthanolExample(dir_)), 1});
        form_.M_OpenClick();
        ASSERT_EQ(state_.Doc.PeakCount, 8);
    }

    view::AppState state_;
    test::FakePrompter prompter_;
    M_Form form_{state_, prompter_};
    test::TempDir dir_;
};

TEST_F(PeakDialog, ShowsThePeakBesideTheMainWindowWithPlusMinusSigns) {
    Sel_Dlg* info = form_.PeakDialog();
    info->ShowPeak(3);
    ASSERT_TRUE(info->isVisible());
    EXPECT_FALSE(info->Companion()->isVisible());  // only in Gauss+Lorentz mode
    EXPECT_EQ(info->windowTitle(), "Peak Order : 3");
    EXPECT_EQ(In<QComboBox>(info, "Peak_Order")->count(), 8);
    EXPECT_EQ(In<QComboBox>(info, "Peak_Order")->currentIndex(), 2);
    EXPECT_EQ(In<QLineEdit>(info, "Edposition")->text(), QString::number(state_.Doc.PeakPos[3]));
    EXPECT_TRUE(In<QLabel>(info, "posi_Err")->text().startsWith(QString::fromUtf8("\u00b1 ")));
    EXPECT_TRUE(In<QLabel>(info, "x_Err")->text().endsWith(" ppm"));
    EXPECT_EQ(In<QLabel>(info, "ForG")->text(),
              "Lorentzian");  // the example's peaks are Lorentz
    EXPECT_TRUE(In<QLabel>(info, "IntegArea")->text().contains("*10^"));
    EXPECT_GE(info->frameGeometry().left(), form_.frameGeometry().right());
}

TEST_F(PeakDialog, GaussLorentzModeShowsAndAppliesTheCompanion) {
    state_.Opts.LGselect = 2;
    Sel_Dlg* info = form_.PeakDialog();
    info->ShowPeak(1);
    Sel_Dlg2* gl = info->Companion();
    ASSERT_TRUE(gl->isVisible());
    EXPECT_EQ(In<QLabel>(info, "ForG")->text(), "(For Gauuss)");
    EXPECT_EQ(gl->fract_L->text(), "0.500");
    EXPECT_GE(gl->frameGeometry().top(), info->frameGeometry().bottom());

    gl->fract_L->setText("1.5");
    gl->OKDraw->click();
    EXPECT_DOUBLE_EQ(state_.Doc.PeakFractionL[1], 1.0);
    EXPECT_EQ(gl->fract_L->text(), "1.000");
    gl->fract_L->setText("-0.2");
    In<QPushButton>(info, "OKDraw")->click();
    EXPECT_DOUBLE_EQ(state_.Doc.PeakFractionL[1], 0.0);
}

TEST_F(PeakDialog, DeleteAsksAndShowsTheNextPeak) {
    Sel_Dlg* info = form_.PeakDialog();
    info->ShowPeak(2);
    const std::uint16_t third = state_.Doc.PeakPos[3];
    prompter_.ConfirmAnswer = false;
    In<QPushButton>(info, "Del_Key")->click();
    EXPECT_EQ(state_.Doc.PeakCount, 8);
    prompter_.ConfirmAnswer = true;
    In<QPushButton>(info, "Del_Key")->click();
    EXPECT_EQ(prompter_.Texts("confirm"), QStringList({"Sure ?", "Sure ?"}));
    ASSERT_EQ(state_.Doc.PeakCount, 7);
    EXPECT_EQ(In<QComboBox>(info, "Peak_Order")->count(), 7);
    EXPECT_EQ(info->windowTitle(), "Peak Order : 2");
    EXPECT_EQ(In<QLineEdit>(info, "Edposition")->text(), QString::number(third));

    info->ShowPeak(7);
    In<QPushButton>(info, "Del_Key")->click();
    EXPECT_EQ(info->windowTitle(), "Peak Order : 1");
}

TEST_F(PeakDialog, AHalfPlacedPeakGoesAloneByDeleteOrAllReset) {
    const view::PlotGeometry& g = state_.Plot;
    auto right_click = [&] {
        QTest::mouseClick(form_.Image(), Qt::RightButton, {},
                          QPoint((g.PlotLeft + g.PlotRight) / 2, (g.PlotTop + g.PlotBaseY) / 2));
    };
    right_click();
    ASSERT_EQ(state_.Doc.PeakCount, 9);
    Sel_Dlg* info = form_.PeakDialog();
    info->ShowPeak(9);
    In<QPushButton>(info, "Del_Key")->click();
    EXPECT_EQ(state_.Doc.PeakCount, 8);  // the refresh after it keeps the last real peak
    EXPECT_FALSE(state_.View.NewPeakPending);

    right_click();
    form_.A_ResetClick();
    EXPECT_FALSE(state_.View.NewPeakPending);
    right_click();  // not ignored
    EXPECT_EQ(state_.Doc.PeakCount, 1);
}

TEST_F(PeakDialog, CommandsOnEveryPeakShowTheNewValuesInTheOpenWindow) {
    Sel_Dlg* info = form_.PeakDialog();
    info->ShowPeak(2);
    state_.Doc.PeakHeight[2] = 0.5 * state_.Doc.YRange;
    info->ShowPeak(2);
    form_.findChild<QAction*>("plusminus")->trigger();
    EXPECT_EQ(In<QLineEdit>(info, "Edhight")->text(), "-0.5000");
    form_.HeightWindow()->CH_value->setText("0.5");
    form_.HeightWindow()->CH_OK->click();
    EXPECT_EQ(In<QLineEdit>(info, "Edhight")->text(), "-0.2500");
}

TEST_F(PeakDialog, BadTextStopsDrawAndNamesIt) {
    Sel_Dlg* info = form_.PeakDialog();
    info->ShowPeak(1);
    const double height = state_.Doc.PeakHeight[1];
    In<QLineEdit>(info, "Edposition")->setText("100");
    In<QLineEdit>(info, "Edhight")->setText("abc");
    In<QPushButton>(info, "OKDraw")->click();
    EXPECT_EQ(state_.Doc.PeakPos[1], 100);  // applied before the bad field
    EXPECT_DOUBLE_EQ(state_.Doc.PeakHeight[1], height);
    ASSERT_EQ(prompter_.Texts("error").size(), 1);
    EXPECT_TRUE(prompter_.Texts("error")[0].contains("'abc'"));
}

TEST_F(PeakDialog, ToFileWritesTheReportBesideTheSpectrum) {
    Sel_Dlg* info = form_.PeakDialog();
    info->ShowPeak(1);
    In<QPushButton>(info, "Clipbd")->click();
    const std::string report = test::ReadFileBytes(dir_.File("e.par"));
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.rfind("e.spc : Best Fit Parameters\r\n", 0), 0u);
    EXPECT_NE(
        report.find("    Total Area : " + In<QLabel>(info, "TotalArea")->text().toStdString()),
        std::string::npos);
}

}  // namespace
}  // namespace kalvex::app
