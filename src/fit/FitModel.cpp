// Parameter layout, model evaluation, analytic derivatives and the damped step of a fit run.
#include "fit/FitModel.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "core/Assert.h"
#include "fit/DoubleKernels.h"
#include "fit/FastLineShapes.h"
#include "fit/LineShapes.h"
#include "fit/Workers.h"

namespace kalvex::fit {

using core::Extended;
using core::LineType;

namespace {

// Below this many point evaluations one thread evaluates the model alone: in extended
// precision, and in double, where a point costs a tenth as much and waiting at the barrier
// for a thread the system has not yet run can cost more than the whole evaluation.
constexpr double kSmallEvaluation = 1e4;
constexpr double kSmallFastEvaluation = 5e5;

std::uint16_t RoundedCentre(Extended pos) {
    // Positions are held inside 0..65535 by ApplyStep and the run stops at a NaN one before it
    // comes here; the rounding is halves away from zero. NaN would pass the clamp.
    const Extended r = std::round(pos);
    if (std::isnan(r)) return 0;
    return static_cast<std::uint16_t>(std::clamp(r, 0.0L, 65535.0L));
}

}  // namespace

char LayoutCodeOf(const FitLayoutChoice& choice, std::string* why) {
    auto refuse = [&](const char* reason) {
        if (why != nullptr) *why = reason;
        return '\0';
    };
    const std::string& s = choice.FitSelect;
    if (s.size() != 3 || s.find_first_not_of("01") != std::string::npos) {
        return refuse("The fit selection must be three characters '1' or '0'");
    }
    const int count = static_cast<int>(std::count(s.begin(), s.end(), '1'));
    const bool gl = choice.Line == LineType::kGaussLorentz;
    if (choice.FractionL) {
        if (count != 0)
            return refuse("The Lorentzian fraction is fitted alone, without other kinds");
        if (!gl) return refuse("The Lorentzian fraction is fitted only in Gauss+Lorentz mode");
        return 'G';
    }
    if (count == 0) return refuse("No parameter kind is selected for the fit");
    if (gl && count > 1) {
        return refuse("In Gauss+Lorentz mode one parameter kind is fitted at a time");
    }
    if (count == 3) return 'A';
    if (count == 2) return s[0] == '0' ? 'B' : s[1] == '0' ? 'C' : 'D';
    return s[0] == '1' ? 'E' : s[1] == '1' ? 'F' : 'G';
}

FitModel::FitModel(core::Document& doc, const FitLayoutChoice& choice, const double* fit_obs_y,
                   std::int32_t n, std::int32_t first_point)
    : doc_(doc),
      choice_(choice),
      obs_(fit_obs_y),
      n_(n),
      first_(first_point),
      code_(LayoutCodeOf(choice)) {
    KALVEX_ASSERT(code_ != '\0');
    KALVEX_ASSERT(n_ >= 1 && first_ >= 1 && first_ - 1 + n_ <= core::kMaxPoints);
    const bool gl = choice.Line == LineType::kGaussLorentz;
    switch (code_) {
        case 'A':
            kinds_ = {ParamKind::kPosition, ParamKind::kWidth, ParamKind::kHeight};
            break;
        case 'B':
            kinds_ = {ParamKind::kWidth, ParamKind::kHeight};
            break;
        case 'C':
            kinds_ = {ParamKind::kPosition, ParamKind::kHeight};
            break;
        case 'D':
            kinds_ = {ParamKind::kPosition, ParamKind::kWidth};
            break;
        case 'E':
            kinds_ = {ParamKind::kPosition};
            break;
        case 'F':
            kinds_ = {!gl                        ? ParamKind::kWidth
                      : choice.WidthIsLorentzian ? ParamKind::kWidthL
                                                 : ParamKind::kWidthG};
            break;
        default:
            kinds_ = {choice.FractionL ? ParamKind::kFraction
                      : gl             ? ParamKind::kArea
                                       : ParamKind::kHeight};
            break;
    }
    p_ = KindCount() * doc_.PeakCount;
    KALVEX_ASSERT(p_ >= 1 && p_ <= kMatrixOrder);
    const std::int32_t top = std::min<std::int32_t>(std::max(doc_.PointCount, 1), 65535);
    for (int k = 1; k <= doc_.PeakCount; ++k) {
        // A peak that starts outside the spectrum may stay where it is, but not go farther.
        pos_lo_[k] = std::min<std::int32_t>(1, doc_.PeakPos[k]);
        pos_hi_[k] = std::max<std::int32_t>(top, doc_.PeakPos[k]);
    }
    LoadFitParameters();
}

ParamKind FitModel::KindOf(int entry) const {
    KALVEX_ASSERT(entry >= 1 && entry <= p_);
    return kinds_[static_cast<std::size_t>((entry - 1) % KindCount())];
}

int FitModel::PeakOf(int entry) const {
    KALVEX_ASSERT(entry >= 1 && entry <= p_);
    return (entry - 1) / KindCount() + 1;
}

int FitModel::SlotOf(int /*k*/, ParamKind kind) const {
    for (std::size_t s = 0; s < kinds_.size(); ++s) {
        if (kinds_[s] == kind) return static_cast<int>(s);
    }
    return -1;
}

void FitModel::LoadFitParameters() {
    for (int k = 1; k <= doc_.PeakCount; ++k) {
        for (int s = 0; s < KindCount(); ++s) {
            Extended v = 0.0L;
            switch (kinds_[static_cast<std::size_t>(s)]) {
                case ParamKind::kPosition:
                    v = doc_.PeakPos[k];
                    break;
                case ParamKind::kWidth:
                    v = doc_.PeakHalfWidth[k];
                    break;
                case ParamKind::kHeight:
                    v = doc_.PeakHeight[k];
                    break;
                case ParamKind::kWidthL:
                    v = doc_.PeakHalfWidthL[k];
                    break;
                case ParamKind::kWidthG:
                    v = doc_.PeakHalfWidthG[k];
                    break;
                case ParamKind::kArea:
                    v = doc_.PeakAreaGL[k];
                    break;
                case ParamKind::kFraction:
                    v = doc_.PeakFractionL[k];
                    break;
            }
            params_[static_cast<std::size_t>(Entry(k, s))] = v;
        }
    }
}

FitModel::PeakValues FitModel::ValuesOf(int k) const {
    PeakValues v{static_cast<Extended>(doc_.PeakPos[k]),
                 doc_.PeakHalfWidth[k],
                 doc_.PeakHeight[k],
                 doc_.PeakHalfWidthG[k],
                 doc_.PeakHalfWidthL[k],
                 doc_.PeakFractionL[k],
                 doc_.PeakAreaGL[k]};
    for (int s = 0; s < KindCount(); ++s) {
        const Extended p = params_[static_cast<std::size_t>(Entry(k, s))];
        switch (kinds_[static_cast<std::size_t>(s)]) {
            case ParamKind::kPosition:
                v.centre = p;
                break;
            case ParamKind::kWidth:
                v.width = p;
                break;
            case ParamKind::kHeight:
                v.height = p;
                break;
            case ParamKind::kWidthL:
                v.width_l = p;
                break;
            case ParamKind::kWidthG:
                v.width_g = p;
                break;
            case ParamKind::kArea:
                v.area = p;
                break;
            case ParamKind::kFraction:
                v.fraction = p;
                break;
        }
    }
    return v;
}

FitModel::CurveInputs FitModel::CurveInputsOf(int k) {
    const PeakValues v = ValuesOf(k);
    CurveInputs c{RoundedCentre(v.centre),        static_cast<double>(v.width),
                  static_cast<double>(v.height),  static_cast<double>(v.width_g),
                  static_cast<double>(v.width_l), static_cast<double>(v.area),
                  static_cast<double>(v.fraction)};
    if (choice_.Line != LineType::kGaussLorentz) return c;
    switch (kinds_.front()) {
        case ParamKind::kArea:
            // The vector holds the area; the height follows it at every evaluation.
            doc_.PeakHeight[k] = static_cast<double>(
                static_cast<Extended>(CentreDensityGL(c.width_g, c.width_l, c.fraction)) * v.area);
            break;
        case ParamKind::kPosition:
            break;
        default:
            // A width or the fraction: the height stays, the area follows.
            doc_.PeakAreaGL[k] =
                doc_.PeakHeight[k] / CentreDensityGL(c.width_g, c.width_l, c.fraction);
            c.area = doc_.PeakAreaGL[k];
            break;
    }
    c.height = doc_.PeakHeight[k];
    return c;
}

void FitModel::FillCurveOf(int k, double* shape) {
    const CurveInputs c = CurveInputsOf(k);
    const bool lorentz = choice_.Line == LineType::kLorentz;
    if (choice_.Line == LineType::kGaussLorentz) {
        if (kernels_ != nullptr) {
            FillPeakCurveGLFast(*kernels_, shape, c.centre, first_, n_, c.width_g, c.width_l,
                                c.height, c.area, c.fraction);
        } else {
            FillPeakCurveGLRange(shape, c.centre, first_, n_, c.width_g, c.width_l, c.height,
                                 c.area, c.fraction);
        }
    } else if (kernels_ != nullptr) {
        FillPeakCurveFast(*kernels_, shape, c.centre, first_, n_, c.width, c.height, lorentz);
    } else {
        FillPeakCurveRange(shape, c.centre, first_, n_, c.width, c.height, lorentz);
    }
}

double FitModel::EvaluateFit() {
    const int peaks = doc_.PeakCount;
    const std::size_t n = static_cast<std::size_t>(n_);
    const int workers = std::min({threads_, peaks, pool_ != nullptr ? pool_->Threads() : peaks});
    const bool fast = kernels_ != nullptr;
    // Only the residuals of the precision in use: fresh memory costs a page fault per 4 KiB.
    if (fast) {
        rd_.resize(n);
    } else {
        r_.resize(n);
    }
    // The model sum is an array of doubles: each point's curves are added in peak order with
    // every partial sum rounded to double, as storing it after each peak would. Kept in an
    // extended register instead, its digits below double's would decide the "Zold - Z = 0"
    // stop and keep a run that has reached its minimum going. `curves` holds `count` curves
    // (or their sum) of n points each.
    auto residuals = [&](const double* curves, int count, std::size_t lo, std::size_t hi) {
        if (fast) {
            kernels_->Residuals(curves, n, count, obs_, doc_.Bias, rd_.data(), static_cast<int>(lo),
                                static_cast<int>(hi));
            return;
        }
        const Extended bias = doc_.Bias;
        for (std::size_t i = lo; i < hi; ++i) {
            double sum = 0.0;
            for (const double* c = curves + i; c < curves + n * count; c += n) sum += *c;
            r_[i] = static_cast<Extended>(obs_[i]) - sum - bias;
        }
    };
    const double small = fast ? kSmallFastEvaluation : kSmallEvaluation;
    if (workers <= 1 || static_cast<double>(n_) * peaks < small) {
        // One curve at a time, added to the sum as it comes: the same additions in the same
        // order as over the stored curves, in two buffers instead of one per peak.
        curves_.resize(2 * n);
        double* shape = curves_.data();
        double* sum = curves_.data() + n;
        std::fill(sum, sum + n, 0.0);
        for (int k = 1; k <= peaks; ++k) {
            FillCurveOf(k, shape);
            for (std::size_t i = 0; i < n; ++i) sum[i] += shape[i];
        }
        residuals(sum, 1, 0, n);
    } else {
        // Every curve on its own (each peak writes only its own table slot), then the sums and
        // residuals of runs of points, each handed to whichever worker comes free first.
        curves_.resize(n * static_cast<std::size_t>(peaks));
        constexpr std::size_t kRun = 2048;
        std::atomic<int> next_peak{1};
        std::atomic<std::size_t> next_run{0};
        Barrier barrier(workers);
        auto evaluate = [&](int) {
            for (int k = next_peak++; k <= peaks; k = next_peak++) {
                FillCurveOf(k, curves_.data() + static_cast<std::size_t>(k - 1) * n);
            }
            barrier.ArriveAndWait();
            for (std::size_t lo = kRun * next_run++; lo < n; lo = kRun * next_run++) {
                residuals(curves_.data(), peaks, lo, std::min(n, lo + kRun));
            }
        };
        if (pool_ != nullptr) {
            pool_->Run(workers, evaluate);
        } else {
            WorkerPool pool(workers);
            pool.Run(workers, evaluate);
        }
    }
    if (fast) return kernels_->SquaredSum(rd_.data(), n_);
    double z = 0.0;
    for (std::size_t i = 0; i < n; ++i) z = static_cast<double>(z + r_[i] * r_[i]);
    return z;
}

void FitModel::ApplyStep(const Vector90& delta, double damp) {
    for (int e = 1; e <= p_; ++e) {
        const std::size_t i = static_cast<std::size_t>(e);
        Extended v = delta[i] * static_cast<Extended>(damp) + params_[i];
        if (KindOf(e) == ParamKind::kPosition) {
            const int k = PeakOf(e);
            v = std::round(v);  // whole points, halves away from zero
            v = std::clamp<Extended>(v, pos_lo_[k], pos_hi_[k]);
        }
        params_[i] = v;
    }
}

void FitModel::WriteBack(const Vector90& sigma) {
    for (int e = 1; e <= p_; ++e) {
        const std::size_t i = static_cast<std::size_t>(e);
        const int k = PeakOf(e);
        const Extended v = params_[i];
        const double err = static_cast<double>(sigma[i]);
        switch (KindOf(e)) {
            case ParamKind::kPosition:
                doc_.PeakPos[k] = RoundedCentre(v);
                doc_.PeakPosErr[k] = err;
                break;
            case ParamKind::kWidth:
                doc_.PeakHalfWidth[k] = static_cast<double>(std::fabs(v));
                doc_.PeakHalfWidthErr[k] = err;
                break;
            case ParamKind::kHeight:
                doc_.PeakHeight[k] = static_cast<double>(v);
                doc_.PeakHeightErr[k] = err;
                break;
            case ParamKind::kWidthL:
            case ParamKind::kWidthG:
                if (KindOf(e) == ParamKind::kWidthL) {
                    doc_.PeakHalfWidthL[k] = static_cast<double>(std::fabs(v));
                    doc_.PeakHalfWidthLErr[k] = err;
                } else {
                    doc_.PeakHalfWidthG[k] = static_cast<double>(std::fabs(v));
                    doc_.PeakHalfWidthGErr[k] = err;
                }
                doc_.PeakAreaGL[k] = doc_.PeakHeight[k] / CentreDensityGL(doc_.PeakHalfWidthG[k],
                                                                          doc_.PeakHalfWidthL[k],
                                                                          doc_.PeakFractionL[k]);
                break;
            case ParamKind::kFraction:
                doc_.PeakFractionL[k] = static_cast<double>(v);
                doc_.PeakFractionLErr[k] = err;
                break;
            case ParamKind::kArea: {
                const Extended density = CentreDensityGL(
                    doc_.PeakHalfWidthG[k], doc_.PeakHalfWidthL[k], doc_.PeakFractionL[k]);
                doc_.PeakHeight[k] = static_cast<double>(density * v);
                doc_.PeakHeightErr[k] = static_cast<double>(density * sigma[i]);
                // Keep the stored area with the height it now gives, so that nothing reading
                // the table before the next redraw sees the area from before the fit.
                doc_.PeakAreaGL[k] = static_cast<double>(v);
                break;
            }
        }
    }
}

}  // namespace kalvex::fit
