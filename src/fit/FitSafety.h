// What keeps a fit's results sound: the finiteness checks of a run, the peak table it puts
// back when it fails, and the warnings about results that are finite but mean nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/Extended.h"
#include "fit/FitModel.h"
#include "fit/LuSolver.h"

namespace kalvex::fit {

/// An error larger than this many times its value makes the value meaningless.
inline constexpr double kMeaninglessErrorRatio = 1E+10;

/// True when `v` is finite and stays finite stored as a double.
bool FiniteAsDouble(core::Extended v);

/// The first of entries 1..n of `v` that is not finite (with `as_double`: not
/// FiniteAsDouble), or 0 when there is none.
int FirstNotFinite(const Vector90& v, int n, bool as_double = false);

/// How the messages name a parameter kind: "position", "half width", "height", ...
const char* KindName(ParamKind kind);

/// True when rows and columns 1..n of `m` are all finite.
bool AllFinite(const Matrix90& m, int n);

/// True when every value and error of peaks 1..PeakCount in the table is finite.
bool PeakTableFinite(const core::Document& doc);

/// Everything a run may write into the peak table, to put back when it ends without a result.
class PeakTableSnapshot {
public:
    explicit PeakTableSnapshot(const core::Document& doc);
    void Restore(core::Document& doc) const;

private:
    core::PeakArray<std::uint16_t> pos_;
    core::PeakArray<double> height_, width_, width_g_, width_l_, fraction_, area_;
    core::PeakArray<double> pos_err_, height_err_, width_err_, width_g_err_, width_l_err_,
        fraction_err_;
};

/// The warnings a run whose results `model` wrote into `doc` ends with, one per finding and
/// naming the peak:
/// - a peak that started inside the fitted points (FirstPoint..FirstPoint+N-1) and was moved
///   outside them;
/// - a fitted half width beyond the spectrum's length (more than PointCount points);
/// - a fitted value whose written error is more than kMeaninglessErrorRatio times its
///   magnitude;
/// - the peak of `tiny_pivot_entry` (a parameter entry 1..P, 0 for none), whose column of the
///   normal matrix needed the 1E-200 pivot: it cannot be told apart from the peaks before it
///   (two identical peaks).
/// `start_pos` holds the positions before the run.
std::vector<std::string> MeaninglessResultWarnings(const FitModel& model, const core::Document& doc,
                                                   const core::PeakArray<std::uint16_t>& start_pos,
                                                   int tiny_pivot_entry);

}  // namespace kalvex::fit
