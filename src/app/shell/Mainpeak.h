// M_Form: the main window with its menus, tool buttons, read-outs and the spectrum picture.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>

#include "view/AppState.h"
#include "view/Shell.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QToolButton;

namespace kalvex::app {

class About;
class EMF_dialog;
class HelpWindow;
class Horizontal_Shift;
class Input_array_number;
class LSF_GN;
class PagesDlg;
class PictureDlg;
class PlotImage;
class PrevForm;
class Prompter;
class RangeDlg;
class Sel_Dlg;
class SetB;
class height_change;
class ppm_box;

/// The two tool windows that hold the main window in a tool mode while they are open.
enum class ToolWindow { kRangeXY, kReadout };

/// The main window. Owns no document: it works on the AppState handed in by main() and
/// implements the view's Shell for the picture, the read-outs and the tool windows.
class M_Form : public QMainWindow, public view::Shell {
    Q_OBJECT

public:
    /// Reads the settings file of the running program (core::SettingsFilePathFor) at its
    /// creation and writes it when it closes.
    M_Form(view::AppState& state, Prompter& prompter, QWidget* parent = nullptr);
    /// As above with the settings file at `settings_path`.
    M_Form(view::AppState& state, Prompter& prompter, const std::string& settings_path,
           QWidget* parent = nullptr);
    ~M_Form() override;

    view::AppState& State() { return state_; }
    Prompter& Prompts() { return prompter_; }
    PlotImage* Image() { return img_spect_; }
    Sel_Dlg* PeakDialog() { return sel_dlg_; }
    LSF_GN* FitDialog() { return lsf_gn_; }
    PagesDlg* OptionsDialog() { return pages_dlg_; }
    const std::string& SettingsPath() const { return settings_path_; }
    RangeDlg* RangeDialog() { return range_dlg_; }
    ppm_box* Readout() { return ppm_box_; }
    SetB* BiasDialog() { return set_b_; }
    Horizontal_Shift* ShiftDialog() { return horizontal_shift_; }
    height_change* HeightWindow() { return height_change_; }
    /// A menu entry by its name ("RangeXY").
    QAction* Action(const char* name) const;
    /// Folder the open dialog starts in.
    const QString& OpenFolder() const { return open_folder_; }
    void SetOpenFolder(const QString& folder) { open_folder_ = folder; }

    // --- view::Shell
    int ClientWidth() const override;
    int ClientHeight() const override;
    void PlaceBevel(const view::PixelRect& bevel) override;
    view::Canvas& CreatePlotBitmap(const view::PixelRect& image) override;
    view::Canvas* PictureCanvas() override;
    void PictureChanged() override;
    void SetTitle(const std::string& title) override;
    void SetSxxText(const std::string& text) override;
    void SetLsfEnabled(bool enabled) override;
    void SetSaveGLEnabled(bool enabled) override;
    bool OpenSp2Ticked() const override;
    void ShowMessage(const std::string& text) override;
    void TakeKeyboardFocus() override;
    bool PeakInfoVisible() const override;
    int PeakOrderIndex() const override;
    void AppendPeakOrderItem(const std::string& text) override;
    void TruncatePeakOrder(int count) override;
    void ShowPeakInfo(int k) override;
    bool PpmBoxVisible() const override;
    void SetPpmReadout(const view::PpmReadoutTexts& texts) override;
    void SetDiffHzText(const std::string& text) override;
    void SetPpmUnitLabel(const std::string& text) override;
    void ClosePpmReadout() override;
    void OpenPpmReadout() override;
    bool RangeDialogVisible() const override;
    void OpenRangeDialogOnYTab() override;
    void RangeDialogOk() override;
    void RangeDialogReset() override;
    void SetRangeLabel6(const std::string& text) override;
    void SetRangeEdit1(const std::string& text) override;
    void SetRangeEdit2(const std::string& text) override;
    void SetRangeApplyMode() override;
    void SetUpDownYPosition(int position) override;
    void ClearRangeEditedFlags() override;

    /// Opens help topic `topic` (0: the contents, 16: the Options dialog, 23: the print
    /// layout).
    void ShowHelpTopic(int topic);
    /// Whether the print preview window is shown, and closing and reopening it so that it is
    /// drawn anew (the Options dialog's "Apply" from the preview).
    bool PrintPreviewVisible() const;
    void ReopenPrintPreview();
    /// The Options dialog with only its print pages, modeless beside `preview`, its OK
    /// reading "Apply" (the preview's "Lines").
    void ShowPrintLayoutOptions(QWidget* preview);
    /// The preview closes: the Options dialog's OK reads "OK" again and a dialog opened from
    /// the preview closes.
    void ClosePrintLayoutOptions();
    /// The client area's size from the "Form Size" preset (Options::D_size_combo), and the
    /// plot frame laid out in it.
    void ApplySizePreset();

    /// The printer of the preview, printing and the metafiles (the start-up probe's, or the
    /// virtual PDF printer), or nullptr when there is none. Document::PrinterPresent follows.
    QPrinter* Printer() { return printer_.get(); }
    /// Replaces the printer (tests use the virtual one); nullptr leaves none.
    void SetPrinter(std::unique_ptr<QPrinter> printer);
    /// The printer's orientation, as the Options dialog's "Paper Size" shows and sets it.
    bool PrinterPortrait() const;
    void SetPrinterPortrait(bool portrait);
    PrevForm* Preview() { return prev_form_; }
    EMF_dialog* EmfDialog() { return emf_dialog_; }
    PictureDlg* PictureDialog() { return picture_dlg_; }
    HelpWindow* Help() { return help_window_; }
    /// Puts the "EMF" tool button up (the metafile command has ended).
    void ReleaseEmfButton();

    /// Opens `path` as the open command does after its dialog; every reader sets the file
    /// type itself. A failure keeps the previous document and window and returns false.
    bool OpenSpectrumFile(const QString& path);
    /// `kalvex FILE`: opens FILE as the open command does, at start.
    void OpenFromCommandLine(const QString& path);

    // --- Tool modes (the Range XY dialog, the ppm/Hz read-out).
    /// A tool window opens: ToolMode (and RangeDialogOpen for Range XY) set; "File Open",
    /// "Save As File (Dialog Appear)", "EMF", "Print Preview", "Set Bias (&B)" and "Read
    /// ppm/Hz" disabled, and "Range XY" too for the read-out.
    void EnterToolMode(ToolWindow tool);
    /// The tool window closes: the flags cleared, every command above enabled again and the
    /// window's tool button up.
    void LeaveToolMode(ToolWindow tool);
    /// Ends whichever tool mode is active before a command that competes with it (the fit,
    /// another tool, an open): Range XY closes as its Cancel does, the read-out as its Close.
    void EndToolMode();
    /// Every tool button of a tool window shows whether its window is open.
    void SyncToolButtons();
    /// The hint of a spectrum without observe frequency, on "input Freq" and in the read-out.
    void ShowFrequencyHint();
    /// Where the bias and shift dialogs go: a third of the main window's width and a fifth of
    /// its height from its top-left corner.
    QPoint ToolDialogPlace() const;

public slots:
    void M_OpenClick();
    void Open_sp2_fileClick();
    void M_RenameClick();
    void M_SaveClick();
    void M_SaveAsClick();
    void M_saveGLClick();
    void SequentialSavespcClick();
    void PrevPrnClick();
    void emf_buttonClick();
    void ExportPictureClick();
    void A_ResetClick();
    void plusminusClick();
    void verAboutClick();
    void HowToClick();
    void SetOptionClick();
    void RefreshClick();
    void LSFClick();
    void array_updownClick(bool up);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    QAction* AddAction(QMenu* menu, const char* name, const char* caption, bool enabled,
                       void (M_Form::*slot)() = nullptr, bool checkable = false);
    QToolButton* AddToolButton(const char* name, int x, int y, int w, int h, const char* hint,
                               bool flat);
    /// Puts every tool button up except `keep`.
    void ReleaseToolButtons(QToolButton* keep = nullptr);
    /// Command availability when a spectrum has been opened.
    void EnableAfterOpen();
    /// Step 16 of the open command, also after a cancelled dialog.
    void EndOpenCommand();
    /// The first reading of the settings: the open folder, the size preset, the window's
    /// place and the observe frequency.
    void ReadWindowSettings();
    /// Every setting into the settings file; a failure is reported and the close goes on.
    void WriteSettingsAtClose();
    void ShowArrayNumber();
    void SetNormG();
    void SetPGain(const QString& text);
    /// Connects the Tools menu and the left tool buttons to the tool windows.
    void ConnectTools();

    view::AppState& state_;
    Prompter& prompter_;
    std::string settings_path_;
    QString open_folder_;

    QWidget* client_ = nullptr;
    QFrame* m_bevel_ = nullptr;
    PlotImage* img_spect_ = nullptr;
    QToolButton* file_open_button_ = nullptr;
    QToolButton* save_button_ = nullptr;
    QToolButton* preview_button_ = nullptr;
    QToolButton* lsf_ = nullptr;
    QToolButton* range_xy_button_ = nullptr;
    QToolButton* read_ppm_button_ = nullptr;
    QToolButton* set_bias_button_ = nullptr;
    QToolButton* emf_button_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QLabel* sxx_ = nullptr;
    QLabel* norm_g_ = nullptr;
    QLabel* p_gain_ = nullptr;
    QLabel* num_array_ = nullptr;
    QWidget* array_updown_ = nullptr;

    std::unique_ptr<QPrinter> printer_;
    PrevForm* prev_form_ = nullptr;
    EMF_dialog* emf_dialog_ = nullptr;
    PictureDlg* picture_dlg_ = nullptr;
    HelpWindow* help_window_ = nullptr;
    About* about_ = nullptr;
    Input_array_number* input_array_number_ = nullptr;
    Sel_Dlg* sel_dlg_ = nullptr;
    LSF_GN* lsf_gn_ = nullptr;
    PagesDlg* pages_dlg_ = nullptr;
    ppm_box* ppm_box_ = nullptr;
    Horizontal_Shift* horizontal_shift_ = nullptr;
    height_change* height_change_ = nullptr;
    SetB* set_b_ = nullptr;
    RangeDlg* range_dlg_ = nullptr;
};

}  // namespace kalvex::app
