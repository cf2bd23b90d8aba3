// M_Form's settings: the first reading at its creation, the writing at its close, and the
// Options dialog's two ways in.
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include "app/options/PagesDlg.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "core/Error.h"
#include "core/HelpPages.h"
#include "core/Settings.h"

namespace kalvex::app {

void M_Form::ReadWindowSettings() {
    core::WindowSettings window;
    core::ReadMainWindowSettings(core::ReadIniFile(settings_path_), window, state_.Opts,
                                 state_.Doc);
    if (window.Path.empty()) {
        // The program's own folder, or on a first start the examples beside it in a build or
        // installed with it.
        open_folder_ = QCoreApplication::applicationDirPath();
        for (const std::string& folder :
             core::DataFolderCandidates(open_folder_.toStdString(), "examples")) {
            if (QFileInfo(QString::fromStdString(folder)).isDir()) {
                open_folder_ = QString::fromStdString(folder);
                break;
            }
        }
    } else {
        open_folder_ = QString::fromStdString(window.Path);
    }
    ApplySizePreset();
    std::vector<core::ScreenArea> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->availableGeometry();
        screens.push_back({r.left(), r.top(), r.width(), r.height()});
    }
    const core::WindowPoint at = core::VisibleWindowPlace(window, screens);
    move(at.Left, at.Top);
}

void M_Form::WriteSettingsAtClose() {
    const core::WindowSettings window{open_folder_.toStdString(), x(), y()};
    try {
        core::SaveSettingsFile(settings_path_, window, state_.Opts, state_.Doc);
    } catch (const Error& e) {
        // The program still ends: the settings of this run are lost, nothing else.
        prompter_.Error(this, QString::fromStdString(e.what()));
    }
}

void M_Form::SetOptionClick() { pages_dlg_->ShowFromMenu(); }

void M_Form::ShowPrintLayoutOptions(QWidget* preview) { pages_dlg_->ShowForPrintLayout(preview); }

void M_Form::ClosePrintLayoutOptions() { pages_dlg_->ClosePrintLayout(); }

}  // namespace kalvex::app
