// The values of the Options dialog's controls, one member per control, named like it.
#pragma once

#include <string>

namespace kalvex::core {

struct Document;

/// Line shape of all peaks: LGselect item 2, else the document's PeakKindLorentz.
enum class LineType { kGauss, kLorentz, kGaussLorentz };

/// Print layout in centimetres (the document values behind the "Print Scale" page).
struct PrintLayout {
    double LeftCm = 2.0;                         ///< px_zero, X margin
    double WidthCm = 16.0;                       ///< px_Width, spectrum width
    double TopCm = 1.4;                          ///< py_zero, Y margin
    double HeightCm = 15.0;                      ///< py_Height, spectrum height
    double AxisHeightCm = 15.0 / 5.8;            ///< U_Height, axis zone height
    double SpectrumMarginCm = 0.2 * 15.0 / 5.8;  ///< Spc_Margin, spectrum to axis margin
    bool PortraitPaper = false;                  ///< page taller than wide (Paper "  Portrait")
};

/// Every Options-dialog control as the running program reads it. The defaults are those of a
/// new installation (no settings file).
struct Options {
    // --- "Global Settings"
    int Xaxis = 0;      ///< 0 "ppm", 1 "Hz" (OK copies it to Document::XAxisPpm)
    int LGselect = 0;   ///< 0 "Gauss", 1 "Lorentz", 2 "Gauss+Lorentz"
    int Int_Type = 0;   ///< 0 "Area", 1 "Compatible"
    int RefMethod = 1;  ///< 0 "Auto", 1 "Refresh Btn"
    int ParType = 0;    ///< 0 "Select Params", 1 "All Params"
    int Bias_set = 1;   ///< 0 "Manual", 1 "Auto", 2 "Manual+Auto"
    bool magnify_enable = true;
    bool x86cpu = false;   ///< binary imports are little-endian
    int D_size_combo = 1;  ///< window-size preset 0..7

    // --- "GaussNewton": the three mode buttons, exactly one pressed.
    bool AutoOK = true;  ///< "AUTO"
    bool Manu1 = false;  ///< "Semi Auto"
    bool Manu2 = false;  ///< "Manual"
    int DampVal = 2;     ///< "Damp Value" item: "1.00" .. "0.00001"
    int ConvVal = 2;     ///< "Convergent" item: "0.1" .. "1E-8", 8 "Auto Set"
    int Set_Ite = 0;     ///< "Iteration": 0 "AUTO", 1 "Manual Set"
    std::string Manu_ITE = "100";
    std::string LSFlimit = "2.0";
    bool Position_Check = true;
    bool Height_Check = true;
    bool Width_Check = true;
    bool WidthG_Check = false;
    bool fraction_Check = false;
    int Precision = 0;  ///< "Precision": 0 "Extended (exact)", 1 "Double (fast)"

    // --- "Print Out"
    bool Prn_Source = true;
    bool Prn_Peaks = true;
    bool Prn_Sum = true;
    bool Prn_xline = true;
    int S_Line1 = 2;      ///< spectrum pen: 0 Thin, 1 Regular, 2 Bold, 3 Super Bold
    int XLine_Style = 0;  ///< axis pen: 0 Regular, 1 Bold
    int P_Line1 = 0;      ///< peak pen
    int Sum_Line1 = 1;    ///< sum pen
    int P_Line2 = 0;      ///< peak style: 0 Solid, 1 Broken, 2 Broken-Dot
    int Sum_Line2 = 0;    ///< sum style

    // --- "Print Scale"
    PrintLayout Print;
    int Scale_set = 0;    ///< 0 "Auto", 1 "Manual"
    std::string x_delta;  ///< "tic / CS Unit": the tick spacing text
    bool XTickManual = false;
};

/// The line type in force: Gauss+Lorentz when LGselect says so, else by PeakKindLorentz.
LineType CurrentLineType(const Options& opts, const Document& doc);

}  // namespace kalvex::core
