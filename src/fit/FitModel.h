// The model of one fit run: parameter layout, evaluation, analytic Jacobian and steps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/Extended.h"
#include "core/Options.h"
#include "fit/LuSolver.h"
#include "fit/Workers.h"

namespace kalvex::fit {

struct DoubleKernels;
struct StripPanel;

/// What one entry of the parameter vector is.
enum class ParamKind {
    kPosition,  ///< PeakPos (whole points after every step)
    kWidth,     ///< PeakHalfWidth (Gauss, Lorentz)
    kHeight,    ///< PeakHeight (Gauss, Lorentz)
    kWidthL,    ///< PeakHalfWidthL (Gauss+Lorentz, height kept)
    kWidthG,    ///< PeakHalfWidthG (Gauss+Lorentz, height kept)
    kArea,      ///< PeakAreaGL (Gauss+Lorentz; PeakHeight follows as D * A)
    kFraction,  ///< PeakFractionL (Gauss+Lorentz, height kept)
};

/// The choices that fix what a run varies.
struct FitLayoutChoice {
    std::string FitSelect = "111";  ///< '1'/'0' for Position, Width, Height
    bool FractionL = false;         ///< Options "Fraction L": fit the Lorentzian fractions
    core::LineType Line = core::LineType::kGauss;
    bool WidthIsLorentzian = true;  ///< Gauss+Lorentz "Width": wL (Width_Box) or wG (WidthG_Box)
};

/// Layout code 'A'..'G' of a selection, or 0 when the selection cannot be fitted (nothing
/// selected; "Fraction L" with another kind or outside Gauss+Lorentz; more than one kind in
/// Gauss+Lorentz mode). `why` receives the user-facing reason in that case.
char LayoutCodeOf(const FitLayoutChoice& choice, std::string* why = nullptr);

/// One run's model over the fit range of N points from spectrum point `first_point` on, against
/// fit_obs_y[0..N-1] (fit point x = 1..N is spectrum point first_point + x - 1). The document is
/// read for every parameter that is not fitted and written only by EvaluateFit (the derived
/// Gauss+Lorentz values, as the fit goes) and WriteBack. The layout must be valid
/// (LayoutCodeOf != 0) and 1 <= P <= 90.
class FitModel {
public:
    FitModel(core::Document& doc, const FitLayoutChoice& choice, const double* fit_obs_y,
             std::int32_t n, std::int32_t first_point = 1);

    char LayoutCode() const { return code_; }
    int KindCount() const { return static_cast<int>(kinds_.size()); }  ///< FitKindCount
    int ParameterCount() const { return p_; }                          ///< P
    core::LineType Line() const { return choice_.Line; }
    std::int32_t PointCount() const { return n_; }      ///< N
    std::int32_t FirstPoint() const { return first_; }  ///< spectrum point of fit point 1
    ParamKind KindOf(int entry) const;                  ///< kind of entry 1..P
    int PeakOf(int entry) const;                        ///< peak 1..PeakCount of entry 1..P

    /// FitParams, entries 1..P in peak order, within a peak in the order Position, Width,
    /// Height (only the fitted kinds).
    Vector90& Params() { return params_; }
    const Vector90& Params() const { return params_; }

    /// Fills Params() from the peak table.
    void LoadFitParameters();

    /// Builds the model sum over 1..N from Params() and the table (updating PeakAreaGL or
    /// PeakHeight in Gauss+Lorentz mode), fills the residuals r[x] = FitObsY - Sum - Bias and
    /// returns Z = sum of r^2, accumulated in a double. Bit-identical for every thread count.
    /// In extended precision the curves are computed in extended and the residuals kept in
    /// extended (Residuals()); in double precision everything is double (ResidualsDouble()).
    double EvaluateFit();

    /// Switches evaluation and derivatives to double precision computed by `kernels`, or back
    /// to extended precision with nullptr. The step, the solver and the damping are extended
    /// in both.
    void UseDoublePrecision(const DoubleKernels* kernels) { kernels_ = kernels; }
    /// The double-precision loops in use, nullptr in extended precision.
    const DoubleKernels* Kernels() const { return kernels_; }
    /// Threads EvaluateFit may use (1 by default; large models only).
    void SetThreads(int threads) { threads_ = threads < 1 ? 1 : threads; }
    /// Helper threads for EvaluateFit (at most pool->Threads() of them are used); without a
    /// pool every threaded evaluation starts its own. The pool must outlive its use here.
    void SetPool(WorkerPool* pool) { pool_ = pool; }
    /// Residual of point x at element x-1, from the last EvaluateFit in extended precision.
    const std::vector<core::Extended>& Residuals() const { return r_; }
    /// The same from the last EvaluateFit in double precision.
    const std::vector<double>& ResidualsDouble() const { return rd_; }

    /// Analytic derivatives of the curves of peaks first_peak..last_peak (before the edge
    /// rescale) for fit points first_x..first_x+rows-1 (1..N): entry e goes to
    /// columns[(e - 1) * stride + (x - first_x)]. Other columns are not touched.
    void BuildJacobianBlock(std::int32_t first_x, std::int32_t rows, int first_peak, int last_peak,
                            core::Extended* columns, std::size_t stride) const;
    /// The same in double precision (UseDoublePrecision) for one peak and the panel's rows
    /// from fit point first_x on, with the loops of the kernels in use: entry e goes to
    /// column e - 1 of the panel. `scratch` holds 8 * panel.Rows doubles for the derivatives
    /// that are not fitted. Returns false, writing nothing, when the peak's columns would be
    /// +0 or -0 at every row (a Gauss peak far from the block).
    bool BuildJacobianBlockDouble(std::int32_t first_x, const StripPanel& panel, int peak,
                                  double* scratch) const;

    /// Params()[i] := delta[i] * damp + Params()[i]; positions rounded to whole points (halves
    /// away from zero) and held inside 1..PointCount (or their starting value when that lay
    /// outside). Every other kind moves freely (a fraction may leave 0..1, see
    /// FractionWarnings). Widths may pass through zero: the curves take them
    /// squared, so a negative width is the same curve as its magnitude, and WriteBack stores the
    /// magnitude.
    void ApplyStep(const Vector90& delta, double damp);

    /// Writes Params() and the errors sigma[1..P] into the peak table (positions rounded,
    /// widths as magnitudes),
    /// with the Gauss+Lorentz consequences (PeakAreaGL after a width, D * A and D * sigma after
    /// an area).
    void WriteBack(const Vector90& sigma);

private:
    struct PeakValues {
        core::Extended centre, width, height, width_g, width_l, fraction, area;
    };
    PeakValues ValuesOf(int k) const;
    // What the curve generators get for peak k; in Gauss+Lorentz mode, the derived value is
    // written into the table first.
    struct CurveInputs {
        std::uint16_t centre;
        double width, height, width_g, width_l, area, fraction;
    };
    CurveInputs CurveInputsOf(int k);
    // The curve of peak k over 1..N into shape[0..N-1], in the precision in use.
    void FillCurveOf(int k, double* shape);
    // The constants of the Gauss+Lorentz derivatives of peak k.
    struct GLTerms {
        bool GDefined, LDefined;
        core::Extended InvWg, InvWl, Cg, Cl, PosG, PosL, WlA, WlB, WgA, WgB, DAreaF, AreaF, InvGl,
            InvGg;
    };
    GLTerms GLTermsOf(int k, const PeakValues& v) const;
    int Entry(int k, int slot) const { return (k - 1) * KindCount() + slot + 1; }
    int SlotOf(int k, ParamKind kind) const;

    core::Document& doc_;
    FitLayoutChoice choice_;
    const double* obs_;
    std::int32_t n_;
    std::int32_t first_;
    char code_;
    std::vector<ParamKind> kinds_;  // per-peak slots
    int p_;
    Vector90 params_;
    core::OneBased<std::int32_t, core::kMaxPeaks> pos_lo_, pos_hi_;
    std::vector<double> curves_;  // one curve per peak, or one curve and the running sum
    int threads_ = 1;
    WorkerPool* pool_ = nullptr;
    const DoubleKernels* kernels_ = nullptr;
    std::vector<core::Extended> r_;
    std::vector<double> rd_;
};

}  // namespace kalvex::fit
