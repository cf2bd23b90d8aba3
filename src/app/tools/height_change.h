// height_change ("Change_Height"): every peak height multiplied by a factor between 0 and 1.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kalvex::app {

class M_Form;

/// The small modeless height window.
class height_change : public QDialog {
    Q_OBJECT

public:
    height_change(M_Form& main, QWidget* parent);

    /// Menu "Change_Height" (a check mark that acts once per use): proposes "1.0" and shows it.
    void ChangeHeightClick();
    void CH_OKClick();

    QLineEdit* CH_value = nullptr;
    QPushButton* CH_OK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    M_Form& main_;
};

}  // namespace kalvex::app
