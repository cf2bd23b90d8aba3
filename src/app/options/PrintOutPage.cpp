#include "app/options/PrintOutPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/options/PagesDlg.h"
#include "app/options/RadioGroup.h"

namespace kalvex::app {

QCheckBox* PrintOutPage::AddPrintCheck(PagesDlg& dialog, const char* name, const char* caption,
                                       bool core::Options::*member) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), this);
    c->setObjectName(QString::fromLatin1(name));
    connect(c, &QCheckBox::toggled, this, [&dialog, member](bool on) {
        dialog.Edit([member, on](view::OptionsDraft& d) { d.Opts.*member = on; });
    });
    checks_.emplace_back(c, member);
    return c;
}

RadioGroup* PrintOutPage::AddGroup(PagesDlg& dialog, const char* name, const char* caption,
                                   const QStringList& items, int core::Options::*member) {
    auto* g = new RadioGroup(name, QString::fromLatin1(caption), items, this);
    connect(g, &RadioGroup::Chosen, this, [&dialog, member](int i) {
        dialog.Edit([member, i](view::OptionsDraft& d) { d.Opts.*member = i; });
    });
    groups_.emplace_back(g, member);
    return g;
}

PrintOutPage::PrintOutPage(PagesDlg& dialog, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PrintOut"));
    using O = core::Options;
    auto* type = new QGroupBox(QStringLiteral("Print Type"), this);
    type->setObjectName(QStringLiteral("Prn_Type"));
    auto* type_layout = new QVBoxLayout(type);
    type_layout->addWidget(
        AddPrintCheck(dialog, "Prn_Source", "Draw Source Spectrum", &O::Prn_Source));
    type_layout->addWidget(AddPrintCheck(dialog, "Prn_Peaks", "Draw each Peak", &O::Prn_Peaks));
    type_layout->addWidget(
        AddPrintCheck(dialog, "Prn_Sum", "Draw the Summation of Peaks ", &O::Prn_Sum));
    type_layout->addWidget(
        AddPrintCheck(dialog, "Prn_xline", "Draw the X Line and the values", &O::Prn_xline));

    const QStringList widths = {"Thin", "Regular", "Bold", "Super Bold"};
    const QStringList styles = {"Solid", "Broken", "Broken-Dot"};
    auto* grid = new QGridLayout(this);
    grid->addWidget(type, 0, 0, 1, 2);
    grid->addWidget(AddGroup(dialog, "S_Line1", "Spectrum", widths, &O::S_Line1), 1, 0);
    RadioGroup* xline =
        AddGroup(dialog, "XLine_Style", "X Line Width", {"Regular", "Bold"}, &O::XLine_Style);
    xline->setToolTip(QStringLiteral("Only Solid"));
    grid->addWidget(xline, 1, 1);
    grid->addWidget(AddGroup(dialog, "P_Line1", "Peaks", widths, &O::P_Line1), 1, 2);
    grid->addWidget(AddGroup(dialog, "Sum_Line1", "Summation", widths, &O::Sum_Line1), 1, 3);
    RadioGroup* peak_style = AddGroup(dialog, "P_Line2", "Line of Peaks", styles, &O::P_Line2);
    RadioGroup* sum_style = AddGroup(dialog, "Sum_Line2", "Line of Sum", styles, &O::Sum_Line2);
    for (RadioGroup* g : {peak_style, sum_style}) g->setToolTip(QStringLiteral("Only Solid"));
    grid->addWidget(peak_style, 0, 2);
    grid->addWidget(sum_style, 0, 3);
}

void PrintOutPage::Load(const view::OptionsDraft& draft) {
    for (const auto& [box, member] : checks_) {
        const QSignalBlocker quiet(box);
        box->setChecked(draft.Opts.*member);
    }
    for (const auto& [group, member] : groups_) group->SetIndex(draft.Opts.*member);
}

}  // namespace kalvex::app
