// M_Form's tool modes: the commands a tool window disables, its tool button, the Tools menu.
#include <QAction>
#include <QSignalBlocker>
#include <QToolButton>

#include "app/qt/PlotImage.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/RunCommand.h"
#include "app/tools/Horizontal_Shift.h"
#include "app/tools/RangeDlg.h"
#include "app/tools/SetB.h"
#include "app/tools/height_change.h"
#include "app/tools/ppm_box.h"
#include "tools/ObsFreq.h"
#include "tools/WheelZoom.h"

namespace kalvex::app {

void M_Form::EnterToolMode(ToolWindow tool) {
    for (QToolButton* b : {file_open_button_, save_button_, emf_button_, preview_button_}) {
        b->setEnabled(false);
    }
    Action("SetBias")->setEnabled(false);
    Action("ReadCSppm")->setEnabled(false);
    if (tool == ToolWindow::kReadout) Action("RangeXY")->setEnabled(false);
    state_.View.ToolMode = true;
    if (tool == ToolWindow::kRangeXY) state_.View.RangeDialogOpen = true;
}

void M_Form::LeaveToolMode(ToolWindow tool) {
    for (QToolButton* b : {file_open_button_, save_button_, emf_button_, preview_button_}) {
        b->setEnabled(true);
    }
    for (const char* name : {"SetBias", "ReadCSppm", "RangeXY"}) Action(name)->setEnabled(true);
    state_.View.ToolMode = false;
    if (tool == ToolWindow::kRangeXY) state_.View.RangeDialogOpen = false;
    QToolButton* button = tool == ToolWindow::kRangeXY ? range_xy_button_ : read_ppm_button_;
    const QSignalBlocker block(button);
    button->setChecked(false);
}

void M_Form::EndToolMode() {
    if (!state_.View.ToolMode) return;
    if (range_dlg_->isVisible()) {
        range_dlg_->CloseTool();
    } else if (ppm_box_->IsOpen()) {
        ppm_box_->ppm_closeClick();
    }
    state_.View.ToolMode = false;
    state_.View.RangeDialogOpen = false;
}

void M_Form::SyncToolButtons() {
    const std::pair<QToolButton*, bool> states[] = {
        {range_xy_button_, range_dlg_->isVisible()},
        {read_ppm_button_, ppm_box_->IsOpen()},
        {set_bias_button_, false},  // its dialog is modal: once a command ends it is closed
    };
    for (const auto& [button, down] : states) {
        const QSignalBlocker block(button);
        button->setChecked(down);
    }
}

void M_Form::ShowFrequencyHint() {
    const QString hint = QString::fromLatin1(tools::MissingFrequencyHint(state_.Doc));
    QAction* input_freq = Action("inputFreq");
    input_freq->setToolTip(hint.isEmpty() ? input_freq->text() : hint);
    input_freq->setStatusTip(hint);
    ppm_box_->SetFrequencyHint(hint);
}

QPoint M_Form::ToolDialogPlace() const {
    const QRect m = frameGeometry();
    return {m.left() + m.width() / 3, m.top() + m.height() / 5};
}

void M_Form::ConnectTools() {
    // Every handler runs inside RunCommand, so no failure crosses the event loop.
    auto wire = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler] { RunCommand(this, prompter_, handler); });
    };
    wire(Action("SetBias"), &QAction::triggered, [this] { set_b_->SetBiasClick(); });
    wire(Action("RangeXY"), &QAction::triggered, [this] { range_dlg_->RangeXYClick(); });
    wire(Action("ReadCSppm"), &QAction::triggered, [this] { ppm_box_->ReadCSppmClick(); });
    wire(Action("inputFreq"), &QAction::triggered, [this] { horizontal_shift_->inputFreqClick(); });
    wire(Action("HorizonShift"), &QAction::triggered,
         [this] { horizontal_shift_->HorizonShiftClick(); });
    wire(Action("ChangeHeight"), &QAction::triggered,
         [this] { height_change_->ChangeHeightClick(); });
    wire(range_xy_button_, &QToolButton::clicked, [this] { range_dlg_->RangeXY_buttonClick(); });
    wire(read_ppm_button_, &QToolButton::clicked, [this] { ppm_box_->Read_ppm_buttonClick(); });
    wire(set_bias_button_, &QToolButton::clicked, [this] { set_b_->SetBias_buttonClick(); });

    connect(img_spect_, &PlotImage::Wheel, this, [this](int x, int notches) {
        RunCommand(this, prompter_, [&] { tools::ImgSpectWheel(state_, *this, x, notches); });
    });
    connect(img_spect_, &PlotImage::MiddleDoubleClick, this, [this] {
        RunCommand(this, prompter_, [&] { tools::ImgSpectMiddleDoubleClick(state_, *this); });
    });
}

}  // namespace kalvex::app
