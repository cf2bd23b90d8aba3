// M_Form's file commands: open a spectrum or a peak file, the saves, Sequential Save.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>

#include "app/peaks/Peaks.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "app/tools/SetB.h"
#include "app/tools/array_number.h"
#include "core/FileSystem.h"
#include "files/OpenCommand.h"
#include "files/PeakLines.h"
#include "files/SaveCommand.h"
#include "files/SpcFile.h"
#include "tools/Bias.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

namespace {

const char* const kTooLongPath =
    "Too Long Directry and File name: Must be shorter than 255 characters";

}  // namespace

void M_Form::M_OpenClick() {
    // Filter preselection from the type of the spectrum open now.
    const int type = state_.Doc.F_Type;
    const int filter_index = (type == 0 || type == 1) ? 1 : (type >= 2 && type <= 4) ? type : 5;
    const QString gain = p_gain_->text();
    SetPGain(QStringLiteral(" "));
    const QString offered = state_.Doc.SpectrumFileName.empty()
                                ? QString()
                                : QString::fromUtf8(state_.Doc.SpectrumFileName);
    const FileChoice choice = prompter_.OpenFile(
        this, open_folder_, offered, QtNameFilters(files::OpenDialogFilter()), filter_index);
    // A failed open leaves the window as it was; only a cancelled dialog keeps the blank.
    if (!choice.Path.isEmpty() && !OpenSpectrumFile(choice.Path)) SetPGain(gain);
    EndOpenCommand();
}

bool M_Form::OpenSpectrumFile(const QString& qpath) {
    const std::string path = qpath.toStdString();
    if (files::PathTooLongToOpen(path)) {
        // Refused before anything is cleared, so the open document stays usable.
        prompter_.Information(this, QString::fromLatin1(kTooLongPath));
        return false;
    }
    core::Document fresh;
    files::PeakFileNotes peak_file;
    const bool read = RunCommand(this, prompter_, [&] {
        fresh = files::LoadSpectrum(
            path, state_.Doc, state_.Opts,
            [this](int count) { return input_array_number_->Ask(count); }, &peak_file);
    });
    if (!read) return false;

    // The new spectrum replaces the old one only now that it has been read completely. A tool
    // window of the old one closes first, so its mode does not outlive the spectrum.
    EndToolMode();
    state_.View.ResetForOpen();
    sel_dlg_->HideBoth();
    sxx_->clear();
    open_folder_ = QFileInfo(qpath).absolutePath();
    state_.Doc.Release();
    state_.Doc = std::move(fresh);
    state_.Doc.SpectrumLoaded = true;
    EnableAfterOpen();
    state_.Opts.XTickManual = false;

    state_.Opts.LGselect = state_.Doc.PeakKindLorentz ? 1 : 0;
    const float bauto = tools::ComputeAutoBias(state_.Doc);
    tools::ApplyAutoBiasSetting(state_.Doc, state_.Opts.Bias_set, bauto);
    set_b_->AfterOpen(QString::fromLatin1(tools::AutoBiasLabel(state_.Doc, bauto)));

    RunCommand(this, prompter_, [&] { view::DrawOpenedSpectrum(state_, *this); });
    SetTitle(view::ShortTitle(state_.Doc));
    SetNormG();
    SetPGain(QString::fromLatin1(view::PGainText(state_.Doc, state_.Opts)));
    ShowArrayNumber();
    ShowFrequencyHint();
    if (!peak_file.Error.empty()) {
        prompter_.Error(this, QStringLiteral("The spectrum is open without peaks: its peak file "
                                             "cannot be read.\n") +
                                  QString::fromStdString(peak_file.Error));
    }
    return true;
}

void M_Form::OpenFromCommandLine(const QString& path) {
    OpenSpectrumFile(QFileInfo(path).absoluteFilePath());
    EndOpenCommand();
}

void M_Form::Open_sp2_fileClick() {
    QAction* tick = Action("Open_sp2_file");
    const FileChoice choice = prompter_.OpenFile(this, open_folder_, QString(),
                                                 QtNameFilters("Peak Data (*.sp2)|*.sp2"), 1);
    if (choice.Path.isEmpty()) return;
    tick->setChecked(true);
    A_ResetClick();
    RunCommand(this, prompter_, [&] {
        // Read into a copy: a bad file leaves the table as All Reset left it.
        core::Document doc = state_.Doc;
        files::ReadPeakFileIfPresent(choice.Path.toStdString(), doc);
        state_.Doc = std::move(doc);
    });
    if (state_.Doc.PeakCount > 0 && tick->isChecked()) {
        sel_dlg_->TruncateItems(0);
        view::DrawPeaksOnPicture(state_, *this);
        for (int k = 1; k <= state_.Doc.PeakCount; ++k) sel_dlg_->AppendItem(QString::number(k));
        view::RefreshClick(state_, *this);
    }
}

void M_Form::M_SaveClick() {
    RunCommand(this, prompter_, [&] {
        if (files::SaveSpectrum(state_.Doc.SaveFileName, state_.Doc) ==
            files::PeakWriteStatus::kNoPeakData) {
            prompter_.Information(this, QString::fromLatin1(files::kNoPeakDataMessage));
        }
    });
}

void M_Form::M_SaveAsClick() {
    RunCommand(this, prompter_, [&] {
        const std::string path = core::ReplaceExtension(state_.Doc.SpectrumFileName, ".sp2");
        if (files::WritePeakFile(path, state_.Doc) == files::PeakWriteStatus::kNoPeakData) {
            prompter_.Information(this, QString::fromLatin1(files::kNoPeakDataMessage));
        }
    });
}

void M_Form::M_saveGLClick() {
    RunCommand(this, prompter_, [&] {
        const std::string path = core::ReplaceExtension(state_.Doc.SpectrumFileName, ".sp3");
        if (files::WriteCurveTable(path, state_.Doc) == files::PeakWriteStatus::kNoPeakData) {
            prompter_.Information(this, QString::fromLatin1(files::kNoPeakDataMessage));
        }
    });
}

void M_Form::M_RenameClick() {
    RunCommand(this, prompter_, [&] {
        const files::SaveAsProposal proposal = files::ProposeSaveAs(state_.Doc);
        const FileChoice choice = prompter_.SaveFile(
            this, QString::fromUtf8(proposal.Folder),
            QString::fromUtf8(core::FileNameOf(proposal.ProposedPath)),
            QtNameFilters(files::kSaveAsFilter), proposal.FilterIndex,
            [](int index, const QString& name) {
                return QString::fromUtf8(files::RenameForSaveType(name.toStdString(), index));
            });
        if (choice.Path.isEmpty()) return;
        const files::SaveAsResult result = files::SaveAsChosenPath(
            state_.Doc, choice.Path.toStdString(), [this](const std::string& existing) {
                return prompter_.Confirm(this, QString::fromStdString(existing) +
                                                   QStringLiteral(" already exists.\nDo you "
                                                                  "want to replace it?"));
            });
        if (!result.SpectrumWritten) {
            prompter_.Information(this, QString::fromLatin1(files::kNotSavedMessage));
        } else if (result.PeakFile == files::PeakWriteStatus::kNoPeakData) {
            prompter_.Information(this, QString::fromLatin1(files::kNoPeakDataMessage));
        }
    });
    save_button_->setChecked(false);
}

void M_Form::SequentialSavespcClick() {
    if (!state_.Doc.IsArrayed) return;
    RunCommand(this, prompter_, [&] { files::SequentialSave(state_.Doc, state_.Opts); });
    // Also after a failed save the spectrum shown before is back in the document: show it.
    ShowArrayNumber();
    RefreshClick();
    SetNormG();
}

}  // namespace kalvex::app
