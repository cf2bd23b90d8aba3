// The "Print Out" page of the Options dialog: what the printed plot shows, and its pens.
#pragma once

#include <QWidget>
#include <utility>
#include <vector>

#include "view/OptionsLogic.h"

class QCheckBox;

namespace kalvex::app {

class PagesDlg;
class RadioGroup;

/// The four "Print Type" boxes and the pen width and line style groups of the output.
class PrintOutPage : public QWidget {
    Q_OBJECT

public:
    PrintOutPage(PagesDlg& dialog, QWidget* parent);
    void Load(const view::OptionsDraft& draft);

private:
    QCheckBox* AddPrintCheck(PagesDlg& dialog, const char* name, const char* caption,
                             bool core::Options::*member);
    RadioGroup* AddGroup(PagesDlg& dialog, const char* name, const char* caption,
                         const QStringList& items, int core::Options::*member);

    std::vector<std::pair<QCheckBox*, bool core::Options::*>> checks_;
    std::vector<std::pair<RadioGroup*, int core::Options::*>> groups_;
};

}  // namespace kalvex::app
