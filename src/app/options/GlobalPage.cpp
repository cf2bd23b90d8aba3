#include "app/options/GlobalPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "app/options/PagesDlg.h"
#include "app/options/RadioGroup.h"
#include "core/FormSize.h"

namespace kalvex::app {

namespace {

QCheckBox* AddCheck(const char* name, const char* caption, QWidget* parent) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

}  // namespace

GlobalPage::GlobalPage(PagesDlg& dialog, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GlobalSettings"));
    xaxis_ = new RadioGroup("Xaxis", QStringLiteral("X axis"), {"ppm", "Hz"}, this);
    line_type_ = new RadioGroup("LGselect", QStringLiteral("Line Type"),
                                {"Gauss", "Lorentz", "Gauss+Lorentz"}, this);
    int_type_ =
        new RadioGroup("Int_Type", QStringLiteral("Integral Type"), {"Area", "Compatible"}, this);
    f_type_ = new RadioGroup(
        "F_Type", QStringLiteral("Spectrum"),
        {"spc (seq)", "spc (col)", "dat (XY)", "1rd (1r)", "vdt (txt)", "vnj (v1r)"}, this);
    ref_method_ =
        new RadioGroup("RefMethod", QStringLiteral("Refresh Mode"), {"Auto", "Refresh Btn"}, this);
    par_type_ = new RadioGroup("ParType", QStringLiteral("Table Llist"),
                               {"Select Params", "All Params"}, this);
    bias_set_ = new RadioGroup("Bias_set", QStringLiteral("Bias Setting"),
                               {"Manual", "Auto", "Manual+Auto"}, this);
    magnify_enable_ = AddCheck("magnify_enable", "  Enable Auto Magnification", this);
    x86cpu_ = AddCheck("x86cpu", "  Set integer  type to x86 CPU", this);
    d_size_combo_ = new QComboBox(this);
    d_size_combo_->setObjectName(QStringLiteral("D_size_combo"));
    for (const char* text : core::kFormSizeTexts) d_size_combo_->addItem(QString::fromLatin1(text));
    form_size_label_ = new QLabel(QStringLiteral("Form Size"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(xaxis_, 0, 0);
    grid->addWidget(line_type_, 1, 0);
    grid->addWidget(int_type_, 2, 0);
    grid->addWidget(f_type_, 0, 1, 2, 1);
    grid->addWidget(ref_method_, 2, 1);
    grid->addWidget(par_type_, 0, 2);
    grid->addWidget(bias_set_, 1, 2);
    auto* lower = new QGridLayout;
    lower->addWidget(new QLabel(QStringLiteral("Magnification"), this), 0, 0);
    lower->addWidget(magnify_enable_, 1, 0);
    lower->addWidget(new QLabel(QStringLiteral("type to x86 CPU"), this), 0, 1);
    lower->addWidget(x86cpu_, 1, 1);
    lower->addWidget(form_size_label_, 0, 2);
    lower->addWidget(d_size_combo_, 1, 2);
    grid->addLayout(lower, 3, 0, 1, 3);

    using view::OptionsDraft;
    connect(xaxis_, &RadioGroup::Chosen, this,
            [&dialog](int i) { dialog.Edit([i](OptionsDraft& d) { view::ChooseXaxis(d, i); }); });
    connect(line_type_, &RadioGroup::Chosen, this, [&dialog](int i) {
        dialog.Edit([i](OptionsDraft& d) { view::ChooseLineTypeItem(d, i); });
    });
    connect(int_type_, &RadioGroup::Chosen, this, [&dialog](int i) {
        dialog.Edit([i](OptionsDraft& d) { core::ChooseIntType(d.Opts, i); });
    });
    connect(f_type_, &RadioGroup::Chosen, this,
            [&dialog](int i) { dialog.Edit([i](OptionsDraft& d) { d.F_Type = i; }); });
    connect(ref_method_, &RadioGroup::Chosen, this,
            [&dialog](int i) { dialog.Edit([i](OptionsDraft& d) { d.Opts.RefMethod = i; }); });
    connect(par_type_, &RadioGroup::Chosen, this,
            [&dialog](int i) { dialog.Edit([i](OptionsDraft& d) { d.Opts.ParType = i; }); });
    connect(bias_set_, &RadioGroup::Chosen, this,
            [&dialog](int i) { dialog.Edit([i](OptionsDraft& d) { d.Opts.Bias_set = i; }); });
    connect(magnify_enable_, &QCheckBox::toggled, this, [&dialog](bool on) {
        dialog.Edit([on](OptionsDraft& d) { d.Opts.magnify_enable = on; });
    });
    connect(x86cpu_, &QCheckBox::toggled, this,
            [&dialog](bool on) { dialog.Edit([on](OptionsDraft& d) { d.Opts.x86cpu = on; }); });
    connect(d_size_combo_, &QComboBox::activated, this, [&dialog](int i) {
        dialog.Edit([i](OptionsDraft& d) { view::ChooseFormSize(d, i); });
    });
}

void GlobalPage::Load(const view::OptionsDraft& draft, view::OptionsScope scope) {
    const core::Options& o = draft.Opts;
    xaxis_->SetIndex(o.Xaxis);
    line_type_->SetIndex(o.LGselect);
    int_type_->SetIndex(o.Int_Type);
    f_type_->SetIndex(draft.F_Type);
    ref_method_->SetIndex(o.RefMethod);
    par_type_->SetIndex(o.ParType);
    bias_set_->SetIndex(o.Bias_set);
    for (auto [box, on] : {std::pair{magnify_enable_, o.magnify_enable}, {x86cpu_, o.x86cpu}}) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
    {
        const QSignalBlocker quiet(d_size_combo_);
        d_size_combo_->setCurrentIndex(o.D_size_combo);
    }

    const bool all = scope == view::OptionsScope::kAll;
    for (QWidget* w : std::initializer_list<QWidget*>{d_size_combo_, form_size_label_, f_type_,
                                                      par_type_, line_type_, ref_method_}) {
        w->setEnabled(all);
    }
    bias_set_->setVisible(all);
}

}  // namespace kalvex::app
