// File commands in the real window: arrayed spectra, Save as with its type switch, Sequential Save.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstring>

#include "FakePrompter.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "app/tools/array_number.h"
#include "files/SaveCommand.h"
#include "support/SharedData.h"
#include "support/TempDir.h"

namespace kalvex::app {
namespace {

// A big-endian VnmrJ binary file of `blocks` spectra of `n` points, spectrum k a line at
// point 10 * k, and its parameter listing.
std::string WriteArrayed(const test::TempDir& dir, int blocks, int n) {
    std::string data(32, '\0');
    auto put32 = [&data](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) data.push_back(static_cast<char>((v >> s) & 0xFF));
    };
    for (int k = 1; k <= blocks; ++k) {
        data.append(28, '\0');
        for (int i = 1; i <= n; ++i) {
            const float v = (i == 10 * k) ? 100.0f * k : static_cast<float>(i % 3);
            std::uint32_t bits = 0;
            std::memcpy(&bits, &v, 4);
            put32(bits);
        }
    }
    dir.Write(
        "arr.vnp",
        "fn 1 1 1000000 0 0 2 1 0 1 64\n1 " + std::to_string(2 * n) +
            "\n0\nrfl 1 1 1e9 -1e9 0 2 1 0 1 64\n1 0\n0\nrfp 1 1 1e9 -1e9 0 2 1 0 1 64\n1 0\n0\n"
            "sfrq 1 1 1e9 0 0 2 1 0 1 64\n1 400\n0\nsw 1 1 1e9 0 0 2 1 0 1 64\n1 4000\n0\n");
    return dir.Write("arr.vnj", data);
}

struct Window {
    view::AppState State;
    test::FakePrompter Prompter;
    M_Form Form{State, Prompter};
    std::vector<QString> Entries;  // answers typed into Input_array_number, in turn ("Esc")
    std::vector<QString> Prompts;  // what it said above each of them

    Window() {
        Form.findChild<Input_array_number*>()->SetRunner([this](Input_array_number& dlg) {
            ASSERT_FALSE(Entries.empty());
            Prompts.push_back(dlg.Label1->text());
            const QString entry = Entries.front();
            Entries.erase(Entries.begin());
            if (entry == "Esc") {
                QTest::keyClick(&dlg, Qt::Key_Escape);
                return;
            }
            dlg.vj1_edit->setText(entry);
            dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    }
    QAction* Action(const char* name) {
        return Form.findChild<QAction*>(QString::fromLatin1(name));
    }
    void Open(const std::string& path) {
        Prompter.OpenAnswers.push_back({QString::fromStdString(path), 5});
        Form.M_OpenClick();
    }
};

TEST(FilesCommands, ArrayedSpectrumAsksItsNumberAndStepsAround) {
    test::TempDir dir;
    Window w;
    const std::string path = WriteArrayed(dir, 5, 100);
    w.Entries = {"0"};  // OK turns a typed 0 into 1
    w.Open(path);
    ASSERT_TRUE(w.State.Doc.SpectrumLoaded) << w.Prompter.Texts("error").join("|").toStdString();
    EXPECT_TRUE(w.State.Doc.IsArrayed);
    EXPECT_EQ(w.State.Doc.ArrayCount, 5);
    EXPECT_EQ(w.State.Doc.ArrayIndex, 1);  // the 0 typed first was made 1 by OK
    EXPECT_EQ(w.Form.findChild<Input_array_number*>()->vj1_label->text(), "Total = 5");
    EXPECT_TRUE(w.Action("SequentialSavespc")->isEnabled());
    auto* num = w.Form.findChild<QLabel*>("num_array");
    EXPECT_TRUE(num->isVisibleTo(&w.Form));
    EXPECT_EQ(num->text(), "1");

    // Down from spectrum 1 wraps to the last; up from the last to the first.
    w.Form.array_updownClick(false);
    EXPECT_EQ(w.State.Doc.ArrayIndex, 5);
    EXPECT_EQ(num->text(), "5");
    EXPECT_DOUBLE_EQ(w.State.Doc.ObsY[49], 1.0);  // spectrum 5 has its line at point 50
    w.Form.array_updownClick(true);
    EXPECT_EQ(w.State.Doc.ArrayIndex, 1);
    EXPECT_DOUBLE_EQ(w.State.Doc.ObsY[9], 1.0);
}

TEST(FilesCommands, InvalidArrayNumbersAreAskedAgain) {
    test::TempDir dir;
    Window w;
    const std::string path = WriteArrayed(dir, 5, 100);
    w.Entries = {"9", "x", "3"};
    w.Open(path);
    ASSERT_TRUE(w.State.Doc.SpectrumLoaded);
    EXPECT_TRUE(w.Entries.empty());
    EXPECT_EQ(w.Prompts, std::vector<QString>({"Input desired array number",
                                               "There is no spectrum 9: type 1 to 5",
                                               "\"x\" is not a whole number: type 1 to 5"}));
    EXPECT_EQ(w.State.Doc.ArrayIndex, 3);
    EXPECT_DOUBLE_EQ(w.State.Doc.ObsY[29], 1.0);

    // Escape stops the open of another file and keeps the spectrum shown.
    w.Entries = {"Esc"};
    w.Open(WriteArrayed(dir, 4, 60));
    EXPECT_EQ(w.State.Doc.PointCount, 100);
    EXPECT_EQ(w.State.Doc.ArrayIndex, 3);
    EXPECT_TRUE(w.Prompter.Texts("error").isEmpty());
}

TEST(FilesCommands, SequentialSaveWritesEverySpectrumAndReturnsToTheShownOne) {
    test::TempDir dir;
    Window w;
    w.Entries = {"2"};
    w.Open(WriteArrayed(dir, 3, 60));
    ASSERT_EQ(w.State.Doc.ArrayIndex, 2);
    w.Form.SequentialSavespcClick();
    for (int k = 1; k <= 3; ++k) {
        EXPECT_TRUE(test::FileExists(dir.File("arr-" + std::to_string(k) + ".spc"))) << k;
    }
    EXPECT_EQ(w.State.Doc.ArrayIndex, 2);
    EXPECT_DOUBLE_EQ(w.State.Doc.ObsY[19], 1.0);
    EXPECT_EQ(w.Form.findChild<QLabel*>("num_array")->text(), "2");
    EXPECT_EQ(w.State.Doc.SaveFileName, dir.File("arr-3.spc"));
}

TEST(FilesCommands, SaveAsProposesTheTypeAndRenamesOnASwitch) {
    test::TempDir dir;
    Window w;
    w.Entries = {"3"};
    w.Open(WriteArrayed(dir, 4, 50));
    w.Prompter.SaveAnswers.push_back({QString::fromStdString(dir.File("out.dat")), 2});
    w.Form.M_RenameClick();
    EXPECT_EQ(w.Prompter.LastFile, "arr-3.spc");
    EXPECT_EQ(w.Prompter.LastFilterIndex, 1);
    EXPECT_EQ(w.Prompter.RenamedOnTypeChange, "arr-3.dat");
    // The .dat is written, then the peak file, which has nothing to write.
    EXPECT_TRUE(test::FileExists(dir.File("out.dat")));
    EXPECT_EQ(w.Prompter.Texts("information"), QStringList({"No Peak Data !!!"}));
    EXPECT_FALSE(w.Form.findChild<QToolButton*>("SaveButton")->isChecked());
}

TEST(FilesCommands, TheSaveDialogGivesANameWithoutExtensionTheChosenType) {
    test::TempDir dir;
    DialogPrompter prompter;
    for (const auto& [index, want] : {std::pair{1, "b.spc"}, std::pair{2, "b.dat"}}) {
        QTimer::singleShot(0, [] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(top);
                if (dialog == nullptr || !dialog->isVisible()) continue;
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("b");
                QMetaObject::invokeMethod(dialog, "accept");
            }
        });
        const FileChoice c =
            prompter.SaveFile(nullptr, QString::fromStdString(dir.Path()), QString(),
                              QtNameFilters(files::kSaveAsFilter), index, nullptr);
        EXPECT_EQ(c.Path.toStdString(), dir.File(want));
    }
}

TEST(FilesCommands, RealBrukerAndVnmrSpectraOpenInTheWindow) {
    KALVEX_REQUIRE_SHARED_FILE(bruker, "derived/bruker/nmrdatafiles-ethanol-1H-400.1rd");
    KALVEX_REQUIRE_SHARED_FILE(vnmr, "derived/varian/pnnl-toluene-varian.vnj");
    Window w;
    w.Open(bruker);
    ASSERT_TRUE(w.State.Doc.SpectrumLoaded) << w.Prompter.Texts("error").join("|").toStdString();
    EXPECT_EQ(w.State.Doc.PointCount, 32768);
    EXPECT_TRUE(w.Form.windowTitle().endsWith(": 1-32768<32768points>"));
    w.Open(vnmr);
    ASSERT_EQ(w.State.Doc.PointCount, 32768);
}

}  // namespace
}  // namespace kalvex::app
