// Check-box exclusivity, FitSelect bookkeeping, button states and texts of the fit dialog.
#include "fit/FitDialogRules.h"

#include "core/Assert.h"
#include "core/NumberFormat.h"
#include "fit/FitModel.h"

namespace kalvex::fit {

using core::LineType;

namespace {

constexpr FitBox kAllBoxes[] = {FitBox::kPosition, FitBox::kWidth, FitBox::kHeight, FitBox::kWidthG,
                                FitBox::kFraction};

bool& OptionFlag(core::Options& opts, FitOptionCheck check) {
    switch (check) {
        case FitOptionCheck::kPosition:
            return opts.Position_Check;
        case FitOptionCheck::kWidth:
            return opts.Width_Check;
        case FitOptionCheck::kWidthG:
            return opts.WidthG_Check;
        case FitOptionCheck::kHeight:
            return opts.Height_Check;
        case FitOptionCheck::kFraction:
            break;
    }
    return opts.fraction_Check;
}

void SetSelectChar(std::string& fit_select, int index, bool on) {
    // A short or empty selection (a damaged settings file) is padded with '0'.
    if (fit_select.size() < 3) fit_select.resize(3, '0');
    fit_select[static_cast<std::size_t>(index)] = on ? '1' : '0';
}

// The Options check box's own click rule, run after its state changed.
void OptionCheckClicked(core::Options& opts, std::string& fit_select, FitOptionCheck check) {
    switch (check) {
        case FitOptionCheck::kPosition:
            SetSelectChar(fit_select, 0, opts.Position_Check);
            break;
        case FitOptionCheck::kHeight:
            SetSelectChar(fit_select, 2, opts.Height_Check);
            break;
        case FitOptionCheck::kWidth:
        case FitOptionCheck::kWidthG: {
            const bool mine = OptionFlag(opts, check);
            const FitOptionCheck other =
                check == FitOptionCheck::kWidth ? FitOptionCheck::kWidthG : FitOptionCheck::kWidth;
            if (mine) {
                SetSelectChar(fit_select, 1, true);
                SetOptionCheck(opts, fit_select, other, false);
            } else if (!OptionFlag(opts, other)) {
                SetSelectChar(fit_select, 1, false);
            }
            break;
        }
        case FitOptionCheck::kFraction:
            break;  // no reaction of its own
    }
}

FitOptionCheck TwinOf(FitBox box) {
    switch (box) {
        case FitBox::kPosition:
            return FitOptionCheck::kPosition;
        case FitBox::kWidth:
            return FitOptionCheck::kWidth;
        case FitBox::kHeight:
            return FitOptionCheck::kHeight;
        case FitBox::kWidthG:
            return FitOptionCheck::kWidthG;
        case FitBox::kFraction:
            break;
    }
    return FitOptionCheck::kFraction;
}

void BoxClicked(FitDialogContext& ctx, FitBox box) {
    FitDialogModel& d = ctx.Dialog;
    const bool gl = ctx.Line == LineType::kGaussLorentz;
    const bool checked = d.Box(box).Checked;
    if (box == FitBox::kFraction) {
        if (!gl) return;
        SetOptionCheck(ctx.Opts, ctx.FitSelect, FitOptionCheck::kFraction, checked);
        for (FitBox other : {FitBox::kPosition, FitBox::kHeight, FitBox::kWidth, FitBox::kWidthG}) {
            if (checked) {
                SetOptionCheck(ctx.Opts, ctx.FitSelect, TwinOf(other), false);
                SetBoxChecked(ctx, other, false);
            }
        }
        // Enabling or disabling comes last: the unchecks above ran rules of their own.
        for (FitBox other : {FitBox::kPosition, FitBox::kHeight, FitBox::kWidth, FitBox::kWidthG}) {
            d.Box(other).Enabled = !checked;
        }
        return;
    }
    if (box == FitBox::kWidthG) {
        if (!gl) return;
        SetOptionCheck(ctx.Opts, ctx.FitSelect, FitOptionCheck::kWidthG, checked);
    } else {
        SetOptionCheck(ctx.Opts, ctx.FitSelect, TwinOf(box), checked);
    }
    if (!gl) return;
    if (checked) {
        for (FitBox other : kAllBoxes) {
            if (other != box) SetBoxChecked(ctx, other, false);
        }
        for (FitBox other : kAllBoxes) {
            if (other != box) d.Box(other).Enabled = false;
        }
    } else {
        for (FitBox other : kAllBoxes) {
            if (other != box) d.Box(other).Enabled = true;
        }
    }
}

}  // namespace

CheckBoxState& FitDialogModel::Box(FitBox box) {
    switch (box) {
        case FitBox::kPosition:
            return Position_Box;
        case FitBox::kWidth:
            return Width_Box;
        case FitBox::kHeight:
            return Height_Box;
        case FitBox::kWidthG:
            return WidthG_Box;
        case FitBox::kFraction:
            break;
    }
    return Fraction_Box;
}

const CheckBoxState& FitDialogModel::Box(FitBox box) const {
    return const_cast<FitDialogModel*>(this)->Box(box);
}

bool OptionCheckState(const core::Options& opts, FitOptionCheck check) {
    return OptionFlag(const_cast<core::Options&>(opts), check);
}

void SetOptionCheck(core::Options& opts, std::string& fit_select, FitOptionCheck check,
                    bool checked) {
    bool& flag = OptionFlag(opts, check);
    if (flag == checked) return;
    flag = checked;
    OptionCheckClicked(opts, fit_select, check);
}

void PrepareCheckBoxes(FitDialogContext& ctx) {
    FitDialogModel& d = ctx.Dialog;
    if (ctx.Line == LineType::kGaussLorentz) {
        d.WidthCaption = CaptionColour::kBlue;
        d.Label1Enabled = true;
        d.Label2Enabled = true;
        d.Fraction_Box.Enabled = true;
        d.WidthG_Box.Enabled = true;
        if (d.Position_Box.Checked || d.Height_Box.Checked || d.Width_Box.Checked) {
            d.Fraction_Box.Enabled = false;
            d.WidthG_Box.Enabled = false;
        }
        if (d.WidthG_Box.Checked) {
            d.Fraction_Box.Enabled = false;
        } else if (d.Fraction_Box.Checked) {
            d.WidthG_Box.Enabled = false;
        }
        if (d.Position_Box.Checked) {
            d.Height_Box.Enabled = false;
            d.Width_Box.Enabled = false;
        } else if (d.Height_Box.Checked) {
            d.Position_Box.Enabled = false;
            d.Width_Box.Enabled = false;
        } else if (d.Width_Box.Checked) {
            d.Position_Box.Enabled = false;
            d.Height_Box.Enabled = false;
        }
    } else {
        d.WidthCaption = CaptionColour::kBlack;
        d.Fraction_Box = {false, false};
        d.Label1Enabled = false;
        d.Label2Enabled = false;
        d.WidthG_Box = {false, false};
        d.Position_Box.Enabled = true;
        d.Width_Box.Enabled = true;
        d.Height_Box.Enabled = true;
    }
}

bool OpenFitDialog(FitDialogContext& ctx, double residual_sum, float upper_limit) {
    if (residual_sum >= upper_limit) return false;
    FitDialogModel& d = ctx.Dialog;
    // The model outlives the dialog's showings: a run that ended on a singular matrix left GO!
    // disabled, and a new showing must start idle.
    d.GoEnabled = true;
    d.Precision =
        std::string("Precision: ") +
        PrecisionCaption(ctx.Opts.Precision == 1 ? Precision::kDouble : Precision::kExtended);
    d.OkEnabled = false;
    d.ExitEnabled = true;
    d.Ite = std::to_string(0);  // a string literal here trips a false -Wrestrict in GCC 12
    d.Zansa_New = core::FormatFixed(residual_sum, 10, 8);
    d.DeltaZZ = "0.00000000";
    // FitSelect is read afresh at each step: the click rules of the earlier steps change it.
    if (ctx.FitSelect.size() < 3) ctx.FitSelect.resize(3, '0');
    const bool gl = ctx.Line == LineType::kGaussLorentz;
    SetBoxChecked(ctx, FitBox::kPosition, ctx.FitSelect[0] != '0');
    SetBoxChecked(ctx, FitBox::kHeight, ctx.FitSelect[2] != '0');
    if (ctx.FitSelect[1] == '0') {
        SetBoxChecked(ctx, FitBox::kWidth, false);
        SetBoxChecked(ctx, FitBox::kWidthG, false);
        if (d.Fraction_Box.Checked || !gl) d.WidthG_Box.Enabled = false;
    } else if (gl) {
        SetBoxChecked(ctx, FitBox::kWidth, !d.WidthG_Box.Checked);
    } else {
        SetBoxChecked(ctx, FitBox::kWidth, true);
    }
    SetBoxChecked(ctx, FitBox::kFraction, ctx.Opts.fraction_Check);
    return true;
}

void ShowFitDialog(FitDialogContext& ctx) {
    if (ctx.Opts.WidthG_Check) SetBoxChecked(ctx, FitBox::kWidthG, true);
    if (ctx.Opts.Width_Check) SetBoxChecked(ctx, FitBox::kWidth, true);
    if (ctx.Opts.fraction_Check) SetBoxChecked(ctx, FitBox::kFraction, true);
}

void SetBoxChecked(FitDialogContext& ctx, FitBox box, bool checked) {
    CheckBoxState& b = ctx.Dialog.Box(box);
    if (b.Checked == checked) return;
    b.Checked = checked;
    BoxClicked(ctx, box);
}

void ClickBox(FitDialogContext& ctx, FitBox box) {
    if (!ctx.Dialog.Box(box).Enabled) return;
    SetBoxChecked(ctx, box, !ctx.Dialog.Box(box).Checked);
}

bool IsValidFitSelection(const core::Options& opts, const std::string& fit_select,
                         core::LineType line) {
    FitLayoutChoice choice;
    choice.FitSelect = fit_select;
    choice.FractionL = opts.fraction_Check;
    choice.Line = line;
    return LayoutCodeOf(choice) != '\0';
}

bool GoClick(FitDialogContext& ctx, FitRunState& state) {
    ctx.Dialog.GoEnabled = false;
    if (!IsValidFitSelection(ctx.Opts, ctx.FitSelect, ctx.Line)) {
        ctx.Dialog.GoEnabled = true;
        return false;
    }
    state.FitStop = false;
    return true;
}

void FinishRun(FitDialogModel& dialog, const GaussNewtonSummary& summary) {
    switch (summary.Reason) {
        case FitEnd::kSingularMatrix:
        case FitEnd::kNotFinite:
            return;  // GO! stays disabled; the enabled one of OK and Exit closes the dialog
        case FitEnd::kNoPeaks:
        case FitEnd::kPeaksOutside:
        case FitEnd::kTooFewPoints:
        case FitEnd::kInvalidSelection:
            dialog.GoEnabled = true;
            return;
        default:
            break;
    }
    ShowProgress(dialog, summary.Z, summary.ZOld, summary.Iterations);
    dialog.OkEnabled = true;
    dialog.GoEnabled = true;
    dialog.ExitEnabled = false;
}

void ShowProgress(FitDialogModel& dialog, double z, double z_old, std::uint16_t count) {
    dialog.Zansa_New = core::FormatFixed(z, 10, 8);
    dialog.DeltaZZ = core::FormatFixed(z_old - z, 10, 9);
    dialog.Ite = std::to_string(count);
}

void RequestStop(FitRunState& state) { state.FitStop = true; }

bool CanClose(FitRunState& state) {
    if (!state.FitStop) return false;
    state.FitStop = false;
    return true;
}

}  // namespace kalvex::fit
