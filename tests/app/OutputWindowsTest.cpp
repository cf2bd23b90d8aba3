// The print preview, printing to the virtual PDF printer, the metafile dialog, picture export,
// the help window and the About box's browser, in the real windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include "AppTestSupport.h"
#include "FakePrompter.h"
#include "app/fit/CalcGo.h"
#include "app/help/About.h"
#include "app/help/HelpWindow.h"
#include "app/output/ExportPicture.h"
#include "app/output/Prev.h"
#include "app/output/Printer.h"
#include "app/output/create_emf.h"
#include "app/shell/Mainpeak.h"
#include "output/PreviewLayout.h"
#include "support/SvgShapes.h"
#include "support/TempDir.h"

namespace kalvex::app {
namespace {

// The main window with the ethanol example open, on the virtual printer whatever printer
// the machine has.
struct Session {
    view::AppState State;
    test::FakePrompter Prompter;
    M_Form Form{State, Prompter};

    Session() {
        Form.SetPrinter(MakeVirtualPdfPrinter());
        Prompter.OpenAnswers.push_back(
            {QString::fromStdString(test::ExamplePath("ethanol-60MHz.spc")), 1});
        Form.M_OpenClick();
    }
    template <typename W>
    W* In(QWidget* parent, const char* name) {
        return parent->findChild<W*>(QString::fromLatin1(name));
    }
};

// Clicks `button` of the modal dialog `dialog` once it runs.
void ClickWhenShown(QWidget* dialog, const char* button) {
    QTimer::singleShot(0, dialog, [dialog, button] {
        dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    });
}

TEST(PrintPreview, ZoomsInStepsWithinItsLimitsAndSizesTheWindowOnlyAtFifty) {
    Session s;
    ASSERT_TRUE(s.State.Doc.PrinterPresent);
    s.Form.PrevPrnClick();
    PrevForm* prev = s.Form.Preview();
    ASSERT_TRUE(prev->isVisible());
    EXPECT_TRUE(s.Form.PrintPreviewVisible());
    auto* up = s.In<QToolButton>(prev, "ZoomUp");
    auto* down = s.In<QToolButton>(prev, "ZoomDown");
    auto* label = s.In<QLabel>(prev, "Label1");
    auto* sheet = s.In<QWidget>(prev, "Panel2");
    EXPECT_FALSE(down->isEnabled());

    const output::PrinterPage page = PageOf(*s.Form.Printer());
    const output::PreviewRects at50 = output::LayoutPreview(page, prev->logicalDpiY(), 50);
    EXPECT_EQ(sheet->size(), QSize(at50.Sheet.Width, at50.Sheet.Height));
    const QSize window50 = prev->size();
    EXPECT_EQ(window50.width(), at50.ClientWidth);

    up->click();
    EXPECT_EQ(label->text(), " 75 %");
    EXPECT_EQ(prev->size(), window50);  // the window keeps its size, the sheet scrolls
    for (int i = 0; i < 10; ++i) up->click();
    EXPECT_EQ(prev->Zoom(), 200);
    EXPECT_FALSE(up->isEnabled());
    const output::PreviewRects at200 = output::LayoutPreview(page, prev->logicalDpiY(), 200);
    EXPECT_EQ(sheet->size(), QSize(at200.Sheet.Width, at200.Sheet.Height));
    EXPECT_EQ(s.In<QWidget>(prev, "PaintBox1")->geometry(),
              QRect(at200.Printable.Left, at200.Printable.Top, at200.Printable.Width,
                    at200.Printable.Height));

    prev->resize(300, 200);
    for (int i = 0; i < 10; ++i) down->click();
    EXPECT_EQ(prev->Zoom(), 50);
    EXPECT_FALSE(down->isEnabled());
    EXPECT_EQ(prev->size(), window50);  // back at 50 % it takes the sheet's size again

    s.In<QPushButton>(prev, "BitBtn2")->click();
    EXPECT_FALSE(prev->isVisible());
    s.Form.PrevPrnClick();
    EXPECT_EQ(prev->Zoom(), 50);
}

TEST(PrintPreview, ARunningFitKeepsThePreviewFromRedrawingTheDocumentsCurves) {
    Session s;
    s.Form.PrevPrnClick();
    QWidget* box = s.In<QWidget>(s.Form.Preview(), "PaintBox1");
    s.State.Doc.SumY[0] = 12345.0;  // a value no synthesis writes
    s.Form.FitDialog()->show();
    box->grab();  // paints it, wherever the scroll box shows it
    EXPECT_EQ(s.State.Doc.SumY[0], 12345.0);
    s.Form.FitDialog()->hide();
    box->grab();  // paints it, wherever the scroll box shows it
    EXPECT_NE(s.State.Doc.SumY[0], 12345.0);
}

TEST(PrintPreview, PrintsToAPdfFileOnTheVirtualPrinter) {
    Session s;
    test::TempDir dir;
    s.Form.PrevPrnClick();
    s.Prompter.SaveAnswers.push_back({QString::fromStdString(dir.File("page")), 1});
    s.In<QPushButton>(s.Form.Preview(), "BitBtn1")->click();
    EXPECT_EQ(s.Prompter.LastFile, "ethanol-60MHz.pdf");
    EXPECT_TRUE(s.Prompter.Texts("error").isEmpty())
        << s.Prompter.Texts("error").join("|").toStdString();
    const std::string pdf = test::ReadFileBytes(dir.File("page.pdf"));
    ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_EQ(test::FilesIn(dir.Path()), std::vector<std::string>{"page.pdf"});  // no leftovers
    // What the page shows is PictureFiles' PDF test: printing writes the same picture.
    // A folder that cannot be written: the message names the file, nothing is left behind.
    s.Prompter.SaveAnswers.push_back({QStringLiteral("/nonexistent-folder/page.pdf"), 1});
    s.In<QPushButton>(s.Form.Preview(), "BitBtn1")->click();
    ASSERT_EQ(s.Prompter.Texts("error").size(), 1);
    EXPECT_TRUE(s.Prompter.Texts("error")[0].contains("/nonexistent-folder/page.pdf"));
}

TEST(PrintPreview, PrinterSetupTurnsTheSheetAndTheLayoutFollows) {
    Session s;
    s.Form.PrevPrnClick();
    auto* sheet = s.In<QWidget>(s.Form.Preview(), "Panel2");
    EXPECT_GT(sheet->width(), sheet->height());
    s.Prompter.PrinterSetupChange = [](QPrinter& p) { SetPrinterPortrait(p, true); };
    s.In<QPushButton>(s.Form.Preview(), "BitBtn3")->click();
    EXPECT_EQ(s.Prompter.PrinterSetups, 1);
    EXPECT_LT(sheet->width(), sheet->height());
    EXPECT_TRUE(s.State.Opts.Print.PortraitPaper);
    EXPECT_TRUE(s.Form.PrinterPortrait());
}

TEST(MetafileDialog, ExportsAnEnhancedAndAnOldStyleMetafileFromThePreview) {
    Session s;
    test::TempDir dir;
    s.Form.PrevPrnClick();
    EMF_dialog* emf = s.Form.EmfDialog();
    s.Prompter.SaveAnswers.push_back({QString::fromStdString(dir.File("plot.emf")), 1});
    ClickWhenShown(emf, "emf_creat");
    s.In<QPushButton>(s.Form.Preview(), "save_EMF")->click();
    EXPECT_EQ(s.In<QLabel>(emf, "dpi_show")->text(), "600 dpi");
    EXPECT_EQ(s.In<QComboBox>(emf, "dpi_select")->currentText(), "600 dpi");
    EXPECT_EQ(s.Prompter.LastFile, "ethanol-60MHz.emf");
    EXPECT_EQ(s.Prompter.LastFilterIndex, 1);
    EXPECT_EQ(s.Prompter.RenamedOnTypeChange, "ethanol-60MHz.wmf");
    EXPECT_EQ(test::ReadFileBytes(dir.File("plot.emf")).substr(40, 4), " EMF");

    // "normal (wmf)" at a chosen 100 dpi from the main window's button: the choices stay.
    s.In<QRadioButton>(emf, "Radio_EMF_1")->setChecked(true);
    s.In<QCheckBox>(emf, "Check_slct_dpi")->click();
    EXPECT_TRUE(s.In<QComboBox>(emf, "dpi_select")->isEnabled());
    QTimer::singleShot(0, emf, [&] {
        s.In<QComboBox>(emf, "dpi_select")->setCurrentIndex(4);
        s.In<QPushButton>(emf, "emf_creat")->click();
    });
    s.Prompter.SaveAnswers.push_back({QString::fromStdString(dir.File("plot")), 2});
    auto* button = s.In<QToolButton>(&s.Form, "emf_button");
    button->click();
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(s.Prompter.LastFile, "ethanol-60MHz.wmf");
    EXPECT_EQ(s.Prompter.LastFilterIndex, 2);
    const std::string wmf = test::ReadFileBytes(dir.File("plot.wmf"));
    ASSERT_EQ(wmf.substr(0, 4), "\xD7\xCD\xC6\x9A");  // placeable metafile key
    // The placeable header's units per inch are the chosen resolution.
    EXPECT_EQ(static_cast<unsigned char>(wmf[14]) | static_cast<unsigned char>(wmf[15]) << 8, 100);
    EXPECT_TRUE(s.Prompter.Texts("error").isEmpty());
}

TEST(MetafileDialog, WithoutAPrinterThereIsNoPreviewAndNoMetafile) {
    Session s;
    s.Form.SetPrinter(nullptr);
    EXPECT_FALSE(s.State.Doc.PrinterPresent);
    s.Form.PrevPrnClick();
    s.In<QToolButton>(&s.Form, "emf_button")->click();
    EXPECT_EQ(s.Prompter.Texts("error"), (QStringList{"No Printer exists", "No Printer exists"}));
    EXPECT_FALSE(s.Form.PrintPreviewVisible());
    EXPECT_FALSE(s.In<QToolButton>(&s.Form, "PreviewButton")->isChecked());
}

TEST(ExportPicture, WritesTheFormatChosenWithThePngResolution) {
    Session s;
    test::TempDir dir;
    QAction* action = s.Form.findChild<QAction*>(QStringLiteral("ExportPicture"));
    ASSERT_TRUE(action->isEnabled());
    PictureDlg* dlg = s.Form.PictureDialog();
    QTimer::singleShot(0, dlg, [&] {
        s.In<QRadioButton>(dlg, "Picture_Format_2")->click();
        EXPECT_TRUE(s.In<QComboBox>(dlg, "png_dpi")->isEnabled());
        s.In<QComboBox>(dlg, "png_dpi")->setCurrentIndex(4);  // 100 dpi
        s.In<QPushButton>(dlg, "export_create")->click();
    });
    s.Prompter.SaveAnswers.push_back({QString::fromStdString(dir.File("fig.png")), 3});
    action->trigger();
    EXPECT_EQ(s.Prompter.LastFile, "ethanol-60MHz.png");
    EXPECT_EQ(s.Prompter.LastFilterIndex, 3);
    // The printable area of the printer's A4 landscape page at 100 dpi.
    const output::PrinterPage page = output::PageAtDpi(PageOf(*s.Form.Printer()), 100);
    const QImage png(QString::fromStdString(dir.File("fig.png")));
    EXPECT_EQ(png.size(), QSize(page.PrintableWidth, page.PrintableHeight));
    EXPECT_NEAR(png.width(), 1169, 2);
    EXPECT_EQ(png.dotsPerMeterX(), 3937);
}

TEST(Help, TopicsOpenTheirPagesInTheHelpWindow) {
    Session s;
    if (HelpFolder().isEmpty()) GTEST_SKIP() << "no help pages beside the test program";
    s.Form.ShowHelpTopic(16);
    ASSERT_TRUE(s.Form.Help()->isVisible());
    EXPECT_TRUE(s.Form.Help()->CurrentPage().endsWith("/options.html"));
    s.Form.ShowHelpTopic(23);
    EXPECT_TRUE(s.Form.Help()->CurrentPage().endsWith("/print-layout.html"));
    s.Form.findChild<QAction*>(QStringLiteral("HowTo"))->trigger();
    EXPECT_TRUE(s.Form.Help()->CurrentPage().endsWith("/index.html"));
    EXPECT_TRUE(s.Prompter.Texts("error").isEmpty());
}

TEST(About, SaysWhenTheBrowserCannotStart) {
    Session s;
    auto* about = s.Form.findChild<About*>(QStringLiteral("AboutBox"));
    QTimer::singleShot(0, about, [&] {
        s.In<QRadioButton>(about, "Browser_3")->setChecked(true);
        s.In<QLineEdit>(about, "BrowserPath")->setText(QStringLiteral("/nonexistent/browser"));
        s.In<QPushButton>(about, "BrowserGo")->click();
        s.In<QLineEdit>(about, "BrowserPath")->setText(QStringLiteral("/bin/true"));
        s.In<QPushButton>(about, "BrowserGo")->click();
        about->accept();
    });
    s.Form.verAboutClick();
    EXPECT_EQ(s.Prompter.Texts("error"), QStringList{"Can not execute the Browser"});
}

TEST(StartUp, OpensTheSpectrumNamedOnTheCommandLineFromTheCurrentFolder) {
    view::AppState state;
    test::FakePrompter prompter;
    M_Form form(state, prompter);
    const QFileInfo example(QString::fromStdString(test::ExamplePath("overlap-gauss.spc")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(example.absolutePath());
    form.OpenFromCommandLine(example.fileName());
    form.OpenFromCommandLine(QStringLiteral("missing.spc"));
    QDir::setCurrent(previous);
    ASSERT_TRUE(state.Doc.SpectrumLoaded);
    EXPECT_EQ(QString::fromStdString(state.Doc.SpectrumFileName), example.absoluteFilePath());
    ASSERT_EQ(prompter.Texts("error").size(), 1);  // the missing file, named; the spectrum stays
    EXPECT_TRUE(prompter.Texts("error")[0].contains("missing.spc"));
}

}  // namespace
}  // namespace kalvex::app
