// The Gauss-Newton run: damping by mode, the iteration loop, restarts, errors and write-back.
#include "fit/GaussNewton.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "core/Assert.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/TextToNumber.h"
#include "fit/DoubleNormalSystem.h"
#include "fit/FitModel.h"
#include "fit/FitSafety.h"
#include "fit/LuSolver.h"
#include "fit/NormalSystem.h"

namespace kalvex::fit {

using core::Extended;

namespace {

constexpr double kDampTable[] = {1.0, 0.1, 0.01, 0.001, 0.0001, 0.00001};
constexpr double kConvTable[] = {0.1, 0.01, 0.001, 0.0001, 0.00001, 1E-6, 1E-7, 1E-8};

// The damping products are formed in extended precision and stored as doubles: in double,
// 0.1 x 0.1 is 0.010000000000000002, which is not <= 0.01, and a third worse step would damp
// again instead of turning the step round.
double Thousandth(double damp_factor) {
    return static_cast<double>(0.001L * static_cast<Extended>(damp_factor));
}

std::string NotFiniteMessage(int iteration, const std::string& what) {
    const std::string when = iteration == 0
                                 ? "The fit cannot start"
                                 : "The fit stopped in iteration " + std::to_string(iteration);
    return when + ": " + what + ". The peak table is unchanged.";
}

}  // namespace

const char* PrecisionCaption(Precision precision) {
    return precision == Precision::kDouble ? "Double (fast)" : "Extended (exact)";
}

double DampFactorOfItem(int item) {
    KALVEX_ASSERT(item >= 0 && item < 6);
    return kDampTable[item];
}

double ConvLimitOfItem(int item, double damp_factor) {
    KALVEX_ASSERT(item >= 0 && item <= kConvAutoSetItem);
    return item == kConvAutoSetItem ? Thousandth(damp_factor) : kConvTable[item];
}

Damping StartingDamping(const GaussNewtonOptions& opts, double z, int kind_count) {
    Damping d;
    if (opts.Mode == FitMode::kAuto) {
        d.DampFactor = z < 0.1 ? 0.1 : 1.0;
        if (kind_count == 1) d.DampFactor = 1.0;
        d.ConvLimit = Thousandth(d.DampFactor);
    } else {
        d.DampFactor = DampFactorOfItem(opts.DampItem);
        d.ConvLimit = ConvLimitOfItem(opts.ConvItem, d.DampFactor);
    }
    if (opts.ManualIterations) d.ConvLimit = -1.0;
    return d;
}

Damping DampingAfterWorseStep(const GaussNewtonOptions& opts, Damping current) {
    Damping d = current;
    if (opts.Mode == FitMode::kManual) {
        d.DampFactor = -d.DampFactor;
        return d;
    }
    // The parameters are kept: the next iteration starts from the worse point, and a negated
    // factor sends the next step against the computed direction.
    d.DampFactor = d.DampFactor <= 0.01
                       ? -d.DampFactor
                       : static_cast<double>(0.1L * static_cast<Extended>(d.DampFactor));
    const bool follows = opts.Mode == FitMode::kAuto || opts.ConvItem == kConvAutoSetItem;
    if (follows && !opts.ManualIterations) d.ConvLimit = std::fabs(Thousandth(d.DampFactor));
    return d;
}

GaussNewtonOptions MakeGaussNewtonOptions(const core::Options& opts, const core::Document& doc,
                                          bool width_box, bool widthg_box) {
    GaussNewtonOptions o;
    o.FitSelect = doc.FitSelect;
    o.FractionL = opts.fraction_Check;
    o.Line = core::CurrentLineType(opts, doc);
    o.WidthIsLorentzian = width_box || !widthg_box;
    o.Mode = opts.Manu2 ? FitMode::kManual : opts.Manu1 ? FitMode::kSemiAuto : FitMode::kAuto;
    if (opts.DampVal < 0 || opts.DampVal > 5) {
        throw Error("\"Damp Value\" item " + std::to_string(opts.DampVal) + " does not exist");
    }
    if (opts.ConvVal < 0 || opts.ConvVal > kConvAutoSetItem) {
        throw Error("\"Convergent\" item " + std::to_string(opts.ConvVal) + " does not exist");
    }
    if (opts.Precision < 0 || opts.Precision > 1) {
        throw Error("\"Precision\" item " + std::to_string(opts.Precision) + " does not exist");
    }
    o.Arithmetic = opts.Precision == 1 ? Precision::kDouble : Precision::kExtended;
    o.DampItem = opts.DampVal;
    o.ConvItem = opts.ConvVal;
    o.ManualIterations = opts.Set_Ite == 1;
    if (o.ManualIterations) {
        const std::int32_t count = core::TextToInt(opts.Manu_ITE);
        if (count < 1 || count > 65535) {
            throw Error("The iteration count must be 1 to 65535, not " + opts.Manu_ITE);
        }
        o.IterationCount = static_cast<std::uint16_t>(count);
    }
    return o;
}

void FitRunState::CopyObserved(const core::Document& doc) {
    KALVEX_ASSERT(doc.ViewFirstPoint >= 1 && doc.ViewPointCount >= 0 &&
                  static_cast<std::size_t>(doc.ViewLastPoint()) <= doc.ObsY.size());
    const auto first = doc.ObsY.begin() + (doc.ViewFirstPoint - 1);
    FitObsY.assign(first, first + doc.ViewPointCount);
}

std::vector<int> PeaksOutsideSpectrum(const core::Document& doc) {
    std::vector<int> outside;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        if (doc.PeakPos[k] < 1 || doc.PeakPos[k] > doc.PointCount) outside.push_back(k);
    }
    return outside;
}

std::string PeaksOutsideMessage(const core::Document& doc, const std::vector<int>& peaks) {
    KALVEX_ASSERT(!peaks.empty());
    const bool one = peaks.size() == 1;
    std::string text = one ? "Peak " : "Peaks ";
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        if (i > 0) text += i + 1 == peaks.size() ? " and " : ", ";
        const int k = peaks[i];
        text += std::to_string(k) + " (point " + std::to_string(doc.PeakPos[k]) + ")";
    }
    text += one ? " lies" : " lie";
    text += " outside the spectrum, points 1 to " + std::to_string(doc.PointCount);
    text += one ? ": move or delete it before fitting" : ": move or delete them before fitting";
    return text;
}

std::vector<std::string> FractionWarnings(const core::Document& doc) {
    std::vector<std::string> warnings;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        const double f = doc.PeakFractionL[k];
        if (f >= 0.0 && f <= 1.0) continue;
        // Three decimals, or as many more as it takes not to look like a value inside.
        std::string text = core::FormatFixed(f, 15, 3);
        for (int d = 4; d <= 15 && std::fabs(std::strtod(text.c_str(), nullptr) - 0.5) <= 0.5;
             ++d) {
            text = core::FormatFixed(f, 15, d);
        }
        warnings.push_back("Fraction L of peak " + std::to_string(k) + " is " + text +
                           ", outside 0..1");
    }
    return warnings;
}

GaussNewtonSummary RunGaussNewton(core::Document& doc, const GaussNewtonOptions& opts,
                                  FitRunState& state, FitObserver& observer) {
    GaussNewtonSummary summary;
    const std::int32_t n = doc.ViewPointCount;
    const FitLayoutChoice choice{opts.FitSelect, opts.FractionL, opts.Line, opts.WidthIsLorentzian};

    if (doc.PeakCount == 0) {
        summary.Reason = FitEnd::kNoPeaks;
        summary.Message = "No Peak Data !!!";
        return summary;
    }
    // Such a peak has no curve the fit could follow: its run would end in NaN.
    if (const std::vector<int> outside = PeaksOutsideSpectrum(doc); !outside.empty()) {
        summary.Reason = FitEnd::kPeaksOutside;
        summary.Message = PeaksOutsideMessage(doc, outside);
        return summary;
    }
    std::string why;
    summary.LayoutCode = LayoutCodeOf(choice, &why);
    if (summary.LayoutCode == '\0') {
        summary.Reason = FitEnd::kInvalidSelection;
        summary.Message = why;
        return summary;
    }
    const int kinds = summary.LayoutCode <= 'D' ? (summary.LayoutCode == 'A' ? 3 : 2) : 1;
    const int p = kinds * doc.PeakCount;
    summary.ParameterCount = p;
    if (n <= p) {
        summary.Reason = FitEnd::kTooFewPoints;
        summary.Message = "The fit needs more points than parameters: " + std::to_string(n) +
                          " points for " + std::to_string(p) + " parameters";
        return summary;
    }
    KALVEX_ASSERT(state.FitObsY.size() >= static_cast<std::size_t>(n));
    // A table edited past the doubles would start the run from infinity.
    if (!PeakTableFinite(doc)) {
        summary.Reason = FitEnd::kNotFinite;
        summary.Message = NotFiniteMessage(0, "the peak table holds a value that is not finite");
        return summary;
    }

    // Evaluations keep the derived Gauss+Lorentz values in the table up to date; a run that
    // ends without a result puts them back, and anything written after its last check.
    const PeakTableSnapshot table_before(doc);
    const core::PeakArray<std::uint16_t> start_pos = doc.PeakPos;

    // The run's helper threads, kept from the first iteration to the last.
    WorkerPool pool(ResolveThreadCount(opts.Threads));
    FitModel model(doc, choice, state.FitObsY.data(), n, doc.ViewFirstPoint);
    model.SetThreads(ResolveThreadCount(opts.Threads));
    model.SetPool(&pool);
    // The double-precision normal system keeps its buffers for the whole run.
    std::unique_ptr<DoubleNormalSystem> fast;
    if (opts.Arithmetic == Precision::kDouble) {
        const DoubleKernels* kernels = KernelsFor(opts.Simd);
        model.UseDoublePrecision(kernels != nullptr ? kernels : KernelsFor(SimdPath::kPortable));
        fast = std::make_unique<DoubleNormalSystem>(model);
    }
    double z = model.EvaluateFit();
    double z_old = z;
    summary.ZStart = z;
    int tiny_pivot = 0;  // the last column that needed the substitute pivot

    Damping damping = StartingDamping(opts, z, kinds);
    // 127 KiB each: on the heap, not on the caller's stack. Only rows and columns 1..P are
    // ever written and read; clearing the rest would touch some 60 fresh pages, a tenth of a
    // millisecond in a small fit.
    const auto a_store = std::make_unique<Matrix90>(Matrix90::Unset{});
    const auto c_store = std::make_unique<Matrix90>(Matrix90::Unset{});
    Matrix90& a = *a_store;
    Matrix90& c = *c_store;
    Vector90 g;
    Vector90 delta;
    std::uint16_t counter = 0;
    // The state a run ends in, whichever way it ends.
    auto finish = [&] {
        summary.Iterations = counter;
        summary.Z = z;
        summary.ZOld = z_old;
        summary.DampFactor = damping.DampFactor;
        summary.ConvLimit = damping.ConvLimit;
        return summary;
    };
    // NaN or infinity anywhere ends the run before it reaches the table, a rounding to a
    // point number or the observer.
    auto not_finite = [&](int iteration, const std::string& what) {
        table_before.Restore(doc);
        summary.Reason = FitEnd::kNotFinite;
        summary.Message = NotFiniteMessage(iteration, what);
        z = z_old = summary.ZStart;
        return finish();
    };
    // "the half width of peak 2"
    auto entry_name = [&](int entry) {
        return std::string(KindName(model.KindOf(entry))) + " of peak " +
               std::to_string(model.PeakOf(entry));
    };
    if (!std::isfinite(z)) return not_finite(0, "the squared sum is not a finite number");
    bool warned = false;
    bool unchanged = false;
    bool count_reached = false;
    const int threads = opts.Threads;

    for (;;) {
        counter = 0;
        bool diverged = false;
        for (;;) {
            if (fast) {
                fast->Build(threads, pool, a, g);
            } else {
                BuildNormalSystem(model, threads, pool, a, g);
            }
            const int step = summary.TotalIterations + 1;
            if (!AllFinite(a, p) || FirstNotFinite(g, p) != 0) {
                return not_finite(step, "the normal matrix holds a value that is not finite");
            }
            if (InvertMatrix(a, p, c, &tiny_pivot) == LuStatus::kSingular) {
                table_before.Restore(doc);
                summary.Reason = FitEnd::kSingularMatrix;
                summary.Message = kSingularMatrixMessage;
                return finish();
            }
            for (int i = 1; i <= p; ++i) {
                const Extended* row = c.Row(i);
                Extended s = 0.0L;
                for (int j = 1; j <= p; ++j) s += row[j - 1] * g[static_cast<std::size_t>(j)];
                delta[static_cast<std::size_t>(i)] = s;
            }
            if (!AllFinite(c, p)) {
                return not_finite(step, "the inverse of the normal matrix is not finite");
            }
            if (const int e = FirstNotFinite(delta, p); e != 0) {
                return not_finite(step, "the step of the " + entry_name(e) + " is not finite");
            }
            model.ApplyStep(delta, damping.DampFactor);
            if (const int e = FirstNotFinite(model.Params(), p, true); e != 0) {
                return not_finite(step, "the step made the " + entry_name(e) + " overflow");
            }
            z_old = z;
            z = model.EvaluateFit();
            ++counter;
            ++summary.TotalIterations;
            if (!std::isfinite(z)) {
                return not_finite(step, "the squared sum is not a finite number");
            }

            if (observer.OnIteration(z, z_old, counter)) state.FitStop = true;

            const double dz = z_old - z;
            if (dz < 0.0) damping = DampingAfterWorseStep(opts, damping);
            count_reached = opts.ManualIterations && counter == opts.IterationCount;
            unchanged = dz == 0.0;
            if (count_reached || unchanged) state.FitStop = true;
            diverged = z - z_old > 1.0;
            const bool converged = 0.0 < dz && dz < damping.ConvLimit;
            if (converged || diverged || state.FitStop) break;
        }
        if (diverged) {
            if (opts.Mode == FitMode::kAuto) {
                model.LoadFitParameters();
                z = model.EvaluateFit();
                z_old = z;
                ++summary.Restarts;
            } else {
                observer.OnWarning(kChangeInitialConditions);
                state.FitStop = true;
                warned = true;
            }
        }
        const double dz = z_old - z;
        if ((0.0 < dz && dz < damping.ConvLimit) || state.FitStop) break;
    }

    // Errors from the inverse of the last iteration and the final squared sum.
    Vector90 sigma;
    const Extended scale = static_cast<Extended>(z) / static_cast<Extended>(n - p);
    for (int i = 1; i <= p; ++i) {
        sigma[static_cast<std::size_t>(i)] = std::sqrt(std::fabs(c(i, i)) * scale);
    }
    const int last = summary.TotalIterations;
    if (const int e = FirstNotFinite(sigma, p, true); e != 0) {
        return not_finite(last, "the error of the " + entry_name(e) + " is not finite");
    }
    model.WriteBack(sigma);
    // The Gauss+Lorentz values derived on writing (areas, heights) may still overflow.
    if (!PeakTableFinite(doc)) return not_finite(last, "a written result is not finite");
    if (model.KindOf(1) == ParamKind::kFraction) summary.Warnings = FractionWarnings(doc);
    for (std::string& w : MeaninglessResultWarnings(model, doc, start_pos, tiny_pivot)) {
        summary.Warnings.push_back(std::move(w));
    }

    const double dz = z_old - z;
    if (warned) {
        summary.Reason = FitEnd::kDiverged;  // the observer has shown the warning already
    } else if (0.0 < dz && dz < damping.ConvLimit) {
        summary.Reason = FitEnd::kConverged;
    } else if (unchanged) {
        summary.Reason = FitEnd::kUnchangedZ;
    } else if (count_reached) {
        summary.Reason = FitEnd::kIterationCount;
    } else {
        summary.Reason = FitEnd::kStopped;
    }
    return finish();
}

}  // namespace kalvex::fit
