// SetB: its controls, the marks drawn while it is open, OK, Apply and Cancel.
#include "app/tools/SetB.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/shell/Mainpeak.h"
#include "app/shell/RunCommand.h"
#include "app/shell/RunModal.h"
#include "app/tools/NamedWidgets.h"
#include "app/tools/RangeDlg.h"
#include "app/tools/ppm_box.h"
#include "tools/BiasEntry.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

SetB::SetB(M_Form& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("SetB"));
    setWindowTitle(QStringLiteral("Set Bias"));
    setModal(true);
    auto* grid = new QGridLayout(this);
    auto* label1 = NamedLabel(this, "Label1", QStringLiteral(" Set the Bias Value "));
    grid->addWidget(label1, 0, 0, 1, 3);
    EdBias = NamedEdit(this, "EdBias");
    grid->addWidget(EdBias, 1, 0, 1, 2);
    BiasLabel = NamedLabel(this, "BiasLabel", QStringLiteral("Auto is 0.0000"));
    grid->addWidget(BiasLabel, 1, 2);
    OKBtn = NamedButton(this, "OKBtn", "OK", true);
    CancelBtn = NamedButton(this, "CancelBtn", "Cancel");
    SB_apply = NamedButton(this, "SB_apply", "Apply");
    grid->addWidget(OKBtn, 2, 0);
    grid->addWidget(CancelBtn, 2, 1);
    grid->addWidget(SB_apply, 2, 2);
    connect(OKBtn, &QPushButton::clicked, this, &SetB::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &SetB::CancelBtnClick);
    connect(SB_apply, &QPushButton::clicked, this, &SetB::SB_applyClick);
    adjustSize();
}

void SetB::AfterOpen(const QString& auto_label) {
    BiasLabel->setText(auto_label);
    place_ = true;
}

void SetB::SetBiasClick() {
    if (main_.Readout()->IsOpen()) return;
    view::AppState& s = main_.State();
    view::RefreshClick(s, main_);
    if (view::Canvas* canvas = main_.PictureCanvas(); canvas != nullptr && s.Doc.SpectrumLoaded) {
        tools::DrawBiasMarks(*canvas, s.Doc, s.Plot);
        main_.PictureChanged();
    }
    EdBias->setText(QString::fromLatin1(tools::BiasEditText(s.Doc)));
    if (place_) {
        move(main_.ToolDialogPlace());
    }
    RunModal(*this, runner_, running_);
}

void SetB::SetBias_buttonClick() {
    view::AppState& s = main_.State();
    if (s.View.ToolMode) {
        if (main_.RangeDialog()->isVisible()) {
            main_.RangeDialog()->CloseTool();
            view::RefreshClick(s, main_);
        } else if (main_.Readout()->IsOpen()) {
            main_.Readout()->ppm_closeClick();
            view::RefreshClick(s, main_);
        }
    }
    SetBiasClick();
    main_.SyncToolButtons();  // the modal dialog has ended, however it ended
}

bool SetB::ApplyEdit() {
    return RunCommand(this, main_.Prompts(), [&] {
        tools::ApplyTypedBias(main_.State().Doc, EdBias->text().toStdString());
    });
}

void SetB::Finish() {
    view::RefreshClick(main_.State(), main_);
    main_.SyncToolButtons();
    place_ = true;
}

void SetB::OKBtnClick() {
    if (!ApplyEdit()) return;
    Finish();
    accept();
}

void SetB::SB_applyClick() {
    place_ = false;
    if (!ApplyEdit()) return;
    SetBiasClick();  // redraws the line and the edit for the new value; the dialog stays
}

void SetB::CancelBtnClick() { reject(); }

void SetB::reject() {
    Finish();
    QDialog::reject();
}

}  // namespace kalvex::app
