#include "view/OptionsLogic.h"

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/TextToNumber.h"
#include "fit/FitDialogRules.h"
#include "view/RefreshLogic.h"

namespace kalvex::view {

namespace {

// The number in an edit; the message names the edit by its label.
double Number(const std::string& text, const char* label) {
    try {
        return core::TextToFloat(text);
    } catch (const Error& e) {
        throw Error(std::string(label) + ": " + e.Reason());
    }
}

bool Selected(const std::string& fit_select, std::size_t i) {
    return i < fit_select.size() && fit_select[i] == '1';
}

// The controls the print preview leaves usable.
void TakePrintLayoutControls(const core::Options& from, core::Options& to) {
    to.Xaxis = from.Xaxis;
    to.Int_Type = from.Int_Type;
    to.magnify_enable = from.magnify_enable;
    to.x86cpu = from.x86cpu;
    to.Prn_Source = from.Prn_Source;
    to.Prn_Peaks = from.Prn_Peaks;
    to.Prn_Sum = from.Prn_Sum;
    to.Prn_xline = from.Prn_xline;
    to.S_Line1 = from.S_Line1;
    to.XLine_Style = from.XLine_Style;
    to.P_Line1 = from.P_Line1;
    to.Sum_Line1 = from.Sum_Line1;
    to.P_Line2 = from.P_Line2;
    to.Sum_Line2 = from.Sum_Line2;
    to.Print = from.Print;
    to.Scale_set = from.Scale_set;
    to.x_delta = from.x_delta;
}

}  // namespace

OptionsDraft OpenOptionsDraft(const AppState& state) {
    OptionsDraft d;
    d.Opts = state.Opts;
    d.F_Type = state.Doc.F_Type;
    d.FitSelect = state.Doc.FitSelect;
    d.Lengths = core::PrintLengthTextsOf(state.Opts.Print);
    core::RecalculatePrintTexts(d.Lengths, core::ManualScaleEditsEnabled(d.Opts));
    d.Opts.LSFlimit = core::FormatFixed(state.Doc.LsfUpperLimit, 3, 2);

    // Setting a box runs its click rule, as a click would; the rules keep FitSelect as it is.
    const std::string select = d.FitSelect;
    const bool gaussian = d.Opts.LGselect == 2 && d.Opts.WidthG_Check;
    fit::SetOptionCheck(d.Opts, d.FitSelect, fit::FitOptionCheck::kPosition, Selected(select, 0));
    fit::SetOptionCheck(d.Opts, d.FitSelect,
                        gaussian ? fit::FitOptionCheck::kWidthG : fit::FitOptionCheck::kWidth,
                        Selected(select, 1));
    fit::SetOptionCheck(d.Opts, d.FitSelect, fit::FitOptionCheck::kHeight, Selected(select, 2));
    return d;
}

void ChooseXaxis(OptionsDraft& draft, int item) {
    draft.Opts.Xaxis = item;
    draft.Changed = true;
}

void ChooseLineTypeItem(OptionsDraft& draft, int item) {
    core::ChooseLineType(draft.Opts, item);
    draft.Changed = true;
}

void ChooseFormSize(OptionsDraft& draft, int item) {
    draft.Opts.D_size_combo = item;
    draft.Changed = true;
}

void EditUpperLimit(OptionsDraft& draft, const std::string& text) {
    draft.Opts.LSFlimit = text;
    draft.Changed = true;
}

void EditTickSpacing(OptionsDraft& draft, const std::string& text) {
    draft.Opts.x_delta = text;
    draft.Changed = true;
}

void ChooseScaleSetting(OptionsDraft& draft, int item) {
    draft.Opts.Scale_set = item;
    if (item == 0) draft.Changed = true;
}

void PressDefault(OptionsDraft& draft) {
    core::DefaultPrintTexts(draft.Lengths, core::ManualScaleEditsEnabled(draft.Opts));
    draft.Changed = true;
}

void PressCalc(OptionsDraft& draft) {
    core::RecalculatePrintTexts(draft.Lengths, core::ManualScaleEditsEnabled(draft.Opts));
}

void CommitOptionsDraft(const OptionsDraft& draft, AppState& state, OptionsScope scope) {
    const bool all = scope == OptionsScope::kAll;
    const bool manual = draft.Opts.Scale_set == 1;
    const core::PrintLayout layout =
        core::PrintLayoutFromTexts(draft.Lengths, manual, draft.Opts.Print);
    const double tick = manual ? Number(draft.Opts.x_delta, "tic / CS Unit") : 0.0;
    double limit = 0.0;
    std::string iterations;
    if (all) {
        limit = Number(draft.Opts.LSFlimit, "Max Limit of | r |");
        try {
            iterations = core::RoundIterationText(draft.Opts.Manu_ITE);
        } catch (const Error& e) {
            throw Error(std::string("Iteration = ") + e.Reason());
        }
    }

    core::Options& opts = state.Opts;
    core::Document& doc = state.Doc;
    if (all) {
        opts = draft.Opts;
        opts.Manu_ITE = iterations;
        doc.F_Type = draft.F_Type;
        doc.FitSelect = draft.FitSelect;
    } else {
        TakePrintLayoutControls(draft.Opts, opts);
    }
    doc.XAxisPpm = opts.Xaxis == 0;
    if (all && opts.LGselect == 0) doc.PeakKindLorentz = false;
    if (all && opts.LGselect == 1) doc.PeakKindLorentz = true;
    opts.XTickManual = manual;
    opts.Print = layout;
    if (manual) state.Plot.XTickStep = core::ManualTickStep(tick, state.Plot.XTickStep);
    if (all) doc.LsfUpperLimit = core::UpperLimitFrom(limit);
}

void FinishOptionsOk(AppState& state, Shell& shell, bool changed) {
    shell.SetPpmUnitLabel(state.Doc.XAxisPpm ? "ppm " : "Hz ");
    if (changed) {
        if (shell.PpmBoxVisible()) {
            shell.ClosePpmReadout();
            RefreshClick(state, shell);
            state.View.ToolMode = false;
            shell.OpenPpmReadout();
        } else {
            RefreshClick(state, shell);
        }
    }
    const int shown = shell.PeakOrderIndex() + 1;
    if (shell.PeakInfoVisible() && shown >= 1 && shown <= state.Doc.PeakCount) {
        shell.ShowPeakInfo(shown);
    }
}

}  // namespace kalvex::view
