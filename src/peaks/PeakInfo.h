// Every value and text the Peak Information and Gauss + Lorentz windows show for one peak.
#pragma once

#include "core/Document.h"
#include "core/Options.h"

#include <string>

namespace kalvex::peaks {

/// Colour of the shape-name label `ForG`.
enum class LabelColour { kRed, kBlue };

/// What the shell does with a window after a show.
enum class WindowAction { kLeave, kShow, kClose };

/// Texts of the Peak Information window `Sel_Dlg`, one member per control, named like it.
/// Plus-minus signs are the byte 0xB1 followed by a blank.
struct SelDlgTexts {
    std::string Caption;      ///< "Peak Order : n"
    int Peak_OrderIndex = 0;  ///< item index of the peak list: n - 1
    std::string Edposition;   ///< position, points (decimal integer)
    std::string posi_Err;     ///< position error, points
    std::string Txt_PPM;      ///< position in the axis unit; "outside" for no point of the spectrum
    std::string Txt_PPMHint;  ///< why a peak is "outside"; empty otherwise
    std::string x_Err;        ///< position error in the axis unit, with the unit
    std::string Edhight;      ///< height / YRange
    std::string H_Err;        ///< height error, stored units (not divided by YRange)
    std::string EdWidth;      ///< full width in the axis unit
    std::string Txt_Width;    ///< full width in points, with a trailing blank
    std::string W_Err;        ///< full-width error in the axis unit, with the unit
    std::string EdHz;         ///< full width in Hz; empty on the Hz axis
    std::string EdHz_Err;     ///< its error; empty on the Hz axis
    std::string ForG;         ///< shape name
    LabelColour ForGColour = LabelColour::kRed;
    std::string Area_Label;  ///< area caption
    std::string Area_LabelFont;
    bool Batsu_LabelVisible = false;  ///< the multiplication sign of "Compatible" areas
    std::string IntegArea;            ///< area with error and power of ten
    std::string Percnt;               ///< the area's share of the total
    std::string TotalArea;            ///< total area, sci(4,2)
};

/// Texts of the Gauss + Lorentz window `Sel_Dlg2` (the Lorentzian component of the peak).
struct SelDlg2Texts {
    std::string EdWidth2;       ///< Lorentzian full width in the axis unit
    std::string Txt_Width;      ///< Lorentzian full width in points, with a trailing blank
    std::string W_Err2;         ///< its error in the axis unit, with the unit
    std::string EdHz2;          ///< Lorentzian full width in Hz; empty on the Hz axis
    std::string EdHz_Err2;      ///< its error; empty on the Hz axis
    std::string fract_L;        ///< Lorentzian fraction
    std::string fract_L_error;  ///< its error
    std::string fract_L_errorFont = "Times New Roman";  ///< regular, fract_L_errorFontSize
    int fract_L_errorFontSize = 16;
    std::string Norm_Area;  ///< PeakAreaGL in the general form
};

/// Everything one show of peak n puts into the two windows, and what becomes of them.
struct PeakInfo {
    SelDlgTexts Sel_Dlg;
    SelDlg2Texts Sel_Dlg2;
    /// False without peaks: the area texts (IntegArea, Percnt, TotalArea, Norm_Area) are then
    /// not computed and the windows keep what they showed.
    bool AreaFilled = false;
    WindowAction Sel_DlgAction = WindowAction::kLeave;
    WindowAction Sel_Dlg2Action = WindowAction::kLeave;
};

/// Whether each window is visible before the show.
struct WindowVisibility {
    bool Sel_Dlg = false;
    bool Sel_Dlg2 = false;
};

/// The show of peak n (1..30): all texts of both windows for the document's axis unit
/// (XAxisPpm) and the line type and integral type of `opts`, and the show/close decision.
/// In Gauss+Lorentz mode the window shows the Gaussian width and `Sel_Dlg2` the Lorentzian
/// one, and `opts.Int_Type` is forced to 0 ("Area"); nothing else is written. Without peaks
/// both windows close; otherwise a hidden Peak Information window is shown, and `Sel_Dlg2`
/// is shown in Gauss+Lorentz mode and closed in the others. Reads slot n even when it is
/// above PeakCount (stale values are harmless there: the windows close).
PeakInfo ShowPeakInfo(int n, const core::Document& doc, core::Options& opts,
                      WindowVisibility visible);

/// A window's frame rectangle in screen pixels.
struct WindowRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

/// Top-left corners of the two windows.
struct PeakInfoPlacement {
    int Sel_DlgLeft = 0;
    int Sel_DlgTop = 0;
    int Sel_Dlg2Left = 0;
    int Sel_Dlg2Top = 0;
};

/// Placement beside the main window: `Sel_Dlg` 10 pixels right of the main window's frame
/// at its top, `Sel_Dlg2` 10 pixels below `Sel_Dlg` (whose frame height is given).
PeakInfoPlacement PlacePeakInfo(const WindowRect& main_window, int sel_dlg_height);

}  // namespace kalvex::peaks
