// The Options dialog without widgets: its working copy, the changes that need a redraw, and OK.
#pragma once

#include <string>

#include "core/Options.h"
#include "core/OptionsRules.h"
#include "view/AppState.h"
#include "view/Shell.h"

namespace kalvex::view {

/// How the dialog was opened: from the menu with every page, or from the print preview with
/// only the print layout usable ("Form Size", "Spectrum", "Table Llist", "Line Type",
/// "Refresh Mode", "Bias Setting" and the "GaussNewton" page out of use).
enum class OptionsScope { kAll, kPrintLayout };

/// The dialog's working copy. The controls change it; OK commits it to the state; Cancel drops
/// it, so that a cancelled dialog changes nothing.
struct OptionsDraft {
    core::Options Opts;
    int F_Type = 0;                  ///< "Spectrum" (the document's F_Type)
    std::string FitSelect = "111";   ///< written by the fit check boxes' click rules
    core::PrintLengthTexts Lengths;  ///< the six length edits of "Print Scale"
    /// Set by a change of "X axis", "Line Type", "Form Size", the fit limit or the tick
    /// spacing, by choosing "Auto" scale and by "Default": OK then redraws.
    bool Changed = false;
};

/// The dialog as it opens: the state's options; the print lengths as fixed(4,2) texts (under
/// "Auto" the axis height and margin derived anew); LSFlimit as fixed(3,2) of LsfUpperLimit;
/// Position_Check, the width box and Height_Check set from FitSelect through their click rules
/// (the width box is WidthG_Check under "Gauss+Lorentz" when it is the one checked, else
/// Width_Check); Changed clear.
OptionsDraft OpenOptionsDraft(const AppState& state);

/// Control changes that need a redraw; each sets Changed.
void ChooseXaxis(OptionsDraft& draft, int item);
void ChooseLineTypeItem(OptionsDraft& draft, int item);  ///< core::ChooseLineType
void ChooseFormSize(OptionsDraft& draft, int item);
void EditUpperLimit(OptionsDraft& draft, const std::string& text);
void EditTickSpacing(OptionsDraft& draft, const std::string& text);
/// "Scale Setting": only "Auto" sets Changed (it takes the derived lengths back).
void ChooseScaleSetting(OptionsDraft& draft, int item);
/// "Default": the four main lengths back to their first values (core::DefaultPrintTexts).
void PressDefault(OptionsDraft& draft);
/// "Calc": the derived lengths recomputed (core::RecalculatePrintTexts). Throws
/// kalvex::Error for a length that is not a number.
void PressCalc(OptionsDraft& draft);

/// OK. Every text it reads is checked first: a length, the tick spacing (under "Manual"), the
/// fit limit or the iteration count that is not a number throws kalvex::Error naming the field,
/// and nothing is applied. Then: XAxisPpm from "X axis"; PeakKindLorentz from "Gauss" or
/// "Lorentz" ("Gauss+Lorentz" leaves it); the form size preset; XTickManual from "Scale
/// Setting"; the print layout, and under "Manual" the tick spacing into Plot.XTickStep
/// (core::ManualTickStep); LsfUpperLimit (core::UpperLimitFrom). Under kPrintLayout only the
/// controls usable there are taken: "X axis", "Integral Type", the two check boxes of
/// "Global Settings", and both print pages.
void CommitOptionsDraft(const OptionsDraft& draft, AppState& state, OptionsScope scope);

/// The end of OK, after the window has taken its size: the read-out's unit label ("ppm " or
/// "Hz "); with `changed` a full refresh, or, while the ppm/Hz read-out is open, the read-out
/// closed, the refresh, the tool mode left and the read-out opened again; then a visible
/// Peak Information window shows its peak again, in the unit and line type now in force.
void FinishOptionsOk(AppState& state, Shell& shell, bool changed);

}  // namespace kalvex::view
