#include "app/options/GaussNewtonPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

#include "app/options/PagesDlg.h"
#include "app/options/RadioGroup.h"
#include "fit/FitDialogRules.h"

namespace kalvex::app {

namespace {

using view::OptionsDraft;

QLineEdit* AddEdit(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(80);
    return e;
}

// Sets a text only when it differs, so the cursor stays where the user is typing.
void ShowText(QLineEdit* edit, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (edit->text() != q) edit->setText(q);
}

void ShowCheck(QCheckBox* box, bool on, bool enabled = true) {
    const QSignalBlocker quiet(box);
    box->setChecked(on);
    box->setEnabled(enabled);
}

}  // namespace

QToolButton* GaussNewtonPage::AddModeButton(const char* name, const char* caption,
                                            const char* hint) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromLatin1(caption));
    b->setToolTip(QString::fromLatin1(hint));
    b->setCheckable(true);
    b->setMinimumWidth(80);
    return b;
}

QCheckBox* GaussNewtonPage::AddFitCheck(PagesDlg& dialog, const char* name, const char* caption,
                                        int check) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), this);
    c->setObjectName(QString::fromLatin1(name));
    connect(c, &QCheckBox::toggled, this, [&dialog, check](bool on) {
        dialog.Edit([check, on](OptionsDraft& d) {
            const auto which = static_cast<fit::FitOptionCheck>(check);
            if (which == fit::FitOptionCheck::kFraction) {
                d.Opts.fraction_Check = on;  // no reaction of its own
            } else {
                fit::SetOptionCheck(d.Opts, d.FitSelect, which, on);
            }
        });
    });
    return c;
}

GaussNewtonPage::GaussNewtonPage(PagesDlg& dialog, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GaussNewton"));
    auto_ok_ = AddModeButton("AutoOK", "AUTO", "Auto LSF (Default)");
    manu1_ = AddModeButton("Manu1", "Semi Auto", "Semi Manual");
    manu2_ = AddModeButton("Manu2", "Manual", "Complete Manual");
    damp_val_ = new RadioGroup("DampVal", QStringLiteral("Damp Value"),
                               {"1.00", "0.10", "0.01", "0.001", "0.0001 ", "0.00001"}, this);
    damp_val_->setToolTip(QStringLiteral("New parameter * Damp Value"));
    conv_val_ = new RadioGroup(
        "ConvVal", QStringLiteral("Convergent"),
        {"0.1", "0.01", "0.001", "0.0001", "0.00001", "1E-6", "1E-7", "1E-8", "Auto Set"}, this, 2);
    conv_val_->setToolTip(QStringLiteral("delta < Convergent"));
    set_ite_ =
        new RadioGroup("Set_Ite", QStringLiteral("Iteration"), {"AUTO", "Manual Set"}, this, 2);
    manu_ite_ = AddEdit("Manu_ITE", this);
    lsf_limit_ = AddEdit("LSFlimit", this);
    precision_ = new RadioGroup("Precision", QStringLiteral("Precision"),
                                {"Extended (exact)", "Double (fast)"}, this);

    auto* group = new QGroupBox(QStringLiteral("Least Square Fit"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    position_check_ =
        AddFitCheck(dialog, "Position_Check", "Position", int(fit::FitOptionCheck::kPosition));
    height_check_ =
        AddFitCheck(dialog, "Height_Check", "Height", int(fit::FitOptionCheck::kHeight));
    width_check_ = AddFitCheck(dialog, "Width_Check", "Width", int(fit::FitOptionCheck::kWidth));
    widthg_check_ =
        AddFitCheck(dialog, "WidthG_Check", "Gaussian", int(fit::FitOptionCheck::kWidthG));
    fraction_check_ =
        AddFitCheck(dialog, "fraction_Check", "Fraction L", int(fit::FitOptionCheck::kFraction));
    label20_ = new QLabel(QStringLiteral("Lorentz"), this);
    label20_->setObjectName(QStringLiteral("Label20"));
    auto* checks = new QGridLayout(group);
    checks->addWidget(position_check_, 0, 0);
    checks->addWidget(height_check_, 1, 0);
    checks->addWidget(width_check_, 2, 0);
    checks->addWidget(label20_, 2, 1);
    checks->addWidget(widthg_check_, 3, 0);
    checks->addWidget(fraction_check_, 4, 0);

    auto* modes = new QHBoxLayout;
    for (QToolButton* b : {auto_ok_, manu1_, manu2_}) modes->addWidget(b);
    modes->addStretch();
    auto* counts = new QGridLayout;
    counts->addWidget(new QLabel(QStringLiteral("Iteration ="), this), 0, 0);
    counts->addWidget(manu_ite_, 0, 1);
    counts->addWidget(new QLabel(QStringLiteral("Max Limit of | r |  ="), this), 1, 0);
    counts->addWidget(lsf_limit_, 1, 1);
    counts->addWidget(new QLabel(QStringLiteral("less than 50"), this), 1, 2);
    auto* grid = new QGridLayout(this);
    grid->addLayout(modes, 0, 0, 1, 3);
    grid->addWidget(damp_val_, 1, 0, 2, 1);
    grid->addWidget(conv_val_, 1, 1);
    grid->addWidget(set_ite_, 2, 1);
    grid->addWidget(group, 1, 2);
    grid->addWidget(precision_, 2, 2);
    grid->addLayout(counts, 3, 0, 1, 3);

    const std::pair<QToolButton*, core::FitModeButton> buttons[] = {
        {auto_ok_, core::FitModeButton::kAuto},
        {manu1_, core::FitModeButton::kSemiAuto},
        {manu2_, core::FitModeButton::kManual}};
    for (const auto& [button, mode] : buttons) {
        connect(button, &QToolButton::clicked, this, [&dialog, m = mode] {
            dialog.Edit([m](OptionsDraft& d) { core::PressModeButton(d.Opts, m); });
        });
    }
    connect(damp_val_, &RadioGroup::Chosen, this,
            [&dialog](int i) { dialog.Edit([i](OptionsDraft& d) { d.Opts.DampVal = i; }); });
    connect(conv_val_, &RadioGroup::Chosen, this, [&dialog](int i) {
        dialog.Edit([i](OptionsDraft& d) { core::ChooseConvergent(d.Opts, i); });
    });
    connect(set_ite_, &RadioGroup::Chosen, this,
            [&dialog](int i) { dialog.Edit([i](OptionsDraft& d) { d.Opts.Set_Ite = i; }); });
    connect(precision_, &RadioGroup::Chosen, this,
            [&dialog](int i) { dialog.Edit([i](OptionsDraft& d) { d.Opts.Precision = i; }); });
    connect(manu_ite_, &QLineEdit::textEdited, this, [&dialog](const QString& t) {
        dialog.Edit([s = t.toStdString()](OptionsDraft& d) { d.Opts.Manu_ITE = s; });
    });
    // Rounded when the user leaves the edit: rounding each keystroke would swallow the point.
    connect(manu_ite_, &QLineEdit::editingFinished, this, [&dialog] {
        dialog.Edit(
            [](OptionsDraft& d) { d.Opts.Manu_ITE = core::RoundIterationText(d.Opts.Manu_ITE); });
    });
    connect(lsf_limit_, &QLineEdit::textEdited, this, [&dialog](const QString& t) {
        dialog.Edit([s = t.toStdString()](OptionsDraft& d) { view::EditUpperLimit(d, s); });
    });
}

void GaussNewtonPage::Load(const view::OptionsDraft& draft) {
    const core::Options& o = draft.Opts;
    auto_ok_->setChecked(o.AutoOK);
    manu1_->setChecked(o.Manu1);
    manu2_->setChecked(o.Manu2);
    damp_val_->SetIndex(o.DampVal);
    conv_val_->SetIndex(o.ConvVal);
    set_ite_->SetIndex(o.Set_Ite);
    precision_->SetIndex(o.Precision);
    ShowText(manu_ite_, o.Manu_ITE);
    ShowText(lsf_limit_, o.LSFlimit);
    const core::GaussNewtonEnables on = core::GaussNewtonEnablesOf(o);
    damp_val_->setEnabled(on.DampVal);
    conv_val_->setEnabled(on.ConvVal);
    set_ite_->setEnabled(on.Set_Ite);
    manu_ite_->setEnabled(on.Manu_ITE);

    const bool gl = core::GaussLorentzChecksEnabled(o);
    ShowCheck(position_check_, o.Position_Check);
    ShowCheck(height_check_, o.Height_Check);
    ShowCheck(width_check_, o.Width_Check);
    ShowCheck(widthg_check_, o.WidthG_Check, gl);
    ShowCheck(fraction_check_, o.fraction_Check, gl);
    label20_->setEnabled(gl);
}

}  // namespace kalvex::app
