#include "app/tools/array_number.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "tools/ArrayNumber.h"

namespace kalvex::app {

Input_array_number::Input_array_number(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Input_array_number"));
    setWindowTitle(QStringLiteral("Input_array_number"));
    setModal(true);
    setFixedSize(250, 160);
    // Only OK closes it: the open needs a spectrum number.
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    vj1_label = new QLabel(this);
    vj1_label->setObjectName(QStringLiteral("vj1_label"));
    auto* prompt = new QLabel(QStringLiteral("Input desired array number"), this);
    prompt->setObjectName(QStringLiteral("Label1"));
    vj1_edit = new QLineEdit(this);
    vj1_edit->setObjectName(QStringLiteral("vj1_edit"));
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    ok->setObjectName(QStringLiteral("OK_input_array"));
    connect(ok, &QDialogButtonBox::accepted, this, [this] {
        vj1_edit->setText(
            QString::fromStdString(tools::ArrayEntryAfterOk(vj1_edit->text().toStdString())));
        accept();
    });
    layout->addWidget(vj1_label);
    layout->addWidget(prompt);
    layout->addWidget(vj1_edit);
    layout->addWidget(ok);
}

int Input_array_number::Ask(int array_count) {
    vj1_label->setText(QString::fromStdString(tools::ArrayTotalLabel(array_count)));
    vj1_edit->setText(QString::fromLatin1(tools::kArrayEntryPreset));
    if (parentWidget() != nullptr) {
        const QRect p = parentWidget()->frameGeometry();
        move(p.left() + p.width() / 3, p.top() + height());
    }
    for (;;) {
        if (runner_) {
            runner_(*this);
        } else {
            exec();
        }
        if (const auto index =
                tools::AcceptedArrayEntry(vj1_edit->text().toStdString(), array_count)) {
            return *index;
        }
    }
}

}  // namespace kalvex::app
