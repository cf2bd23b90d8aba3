// ppm_box: its labels, opening and closing in the tool mode, and the texts the mouse sends.
#include "app/tools/ppm_box.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/shell/Mainpeak.h"
#include "app/tools/NamedWidgets.h"
#include "app/tools/RangeDlg.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

ppm_box::ppm_box(M_Form& main, QWidget* parent) : QWidget(parent, Qt::Tool), main_(main) {
    setObjectName(QStringLiteral("ppm_box"));
    setWindowTitle(QStringLiteral("PPM/Hz"));

    auto* grid = new QGridLayout(this);
    ppm_label = NamedLabel(this, "ppm_label");
    QFont big = ppm_label->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    ppm_label->setFont(big);
    ppm_label->setMinimumWidth(110);
    ppm_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1 = NamedLabel(this, "Label1", QStringLiteral("ppm "));
    grid->addWidget(ppm_label, 0, 0);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(NamedLabel(this, "Label2", QStringLiteral("Difference")), 1, 0, 1, 2);
    diff_Hz = NamedLabel(this, "diff_Hz");
    grid->addWidget(diff_Hz, 2, 0, Qt::AlignRight);
    grid->addWidget(NamedLabel(this, "Label3", QStringLiteral("Hz ")), 2, 1);
    Label4 = NamedLabel(this, "Label4");
    grid->addWidget(Label4, 3, 0, Qt::AlignRight);
    grid->addWidget(NamedLabel(this, "Label5", QStringLiteral("points")), 3, 1);
    grid->addWidget(NamedLabel(this, "Label6", QStringLiteral("Intensity")), 4, 0, 1, 2);
    Int_Label = NamedLabel(this, "Int_Label");
    grid->addWidget(Int_Label, 5, 0, Qt::AlignRight);
    Label7 = NamedLabel(this, "Label7");
    grid->addWidget(Label7, 6, 0, Qt::AlignRight);
    FreqHint = NamedLabel(this, "FreqHint");
    FreqHint->setWordWrap(true);
    FreqHint->setStyleSheet(QStringLiteral("color: #800000"));
    FreqHint->setMaximumWidth(200);
    FreqHint->hide();
    grid->addWidget(FreqHint, 7, 0, 1, 2);
    ppm_close = NamedButton(this, "ppm_close", "Close");
    grid->addWidget(ppm_close, 8, 0, 1, 2);
    connect(ppm_close, &QPushButton::clicked, this, &ppm_box::ppm_closeClick);
    adjustSize();
}

void ppm_box::ReadCSppmClick() {
    view::AppState& s = main_.State();
    main_.EnterToolMode(ToolWindow::kReadout);
    s.View.CursorFresh = true;
    open_ = true;
    SetUnit(s.Doc.XAxisPpm ? QStringLiteral("ppm ") : QStringLiteral("Hz "));
    main_.ShowFrequencyHint();
    adjustSize();  // its width with the texts it now holds decides where it goes
    const QRect m = main_.frameGeometry();
    move(m.left() - frameGeometry().width() - 10, m.top());
    show();
    raise();
    main_.SyncToolButtons();
}

void ppm_box::Read_ppm_buttonClick() {
    view::AppState& s = main_.State();
    if (!s.View.ToolMode) {
        ReadCSppmClick();
    } else if (open_) {
        ppm_closeClick();
    } else {
        // Range XY holds the tool mode: it closes first.
        main_.RangeDialog()->CloseTool();
        view::RefreshClick(s, main_);
        ReadCSppmClick();
    }
    main_.SyncToolButtons();
}

void ppm_box::ppm_closeClick() {
    main_.LeaveToolMode(ToolWindow::kReadout);
    main_.State().View.CursorFresh = false;
    open_ = false;
    hide();
    // Now that the read-out is closed the refresh is no longer dropped: the cursor goes.
    view::RefreshClick(main_.State(), main_);
}

void ppm_box::closeEvent(QCloseEvent* event) {
    if (open_) ppm_closeClick();
    event->accept();
}

void ppm_box::SetReadout(const view::PpmReadoutTexts& t) {
    ppm_label->setText(QString::fromLatin1(t.ppm_label));
    Label4->setText(QString::fromLatin1(t.Label4));
    diff_Hz->setText(QString::fromLatin1(t.diff_Hz));
    Int_Label->setText(QString::fromLatin1(t.Int_Label));
    Label7->setText(QString::fromLatin1(t.Label7));
}

void ppm_box::SetDiffHz(const QString& text) { diff_Hz->setText(text); }

void ppm_box::SetUnit(const QString& text) { Label1->setText(text); }

void ppm_box::SetFrequencyHint(const QString& text) {
    FreqHint->setText(text);
    FreqHint->setVisible(!text.isEmpty());
    adjustSize();
}

}  // namespace kalvex::app
