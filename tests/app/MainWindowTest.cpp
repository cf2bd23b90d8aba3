// The main window offscreen: captions, command availability, opening and saving spectra.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

#include "AppTestSupport.h"
#include "FakePrompter.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Mainpeak.h"
#include "core/FileSystem.h"
#include "support/TempDir.h"

namespace kalvex::app {
namespace {

struct Window {
    view::AppState State;
    test::FakePrompter Prompter;
    M_Form Form{State, Prompter};

    QAction* Action(const char* name) {
        return Form.findChild<QAction*>(QString::fromLatin1(name));
    }
    template <typename W>
    W* Child(const char* name) {
        return Form.findChild<W*>(QString::fromLatin1(name));
    }
    void Open(const std::string& path, int filter = 1) {
        Prompter.OpenAnswers.push_back({QString::fromStdString(path), filter});
        Form.M_OpenClick();
    }
};

TEST(MainWindow, TwoMenusOnTheLeftAndHelpApartAtTheRightEnd) {
    Window w;
    // The misspelt caption is the program's own.
    EXPECT_EQ(w.Action("M_Open")->text(), "&Open Sprctrum Data (spc/dat/1rd/vdt/vnj)");
    const QList<QAction*> top = w.Form.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "&Tools");
    auto* help_bar = qobject_cast<QMenuBar*>(w.Form.menuBar()->cornerWidget(Qt::TopRightCorner));
    ASSERT_NE(help_bar, nullptr);
    EXPECT_EQ(help_bar->actions().first()->text(), "Help");
}

TEST(MainWindow, DefaultPresetLaysOutTheClientAreaAndPlotFrame) {
    Window w;
    QWidget* client = w.Child<QWidget>("ClientArea");
    EXPECT_EQ(client->size(), QSize(668, 510));
    EXPECT_EQ(w.Child<QWidget>("M_Bevel")->geometry(), QRect(26, 28, 668 - 27, 510 - 29));
    EXPECT_EQ(w.Child<QWidget>("ImgSpect")->geometry(), QRect(27, 29, 668 - 29, 510 - 31));
    EXPECT_EQ(w.Child<QToolButton>("LSF")->geometry(), QRect(285, 0, 40, 25));
    EXPECT_EQ(w.Child<QLabel>("Sxx")->geometry(), QRect(193, 0, 90, 25));
}

TEST(MainWindow, SizePresetSixGivesTheLargeClientAreaAndFrame) {
    view::AppState state;
    test::FakePrompter prompter;
    test::TempDir dir;
    M_Form form(state, prompter, dir.Write("k.ini", "[Global]\nForm=6\n"));
    EXPECT_EQ(form.findChild<QWidget*>("ClientArea")->size(), QSize(988, 798));
    EXPECT_EQ(form.findChild<QWidget*>("M_Bevel")->geometry(), QRect(26, 28, 961, 769));
}

TEST(MainWindow, ReadOutsFitTheirBoxesAndTheMenuBarUsesTheMenuFont) {
    Window w;
    w.Form.SetSxxText("106.34830");
    w.State.Doc.YScale = -1.23456e-123;
    w.Open(test::ExamplePath("broad-lorentz.spc"));
    w.Form.SetSxxText("106.34830");
    for (const char* name : {"Sxx", "NormG", "P_gain"}) {
        auto* label = w.Child<QLabel>(name);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << name << " " << label->text().toStdString();
    }
    auto* bar = w.Form.findChild<QMenuBar*>("M_Form_Menu");
    EXPECT_EQ(bar->font().toString(), QApplication::font("QMenu").toString());
    for (QMenu* menu : w.Form.findChildren<QMenu*>()) {
        EXPECT_EQ(menu->font().toString(), bar->font().toString()) << menu->title().toStdString();
    }
}

TEST(MainWindow, CommandsBecomeAvailableWhenASpectrumIsOpened) {
    Window w;
    const char* enabled_at_start[] = {"M_Open", "M_Exit", "SetOption", "HowTo", "verAbout"};
    const char* disabled_at_start[] = {
        "Open_sp2_file",     "M_Rename",  "M_Save",       "M_SaveAs",     "M_saveGL",
        "SequentialSavespc", "PrevPrn",   "SetBias",      "RangeXY",      "ReadCSppm",
        "inputFreq",         "plusminus", "ChangeHeight", "HorizonShift", "A_Reset"};
    for (const char* name : enabled_at_start) EXPECT_TRUE(w.Action(name)->isEnabled()) << name;
    for (const char* name : disabled_at_start) EXPECT_FALSE(w.Action(name)->isEnabled()) << name;
    EXPECT_TRUE(w.Child<QToolButton>("FileOpenButton")->isEnabled());
    EXPECT_TRUE(w.Child<QPushButton>("Refresh")->isEnabled());
    for (const char* name :
         {"SaveButton", "PreviewButton", "LSF", "RangeXY_button", "emf_button"}) {
        EXPECT_FALSE(w.Child<QToolButton>(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(w.Child<QToolButton>("RangeXY_button")->autoRaise());  // flat until the first open
    EXPECT_FALSE(w.Child<QWidget>("ImgSpect")->isEnabled());

    // A cancelled first dialog changes nothing but the open button.
    w.Child<QToolButton>("FileOpenButton")->setChecked(true);
    w.Form.M_OpenClick();
    EXPECT_FALSE(w.Action("M_Save")->isEnabled());
    EXPECT_FALSE(w.Child<QToolButton>("FileOpenButton")->isChecked());
    EXPECT_FALSE(w.State.Doc.SpectrumLoaded);
    EXPECT_EQ(w.Prompter.LastFilterIndex, 1);

    w.Open(test::ExamplePath("overlap-gauss.spc"));
    ASSERT_TRUE(w.State.Doc.SpectrumLoaded) << w.Prompter.Texts("error").join("\n").toStdString();
    for (const char* name :
         {"M_Save", "M_SaveAs", "M_Rename", "A_Reset", "SetBias", "PrevPrn", "RangeXY", "ReadCSppm",
          "ChangeHeight", "plusminus", "HorizonShift", "inputFreq", "Open_sp2_file"}) {
        EXPECT_TRUE(w.Action(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(w.Action("SequentialSavespc")->isEnabled());
    EXPECT_TRUE(w.Action("M_saveGL")->isEnabled());  // the example's peaks were drawn
    for (const char* name : {"SaveButton", "PreviewButton", "RangeXY_button", "Read_ppm_button",
                             "SetBias_button", "emf_button"}) {
        EXPECT_TRUE(w.Child<QToolButton>(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(w.Child<QToolButton>("RangeXY_button")->autoRaise());
    EXPECT_TRUE(w.Child<QWidget>("ImgSpect")->isEnabled());
    EXPECT_EQ(w.Form.windowTitle(), "\\...overlap-gauss.spc : 1-2048<2048points>");
    EXPECT_EQ(w.Child<QLabel>("NormG")->text().left(5), "NG : ");
    EXPECT_EQ(w.State.Doc.PeakCount, 2);
    EXPECT_EQ(w.State.Doc.F_Type, 1);  // the example is written one value per line
    // The next open dialog preselects the type of the spectrum shown.
    w.Form.M_OpenClick();
    EXPECT_EQ(w.Prompter.LastFilterIndex, 1);
    EXPECT_EQ(w.Prompter.LastFile, QString::fromStdString(test::ExamplePath("overlap-gauss.spc")));
}

TEST(MainWindow, FailedOpenKeepsThePreviousDocumentAndTitle) {
    Window w;
    test::TempDir dir;
    w.Open(test::ExamplePath("broad-lorentz.spc"));
    ASSERT_TRUE(w.State.Doc.SpectrumLoaded);
    const QString title = w.Form.windowTitle();
    const std::int32_t points = w.State.Doc.PointCount;

    w.Open(dir.Write("bad.spc", "12\r\n1 2 3 x\r\n"));
    ASSERT_EQ(w.Prompter.Texts("error").size(), 1);
    EXPECT_TRUE(w.Prompter.Texts("error")[0].startsWith("Invalid numeric input"));
    EXPECT_TRUE(w.Prompter.Texts("error")[0].contains("bad.spc"));
    EXPECT_EQ(w.State.Doc.PointCount, points);
    EXPECT_EQ(w.Form.windowTitle(), title);
    EXPECT_TRUE(w.Action("M_Save")->isEnabled());

    w.Open(dir.Write("a.SPC", "1\r\n"));
    ASSERT_EQ(w.Prompter.Texts("error").size(), 2);
    EXPECT_TRUE(w.Prompter.Texts("error")[1].contains("\".SPC\""));
    EXPECT_EQ(w.State.Doc.PointCount, points);

    w.Open(std::string(300, 'a') + ".spc");
    EXPECT_EQ(w.Prompter.Texts("information").last(),
              "Too Long Directry and File name: Must be shorter than 255 characters");
    EXPECT_EQ(w.State.Doc.PointCount, points);

    // A bad peak file beside a good spectrum: the spectrum opens, the peak file is named.
    dir.Write("p.sp2", "1 x\r\n");
    w.Open(dir.Write("p.spc", test::ReadFileBytes(test::ExamplePath("broad-lorentz.spc"))));
    EXPECT_EQ(w.State.Doc.SpectrumFileName, dir.File("p.spc"));
    EXPECT_EQ(w.State.Doc.PeakCount, 0);
    ASSERT_EQ(w.Prompter.Texts("error").size(), 3);
    EXPECT_TRUE(w.Prompter.Texts("error")[2].contains("p.sp2 (line 1)"));
}

TEST(MainWindow, SaveWritesTheSpectrumBackByteForByte) {
    Window w;
    test::TempDir dir;
    const std::string original = test::ReadFileBytes(test::ExamplePath("ethanol-60MHz.spc"));
    const std::string path = dir.Write("e.spc", original);
    dir.Write("e.sp2", test::ReadFileBytes(test::ExamplePath("ethanol-60MHz.sp2")));
    w.Open(path);
    ASSERT_EQ(w.State.Doc.PeakCount, 8);  // the .sp2 beside it
    w.Form.M_SaveClick();
    // The peaks now travel inside the file, after the unchanged header and intensities.
    const std::string saved = test::ReadFileBytes(path);
    ASSERT_GE(saved.size(), original.size());
    EXPECT_EQ(saved.substr(0, original.size()), original);
    EXPECT_NE(saved.find(" TRUE\r\n"), std::string::npos);

    // Saved again after opening the saved file: identical.
    w.Open(path);
    w.Form.M_SaveClick();
    EXPECT_EQ(test::ReadFileBytes(path), saved);
}

TEST(MainWindow, PeakFileCommandsSayWhenThereAreNoPeaks) {
    Window w;
    test::TempDir dir;
    const std::string path =
        dir.Write("p.spc", test::ReadFileBytes(test::ExamplePath("broad-lorentz.spc")));
    w.Open(path);
    ASSERT_EQ(w.State.Doc.PeakCount, 0);
    w.Form.M_SaveAsClick();
    w.Form.M_saveGLClick();
    EXPECT_EQ(w.Prompter.Texts("information"),
              QStringList({"No Peak Data !!!", "No Peak Data !!!"}));
    EXPECT_FALSE(test::FileExists(dir.File("p.sp2")));

    w.Action("Open_sp2_file")->trigger();  // a cancelled dialog leaves the tick as it was
    EXPECT_FALSE(w.Action("Open_sp2_file")->isChecked());
    w.Prompter.OpenAnswers.push_back(
        {QString::fromStdString(test::ExamplePath("broad-lorentz.sp2")), 1});
    w.Action("Open_sp2_file")->trigger();
    EXPECT_TRUE(w.Action("Open_sp2_file")->isChecked());
    EXPECT_EQ(w.State.Doc.PeakCount, 1);
    w.Action("Open_sp2_file")->trigger();
    EXPECT_TRUE(w.Action("Open_sp2_file")->isChecked());
    w.Form.M_SaveAsClick();
    w.Form.M_saveGLClick();
    EXPECT_TRUE(test::FileExists(dir.File("p.sp2")));
    EXPECT_TRUE(test::FileExists(dir.File("p.sp3")));
}

TEST(MainWindow, EveryExampleOpensWithItsPeaksReadyToFit) {
    for (const char* name : {"ethanol-60MHz", "overlap-gauss", "broad-lorentz"}) {
        Window w;
        w.Open(test::ExamplePath(std::string(name) + ".spc"));
        ASSERT_TRUE(w.State.Doc.SpectrumLoaded) << name;
        EXPECT_GT(w.State.Doc.PeakCount, 0) << name;
        EXPECT_LT(w.State.Doc.ResidualSum, w.State.Doc.LsfUpperLimit) << name;
        EXPECT_TRUE(w.Child<QToolButton>("LSF")->isEnabled()) << name;
    }
}

}  // namespace
}  // namespace kalvex::app
