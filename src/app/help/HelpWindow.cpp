#include "app/help/HelpWindow.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/HelpPages.h"

namespace kalvex::app {

QString HelpFolder() {
    for (const std::string& folder :
         core::DataFolderCandidates(QCoreApplication::applicationDirPath().toStdString(), "help")) {
        const QString dir = QString::fromStdString(folder);
        if (QFileInfo::exists(dir + QStringLiteral("/index.html"))) return dir;
    }
    return {};
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Kalvex Help"));
    resize(720, 640);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);  // web links go to the browser, pages stay here
    auto* contents = new QPushButton(QStringLiteral("Contents"), this);
    contents->setObjectName(QStringLiteral("HelpContents"));
    auto* back = new QPushButton(QStringLiteral("Back"), this);
    back->setObjectName(QStringLiteral("HelpBack"));
    auto* forward = new QPushButton(QStringLiteral("Forward"), this);
    forward->setObjectName(QStringLiteral("HelpForward"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("HelpClose"));
    back->setEnabled(false);
    forward->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {contents, back, forward}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);

    connect(contents, &QPushButton::clicked, this, [this] {
        const QString folder = HelpFolder();
        if (!folder.isEmpty()) {
            browser_->setSource(QUrl::fromLocalFile(
                folder + "/" + QString::fromStdString(core::HelpPageFor(core::kHelpContents))));
        }
    });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
}

void HelpWindow::ShowPage(const QString& file) {
    browser_->setSource(QUrl::fromLocalFile(file));
    show();
    raise();
    activateWindow();
}

QString HelpWindow::CurrentPage() const { return browser_->source().toLocalFile(); }

}  // namespace kalvex::app
