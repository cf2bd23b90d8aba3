// PagesDlg: the Options dialog, four pages of settings with OK, Cancel and HELP.
#pragma once

#include <QDialog>
#include <functional>

#include "view/OptionsLogic.h"

class QPushButton;
class QTabWidget;

namespace kalvex::app {

class GaussNewtonPage;
class GlobalPage;
class M_Form;
class PrintOutPage;
class PrintScalePage;

/// "Options for Setting". Lives for the whole run. Its controls show a working copy of the
/// settings (view::OptionsDraft); OK commits it, Cancel drops it.
class PagesDlg : public QDialog {
    Q_OBJECT

public:
    /// Reads the Options keys of the settings file into the state (the second reading at
    /// start-up) and sets the read-out's unit label.
    PagesDlg(M_Form& main, const std::string& settings_path, QWidget* parent);

    /// "Options (&O)": every page, filled from the state, placed on the main window, modal.
    void ShowFromMenu();
    /// The preview's "Lines": only the print layout usable, the "Print Scale" page in front,
    /// OK reading "Apply", modeless beside `preview`.
    void ShowForPrintLayout(QWidget* preview);
    /// The preview closes: OK reads "OK" again and the dialog closes.
    void ClosePrintLayout();

    /// Runs `change` on the working copy (a kalvex::Error is shown, not thrown) and shows the
    /// result in every page.
    void Edit(const std::function<void(view::OptionsDraft&)>& change);
    const view::OptionsDraft& Draft() const { return draft_; }
    view::OptionsScope Scope() const { return scope_; }
    M_Form& Main() { return main_; }

public slots:
    void OKBtnClick();
    void HelpBtnClick();

private:
    /// Every page from the working copy.
    void Load();
    void Open(view::OptionsScope scope);

    M_Form& main_;
    view::OptionsDraft draft_;
    view::OptionsScope scope_ = view::OptionsScope::kAll;

    QTabWidget* tabs_ = nullptr;
    GlobalPage* global_ = nullptr;
    GaussNewtonPage* gauss_newton_ = nullptr;
    PrintOutPage* print_out_ = nullptr;
    PrintScalePage* print_scale_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace kalvex::app
