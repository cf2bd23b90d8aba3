// Every value and text the Peak Information and Gauss + Lorentz windows show for one peak.
#include "peaks/PeakInfo.h"

#include "core/Assert.h"
#include "core/Capacities.h"
#include "core/NumberFormat.h"
#include "peaks/PeakArea.h"

namespace kalvex::peaks {

namespace {

using core::FormatFixed;

std::string PlusMinus(const std::string& value) { return kPlusMinus + value; }

// The four width texts of one window: full width and its error in the axis unit, and in Hz
// (the Hz pair only on the ppm axis).
struct WidthTexts {
    std::string Width;
    std::string WidthErr;
    std::string Hz;
    std::string HzErr;
};

WidthTexts WidthsIn(const core::Document& doc, double half_width, double error) {
    WidthTexts t;
    if (doc.XAxisPpm) {
        t.Width = FormatFixed(2.0 * half_width * doc.XStepPpm, 8, 3);
        t.WidthErr = PlusMinus(FormatFixed(2.0 * error * doc.XStepPpm, 8, 3)) + " ppm";
        t.Hz = FormatFixed(2.0 * half_width * doc.XStepHz, 8, 2);
        t.HzErr = PlusMinus(FormatFixed(2.0 * error * doc.XStepHz, 8, 2)) + " Hz";
    } else {
        t.Width = FormatFixed(2.0 * half_width * doc.XStepHz, 8, 2);
        t.WidthErr = PlusMinus(FormatFixed(2.0 * error * doc.XStepHz, 8, 2)) + " Hz";
    }
    return t;
}

}  // namespace

PeakInfo ShowPeakInfo(int n, const core::Document& doc, core::Options& opts,
                      WindowVisibility visible) {
    KALVEX_ASSERT(n >= 1 && n <= core::kMaxPeaks);
    const core::LineType type = core::CurrentLineType(opts, doc);
    const bool gl = type == core::LineType::kGaussLorentz;
    if (gl) opts.Int_Type = 0;

    PeakInfo info;
    SelDlgTexts& s = info.Sel_Dlg;
    SelDlg2Texts& s2 = info.Sel_Dlg2;
    const auto k = static_cast<std::size_t>(n);
    const int p = doc.PeakPos[k];
    const double pos_err = doc.PeakPosErr[k];

    s.Caption = "Peak Order : " + std::to_string(n);
    s.Peak_OrderIndex = n - 1;
    s.Edposition = std::to_string(p);
    s.posi_Err = PlusMinus(FormatFixed(pos_err, 3, 1));

    // This window shows the Gaussian component in Gauss+Lorentz mode, Sel_Dlg2 the Lorentzian.
    const double x = gl ? doc.PeakHalfWidthG[k] : doc.PeakHalfWidth[k];
    const double ex = gl ? doc.PeakHalfWidthGErr[k] : doc.PeakHalfWidthErr[k];
    s.Txt_Width = FormatFixed(2.0 * x, 7, 1) + " ";
    s2.Txt_Width = FormatFixed(2.0 * doc.PeakHalfWidthL[k], 7, 1) + " ";

    s.Edhight = FormatFixed(doc.PeakHeight[k] / doc.YRange, 6, 4);
    s.H_Err = PlusMinus(FormatFixed(doc.PeakHeightErr[k], 6, 5));

    s2.fract_L = FormatFixed(doc.PeakFractionL[k], 4, 3);
    s2.fract_L_error = PlusMinus(FormatFixed(doc.PeakFractionLErr[k], 6, 4));

    const double steps = static_cast<double>(p - 1);
    if (doc.XAxisPpm) {
        s.Txt_PPM = FormatFixed(doc.XFirstPpm0 - steps * doc.XStepPpm, 7, 3);
        s.x_Err = PlusMinus(FormatFixed(pos_err * doc.XStepPpm, 5, 3)) + " ppm";
    } else {
        s.Txt_PPM = FormatFixed(doc.XFirstHz0 - steps * doc.XStepHz, 7, 1);
        s.x_Err = PlusMinus(FormatFixed(pos_err * doc.XStepHz, 7, 1)) + " Hz";
    }
    // Peak files may hold positions the spectrum has no point for; the fit refuses them.
    if (p < 1 || p > doc.PointCount) {
        s.Txt_PPM = "outside";
        s.Txt_PPMHint = "Point " + std::to_string(p) + " lies outside the spectrum's points 1.." +
                        std::to_string(doc.PointCount);
    }
    const WidthTexts own = WidthsIn(doc, x, ex);
    s.EdWidth = own.Width;
    s.W_Err = own.WidthErr;
    s.EdHz = own.Hz;
    s.EdHz_Err = own.HzErr;
    const WidthTexts lorentz = WidthsIn(doc, doc.PeakHalfWidthL[k], doc.PeakHalfWidthLErr[k]);
    s2.EdWidth2 = lorentz.Width;
    s2.W_Err2 = lorentz.WidthErr;
    s2.EdHz2 = lorentz.Hz;
    s2.EdHz_Err2 = lorentz.HzErr;

    if (doc.PeakCount >= 1) {
        info.AreaFilled = true;
        const AreaWithError area = AreaOfPeak(doc, type, opts.Int_Type, n);
        const double total = TotalArea(doc, type, opts.Int_Type);
        s.IntegArea = IntegAreaText(area.A, area.E);
        s.TotalArea = TotalAreaText(total);
        s.Percnt = PercentText(area.A, total);
        s2.Norm_Area = core::FormatGeneral(doc.PeakAreaGL[k]);
    }

    // The odd spellings are the program's own captions.
    if (gl) {
        s.Area_Label = "Area (Intrinsic)";
        s.Area_LabelFont = "Comic Sans MS";
        s.Batsu_LabelVisible = false;
        s.ForG = "(For Gauuss)";
        s.ForGColour = LabelColour::kRed;
    } else {
        const bool compatible = opts.Int_Type == 1;
        s.Area_Label = compatible ? "Area (width    height)" : "Area (Intrinsic)";
        s.Area_LabelFont = compatible ? "Times New Roman" : "Comic Sans MS";
        s.Batsu_LabelVisible = compatible;
        const bool lorentz_kind = type == core::LineType::kLorentz;
        s.ForG = lorentz_kind ? "Lorentzian" : "Gauussian";
        s.ForGColour = lorentz_kind ? LabelColour::kBlue : LabelColour::kRed;
    }

    // Without peaks both windows close, whatever was visible, so none lingers empty.
    if (doc.PeakCount == 0) {
        info.Sel_DlgAction = WindowAction::kClose;
        info.Sel_Dlg2Action = WindowAction::kClose;
    } else {
        info.Sel_DlgAction = visible.Sel_Dlg ? WindowAction::kLeave : WindowAction::kShow;
        if (gl) {
            info.Sel_Dlg2Action = visible.Sel_Dlg2 ? WindowAction::kLeave : WindowAction::kShow;
        } else {
            info.Sel_Dlg2Action = WindowAction::kClose;
        }
    }
    return info;
}

PeakInfoPlacement PlacePeakInfo(const WindowRect& main_window, int sel_dlg_height) {
    PeakInfoPlacement r;
    r.Sel_DlgLeft = main_window.Left + main_window.Width + 10;
    r.Sel_DlgTop = main_window.Top;
    r.Sel_Dlg2Left = r.Sel_DlgLeft;
    r.Sel_Dlg2Top = r.Sel_DlgTop + sel_dlg_height + 10;
    return r;
}

}  // namespace kalvex::peaks
