// The damped Gauss-Newton least-squares run over the peak table, with its modes and error
// estimates.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/Options.h"
#include "fit/DoubleKernels.h"

namespace kalvex::fit {

/// Warning shown when a step made the squared sum rise by more than 1 in "Semi Auto" or "Manual".
inline constexpr const char* kChangeInitialConditions = "Change Initial Conditions !!!";

/// The Options "GaussNewton" mode buttons: `AutoOK`, `Manu1`, `Manu2`.
enum class FitMode { kAuto, kSemiAuto, kManual };

/// The Options "GaussNewton" page's "Precision" (core::Options::Precision 0 and 1): every
/// iteration's curves, Jacobian, normal matrix and model sum in 80-bit extended precision, or
/// in double with vectorised loops. The LU solve, the step and the damping are extended in
/// both, so both follow the same rules and stop tests.
enum class Precision { kExtended, kDouble };

/// The item's caption: "Extended (exact)" or "Double (fast)".
const char* PrecisionCaption(Precision precision);

/// DampFactor of "Damp Value" item 0..5: 1.0, 0.1, 0.01, 0.001, 0.0001, 0.00001.
double DampFactorOfItem(int item);
/// ConvLimit of "Convergent" item 0..8: 0.1 .. 1E-8, item 8 "Auto Set" = 0.001 * damp_factor.
double ConvLimitOfItem(int item, double damp_factor);
/// Index of the "Convergent" item "Auto Set".
inline constexpr int kConvAutoSetItem = 8;

/// Damping and convergence threshold a run starts with, for the starting squared sum z and
/// FitKindCount kinds. "AUTO": 0.1 if z < 0.1 else 1.0 (always 1.0 for one kind), threshold
/// 0.001 * damping; the other modes: the "Damp Value" and "Convergent" items. "Manual Set"
/// makes the threshold -1, so that no decrease counts as converged.
struct Damping {
    double DampFactor = 1.0;
    double ConvLimit = 0.001;
};
struct GaussNewtonOptions;
Damping StartingDamping(const GaussNewtonOptions& opts, double z, int kind_count);

/// Damping after a step that made the squared sum larger. "Manual" negates the factor; the
/// others divide it by 10 or, from 0.01 down, negate it, and in "AUTO" or "Semi Auto" with
/// "Auto Set" the threshold becomes |0.001 * factor| (not with "Manual Set": its threshold
/// stays -1 so that the iteration count still decides).
Damping DampingAfterWorseStep(const GaussNewtonOptions& opts, Damping current);

/// Everything a run reads besides the document.
struct GaussNewtonOptions {
    std::string FitSelect = "111";  ///< '1'/'0' for Position, Width, Height (Document::FitSelect)
    bool FractionL = false;         ///< Options "Fraction L" (fraction_Check)
    core::LineType Line = core::LineType::kGauss;
    /// Gauss+Lorentz "Width": the Lorentzian half width (Width_Box checked) or else the
    /// Gaussian one (WidthG_Box checked).
    bool WidthIsLorentzian = true;
    FitMode Mode = FitMode::kAuto;
    int DampItem = 2;                    ///< "Damp Value" item (Semi Auto, Manual)
    int ConvItem = 2;                    ///< "Convergent" item (Semi Auto, Manual)
    bool ManualIterations = false;       ///< "Iteration" is "Manual Set"
    std::uint16_t IterationCount = 100;  ///< `Manu_ITE`, 1..65535
    /// Threads for the normal matrix; 0 means one per core. Results never depend on it.
    int Threads = 0;
    Precision Arithmetic = Precision::kExtended;
    /// The build of the double-precision loops (kBest: AVX2/FMA where the processor has it).
    /// A path the processor cannot run falls back to the portable one.
    SimdPath Simd = SimdPath::kBest;
};

/// The options of the current Options dialog, document and fit dialog: mode buttons, DampVal,
/// ConvVal, Set_Ite, Manu_ITE, Precision, fraction_Check, doc.FitSelect, the line type, and
/// which width box is checked. Throws kalvex::Error for an item outside its group or, with
/// "Manual Set", an iteration count that is not an integer in 1..65535.
GaussNewtonOptions MakeGaussNewtonOptions(const core::Options& opts, const core::Document& doc,
                                          bool width_box, bool widthg_box);

/// State shared by the fit dialog and the run.
struct FitRunState {
    /// The displayed points ViewFirstPoint..ViewLastPoint of ObsY as they were when the dialog
    /// opened; the run fits these.
    std::vector<double> FitObsY;
    /// Stop request: set by OK and Exit and by the run itself; the run never clears it. Atomic:
    /// the dialog sets it while the run reads it on its worker thread.
    std::atomic<bool> FitStop{false};

    /// Copies ObsY points ViewFirstPoint..ViewLastPoint into FitObsY.
    void CopyObserved(const core::Document& doc);
};

/// What the run reports while it goes.
class FitObserver {
public:
    virtual ~FitObserver() = default;
    /// After every iteration: the new squared sum, the one before the step and the iteration
    /// counter. Returns true to stop after this iteration (the results are still written).
    virtual bool OnIteration(double z, double z_old, std::uint16_t count) = 0;
    /// A message the user must acknowledge mid-run ("Change Initial Conditions !!!").
    virtual void OnWarning(const std::string& message) = 0;
};

/// Why a run ended.
enum class FitEnd {
    kConverged,         ///< 0 < Zold - Z < ConvLimit
    kUnchangedZ,        ///< Zold - Z = 0
    kIterationCount,    ///< "Manual Set" count reached
    kStopped,           ///< FitStop set by the observer or before the run
    kDiverged,          ///< Z rose by more than 1 ("Semi Auto", "Manual"): warned, results written
    kSingularMatrix,    ///< a zero row in the normal matrix: nothing written
    kNotFinite,         ///< a value met NaN or infinity: nothing written
    kNoPeaks,           ///< refused: the peak table is empty
    kPeaksOutside,      ///< refused: a peak lies outside the spectrum (points 1..PointCount)
    kTooFewPoints,      ///< refused: N <= P
    kInvalidSelection,  ///< refused: nothing or an impossible combination selected
};

/// The outcome of RunGaussNewton.
struct GaussNewtonSummary {
    FitEnd Reason = FitEnd::kNoPeaks;
    /// The user-facing text for a refusal, the singular matrix or a value that is not finite;
    /// empty otherwise.
    std::string Message;
    std::uint16_t Iterations = 0;  ///< iteration counter at the end (restarts set it to 0)
    int TotalIterations = 0;       ///< iterations of all passes
    int Restarts = 0;              ///< "AUTO" restarts after a divergence
    double ZStart = 0.0;           ///< squared sum before the first step
    double Z = 0.0;                ///< final squared sum
    double ZOld = 0.0;             ///< squared sum before the last step
    double DampFactor = 0.0;       ///< damping at the end
    double ConvLimit = 0.0;        ///< convergence threshold at the end
    int ParameterCount = 0;        ///< P
    char LayoutCode = '\0';        ///< 'A'..'G'
    /// Results the user should look at, after a run that wrote them (FractionWarnings and
    /// MeaninglessResultWarnings).
    std::vector<std::string> Warnings;

    /// True when iterations ran and their results were written into the peak table.
    bool ResultsWritten() const {
        return Reason == FitEnd::kConverged || Reason == FitEnd::kUnchangedZ ||
               Reason == FitEnd::kIterationCount || Reason == FitEnd::kStopped ||
               Reason == FitEnd::kDiverged;
    }
};

/// The peaks 1..PeakCount whose position lies outside the spectrum (below 1 or above
/// PointCount), in peak order. Peak files may hold such positions; a fit cannot use them.
std::vector<int> PeaksOutsideSpectrum(const core::Document& doc);

/// The refusal naming those peaks with their points, e.g. "Peak 2 (point 501) lies outside the
/// spectrum, points 1 to 500: move or delete it before fitting". `peaks` must not be empty.
std::string PeaksOutsideMessage(const core::Document& doc, const std::vector<int>& peaks);

/// One warning per peak 1..PeakCount whose Lorentzian fraction lies outside 0..1, e.g.
/// "Fraction L of peak 2 is 1.163, outside 0..1". A fraction fit lets fractions move freely
/// (held inside 0..1, a fit of overlapping peaks oscillates and never converges), so a result
/// outside the range is reported, not corrected.
std::vector<std::string> FractionWarnings(const core::Document& doc);

/// Fits the peak table to state.FitObsY over the displayed points (ViewPointCount of them from
/// ViewFirstPoint on; positions stay whole-spectrum point numbers): loads the vector, sets
/// damping and convergence by mode, iterates (Jacobian, normal matrix, inverse, damped step,
/// evaluation, observer) until converged, Z unchanged, the "Manual Set" count, a stop request
/// or a divergence (AUTO restarts from the table; the other modes warn and stop), then writes
/// values and errors sigma = sqrt(|C[i][i]| Z / (N - P)) into the peak table (after a fraction
/// fit, with the FractionWarnings in the summary; with MeaninglessResultWarnings always). A
/// singular matrix ends the run with the table as it was; so does NaN or infinity in the
/// squared sum, the normal matrix or its inverse, a step, a new value or a written result
/// (kNotFinite, with a message saying where; the observer never sees such a Z, and
/// summary.Z is the starting one). No peaks, a peak outside the spectrum, N <= P or an
/// invalid selection: no run and a message. Needs state.FitObsY to hold ViewPointCount values.
GaussNewtonSummary RunGaussNewton(core::Document& doc, const GaussNewtonOptions& opts,
                                  FitRunState& state, FitObserver& observer);

}  // namespace kalvex::fit
