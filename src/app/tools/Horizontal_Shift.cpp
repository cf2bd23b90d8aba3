// Horizontal_Shift: prepared for the shift or for the frequency, and its OK and Cancel.
#include "app/tools/Horizontal_Shift.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/peaks/Peaks.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "app/shell/RunModal.h"
#include "app/tools/NamedWidgets.h"
#include "tools/ObsFreq.h"
#include "tools/PeakShift.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

Horizontal_Shift::Horizontal_Shift(M_Form& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("Horizontal_Shift"));
    setWindowTitle(QStringLiteral("Input_Shift"));
    setModal(true);
    setFixedSize(230, 110);
    Label1 = NamedLabel(this, "Label1", QStringLiteral("Input Shift value (point)"));
    Label1->setGeometry(10, 8, 210, 20);
    Shift_Value = NamedEdit(this, "Shift_Value");
    Shift_Value->setAlignment(Qt::AlignRight);  // right-to-left reading order
    Shift_Value->setAttribute(Qt::WA_InputMethodEnabled, false);
    Label2 = NamedLabel(this, "Label2", QStringLiteral("points"));
    Shift_OK = NamedButton(this, "Shift_OK", "OK", true);
    Shift_OK->setGeometry(30, 70, 75, 28);
    Shift_No = NamedButton(this, "Shift_No", "Cancel");
    Shift_No->setGeometry(125, 70, 75, 28);
    connect(Shift_OK, &QPushButton::clicked, this, &Horizontal_Shift::Shift_OKClick);
    connect(Shift_No, &QPushButton::clicked, this, &Horizontal_Shift::Shift_NoClick);
}

void Horizontal_Shift::Run() {
    move(main_.ToolDialogPlace());
    RunModal(*this, runner_, running_);
}

void Horizontal_Shift::HorizonShiftClick() {
    QAction* tick = main_.Action("HorizonShift");
    if (tick->isChecked()) {
        setWindowTitle(QStringLiteral("Input Shift"));
        Label1->setText(QStringLiteral("Input Shift value (point)"));
        Label2->setText(QStringLiteral("points"));
        Label2->setGeometry(145, 38, 60, 22);
        Shift_Value->clear();
        Shift_Value->setGeometry(35, 36, 100, 24);
        Run();
    }
    tick->setChecked(false);
}

void Horizontal_Shift::inputFreqClick() {
    freq_input_mode_ = true;
    QAction* tick = main_.Action("inputFreq");
    if (tick->isChecked()) {
        setWindowTitle(QStringLiteral("Input Resonance Frequency"));
        Label1->setText(QStringLiteral("Input Frequency (MHz)"));
        Label2->setText(QStringLiteral("MHz"));
        Label2->setGeometry(175, 38, 40, 22);
        Shift_Value->setText(QString::fromStdString(tools::FrequencyEntryText(main_.State().Doc)));
        Shift_Value->setGeometry(10, 36, 155, 24);
        Run();
    }
    tick->setChecked(false);
    freq_input_mode_ = false;
    // In every case, so the Hz always follow the frequency in force; a Hz axis shows it.
    tools::RecalibrateHz(main_.State().Doc);
    view::RefreshClick(main_.State(), main_);
    main_.PeakDialog()->ShowAgain();
    main_.ShowFrequencyHint();
}

void Horizontal_Shift::Shift_OKClick() {
    const std::string text = Shift_Value->text().toStdString();
    core::Document& doc = main_.State().Doc;
    bool close = false;  // a text that is no number, or a refused shift, keeps it open
    RunCommand(this, main_.Prompts(), [&] {
        if (freq_input_mode_) {
            tools::ApplyTypedFrequency(doc, text);
        } else {
            const tools::ShiftOutcome outcome = tools::ShiftPeaks(doc, text);
            if (outcome == tools::ShiftOutcome::kRefused) {
                main_.Prompts().Information(this,
                                            QString::fromLatin1(tools::kShiftBeyondLastPosition));
                return;
            }
            if (outcome == tools::ShiftOutcome::kShifted) {
                view::RefreshClick(main_.State(), main_);
                main_.PeakDialog()->ShowAgain();
            }
        }
        close = true;
    });
    if (close) accept();
}

void Horizontal_Shift::Shift_NoClick() { reject(); }

void Horizontal_Shift::done(int result) {
    // Either way the frequency entry ends with the dialog.
    freq_input_mode_ = false;
    QDialog::done(result);
}

}  // namespace kalvex::app
