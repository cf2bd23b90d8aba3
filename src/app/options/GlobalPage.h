// The "Global Settings" page of the Options dialog.
#pragma once

#include <QWidget>

#include "view/OptionsLogic.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace kalvex::app {

class PagesDlg;
class RadioGroup;

/// Axis unit, line and integral type, spectrum type, refresh mode, report layout, bias setting,
/// magnification, byte order and the form size.
class GlobalPage : public QWidget {
    Q_OBJECT

public:
    GlobalPage(PagesDlg& dialog, QWidget* parent);
    /// Shows the working copy; under kPrintLayout the controls the preview does not use are
    /// disabled and "Bias Setting" hidden.
    void Load(const view::OptionsDraft& draft, view::OptionsScope scope);

private:
    RadioGroup* xaxis_;
    RadioGroup* line_type_;
    RadioGroup* int_type_;
    RadioGroup* f_type_;
    RadioGroup* ref_method_;
    RadioGroup* par_type_;
    RadioGroup* bias_set_;
    QCheckBox* magnify_enable_;
    QCheckBox* x86cpu_;
    QComboBox* d_size_combo_;
    QLabel* form_size_label_;
};

}  // namespace kalvex::app
