#include "app/options/PagesDlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/options/GaussNewtonPage.h"
#include "app/options/GlobalPage.h"
#include "app/options/PrintOutPage.h"
#include "app/options/PrintScalePage.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/RunCommand.h"
#include "core/Settings.h"

namespace kalvex::app {

namespace {

enum Page { kGlobalPage, kGaussNewtonPage, kPrintOutPage, kPrintScalePage };

}  // namespace

PagesDlg::PagesDlg(M_Form& main, const std::string& settings_path, QWidget* parent)
    : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("PagesDlg"));
    setWindowTitle(QStringLiteral("Options for Setting"));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    global_ = new GlobalPage(*this, tabs_);
    gauss_newton_ = new GaussNewtonPage(*this, tabs_);
    print_out_ = new PrintOutPage(*this, tabs_);
    print_scale_ = new PrintScalePage(*this, tabs_);
    tabs_->addTab(global_, QStringLiteral("Global Settings"));
    tabs_->addTab(gauss_newton_, QStringLiteral("GaussNewton"));
    tabs_->addTab(print_out_, QStringLiteral("Print Out"));
    tabs_->addTab(print_scale_, QStringLiteral("Print Scale"));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OKBtn"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    auto* help = new QPushButton(QStringLiteral("HELP(&H)"), this);
    help->setObjectName(QStringLiteral("HelpBtn"));
    for (QPushButton* b : {cancel, help}) b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {ok_, cancel, help}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &PagesDlg::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &PagesDlg::HelpBtnClick);

    // The second reading of the settings at start-up: everything the dialog's controls keep.
    view::AppState& state = main_.State();
    const core::IniFile ini = core::ReadIniFile(settings_path);
    core::ReadOptionsSettings(ini, state.Opts, state.Doc);
    core::ReadPrintSettings(ini, state.Opts);
    main_.SetPpmUnitLabel(state.Doc.XAxisPpm ? "ppm " : "Hz ");
    Open(view::OptionsScope::kAll);
}

void PagesDlg::Open(view::OptionsScope scope) {
    scope_ = scope;
    draft_ = view::OpenOptionsDraft(main_.State());
    const bool all = scope == view::OptionsScope::kAll;
    const bool printer = main_.State().Doc.PrinterPresent;
    // "Paper Size" shows the printer's orientation, which its page setup may have changed.
    if (printer) draft_.Opts.Print.PortraitPaper = main_.PrinterPortrait();
    ok_->setText(all ? QStringLiteral("OK") : QStringLiteral("Apply"));
    tabs_->setTabEnabled(kGaussNewtonPage, all);
    tabs_->setTabEnabled(kPrintOutPage, printer);
    tabs_->setTabEnabled(kPrintScalePage, printer);
    Load();
}

void PagesDlg::Load() {
    global_->Load(draft_, scope_);
    gauss_newton_->Load(draft_);
    print_out_->Load(draft_);
    print_scale_->Load(draft_);
}

void PagesDlg::Edit(const std::function<void(view::OptionsDraft&)>& change) {
    RunCommand(this, main_.Prompts(), [&] { change(draft_); });
    Load();
}

void PagesDlg::ShowFromMenu() {
    hide();  // a use from the print preview ends here
    Open(view::OptionsScope::kAll);
    tabs_->setCurrentIndex(kGlobalPage);
    adjustSize();
    const QRect m = main_.frameGeometry();
    const core::WindowPoint at = core::OptionsDialogPlace(m.left(), m.top(), m.width(), m.height(),
                                                          main_.ClientHeight(), width());
    move(at.Left, at.Top);
    // Modal for the whole program, as the menu's dialogs are, without a nested event loop.
    setModal(true);
    show();
    raise();
    activateWindow();
}

void PagesDlg::ShowForPrintLayout(QWidget* preview) {
    if (isVisible() && scope_ == view::OptionsScope::kAll) return;  // the modal use goes on
    Open(view::OptionsScope::kPrintLayout);
    tabs_->setCurrentIndex(kPrintScalePage);
    adjustSize();
    if (preview != nullptr) {
        const QRect p = preview->frameGeometry();
        const core::WindowPoint at = core::PrintLayoutDialogPlace(p.left(), p.top(), p.width());
        move(at.Left, at.Top);
    }
    setModal(false);
    show();
    raise();
}

void PagesDlg::ClosePrintLayout() {
    ok_->setText(QStringLiteral("OK"));
    if (isVisible() && scope_ == view::OptionsScope::kPrintLayout) reject();
}

void PagesDlg::OKBtnClick() {
    view::AppState& state = main_.State();
    const bool changed = draft_.Changed;
    if (!RunCommand(this, main_.Prompts(),
                    [&] { view::CommitOptionsDraft(draft_, state, scope_); })) {
        return;  // nothing applied; the dialog stays for a correction
    }
    if (scope_ == view::OptionsScope::kAll) main_.ApplySizePreset();
    main_.SetPrinterPortrait(state.Opts.Print.PortraitPaper);
    const bool preview = state.Doc.PrinterPresent && main_.PrintPreviewVisible();
    // From the preview the dialog stays open as "Apply"; from the menu OK ends it.
    const bool stays = preview && scope_ == view::OptionsScope::kPrintLayout;
    if (!stays) accept();
    if (preview) main_.ReopenPrintPreview();
    RunCommand(this, main_.Prompts(), [&] { view::FinishOptionsOk(state, main_, changed); });
    if (stays) Open(scope_);
}

void PagesDlg::HelpBtnClick() { main_.ShowHelpTopic(main_.PrintPreviewVisible() ? 23 : 16); }

}  // namespace kalvex::app
