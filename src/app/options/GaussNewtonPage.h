// The "GaussNewton" page of the Options dialog: the fit's mode, damping, convergence, limits.
#pragma once

#include <QWidget>

#include "view/OptionsLogic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace kalvex::app {

class PagesDlg;
class RadioGroup;

/// The three mode buttons, "Damp Value", "Convergent", "Iteration" with its count, the fit's
/// upper limit, the fit check boxes and the arithmetic's precision.
class GaussNewtonPage : public QWidget {
    Q_OBJECT

public:
    GaussNewtonPage(PagesDlg& dialog, QWidget* parent);
    void Load(const view::OptionsDraft& draft);

private:
    QToolButton* AddModeButton(const char* name, const char* caption, const char* hint);
    QCheckBox* AddFitCheck(PagesDlg& dialog, const char* name, const char* caption, int check);

    QToolButton* auto_ok_;
    QToolButton* manu1_;
    QToolButton* manu2_;
    RadioGroup* damp_val_;
    RadioGroup* conv_val_;
    RadioGroup* set_ite_;
    RadioGroup* precision_;
    QLineEdit* manu_ite_;
    QLineEdit* lsf_limit_;
    QCheckBox* position_check_;
    QCheckBox* height_check_;
    QCheckBox* width_check_;
    QCheckBox* widthg_check_;
    QCheckBox* fraction_check_;
    QLabel* label20_;
};

}  // namespace kalvex::app
