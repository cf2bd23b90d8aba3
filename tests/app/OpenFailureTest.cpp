// An open that fails at any point of its file leaves the document and every control of the
// window exactly as they were.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <sstream>

#include "FakePrompter.h"
#include "app/qt/PlotImage.h"
#include "app/shell/Mainpeak.h"
#include "files/SpcFile.h"
#include "support/DocumentBuilder.h"
#include "support/TempDir.h"

namespace kalvex::app {
namespace {

// What the user can see of the window and what the commands work on.
struct Snapshot {
    QStringList Controls;
    QImage Picture;
    std::vector<double> Obs;
    std::string Document;

    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(M_Form& form) {
    Snapshot s;
    s.Controls << form.windowTitle();
    for (const QAction* a : form.findChildren<QAction*>()) {
        s.Controls << QStringLiteral("%1 %2 %3 %4")
                          .arg(a->objectName(), a->text())
                          .arg(a->isEnabled())
                          .arg(a->isChecked());
    }
    for (const QWidget* w : form.findChildren<QWidget*>()) {
        QString state = QStringLiteral("%1 %2 %3")
                            .arg(w->objectName())
                            .arg(w->isEnabled())
                            .arg(w->isVisibleTo(&form));
        if (const auto* l = qobject_cast<const QLabel*>(w)) state += " " + l->text();
        if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
            state += QStringLiteral(" %1 %2").arg(b->text()).arg(b->isChecked());
        }
        if (const auto* e = qobject_cast<const QLineEdit*>(w)) state += " " + e->text();
        if (const auto* c = qobject_cast<const QComboBox*>(w)) state += " " + c->currentText();
        if (const auto* list = qobject_cast<const QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i) state += " " + list->item(i)->text();
        }
        s.Controls << state;
    }
    s.Picture = form.Image()->Bitmap().copy();
    const core::Document& d = form.State().Doc;
    s.Obs.assign(d.ObsY.begin(), d.ObsY.end());
    std::ostringstream doc;
    doc << d.SpectrumFileName << '|' << d.SaveFileName << '|' << d.PointCount << '|' << d.F_Type
        << '|' << d.YScale << '|' << d.XFirstPpm << '|' << d.ObsFreq << '|' << d.Bias << '|'
        << int{d.PeakCount};
    for (int k = 1; k <= d.PeakCount; ++k) {
        doc << '|' << d.PeakPos[k] << ' ' << d.PeakHeight[k] << ' ' << d.PeakHalfWidth[k];
    }
    s.Document = doc.str();
    return s;
}

class OpenFailure : public ::testing::Test {
protected:
    void SetUp() override {
        core::Document doc =
            test::MakeDocument(12, 8.0, 0.05, 400.0, [](int p) { return 0.1 + 0.05 * (p % 5); });
        doc.F_Type = 1;
        test::AddPeak(doc, 4, 0.2, 1.5);
        test::AddPeak(doc, 9, 0.1, 2.0);
        good_text_ = files::SpcFileText(doc);
        good_ = dir_.Write("good.spc", good_text_);
        Open(good_);
        ASSERT_TRUE(prompter_.Messages.empty());
        before_ = Take(form_);
    }

    // Opens `path`; true when the open was refused with a message.
    bool Open(const std::string& path) {
        const std::size_t messages = prompter_.Messages.size();
        prompter_.OpenAnswers.push_back({QString::fromStdString(path), 1});
        form_.M_OpenClick();
        return prompter_.Messages.size() > messages;
    }

    // Opens a bad file; when it is refused the window must be as before.
    void ExpectRefusalKeepsTheWindow(const std::string& name, const std::string& text,
                                     const std::string& what, int& refused) {
        if (!Open(dir_.Write(name, text))) {
            Open(good_);  // it opened: back to the good one for the next case
            ASSERT_EQ(Take(form_), before_) << what << ": the good file opens differently";
            return;
        }
        ++refused;
        EXPECT_EQ(Take(form_), before_)
            << what << ": " << prompter_.Messages.back().Text.toStdString();
    }

    test::TempDir dir_;
    view::AppState state_;
    test::FakePrompter prompter_;
    M_Form form_{state_, prompter_};
    std::string good_text_;
    std::string good_;
    Snapshot before_;
};

TEST_F(OpenFailure, AFileCutAfterAnyByteLeavesTheWindowAsItWas) {
    int refused = 0;
    for (std::size_t k = 0; k < good_text_.size(); ++k) {
        ExpectRefusalKeepsTheWindow("cut.spc", good_text_.substr(0, k),
                                    "cut after " + std::to_string(k) + " bytes", refused);
        if (HasFatalFailure()) return;
    }
    // Cuts inside the header and the intensities are refused; inside the peak lines some read.
    EXPECT_GT(refused, static_cast<int>(good_text_.find("\r\n2 ")));
}

TEST_F(OpenFailure, ABadTokenOnAnyLineOrAMissingFileLeavesTheWindowAsItWas) {
    int refused = 0;
    for (std::size_t at = 0; at != std::string::npos; at = good_text_.find("\r\n", at + 1)) {
        std::string bad = good_text_;
        bad.insert(at == 0 ? 0 : at + 2, 1, 'x');
        ExpectRefusalKeepsTheWindow("bad.spc", bad, "x at " + std::to_string(at), refused);
    }
    EXPECT_EQ(refused, 18);  // 3 header lines, 12 intensities, 2 peak lines, the empty end
    for (const std::string& path :
         {dir_.File("missing.spc"), dir_.File("unknown.abc"), dir_.File("a.1rd"),
          dir_.File(std::string(250, 'l') + ".spc")}) {
        if (path.find("a.1rd") != std::string::npos) dir_.Write("a.1rd", "1234");
        EXPECT_TRUE(Open(path)) << path;
        EXPECT_EQ(Take(form_), before_) << path;
    }
}

}  // namespace
}  // namespace kalvex::app
