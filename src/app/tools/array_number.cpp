#include "app/tools/array_number.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/Error.h"
#include "tools/ArrayNumber.h"

namespace kalvex::app {

Input_array_number::Input_array_number(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Input_array_number"));
    setWindowTitle(QStringLiteral("Input_array_number"));
    setModal(true);
    setFixedSize(250, 160);
    auto* layout = new QVBoxLayout(this);
    vj1_label = new QLabel(this);
    vj1_label->setObjectName(QStringLiteral("vj1_label"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
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
    layout->addWidget(Label1);
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
    const QString prompt = QStringLiteral("Input desired array number");
    Label1->setText(prompt);
    Label1->setStyleSheet(QString());
    for (;;) {
        setResult(QDialog::Rejected);
        if (runner_) {
            runner_(*this);
        } else {
            exec();
        }
        if (result() != QDialog::Accepted) throw Cancelled();
        const std::string entry = vj1_edit->text().toStdString();
        if (const auto index = tools::AcceptedArrayEntry(entry, array_count)) return *index;
        Label1->setText(QString::fromStdString(tools::ArrayEntryComplaint(entry, array_count)));
        Label1->setStyleSheet(QStringLiteral("color: #c00000"));
    }
}

}  // namespace kalvex::app
