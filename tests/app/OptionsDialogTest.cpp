// The Options dialog in the real windows, and the settings file across two runs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "AppTestSupport.h"
#include "FakePrompter.h"
#include "app/options/PagesDlg.h"
#include "app/peaks/Peaks.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Mainpeak.h"
#include "core/IniFile.h"
#include "support/TempDir.h"

namespace kalvex::app {
namespace {

using test::In;

// A click where a user clicks: on the mark of a radio button or check box, which takes only
// the clicks on its mark and caption.
void ClickOn(QAbstractButton* button) {
    const bool marked = qobject_cast<QRadioButton*>(button) || qobject_cast<QCheckBox*>(button);
    const QPoint at = marked ? QPoint(8, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        form_.show();
        prompter_.OpenAnswers.push_back(
            {QString::fromStdString(test::CopyEthanolExample(dir_)), 1});
        form_.M_OpenClick();
        ASSERT_EQ(state_.Doc.PeakCount, 8);
    }

    PagesDlg* Dialog() { return form_.OptionsDialog(); }
    void Open() {
        form_.findChild<QAction*>(QStringLiteral("SetOption"))->trigger();
        ASSERT_TRUE(Dialog()->isVisible());
        EXPECT_TRUE(Dialog()->isModal());
    }
    void Click(const char* name) { ClickOn(In<QAbstractButton>(Dialog(), name)); }
    QImage Picture() { return form_.Image()->Bitmap().copy(); }

    test::TempDir dir_;
    view::AppState state_;
    test::FakePrompter prompter_;
    M_Form form_{state_, prompter_, dir_.File("kalvex.ini")};
};

TEST_F(OptionsDialog, AxisUnitAndLineTypeReachThePictureAndThePeakInformation) {
    Sel_Dlg* info = form_.PeakDialog();
    info->ShowPeak(3);
    EXPECT_TRUE(In<QLabel>(info, "x_Err")->text().endsWith(" ppm"));
    EXPECT_EQ(In<QLabel>(info, "ForG")->text(), "Lorentzian");
    const QImage before = Picture();

    Open();
    Click("Xaxis_1");
    Click("LGselect_0");
    Click("OKBtn");
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_FALSE(state_.Doc.XAxisPpm);
    EXPECT_FALSE(state_.Doc.PeakKindLorentz);
    EXPECT_TRUE(In<QLabel>(info, "x_Err")->text().endsWith(" Hz"));
    EXPECT_EQ(In<QLabel>(info, "ForG")->text(), "Gauussian");
    EXPECT_TRUE(In<QLineEdit>(info, "EdHz")->text().isEmpty());  // the width is in Hz already
    // Redrawn with the Hz axis and Gauss peaks: what a Refresh now draws, and not the old one.
    const QImage after = Picture();
    EXPECT_NE(after, before);
    form_.RefreshClick();
    EXPECT_EQ(Picture(), after);
}

TEST_F(OptionsDialog, OkRedrawsOnlyWhenSomethingThatNeedsItChanged) {
    auto mark = [&] {
        form_.Image()->Canvas()->SetPenColor(view::Rgb{0, 255, 0});
        form_.Image()->Canvas()->MoveTo(1, 1);
        form_.Image()->Canvas()->LineTo(30, 1);
    };
    auto marked = [&] { return Picture().pixel(10, 1) == qRgb(0, 255, 0); };
    mark();
    ASSERT_TRUE(marked());
    Open();
    Click("Int_Type_1");  // no redraw for this one
    Click("OKBtn");
    EXPECT_TRUE(marked());
    EXPECT_EQ(state_.Opts.Int_Type, 1);

    Open();
    Click("Xaxis_1");
    Click("Xaxis_0");  // changed and changed back still asks for the redraw
    Click("OKBtn");
    EXPECT_FALSE(marked());
    EXPECT_TRUE(state_.Doc.XAxisPpm);
}

TEST_F(OptionsDialog, ABadLengthKeepsTheDialogAndCancelAppliesNothing) {
    state_.Doc.PrinterPresent = true;
    Open();
    Click("Xaxis_1");
    Click("Bias_set_0");
    QLineEdit* height = In<QLineEdit>(Dialog(), "py_Height");
    height->selectAll();
    QTest::keyClicks(height, "tall");
    Click("OKBtn");
    EXPECT_TRUE(Dialog()->isVisible());
    ASSERT_EQ(prompter_.Texts("error").size(), 1);
    EXPECT_TRUE(prompter_.Texts("error")[0].startsWith("Spectrum Height: 'tall'"));
    Click("CancelBtn");
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_TRUE(state_.Doc.XAxisPpm);
    EXPECT_EQ(state_.Opts.Bias_set, 1);
    Open();
    EXPECT_TRUE(In<QRadioButton>(Dialog(), "Xaxis_0")->isChecked());
    EXPECT_EQ(height->text(), "15.00");
    Click("CancelBtn");
}

TEST_F(OptionsDialog, GaussNewtonPageFollowsItsModesAndKeepsTheFitSelection) {
    Open();
    auto enabled = [&](const char* name) { return In<QWidget>(Dialog(), name)->isEnabled(); };
    EXPECT_FALSE(enabled("DampVal"));
    Click("Manu2");
    EXPECT_TRUE(enabled("DampVal"));
    EXPECT_TRUE(enabled("ConvVal"));
    EXPECT_FALSE(enabled("Manu_ITE"));
    Click("Set_Ite_1");
    EXPECT_FALSE(enabled("ConvVal"));
    EXPECT_TRUE(enabled("Manu_ITE"));
    QLineEdit* iterations = In<QLineEdit>(Dialog(), "Manu_ITE");
    iterations->selectAll();
    QTest::keyClicks(iterations, "12.5");
    emit iterations->editingFinished();
    EXPECT_EQ(iterations->text(), "13");
    EXPECT_FALSE(enabled("WidthG_Check"));  // only under "Gauss+Lorentz"
    Click("Position_Check");
    Click("OKBtn");
    EXPECT_EQ(state_.Doc.FitSelect, "011");
    EXPECT_TRUE(state_.Opts.Manu2);
    EXPECT_EQ(state_.Opts.Manu_ITE, "13");
}

TEST_F(OptionsDialog, FromThePreviewOnlyThePrintLayoutIsUsableAndOkReadsApply) {
    state_.Doc.PrinterPresent = true;
    form_.ShowPrintLayoutOptions(&form_);
    auto* tabs = In<QTabWidget>(Dialog(), "PageControl1");
    ASSERT_TRUE(Dialog()->isVisible());
    EXPECT_FALSE(Dialog()->isModal());
    EXPECT_EQ(In<QPushButton>(Dialog(), "OKBtn")->text(), "Apply");
    EXPECT_EQ(tabs->currentIndex(), 3);
    EXPECT_FALSE(tabs->isTabEnabled(1));
    EXPECT_FALSE(In<QWidget>(Dialog(), "Bias_set")->isVisibleTo(Dialog()));
    for (const char* name : {"D_size_combo", "F_Type", "ParType", "LGselect", "RefMethod"}) {
        EXPECT_FALSE(In<QWidget>(Dialog(), name)->isEnabled()) << name;
    }
    Click("Paper_0");
    EXPECT_EQ(In<QLabel>(Dialog(), "Xm")->text(), "<= 20 cm");
    Click("Scale_set_1");
    QLineEdit* axis = In<QLineEdit>(Dialog(), "U_Height");
    axis->selectAll();
    QTest::keyClicks(axis, "3.25");
    Click("OKBtn");
    EXPECT_TRUE(state_.Opts.Print.PortraitPaper);
    EXPECT_EQ(state_.Opts.Print.AxisHeightCm, 3.25);

    // The menu takes the dialog back with every page.
    form_.ShowPrintLayoutOptions(&form_);
    Open();
    EXPECT_EQ(In<QPushButton>(Dialog(), "OKBtn")->text(), "OK");
    EXPECT_TRUE(tabs->isTabEnabled(1));
    EXPECT_TRUE(In<QWidget>(Dialog(), "Bias_set")->isVisibleTo(Dialog()));
    Click("CancelBtn");
}

TEST(SettingsAcrossRuns, ARunWritesTheFileAndTheNextStartReadsItBack) {
    test::TempDir dir;
    const std::string path = dir.File("kalvex.ini");
    {
        view::AppState state;
        test::FakePrompter prompter;
        M_Form form(state, prompter, path);
        form.show();
        form.findChild<QAction*>(QStringLiteral("SetOption"))->trigger();
        PagesDlg* dialog = form.OptionsDialog();
        ClickOn(In<QRadioButton>(dialog, "Xaxis_1"));
        ClickOn(In<QRadioButton>(dialog, "LGselect_1"));
        auto* sizes = In<QComboBox>(dialog, "D_size_combo");
        sizes->setCurrentIndex(2);
        emit sizes->activated(2);
        ClickOn(In<QPushButton>(dialog, "OKBtn"));
        form.SetOpenFolder(QString::fromStdString(dir.Path()));
        form.move(310, 120);
        EXPECT_TRUE(form.close());
        EXPECT_TRUE(prompter.Messages.empty());
    }
    const core::IniFile ini = core::ReadIniFile(path);
    EXPECT_EQ(ini.Get("Global", "X_Axis"), "0");
    EXPECT_EQ(ini.Get("Global", "Form"), "2");

    view::AppState state;
    test::FakePrompter prompter;
    M_Form form(state, prompter, path);
    EXPECT_FALSE(state.Doc.XAxisPpm);
    EXPECT_TRUE(state.Doc.PeakKindLorentz);
    EXPECT_EQ(state.Opts.LGselect, 1);
    EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("ClientArea"))->size(), QSize(748, 570));
    EXPECT_EQ(form.pos(), QPoint(310, 120));
    EXPECT_EQ(form.OpenFolder(), QString::fromStdString(dir.Path()));
    form.findChild<QAction*>(QStringLiteral("SetOption"))->trigger();
    EXPECT_TRUE(In<QRadioButton>(form.OptionsDialog(), "Xaxis_1")->isChecked());
    EXPECT_TRUE(In<QRadioButton>(form.OptionsDialog(), "LGselect_1")->isChecked());
}

TEST(SettingsAcrossRuns, AFileThatCannotBeWrittenIsReportedAndTheProgramStillEnds) {
    test::TempDir dir;
    const std::string path = dir.Write("plain", "x") + "/kalvex.ini";
    view::AppState state;
    test::FakePrompter prompter;
    M_Form form(state, prompter, path);
    form.show();
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(prompter.Texts("error").size(), 1);
    EXPECT_EQ(prompter.Texts("error")[0], QString::fromStdString("Unable to write to " + path));
}

}  // namespace
}  // namespace kalvex::app
