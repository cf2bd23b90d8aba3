// The rules that tie the Options dialog's controls together and turn its texts into values.
#pragma once

#include <string>

#include "core/Options.h"

namespace kalvex::core {

/// Item counts of the dialog's radio groups and of the "Form Size" combo box.
inline constexpr int kXaxisItems = 2;
inline constexpr int kLineTypeItems = 3;
inline constexpr int kIntTypeItems = 2;
inline constexpr int kFileTypeItems = 6;
inline constexpr int kRefMethodItems = 2;
inline constexpr int kParTypeItems = 2;
inline constexpr int kBiasSetItems = 3;
inline constexpr int kFormSizeItems = 8;
inline constexpr int kDampValItems = 6;
inline constexpr int kConvValItems = 9;  ///< the last is "Auto Set"
inline constexpr int kSetIteItems = 2;
inline constexpr int kPrecisionItems = 2;
inline constexpr int kPenWidthItems = 4;  ///< "Thin" .. "Super Bold"
inline constexpr int kXLineItems = 2;
inline constexpr int kLineStyleItems = 3;
inline constexpr int kScaleSetItems = 2;
inline constexpr int kPaperItems = 2;  ///< 0 "  Portrait", 1 "  Landscape"

/// A stored item index for a group of `item_count` items: above the last item it is the last
/// item, below -1 it is -1 (nothing chosen); -1 and the items themselves stay.
int ClampItemIndex(int index, int item_count);

/// A combo box's stored index: one of its items, else -1 (nothing chosen).
int ComboIndex(int index, int item_count);

/// The fit's upper limit from the number in LSFlimit: above 50, below 0 or not finite gives
/// 2.0; otherwise the value as a 32-bit float.
float UpperLimitFrom(double value);

/// The "Auto" scale setting's axis height and spectrum margin for a spectrum height (cm):
/// h·7/5.8/7 and h·7/5.8·0.2/7.
double AutoAxisHeightCm(double spectrum_height_cm);
double AutoSpectrumMarginCm(double spectrum_height_cm);

/// The texts of the six print-length edits of the "Print Scale" page.
struct PrintLengthTexts {
    std::string px_zero;
    std::string px_Width;
    std::string py_zero;
    std::string py_Height;
    std::string U_Height;
    std::string Spc_Margin;
};

/// The edits' texts for a layout: each length as fixed(4,2).
PrintLengthTexts PrintLengthTextsOf(const PrintLayout& layout);

/// "Apply print lengths" steps 1 and 2: the four main lengths from their texts, then with
/// `manual` the axis height and margin from theirs, else derived from the spectrum height.
/// PortraitPaper comes from `base`. Throws kalvex::Error naming the field for a text that is
/// not a number; nothing is returned then.
PrintLayout PrintLayoutFromTexts(const PrintLengthTexts& texts, bool manual,
                                 const PrintLayout& base);

/// "Calc": with "Auto" the two derived edits get the derived lengths as fixed(4,2); with
/// "Manual" they are left as typed. Throws as PrintLayoutFromTexts.
void RecalculatePrintTexts(PrintLengthTexts& texts, bool manual);

/// "Default": the four main lengths 2.00, 16.00, 1.40 and 15.00, then RecalculatePrintTexts.
void DefaultPrintTexts(PrintLengthTexts& texts, bool manual);

/// The manual tick spacing from the number typed in x_delta: above 1 it is cut to a whole
/// number, above 0 it is taken as it is, otherwise (and for NaN) `previous` stays.
double ManualTickStep(double typed, double previous);

/// The Manu_ITE edit after a change: empty or "0" becomes "1", anything else the nearest whole
/// number (halves away from zero) of its value; a value that rounds to 0 becomes "1" too,
/// since a run needs one iteration at least. Throws kalvex::Error for a text that is not a
/// number.
std::string RoundIterationText(const std::string& text);

/// The three mode buttons of the "GaussNewton" page.
enum class FitModeButton { kAuto, kSemiAuto, kManual };

/// Presses one mode button and releases the others; "AUTO" and "Semi Auto" put "Iteration"
/// back to "AUTO".
void PressModeButton(Options& opts, FitModeButton button);

/// Which of the "GaussNewton" page's mode-dependent controls can be used.
struct GaussNewtonEnables {
    bool DampVal = false;
    bool ConvVal = false;
    bool Set_Ite = false;
    bool Manu_ITE = false;
    bool operator==(const GaussNewtonEnables&) const = default;
};

/// "AUTO": none; "Semi Auto": "Damp Value" and "Convergent"; "Manual": "Damp Value" and
/// "Iteration", then "Convergent" under "AUTO" iterations or Manu_ITE under "Manual Set".
GaussNewtonEnables GaussNewtonEnablesOf(const Options& opts);

/// "Convergent" chosen: "Auto Set" under "Manual" becomes the item at the "Damp Value" index
/// plus 2 (damping "0.01" gives "0.00001"); any other choice is kept.
void ChooseConvergent(Options& opts, int item);

/// "Line Type" chosen: anything but "Gauss+Lorentz" unchecks fraction_Check.
void ChooseLineType(Options& opts, int item);

/// "Integral Type" chosen: under "Gauss+Lorentz" it stays "Area".
void ChooseIntType(Options& opts, int item);

/// The Gaussian-width and fraction check boxes (and the "Lorentz" label) are usable only
/// under "Gauss+Lorentz".
bool GaussLorentzChecksEnabled(const Options& opts);

/// x_delta, U_Height and Spc_Margin are usable only under "Manual" scale setting.
bool ManualScaleEditsEnabled(const Options& opts);

/// The paper limits shown beside the lengths: Portrait "<= 20 cm" across and "<= 28 cm" down,
/// Landscape the reverse.
struct PaperLimitTexts {
    std::string Xm;
    std::string Ym;
};
PaperLimitTexts PaperLimits(bool portrait);

/// A window's top-left corner, screen pixels.
struct WindowPoint {
    int Left = 0;
    int Top = 0;
    bool operator==(const WindowPoint&) const = default;
};

/// The dialog opened from the menu: centred horizontally on the main window (nearest of
/// main left + main width / 2 - dialog width / 2), its top 25 pixels below the main window's
/// client area's top (main top + main height - client height + 25).
WindowPoint OptionsDialogPlace(int main_left, int main_top, int main_width, int main_height,
                               int main_client_height, int dialog_width);

/// The dialog opened from the print preview: 10 pixels right of the preview, at its top.
WindowPoint PrintLayoutDialogPlace(int preview_left, int preview_top, int preview_width);

}  // namespace kalvex::core
