// The "Print Scale" page of the Options dialog: the printed plot's lengths and the paper.
#pragma once

#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "view/OptionsLogic.h"

class QLabel;
class QLineEdit;

namespace kalvex::app {

class PagesDlg;
class RadioGroup;

/// The six lengths in cm, the tick spacing, "Paper Size", "Scale Setting", "Default" and
/// "Calc", with a picture that shows what the lengths measure.
class PrintScalePage : public QWidget {
    Q_OBJECT

public:
    PrintScalePage(PagesDlg& dialog, QWidget* parent);
    void Load(const view::OptionsDraft& draft);

private:
    QLineEdit* AddLength(PagesDlg& dialog, const char* name,
                         std::string core::PrintLengthTexts::*text);

    std::vector<std::pair<QLineEdit*, std::string core::PrintLengthTexts::*>> lengths_;
    QLineEdit* u_height_ = nullptr;
    QLineEdit* spc_margin_ = nullptr;
    QLineEdit* x_delta_ = nullptr;
    RadioGroup* paper_ = nullptr;
    RadioGroup* scale_set_ = nullptr;
    QLabel* xm_ = nullptr;
    QLabel* ym_ = nullptr;
};

}  // namespace kalvex::app
