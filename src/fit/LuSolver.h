// LU decomposition with implicit partial pivoting, substitution and inversion on 90 x 90 arrays.
#pragma once

#include <array>
#include <cstdint>

#include "core/Assert.h"
#include "core/Capacities.h"
#include "core/Extended.h"
#include "core/OneBased.h"

namespace kalvex::fit {

/// Order of the fixed matrices: at most 90 fitted parameters.
inline constexpr int kMatrixOrder = core::kMaxFitParams;

/// Message the user sees when a matrix has a row of zeros.
inline constexpr const char* kSingularMatrixMessage = "pause in LUDCMP - singular matrix";

/// A 90 x 90 extended-precision matrix, rows and columns numbered 1..90, row-major with row
/// stride 90 whatever order is in use. All entries start at 0 unless constructed Unset.
class Matrix90 {
public:
    Matrix90() { data_.fill(0.0L); }
    /// Entries left unset, for a matrix whose every entry in use is written before it is read.
    struct Unset {};
    explicit Matrix90(Unset) {}

    /// Entry (i, j), 1-based; indices outside 1..90 are programmer errors (checked).
    core::Extended& operator()(int i, int j) {
        KALVEX_ASSERT(i >= 1 && i <= kMatrixOrder && j >= 1 && j <= kMatrixOrder);
        return data_[Index(i, j)];
    }
    core::Extended operator()(int i, int j) const {
        KALVEX_ASSERT(i >= 1 && i <= kMatrixOrder && j >= 1 && j <= kMatrixOrder);
        return data_[Index(i, j)];
    }
    /// Row i (1-based) as a plain pointer: column j at element j - 1. For inner loops.
    core::Extended* Row(int i) {
        KALVEX_ASSERT(i >= 1 && i <= kMatrixOrder);
        return data_.data() + Index(i, 1);
    }
    const core::Extended* Row(int i) const {
        KALVEX_ASSERT(i >= 1 && i <= kMatrixOrder);
        return data_.data() + Index(i, 1);
    }
    void Fill(core::Extended v) { data_.fill(v); }

private:
    static std::size_t Index(int i, int j) {
        return static_cast<std::size_t>(i - 1) * kMatrixOrder + static_cast<std::size_t>(j - 1);
    }
    std::array<core::Extended, static_cast<std::size_t>(kMatrixOrder) * kMatrixOrder> data_;
};

/// A right-hand side or solution, entries 1..90.
using Vector90 = core::OneBased<core::Extended, kMatrixOrder>;
/// Pivot record: entry j is the row swapped into row j.
using PivotRecord = core::OneBased<std::int32_t, kMatrixOrder>;

/// kSingular: a row of the matrix is all zero; the caller shows kSingularMatrixMessage.
enum class LuStatus { kOk, kSingular };

/// Crout decomposition of rows/columns 1..n (n in 1..90) of `a` in place: strict lower
/// triangle L (unit diagonal implied), upper triangle with diagonal U, of the row-permuted
/// matrix. `parity` is +1 or -1 by the number of row exchanges. Pivots on the largest value
/// scaled by 1/(largest magnitude of its row as passed in), the lowest row on ties.
/// A row of zeros returns kSingular with `a` unchanged; a zero pivot arising later becomes
/// 1E-200 and the decomposition goes on (kOk). `tiny_pivot`, when given, receives the last
/// column whose pivot was so replaced, or 0: that column depends on the ones before it.
LuStatus LUDCMP(Matrix90& a, int n, PivotRecord& pivots, core::Extended& parity,
                int* tiny_pivot = nullptr);

/// Solves (LU) x = b for the permuted system from LUDCMP's factors; x replaces b[1..n].
/// May be called any number of times with the same factors.
void LuBackSubstitute(const Matrix90& lu, int n, const PivotRecord& pivots, Vector90& b);

/// Decomposes `a` (destroyed) and writes its inverse, column by column from the unit vectors,
/// into rows/columns 1..n of `inverse`. kSingular (inverse untouched) for a row of zeros.
/// `tiny_pivot` as for LUDCMP.
LuStatus InvertMatrix(Matrix90& a, int n, Matrix90& inverse, int* tiny_pivot = nullptr);

}  // namespace kalvex::fit
