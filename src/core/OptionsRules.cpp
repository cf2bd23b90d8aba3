#include "core/OptionsRules.h"

#include <cmath>

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/TextToNumber.h"

namespace kalvex::core {

namespace {

constexpr int kAutoSetItem = kConvValItems - 1;

std::string Cm(double value) { return FormatFixed(value, 4, 2); }

// The number in a length edit; the message names the edit by its label.
double Length(const std::string& text, const char* label) {
    try {
        return TextToFloat(text);
    } catch (const Error& e) {
        throw Error(std::string(label) + ": " + e.Reason());
    }
}

}  // namespace

int ClampItemIndex(int index, int item_count) {
    if (index >= item_count) return item_count - 1;
    if (index < -1) return -1;
    return index;
}

int ComboIndex(int index, int item_count) { return index >= 0 && index < item_count ? index : -1; }

float UpperLimitFrom(double value) {
    // Written so that NaN fails the test and falls back too.
    if (!(value >= 0.0 && value <= 50.0)) return 2.0f;
    return static_cast<float>(value);
}

double AutoAxisHeightCm(double spectrum_height_cm) { return spectrum_height_cm * 7 / 5.8 / 7; }

double AutoSpectrumMarginCm(double spectrum_height_cm) {
    return spectrum_height_cm * 7 / 5.8 * 0.2 / 7;
}

PrintLengthTexts PrintLengthTextsOf(const PrintLayout& layout) {
    return {Cm(layout.LeftCm),   Cm(layout.WidthCm),      Cm(layout.TopCm),
            Cm(layout.HeightCm), Cm(layout.AxisHeightCm), Cm(layout.SpectrumMarginCm)};
}

PrintLayout PrintLayoutFromTexts(const PrintLengthTexts& texts, bool manual,
                                 const PrintLayout& base) {
    PrintLayout layout = base;
    layout.LeftCm = Length(texts.px_zero, "X margin");
    layout.WidthCm = Length(texts.px_Width, "Spectrum width");
    layout.TopCm = Length(texts.py_zero, "Y margin");
    layout.HeightCm = Length(texts.py_Height, "Spectrum Height");
    if (manual) {
        layout.AxisHeightCm = Length(texts.U_Height, "Axis Height");
        layout.SpectrumMarginCm = Length(texts.Spc_Margin, "Spc margin");
    } else {
        layout.AxisHeightCm = AutoAxisHeightCm(layout.HeightCm);
        layout.SpectrumMarginCm = AutoSpectrumMarginCm(layout.HeightCm);
    }
    return layout;
}

void RecalculatePrintTexts(PrintLengthTexts& texts, bool manual) {
    const PrintLayout layout = PrintLayoutFromTexts(texts, manual, PrintLayout{});
    if (manual) return;
    texts.U_Height = Cm(layout.AxisHeightCm);
    texts.Spc_Margin = Cm(layout.SpectrumMarginCm);
}

void DefaultPrintTexts(PrintLengthTexts& texts, bool manual) {
    texts.px_zero = "2.00";
    texts.px_Width = "16.00";
    texts.py_zero = "1.40";
    texts.py_Height = "15.00";
    RecalculatePrintTexts(texts, manual);
}

double ManualTickStep(double typed, double previous) {
    if (!std::isfinite(typed)) return previous;
    if (typed > 1) return Trunc(typed);
    if (typed > 0) return typed;
    return previous;
}

std::string RoundIterationText(const std::string& text) {
    if (IsBlank(text) || text == "0") return "1";
    const double value = TextToFloat(text);
    // Far beyond any iteration count, and beyond what a whole-number text can hold exactly.
    if (std::fabs(value) >= 1e15) throw Error("'" + text + "' is not a valid integer value");
    const std::int64_t whole = Nearest(value);
    return whole == 0 ? "1" : std::to_string(whole);
}

void PressModeButton(Options& opts, FitModeButton button) {
    opts.AutoOK = button == FitModeButton::kAuto;
    opts.Manu1 = button == FitModeButton::kSemiAuto;
    opts.Manu2 = button == FitModeButton::kManual;
    if (button != FitModeButton::kManual) opts.Set_Ite = 0;
}

GaussNewtonEnables GaussNewtonEnablesOf(const Options& opts) {
    if (opts.Manu2) {
        const bool manual_count = opts.Set_Ite == 1;
        return {true, !manual_count, true, manual_count};
    }
    if (opts.Manu1) return {true, true, false, false};
    return {};
}

void ChooseConvergent(Options& opts, int item) {
    opts.ConvVal = item;
    if (item == kAutoSetItem && opts.Manu2 && opts.DampVal >= 0) opts.ConvVal = opts.DampVal + 2;
}

void ChooseLineType(Options& opts, int item) {
    opts.LGselect = item;
    if (item != 2) opts.fraction_Check = false;
}

void ChooseIntType(Options& opts, int item) { opts.Int_Type = opts.LGselect == 2 ? 0 : item; }

bool GaussLorentzChecksEnabled(const Options& opts) { return opts.LGselect == 2; }

bool ManualScaleEditsEnabled(const Options& opts) { return opts.Scale_set == 1; }

PaperLimitTexts PaperLimits(bool portrait) {
    if (portrait) return {"<= 20 cm", "<= 28 cm"};
    return {"<= 28 cm", "<= 20 cm"};
}

WindowPoint OptionsDialogPlace(int main_left, int main_top, int main_width, int main_height,
                               int main_client_height, int dialog_width) {
    const double left = main_left + main_width / 2.0 - dialog_width / 2.0;
    return {static_cast<int>(Nearest(left)), main_top + main_height - main_client_height + 25};
}

WindowPoint PrintLayoutDialogPlace(int preview_left, int preview_top, int preview_width) {
    return {preview_left + preview_width + 10, preview_top};
}

}  // namespace kalvex::core
