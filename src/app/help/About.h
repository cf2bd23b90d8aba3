// The About box: the program's name, version and date, and the web browser launcher.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace kalvex::app {

class Prompter;

class About : public QDialog {
    Q_OBJECT

public:
    About(Prompter& prompter, QWidget* parent);
    /// Sets the version and date labels and shows the box modally, centred on the main window.
    void ShowCentred();

public slots:
    /// Starts the chosen browser on the program's web page (the help contents); when it cannot
    /// be started: "Can not execute the Browser".
    void BrowserClick();

private:
    Prompter& prompter_;
    QLabel* version_ = nullptr;
    QLabel* date_ = nullptr;
    QRadioButton* browsers_[4] = {};
    QLineEdit* browser_path_ = nullptr;
};

}  // namespace kalvex::app
