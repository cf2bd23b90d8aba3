// The help window: the HTML help pages of the program, with their links.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace kalvex::app {

/// The folder holding the help pages (the one with "index.html": beside the executable, or
/// installed under <prefix>/share/kalvex), or empty when there is none.
QString HelpFolder();

/// "Kalvex Help": shows one help page at a time; links, Back and Forward move between them.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent);

    /// Shows `file` (a help page's path) and brings the window up.
    void ShowPage(const QString& file);
    /// The page shown, as a file path.
    QString CurrentPage() const;

private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace kalvex::app
