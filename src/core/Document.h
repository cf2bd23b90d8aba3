// The one open spectrum, its calibration and scaling, the peak table and the shared mode flags.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Capacities.h"
#include "core/OneBased.h"

namespace kalvex::core {

/// Peak slot arrays: slot k (1..30) holds peak k; slots above PeakCount are stale.
template <typename T>
using PeakArray = OneBased<T, kMaxPeaks>;

/// The document. Plain data: every command reads and writes the members directly and asks
/// for a redraw afterwards. Points are numbered from 1; point p is buffer element p - 1.
/// X(p) = XFirst - (p - first point) * XStep; Hz = ppm * ObsFreq; absolute intensity of a
/// stored value v is v * YScale + YOffset.
struct Document {
    // --- Spectrum buffers: allocated by an open (Allocate), empty before the first one.
    std::vector<double> ObsY;   ///< measured spectrum, normalised; kMaxPoints when allocated
    std::vector<double> SumY;   ///< sum of all model peaks per point
    std::vector<double> PeakY;  ///< model curve of each peak, peak-major, kMaxPeaks rows

    // --- Point counts and the displayed range.
    std::int32_t PointCount = 0;      ///< points in the loaded spectrum, 1..65536
    std::int32_t ViewFirstPoint = 1;  ///< number of the first displayed point
    std::int32_t ViewPointCount = 0;  ///< number of displayed points

    // --- X-axis calibration.
    double XFirstPpm0 = 0.0;      ///< X of point 1 of the whole spectrum, ppm, as loaded
    double XFirstHz0 = 0.0;       ///< X of point 1 of the whole spectrum, Hz, as loaded
    double XFirstPpm = 0.0;       ///< X of point ViewFirstPoint, ppm
    double XFirstHz = 0.0;        ///< X of point ViewFirstPoint, Hz
    double XStepPpm = 0.0;        ///< decrement of X from one point to the next, ppm
    double XStepHz = 0.0;         ///< decrement of X from one point to the next, Hz
    double ObsFreq = 1.0;         ///< observe frequency, MHz; XStepHz / XStepPpm after every open
    double ObsFreqSetting = 1.0;  ///< observe frequency kept in the settings ("obs freq")

    // --- Range XY dialog's copies of the whole spectrum, set by the readers.
    double RangeFullPpm = 0.0;
    double RangeFullHz = 0.0;
    std::int32_t RangeFullCount = 0;

    // --- Intensity scaling.
    double YScale = 1.0;    ///< raw intensity range (imports) or the value stored in a .spc file
    double YOffset = 0.0;   ///< intensity offset (auto magnification of a .spc file)
    double YRange = 1.0;    ///< display range of auto magnification; 1.0 means none
    double YExpand = 1.0;   ///< vertical gain of the display
    float Bias = 0.0f;      ///< baseline level under every model curve, normalised units
    double SpcExtra = 0.0;  ///< second value of a .spc file's line 3, written back unchanged

    // --- Peak table.
    std::uint8_t PeakCount = 0;
    PeakArray<std::uint16_t> PeakPos;  ///< centre point, whole spectrum, 1-based
    PeakArray<double> PeakHeight;      ///< normalised intensity units
    PeakArray<double> PeakHalfWidth;   ///< half width at half height, points (Gauss, Lorentz)
    PeakArray<double> PeakHalfWidthG;  ///< Gaussian half width, points (Gauss+Lorentz)
    PeakArray<double> PeakHalfWidthL;  ///< Lorentzian half width, points (Gauss+Lorentz)
    PeakArray<double> PeakFractionL;   ///< Lorentzian fraction 0..1 (Gauss+Lorentz)
    PeakArray<double> PeakAreaGL;      ///< normalised area (Gauss+Lorentz)
    PeakArray<double> PeakPosErr;
    PeakArray<double> PeakHeightErr;
    PeakArray<double> PeakHalfWidthErr;
    PeakArray<double> PeakHalfWidthGErr;
    PeakArray<double> PeakHalfWidthLErr;
    PeakArray<double> PeakFractionLErr;

    // --- Mode flags and settings shared across windows.
    bool XAxisPpm = true;           ///< X axis in ppm (true) or Hz
    bool PeakKindLorentz = false;   ///< Gauss (false) or Lorentz (true) line shape
    int F_Type = 0;                 ///< file type of the open spectrum, 0..5 (see FileType)
    std::string FitSelect = "111";  ///< '1'/'0' for fitting Position, Width, Height
    float LsfUpperLimit = 2.0f;     ///< the fit button is enabled only below this squared sum
    double ResidualSum = 0.0;       ///< squared sum of residues of the last screen drawing
    bool PrinterPresent = false;
    bool SpectrumLoaded = false;
    bool BiasFromFile = false;     ///< the last peak file read carried a bias value
    std::string SpectrumFileName;  ///< full path of the open spectrum
    std::string SaveFileName;      ///< target of Save
    bool IsArrayed = false;        ///< the open VnmrJ binary file holds several spectra
    std::uint8_t ArrayCount = 1;   ///< spectra in that file, 1..255
    std::uint8_t ArrayIndex = 1;   ///< 1-based number of the spectrum shown
    bool SeqSaving = false;        ///< a sequential save is running

    /// Allocates the three buffers at full capacity, all zero.
    void Allocate();
    /// Releases the three buffers (closing the window, before the next open).
    void Release();
    bool Allocated() const { return !ObsY.empty(); }

    /// Model curve of peak k (1..30): kMaxPoints doubles, point p at element p - 1.
    double* PeakCurve(int k);
    const double* PeakCurve(int k) const;

    /// Last displayed point: ViewFirstPoint + ViewPointCount - 1.
    std::int32_t ViewLastPoint() const { return ViewFirstPoint + ViewPointCount - 1; }

    /// The document an open reads into: settings-like members (axis unit, line shape,
    /// file type, fit selection and limit, printer, observe-frequency setting, array index)
    /// are taken from `previous`; everything else is in its state after an open's reset:
    /// buffers allocated and zero, PeakCount 0, Bias 0, ViewFirstPoint 1, YExpand and YRange
    /// 1.0, BiasFromFile false, all six error arrays 0 and PeakFractionL 0.5 in every slot.
    static Document FreshForOpen(const Document& previous);
};

/// The spectrum file types, as the Options radio group F_Type numbers them.
enum class FileType : int {
    kSpcSeq = 0,
    kSpcCol = 1,
    kDat = 2,
    kBruker1r = 3,
    kVnmrText = 4,
    kVnmrBinary = 5,
};

}  // namespace kalvex::core
