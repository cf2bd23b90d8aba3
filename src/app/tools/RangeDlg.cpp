// RangeDlg: its controls, the tool mode it holds, OK, Cancel/Apply, Reset and the magnification.
#include "app/tools/RangeDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

#include "app/shell/Mainpeak.h"
#include "app/shell/RunCommand.h"
#include "app/tools/NamedWidgets.h"
#include "app/tools/ppm_box.h"
#include "tools/RangeXY.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

namespace {

const QString kTimes = QString(QChar(0x00D7));  // the multiplication sign

// An up-down control: two small arrow buttons above each other, named <name>_up and _down.
QWidget* UpDown(QWidget* parent, const char* name, const std::function<void(bool)>& click) {
    auto* box = new QWidget(parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (bool up : {true, false}) {
        auto* arrow = new QToolButton(box);
        arrow->setObjectName(QString::fromLatin1(name) +
                             (up ? QStringLiteral("_up") : QStringLiteral("_down")));
        arrow->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        arrow->setFixedSize(20, 13);
        QObject::connect(arrow, &QToolButton::clicked, box, [click, up] { click(up); });
        layout->addWidget(arrow);
    }
    return box;
}

}  // namespace

RangeDlg::RangeDlg(M_Form& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("RangeDlg"));
    setWindowTitle(QStringLiteral("XY_Range"));
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    PageControlXY = new QTabWidget(this);
    PageControlXY->setObjectName(QStringLiteral("PageControlXY"));
    layout->addWidget(PageControlXY);

    auto* x_axis = new QWidget(PageControlXY);
    x_axis->setObjectName(QStringLiteral("X_axis"));
    auto* x_row = new QHBoxLayout(x_axis);
    Edit1 = new QLineEdit(x_axis);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(x_axis);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    for (QLineEdit* e : {Edit1, Edit2}) e->setFixedWidth(80);
    Label3 = NamedLabel(x_axis, "Label3", QStringLiteral("PPM"));
    Label4 = NamedLabel(x_axis, "Label4", QStringLiteral("PPM"));
    x_row->addWidget(Edit1);
    x_row->addWidget(Label3);
    x_row->addWidget(NamedLabel(x_axis, "Label2", QStringLiteral(" - ")));
    x_row->addWidget(Edit2);
    x_row->addWidget(Label4);
    PageControlXY->addTab(x_axis, QStringLiteral("X_axis"));

    auto* y_axis = new QWidget(PageControlXY);
    y_axis->setObjectName(QStringLiteral("Y_axis"));
    auto* y_row = new QHBoxLayout(y_axis);
    Label6 = NamedLabel(y_axis, "Label6", QStringLiteral("1.00"));
    Label6->setMinimumWidth(50);
    y_row->addWidget(NamedLabel(y_axis, "Label5", kTimes));
    y_row->addWidget(Label6);
    y_row->addWidget(UpDown(y_axis, "UpDown_Y", [this](bool up) { UpDown_YClick(false, up); }));
    y_row->addSpacing(12);
    y_row->addWidget(NamedLabel(y_axis, "Label1", kTimes + QStringLiteral(" 0.1")));
    y_row->addWidget(UpDown(y_axis, "UpDown_Y2", [this](bool up) { UpDown_YClick(true, up); }));
    y_row->addStretch();
    PageControlXY->addTab(y_axis, QStringLiteral("Y_axis"));

    auto* buttons = new QHBoxLayout;
    OKBtn = NamedButton(this, "OKBtn", "OK", true);  // Return after typing a range
    CancelBtn = NamedButton(this, "CancelBtn", "Cancel");
    resetBtn = NamedButton(this, "resetBtn", "Reset");
    for (QPushButton* b : {OKBtn, CancelBtn, resetBtn}) buttons->addWidget(b);
    layout->addLayout(buttons);
    auto* fix_expand = new QCheckBox(QStringLiteral("Fix_x-axis"), this);
    fix_expand->setObjectName(QStringLiteral("fix_expand"));
    fix_expand->hide();  // nothing reads it

    connect(OKBtn, &QPushButton::clicked, this, &RangeDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &RangeDlg::CancelBtnClick);
    connect(resetBtn, &QPushButton::clicked, this, &RangeDlg::resetBtnClick);
    // Any change counts, also one made by the program: the mouse fills the edits this way.
    connect(Edit1, &QLineEdit::textChanged, this, [this] { edited1_ = true; });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { edited2_ = true; });
    adjustSize();
}

void RangeDlg::Open(int tab) {
    PageControlXY->setCurrentIndex(tab);
    main_.EnterToolMode(ToolWindow::kRangeXY);
    const QRect m = main_.frameGeometry();
    move(m.left() + m.width() + 10, m.top());
    ClearEditedFlags();
    if (!isVisible()) show();
    raise();
}

void RangeDlg::RangeXYClick() {
    if (main_.Readout()->IsOpen()) return;
    Open(kXTab);
}

void RangeDlg::RangeXY_buttonClick() {
    view::AppState& s = main_.State();
    if (!s.View.ToolMode) {
        s.View.DragLeftButton = true;
        Open(kXTab);
    } else if (isVisible()) {
        // Pressed again: the dialog closes, also when its Cancel reads "Apply".
        CloseTool();
    } else {
        if (main_.Readout()->IsOpen()) {
            main_.Readout()->ppm_closeClick();
            view::RefreshClick(s, main_);
        }
        Open(kXTab);
    }
    main_.SyncToolButtons();
}

void RangeDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void RangeDlg::FormShow() {
    const tools::RangeTexts texts = tools::RangeShowTexts(main_.State().Doc);
    Edit1->setText(QString::fromStdString(texts.Edit1));
    Edit2->setText(QString::fromStdString(texts.Edit2));
    Label3->setText(QString::fromStdString(texts.Unit));
    Label4->setText(QString::fromStdString(texts.Unit));
    SetLabel6(QString::fromStdString(view::GainText(main_.State().Doc.YExpand)));
    y_touched_ = false;
    ClearEditedFlags();
    main_.SyncToolButtons();
}

void RangeDlg::OKBtnClick() {
    view::AppState& s = main_.State();
    s.View.ViewResetRequest = false;
    bool accepted = false;
    const bool read = RunCommand(this, main_.Prompts(), [&] {
        accepted = tools::ApplyTypedRange(s.Doc, Edit1->text().toStdString(),
                                          Edit2->text().toStdString(), edited1_, edited2_);
    });
    if (!read) return;  // the message said which text is no number; the dialog stays
    if (accepted) view::RefreshClick(s, main_);
    if (s.View.DragLeftButton) LeaveTool();
}

void RangeDlg::CancelBtnClick() {
    if (CancelBtn->text() == QStringLiteral("Apply")) {
        OKBtnClick();
        return;
    }
    CloseTool();
}

void RangeDlg::CloseTool() {
    view::AppState& s = main_.State();
    if (tools::CancelResetsGain(edited1_, edited2_, y_touched_)) {
        s.Doc.YExpand = 1.0;
        up_down_y_position_ = 1;
        view::RefreshClick(s, main_);
    }
    s.View.RangeDialogOpen = false;
    view::RefreshClick(s, main_);
    LeaveTool();
}

void RangeDlg::reject() { CloseTool(); }

void RangeDlg::resetBtnClick() {
    view::RequestViewReset(main_.State());
    view::RefreshClick(main_.State(), main_);
    LeaveTool();
}

void RangeDlg::UpDown_YClick(bool fine, bool up) {
    core::Document& doc = main_.State().Doc;
    y_touched_ = true;
    doc.YExpand =
        tools::SteppedGain(doc.YExpand, fine, up ? tools::GainArrow::kUp : tools::GainArrow::kDown);
    SetLabel6(QString::fromStdString(view::GainText(doc.YExpand)));
    view::RefreshClick(main_.State(), main_);
}

void RangeDlg::LeaveTool() {
    main_.LeaveToolMode(ToolWindow::kRangeXY);
    OKBtn->setEnabled(true);
    CancelBtn->setText(QStringLiteral("Cancel"));
    hide();
}

void RangeDlg::SetLabel6(const QString& text) { Label6->setText(text); }
void RangeDlg::SetEdit1(const QString& text) { Edit1->setText(text); }
void RangeDlg::SetEdit2(const QString& text) { Edit2->setText(text); }

void RangeDlg::SetApplyMode() {
    OKBtn->setEnabled(false);
    CancelBtn->setText(QStringLiteral("Apply"));
}

void RangeDlg::ClearEditedFlags() {
    edited1_ = false;
    edited2_ = false;
}

}  // namespace kalvex::app
