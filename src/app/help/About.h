// The About box: the program's name, version and date.
#pragma once

#include <QDialog>

class QLabel;

namespace kalvex::app {

class About : public QDialog {
    Q_OBJECT

public:
    explicit About(QWidget* parent);
    /// Sets the version and date labels and shows the box modally, centred on the main window.
    void ShowCentred();

private:
    QLabel* version_ = nullptr;
    QLabel* date_ = nullptr;
};

}  // namespace kalvex::app
