// height_change: its controls, where it appears, and its OK.
#include "app/tools/height_change.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/peaks/Peaks.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/RunCommand.h"
#include "app/tools/NamedWidgets.h"
#include "tools/PeakShift.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

height_change::height_change(M_Form& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("height_change"));
    setWindowTitle(QStringLiteral("Change_Height"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* label1 = NamedLabel(this, "Label1", QStringLiteral("Input value ( 0.0 to 1.0 )"));
    CH_value = NamedEdit(this, "CH_value");
    CH_OK = NamedButton(this, "CH_OK", "OK", true);
    layout->addWidget(label1);
    layout->addWidget(CH_value);
    layout->addWidget(CH_OK);
    connect(CH_OK, &QPushButton::clicked, this, &height_change::CH_OKClick);
    adjustSize();
}

void height_change::ChangeHeightClick() {
    QAction* tick = main_.Action("ChangeHeight");
    if (tick->isChecked()) {
        CH_value->setText(QString::fromLatin1(tools::kHeightFactorPreset));
        show();
        raise();
    }
    tick->setChecked(false);
}

void height_change::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    const QRect m = main_.frameGeometry();
    move(static_cast<int>(m.left() * 1.7), static_cast<int>(m.top() * 1.7));
}

void height_change::CH_OKClick() {
    const bool read = RunCommand(this, main_.Prompts(), [&] {
        if (tools::ChangeHeights(main_.State().Doc, CH_value->text().toStdString())) {
            view::RefreshClick(main_.State(), main_);
            main_.PeakDialog()->ShowAgain();
        }
    });
    if (read) hide();
}

}  // namespace kalvex::app
