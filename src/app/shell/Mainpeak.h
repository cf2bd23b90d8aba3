// M_Form: the main window with its menus, tool buttons, read-outs and the spectrum picture.
#pragma once

#include <QMainWindow>
#include <QString>
#include <string>

#include "view/AppState.h"
#include "view/Shell.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace kalvex::app {

class About;
class Input_array_number;
class LSF_GN;
class PlotImage;
class Prompter;
class Sel_Dlg;

/// The main window. Owns no document: it works on the AppState handed in by main() and
/// implements the view's Shell for the picture, the read-outs and the tool windows.
class M_Form : public QMainWindow, public view::Shell {
    Q_OBJECT

public:
    M_Form(view::AppState& state, Prompter& prompter, QWidget* parent = nullptr);
    ~M_Form() override;

    view::AppState& State() { return state_; }
    Prompter& Prompts() { return prompter_; }
    PlotImage* Image() { return img_spect_; }
    Sel_Dlg* PeakDialog() { return sel_dlg_; }
    LSF_GN* FitDialog() { return lsf_gn_; }
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

    /// Opens `path` as the open command does after its dialog; every reader sets the file
    /// type itself. A failure keeps the previous document and window and returns false.
    bool OpenSpectrumFile(const QString& path);

public slots:
    void M_OpenClick();
    void Open_sp2_fileClick();
    void M_RenameClick();
    void M_SaveClick();
    void M_SaveAsClick();
    void M_saveGLClick();
    void SequentialSavespcClick();
    void PrevPrnClick();
    void A_ResetClick();
    void plusminusClick();
    void verAboutClick();
    void HowToClick();
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
    void ApplySizePreset();
    void ShowArrayNumber();
    void SetNormG();
    void SetPGain(const QString& text);
    void PlaceReadouts();
    QAction* Action(const char* name) const;

    view::AppState& state_;
    Prompter& prompter_;
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

    About* about_ = nullptr;
    Input_array_number* input_array_number_ = nullptr;
    Sel_Dlg* sel_dlg_ = nullptr;
    LSF_GN* lsf_gn_ = nullptr;
};

}  // namespace kalvex::app
