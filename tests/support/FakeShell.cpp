#include "support/FakeShell.h"

namespace kalvex::test {

int FakeShell::CallCount(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : Calls) n += c.starts_with(prefix) ? 1 : 0;
    return n;
}

void FakeShell::PlaceBevel(const view::PixelRect& bevel) {
    BevelRect = bevel;
    Calls.push_back("PlaceBevel");
}

view::Canvas& FakeShell::CreatePlotBitmap(const view::PixelRect& image) {
    ImageRect = image;
    ++BitmapsCreated;
    picture_ = std::make_unique<RecordingCanvas>();
    Calls.push_back("CreatePlotBitmap");
    return *picture_;
}

void FakeShell::SetTitle(const std::string& title) {
    Title = title;
    Calls.push_back("SetTitle " + title);
}

void FakeShell::SetSxxText(const std::string& text) {
    Sxx = text;
    Calls.push_back("SetSxxText " + text);
}

void FakeShell::SetLsfEnabled(bool enabled) {
    LsfEnabled = enabled;
    Calls.push_back(enabled ? "SetLsfEnabled 1" : "SetLsfEnabled 0");
}

void FakeShell::SetSaveGLEnabled(bool enabled) {
    SaveGLEnabled = enabled;
    Calls.push_back(enabled ? "SetSaveGLEnabled 1" : "SetSaveGLEnabled 0");
}

void FakeShell::ShowMessage(const std::string& text) {
    Messages.push_back(text);
    Calls.push_back("ShowMessage " + text);
}

void FakeShell::TakeKeyboardFocus() {
    ++FocusTaken;
    Calls.push_back("TakeKeyboardFocus");
}

void FakeShell::AppendPeakOrderItem(const std::string& text) {
    PeakOrderItems.push_back(text);
    Calls.push_back("AppendPeakOrderItem " + text);
}

void FakeShell::TruncatePeakOrder(int count) {
    if (count >= 0 && static_cast<std::size_t>(count) < PeakOrderItems.size()) {
        PeakOrderItems.resize(static_cast<std::size_t>(count));
    }
    if (PeakOrderItem >= count) PeakOrderItem = -1;
    Calls.push_back("TruncatePeakOrder " + std::to_string(count));
}

void FakeShell::ShowPeakInfo(int k) {
    PeakInfoShown = true;
    PeakOrderItem = k - 1;
    Calls.push_back("ShowPeakInfo " + std::to_string(k));
}

void FakeShell::SetPpmReadout(const view::PpmReadoutTexts& texts) {
    Readout = texts;
    Calls.push_back("SetPpmReadout");
}

void FakeShell::SetDiffHzText(const std::string& text) {
    DiffHz = text;
    Calls.push_back("SetDiffHzText " + text);
}

void FakeShell::OpenRangeDialogOnYTab() {
    RangeShown = true;
    Calls.push_back("OpenRangeDialogOnYTab");
}

void FakeShell::RangeDialogOk() {
    Calls.push_back("RangeDialogOk");
    if (OnRangeOk) OnRangeOk();
}

void FakeShell::RangeDialogReset() {
    Calls.push_back("RangeDialogReset");
    if (OnRangeReset) OnRangeReset();
}

void FakeShell::SetRangeLabel6(const std::string& text) {
    Label6 = text;
    Calls.push_back("SetRangeLabel6 " + text);
}

void FakeShell::SetRangeEdit1(const std::string& text) {
    Edit1 = text;
    Calls.push_back("SetRangeEdit1 " + text);
}

void FakeShell::SetRangeEdit2(const std::string& text) {
    Edit2 = text;
    Calls.push_back("SetRangeEdit2 " + text);
}

void FakeShell::SetRangeApplyMode() {
    ApplyMode = true;
    Calls.push_back("SetRangeApplyMode");
}

void FakeShell::SetUpDownYPosition(int position) {
    UpDownY = position;
    Calls.push_back("SetUpDownYPosition " + std::to_string(position));
}

void FakeShell::ClearRangeEditedFlags() {
    ++EditedFlagsCleared;
    Calls.push_back("ClearRangeEditedFlags");
}

void FakeShell::ClosePpmReadout() {
    PpmShown = false;
    Calls.push_back("ClosePpmReadout");
}

void FakeShell::OpenPpmReadout() {
    PpmShown = true;
    Calls.push_back("OpenPpmReadout");
}

}  // namespace kalvex::test
