// M_Form's spectrum tools: All Reset, Inverse_Height and the arrayed spectrum's up-down.
#include <QAction>
#include <QLabel>
#include <QToolButton>

#include "app/peaks/Peaks.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/RunCommand.h"
#include "app/tools/RangeDlg.h"
#include "core/Capacities.h"
#include "tools/ArrayNumber.h"
#include "view/RefreshLogic.h"

namespace kalvex::app {

void M_Form::A_ResetClick() {
    core::Document& doc = state_.Doc;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        doc.PeakHalfWidthErr[k] = 0.0;
        doc.PeakHeightErr[k] = 0.0;
        doc.PeakPosErr[k] = 0.0;
    }
    doc.PeakCount = 0;
    // A half-placed peak goes with the others; left pending, it would block the next right
    // click and drop a peak read afterwards.
    state_.View.NewPeakPending = false;
    view::RefreshClick(state_, *this);
    SetLsfEnabled(false);
    sxx_->clear();
    sel_dlg_->HideBoth();
    sel_dlg_->TruncateItems(0);
    ClosePpmReadout();
    range_dlg_->hide();
    state_.View.RangeDialogOpen = false;
    state_.View.ToolMode = false;
    for (const char* name : {"SetBias", "ReadCSppm", "RangeXY"}) Action(name)->setEnabled(true);
    ReleaseToolButtons();
    for (QToolButton* b : {emf_button_, file_open_button_, save_button_, preview_button_}) {
        b->setEnabled(true);
    }
    RangeDialogReset();
    Action("M_saveGL")->setEnabled(false);
}

void M_Form::plusminusClick() {
    QAction* tick = Action("plusminus");
    if (tick->isChecked()) {
        for (int k = 1; k <= core::kMaxPeaks; ++k) state_.Doc.PeakHeight[k] *= -1.0;
        view::RefreshClick(state_, *this);
        sel_dlg_->ShowAgain();
    }
    tick->setChecked(false);
}

void M_Form::array_updownClick(bool up) {
    if (!state_.Doc.IsArrayed) return;
    RunCommand(this, prompter_, [&] {
        if (!tools::StepArraySpectrum(
                state_.Doc, up ? tools::ArrayStep::kUp : tools::ArrayStep::kDown, state_.Opts)) {
            return;
        }
        ShowArrayNumber();
        view::RefreshClick(state_, *this);
        SetNormG();
    });
}

}  // namespace kalvex::app
