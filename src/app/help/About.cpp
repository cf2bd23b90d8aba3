#include "app/help/About.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/help/HelpWindow.h"
#include "app/shell/Prompter.h"
#include "core/HelpPages.h"

namespace kalvex::app {

namespace {

const char* const kBrowserCaptions[] = {"Desktop's browser", "Firefox", "Chromium", "Path:"};

}  // namespace

About::About(Prompter& prompter, QWidget* parent) : QDialog(parent), prompter_(prompter) {
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

    auto* web = new QGroupBox(QStringLiteral(" Web Browser "), this);
    web->setObjectName(QStringLiteral("Browser"));
    auto* grid = new QGridLayout(web);
    for (int i = 0; i < 4; ++i) {
        browsers_[i] = new QRadioButton(QString::fromLatin1(kBrowserCaptions[i]), web);
        browsers_[i]->setObjectName(QStringLiteral("Browser_") + QString::number(i));
        grid->addWidget(browsers_[i], i, 0);
    }
    browsers_[0]->setChecked(true);
    browser_path_ = new QLineEdit(web);
    browser_path_->setObjectName(QStringLiteral("BrowserPath"));
    grid->addWidget(browser_path_, 3, 1);
    auto* open = new QPushButton(QStringLiteral("Web Page"), web);
    open->setObjectName(QStringLiteral("BrowserGo"));
    grid->addWidget(open, 4, 0, 1, 2);
    connect(open, &QPushButton::clicked, this, &About::BrowserClick);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    for (QWidget* w : {static_cast<QWidget*>(name), static_cast<QWidget*>(what),
                       static_cast<QWidget*>(version_), static_cast<QWidget*>(date_),
                       static_cast<QWidget*>(web), static_cast<QWidget*>(buttons)}) {
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

void About::BrowserClick() {
    int kind = 0;
    for (int i = 0; i < 4; ++i) {
        if (browsers_[i]->isChecked()) kind = i;
    }
    const QString program = QString::fromStdString(
        core::BrowserProgram(kind, browser_path_->text().trimmed().toStdString()));
    // The program's own page: the help contents, which link on to the rest.
    const QString page = HelpFolder() + QStringLiteral("/index.html");
    if (program.isEmpty() ||
        !QProcess::startDetached(program, {QUrl::fromLocalFile(page).toString()})) {
        prompter_.Error(this, QStringLiteral("Can not execute the Browser"));
    }
}

}  // namespace kalvex::app
