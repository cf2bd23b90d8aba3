#include "app/help/About.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalvex::app {

About::About(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Kalvex"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Kalvex"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont big(QStringLiteral("Times New Roman"));
    big.setPixelSize(28);
    big.setBold(true);
    big.setItalic(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    auto* what = new QLabel(
        QStringLiteral(
            "Peak simulation and least-squares peak fitting\nof one-dimensional NMR spectra"),
        this);
    what->setAlignment(Qt::AlignCenter);
    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("Version"));
    version_->setAlignment(Qt::AlignCenter);
    date_ = new QLabel(this);
    date_->setObjectName(QStringLiteral("Date"));
    date_->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    for (QWidget* w :
         {static_cast<QWidget*>(name), static_cast<QWidget*>(what), static_cast<QWidget*>(version_),
          static_cast<QWidget*>(date_), static_cast<QWidget*>(buttons)}) {
        layout->addWidget(w);
    }
}

void About::ShowCentred() {
    version_->setText(QStringLiteral("Ver. 1.3"));
    date_->setText(QStringLiteral("2011/6/29"));
    adjustSize();
    if (parentWidget() != nullptr) {
        const QRect p = parentWidget()->frameGeometry();
        move(p.center() - QPoint(width() / 2, height() / 2));
    }
    exec();
}

}  // namespace kalvex::app
