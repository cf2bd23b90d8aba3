// A Shell for tests: answers from public fields, records every action, draws on RecordingCanvas.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/RecordingCanvas.h"
#include "view/Shell.h"

namespace kalvex::test {

/// The windows as plain fields. Queries answer from the fields; actions update them the way
/// the real windows would and append a line to Calls ("ShowPeakInfo 2", "RangeDialogOk").
class FakeShell : public view::Shell {
public:
    // --- What the windows answer (tests set these).
    int Width = 668;  ///< client size of preset 1
    int Height = 510;
    bool PeakInfoShown = false;
    int PeakOrderItem = -1;
    bool PpmShown = false;
    bool Sp2Ticked = false;
    bool RangeShown = false;

    // --- What the logic did.
    std::vector<std::string> Calls;
    view::PixelRect BevelRect;
    view::PixelRect ImageRect;
    int BitmapsCreated = 0;
    std::string Title;
    std::string Sxx;
    bool LsfEnabled = false;
    bool SaveGLEnabled = false;
    std::vector<std::string> Messages;
    int FocusTaken = 0;
    std::vector<std::string> PeakOrderItems;
    view::PpmReadoutTexts Readout;
    std::string DiffHz;
    std::string PpmUnit;
    std::string Label6;
    std::string Edit1;
    std::string Edit2;
    bool ApplyMode = false;
    int UpDownY = 0;
    int EditedFlagsCleared = 0;

    /// Optional behaviour of the Range XY actions (the dialog itself comes with the tools).
    std::function<void()> OnRangeOk;
    std::function<void()> OnRangeReset;

    /// The current picture, or nullptr before the first bitmap.
    RecordingCanvas* Picture() { return picture_.get(); }
    /// Number of calls whose line starts with `prefix`.
    int CallCount(const std::string& prefix) const;

    int ClientWidth() const override { return Width; }
    int ClientHeight() const override { return Height; }
    void PlaceBevel(const view::PixelRect& bevel) override;
    view::Canvas& CreatePlotBitmap(const view::PixelRect& image) override;
    view::Canvas* PictureCanvas() override { return picture_.get(); }
    void PictureChanged() override { Calls.push_back("PictureChanged"); }

    void SetTitle(const std::string& title) override;
    void SetSxxText(const std::string& text) override;
    void SetLsfEnabled(bool enabled) override;
    void SetSaveGLEnabled(bool enabled) override;
    bool OpenSp2Ticked() const override { return Sp2Ticked; }
    void ShowMessage(const std::string& text) override;
    void TakeKeyboardFocus() override;

    bool PeakInfoVisible() const override { return PeakInfoShown; }
    int PeakOrderIndex() const override { return PeakOrderItem; }
    void AppendPeakOrderItem(const std::string& text) override;
    void TruncatePeakOrder(int count) override;
    void ShowPeakInfo(int k) override;

    bool PpmBoxVisible() const override { return PpmShown; }
    void SetPpmReadout(const view::PpmReadoutTexts& texts) override;
    void SetDiffHzText(const std::string& text) override;
    void SetPpmUnitLabel(const std::string& text) override { PpmUnit = text; }
    void ClosePpmReadout() override;
    void OpenPpmReadout() override;

    bool RangeDialogVisible() const override { return RangeShown; }
    void OpenRangeDialogOnYTab() override;
    void RangeDialogOk() override;
    void RangeDialogReset() override;
    void SetRangeLabel6(const std::string& text) override;
    void SetRangeEdit1(const std::string& text) override;
    void SetRangeEdit2(const std::string& text) override;
    void SetRangeApplyMode() override;
    void SetUpDownYPosition(int position) override;
    void ClearRangeEditedFlags() override;

private:
    std::unique_ptr<RecordingCanvas> picture_;
};

}  // namespace kalvex::test
