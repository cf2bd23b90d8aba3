// The rules of the fit dialog LSF_GN and of the Options fit check boxes, without any widget.
#pragma once

#include <cstdint>
#include <string>

#include "core/Options.h"
#include "fit/GaussNewton.h"

namespace kalvex::fit {

/// One check box of the dialog.
struct CheckBoxState {
    bool Checked = false;
    bool Enabled = true;
    bool operator==(const CheckBoxState&) const = default;
};

/// Colour of the Width_Box caption: blue in Gauss+Lorentz mode (it means the Lorentzian width).
enum class CaptionColour { kBlack, kBlue };

/// The five fit check boxes of LSF_GN.
enum class FitBox { kPosition, kWidth, kHeight, kWidthG, kFraction };

/// The Options "GaussNewton" page's fit check boxes.
enum class FitOptionCheck { kPosition, kWidth, kWidthG, kHeight, kFraction };

/// Everything the Qt dialog copies to its widgets. Defaults: the state after the dialog's
/// creation (WidthG_Box, Fraction_Box, Label1 and Label2 disabled).
struct FitDialogModel {
    CheckBoxState Position_Box;
    CheckBoxState Width_Box;
    CheckBoxState Height_Box;
    CheckBoxState WidthG_Box{false, false};
    CheckBoxState Fraction_Box{false, false};
    bool Label1Enabled = false;  ///< "(Gaussian)"
    bool Label2Enabled = false;  ///< "Lorentizian"
    CaptionColour WidthCaption = CaptionColour::kBlack;
    bool GoEnabled = true;                ///< LSF_GO
    bool OkEnabled = false;               ///< LSF_Ok
    bool ExitEnabled = true;              ///< LSF_Exit
    std::string Ite = "ite";              ///< iteration label
    std::string Zansa_New = "Zansa_New";  ///< current squared sum
    std::string DeltaZZ = "zold-znew";    ///< decrease in the last iteration
    std::string Precision;                ///< "Precision: " and the caption of the one in use

    CheckBoxState& Box(FitBox box);
    const CheckBoxState& Box(FitBox box) const;
};

/// What the rules act on: the dialog, the Options check boxes, the document's FitSelect and the
/// line type in force.
struct FitDialogContext {
    FitDialogModel& Dialog;
    core::Options& Opts;
    std::string& FitSelect;
    core::LineType Line;
};

/// The Options page's click rules: Position_Check and Height_Check write character 1 or 3 of
/// FitSelect; Width_Check and WidthG_Check exclude each other, a checked one writes '1' into
/// character 2, an unchecked one '0' only when the other is unchecked too; fraction_Check
/// writes nothing. SetOptionCheck runs the rule only when the state changes (as a click does).
void SetOptionCheck(core::Options& opts, std::string& fit_select, FitOptionCheck check,
                    bool checked);
bool OptionCheckState(const core::Options& opts, FitOptionCheck check);

/// Step 3 of the LSF button: the boxes by line type ("Gauss+Lorentz": blue caption, labels and
/// the two extra boxes enabled, then disabled again as the checked boxes demand; otherwise:
/// black caption, the extra boxes disabled and unchecked, the three main boxes enabled).
void PrepareCheckBoxes(FitDialogContext& ctx);

/// Step 4 of the LSF button. Returns false (no dialog) when residual_sum >= upper_limit.
/// Otherwise the precision the run will use (Options "Precision"), GO! enabled, OK disabled,
/// Exit enabled, "0" iterations, residual_sum in fixed(10, 8),
/// decrease "0.00000000", and the check states from FitSelect and fraction_Check, each change
/// running its box's click rule. The caller copies ObsY into FitRunState::FitObsY and clears
/// FitStop.
bool OpenFitDialog(FitDialogContext& ctx, double residual_sum, float upper_limit);

/// The dialog's show event: WidthG_Box, Width_Box and Fraction_Box are checked when their
/// Options twins are (never unchecked here).
void ShowFitDialog(FitDialogContext& ctx);

/// Sets a box's check state; when it changes, the box's click rule runs: the three main boxes
/// copy their state to their Options twins (and so to FitSelect); in Gauss+Lorentz mode the
/// five boxes exclude each other (a checked one unchecks and disables the others, an unchecked
/// one enables them), WidthG_Box copies to WidthG_Check, and Fraction_Box checks fraction_Check
/// and clears the four fit kinds (or, unchecked, clears fraction_Check and enables them). The
/// last two do nothing outside Gauss+Lorentz mode.
void SetBoxChecked(FitDialogContext& ctx, FitBox box, bool checked);

/// A user's click on an enabled box: toggles it. A disabled box ignores the click.
void ClickBox(FitDialogContext& ctx, FitBox box);

/// GO!'s selection test: a run can be fitted (see LayoutCodeOf): one to three kinds without
/// "Fraction L", or "Fraction L" alone in Gauss+Lorentz mode, one kind at a time there.
bool IsValidFitSelection(const core::Options& opts, const std::string& fit_select,
                         core::LineType line);

/// GO!: disables GO!; with a valid selection clears FitStop (a new run must not stop at once
/// because an earlier run or OK left it set) and returns true: the caller runs RunGaussNewton
/// and then FinishRun. Otherwise enables GO! again and returns false.
bool GoClick(FitDialogContext& ctx, FitRunState& state);

/// After a run: progress texts of the final state; GO! and OK enabled and Exit disabled,
/// except after a singular matrix, which leaves GO! disabled and OK and Exit as they were.
/// Refusals (no run) enable GO! again.
void FinishRun(FitDialogModel& dialog, const GaussNewtonSummary& summary);

/// Progress texts after an iteration: Zansa_New = fixed(10, 8) of z, deltaZZ = fixed(10, 9) of
/// z_old - z, ite = the count.
void ShowProgress(FitDialogModel& dialog, double z, double z_old, std::uint16_t count);

/// OK and Exit during or after a run: request the stop (FitStop); the dialog closes when its
/// close query allows it.
void RequestStop(FitRunState& state);

/// Close query: the dialog closes only while FitStop is set, which this clears.
bool CanClose(FitRunState& state);

}  // namespace kalvex::fit
