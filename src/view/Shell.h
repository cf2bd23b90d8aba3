// The narrow window interface through which the view logic reaches the main window and tools.
#pragma once

#include <string>

#include "view/Canvas.h"
#include "view/PlotGeometry.h"

namespace kalvex::view {

/// Texts of the ppm/Hz read-out window for one cursor position, named like its labels.
struct PpmReadoutTexts {
    std::string ppm_label;  ///< X under the cursor, cut to 3 (ppm) or 2 (Hz) decimals
    std::string Label4;     ///< point number followed by a space
    std::string diff_Hz;    ///< difference to the reference, Hz
    std::string Int_Label;  ///< raw intensity, sci(4,2)
    std::string Label7;     ///< normalised value, fixed(4,3)
};

/// What the view logic needs from the windows. The main window implements it; tests fake it.
/// Every call runs on the user-interface thread and returns before the caller goes on; none
/// of them calls back into the view logic except the Range XY actions, which may refresh.
class Shell {
public:
    virtual ~Shell() = default;

    // --- Main window: the picture.
    /// Client width and height of the main window, pixels (from the form-size preset).
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    /// Moves the plot frame M_Bevel to `bevel` (client-area pixels).
    virtual void PlaceBevel(const PixelRect& bevel) = 0;
    /// Replaces the picture of ImgSpect by a fresh white bitmap of image.Width x image.Height
    /// shown at (image.Left, image.Top), and returns its canvas (black copy pen, width 1,
    /// white brush). The canvas lives until the next call.
    virtual Canvas& CreatePlotBitmap(const PixelRect& image) = 0;
    /// The canvas of the current picture, or nullptr before the first CreatePlotBitmap.
    virtual Canvas* PictureCanvas() = 0;
    /// The picture was drawn on: show it.
    virtual void PictureChanged() = 0;

    // --- Main window: title, read-outs, commands.
    virtual void SetTitle(const std::string& title) = 0;
    /// Caption of the panel Sxx ("Squared Sum of Residues").
    virtual void SetSxxText(const std::string& text) = 0;
    /// The fit tool button LSF.
    virtual void SetLsfEnabled(bool enabled) = 0;
    /// The menu entry M_saveGL ("Save Peaks of Gauss and Lorentz (*.sp3)").
    virtual void SetSaveGLEnabled(bool enabled) = 0;
    /// Whether the menu entry Open_sp2_file is ticked (a peak file was opened since the
    /// last open of a spectrum).
    virtual bool OpenSp2Ticked() const = 0;
    /// A modal information box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    /// The main window takes the keyboard focus back.
    virtual void TakeKeyboardFocus() = 0;

    // --- Peak Information window Sel_Dlg.
    virtual bool PeakInfoVisible() const = 0;
    /// Item index of its combo box Peak_Order (0-based; -1 when nothing is chosen).
    virtual int PeakOrderIndex() const = 0;
    /// Appends `text` to the items of Peak_Order.
    virtual void AppendPeakOrderItem(const std::string& text) = 0;
    /// Keeps the first `count` items of Peak_Order and removes the rest (0 clears it).
    virtual void TruncatePeakOrder(int count) = 0;
    /// Fills and shows the Peak Information windows for peak k (1..PeakCount); afterwards
    /// Sel_Dlg is visible with Peak_Order on k.
    virtual void ShowPeakInfo(int k) = 0;

    // --- ppm/Hz read-out window ppm_box.
    virtual bool PpmBoxVisible() const = 0;
    /// Shows the read-out of one cursor position.
    virtual void SetPpmReadout(const PpmReadoutTexts& texts) = 0;
    /// Sets only its difference label diff_Hz.
    virtual void SetDiffHzText(const std::string& text) = 0;
    /// Its unit label Label1: "ppm " or "Hz ".
    virtual void SetPpmUnitLabel(const std::string& text) = 0;
    /// Closes it as its Close button does (tool mode left, commands back, full refresh).
    virtual void ClosePpmReadout() = 0;
    /// Opens it as the "Read ppm/Hz" menu entry does (tool mode entered).
    virtual void OpenPpmReadout() = 0;

    // --- Range XY dialog RangeDlg.
    virtual bool RangeDialogVisible() const = 0;
    /// Selects its Y_axis tab and opens it (again): placed beside the main window, edited
    /// flags cleared, tool mode entered (ViewState::ToolMode and RangeDialogOpen set).
    virtual void OpenRangeDialogOnYTab() = 0;
    /// Runs its OK action with the texts of Edit1 and Edit2 (may refresh and close it).
    virtual void RangeDialogOk() = 0;
    /// Runs its Reset action (resetBtnClick): RequestViewReset, RefreshClick, then the tool
    /// mode left and the dialog closed. The R key calls it whether or not the dialog is open.
    virtual void RangeDialogReset() = 0;
    /// Its label Label6 (the gain) and its edits Edit1 (range start) and Edit2 (range end).
    virtual void SetRangeLabel6(const std::string& text) = 0;
    virtual void SetRangeEdit1(const std::string& text) = 0;
    virtual void SetRangeEdit2(const std::string& text) = 0;
    /// A right-button drag began: disable OKBtn and caption CancelBtn "Apply".
    virtual void SetRangeApplyMode() = 0;
    /// Position of its up-down UpDown_Y.
    virtual void SetUpDownYPosition(int position) = 0;
    /// Clears its two edited flags (of Edit1 and Edit2).
    virtual void ClearRangeEditedFlags() = 0;
};

}  // namespace kalvex::view
