// Crout's LU decomposition with implicit pivoting; every sum accumulated in extended precision.
#include "fit/LuSolver.h"

#include <cmath>
#include <utility>

namespace kalvex::fit {

using core::Extended;

namespace {

// A zero pivot becomes 1E-200 and the run goes on: callers see huge steps, not an error.
constexpr Extended kTinyPivot = 1e-200L;

}  // namespace

LuStatus LUDCMP(Matrix90& a, int n, PivotRecord& pivots, Extended& parity, int* tiny_pivot) {
    KALVEX_ASSERT(n >= 1 && n <= kMatrixOrder);
    if (tiny_pivot != nullptr) *tiny_pivot = 0;
    auto replace_zero_pivot = [&](int j) {
        if (a(j, j) != 0.0L) return;
        a(j, j) = kTinyPivot;
        if (tiny_pivot != nullptr) *tiny_pivot = j;
    };
    Vector90 scale;
    for (int i = 1; i <= n; ++i) {
        const Extended* row = a.Row(i);
        Extended big = 0.0L;
        for (int j = 1; j <= n; ++j) {
            const Extended v = std::fabs(row[j - 1]);
            if (v > big) big = v;
        }
        if (big == 0.0L) return LuStatus::kSingular;
        scale[i] = 1.0L / big;
    }
    parity = 1.0L;
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i < j; ++i) {
            Extended* ri = a.Row(i);
            Extended sum = ri[j - 1];
            for (int k = 1; k < i; ++k) sum -= ri[k - 1] * a.Row(k)[j - 1];
            ri[j - 1] = sum;
        }
        Extended big = 0.0L;
        int pivot_row = j;
        for (int i = j; i <= n; ++i) {
            Extended* ri = a.Row(i);
            Extended sum = ri[j - 1];
            for (int k = 1; k < j; ++k) sum -= ri[k - 1] * a.Row(k)[j - 1];
            ri[j - 1] = sum;
            const Extended dum = scale[i] * std::fabs(sum);
            if (dum > big) {  // strictly: the first of equal candidates stays
                big = dum;
                pivot_row = i;
            }
        }
        if (pivot_row != j) {
            Extended* rp = a.Row(pivot_row);
            Extended* rj = a.Row(j);
            for (int k = 0; k < n; ++k) std::swap(rp[k], rj[k]);
            parity = -parity;
            scale[pivot_row] = scale[j];
        }
        pivots[j] = pivot_row;
        if (j < n) {
            replace_zero_pivot(j);
            const Extended dum = 1.0L / a(j, j);
            for (int i = j + 1; i <= n; ++i) a.Row(i)[j - 1] *= dum;
        }
    }
    replace_zero_pivot(n);
    return LuStatus::kOk;
}

void LuBackSubstitute(const Matrix90& lu, int n, const PivotRecord& pivots, Vector90& b) {
    KALVEX_ASSERT(n >= 1 && n <= kMatrixOrder);
    int first = 0;  // first nonzero entry of b met so far: leading zeros are skipped
    for (int i = 1; i <= n; ++i) {
        const int p = pivots[i];
        Extended sum = b[p];
        b[p] = b[i];
        if (first != 0) {
            const Extended* row = lu.Row(i);
            for (int j = first; j < i; ++j) sum -= row[j - 1] * b[j];
        } else if (sum != 0.0L) {
            first = i;
        }
        b[i] = sum;
    }
    for (int i = n; i >= 1; --i) {
        const Extended* row = lu.Row(i);
        Extended sum = b[i];
        for (int j = i + 1; j <= n; ++j) sum -= row[j - 1] * b[j];
        b[i] = sum / row[i - 1];
    }
}

LuStatus InvertMatrix(Matrix90& a, int n, Matrix90& inverse, int* tiny_pivot) {
    PivotRecord pivots;
    Extended parity = 1.0L;
    if (LUDCMP(a, n, pivots, parity, tiny_pivot) == LuStatus::kSingular) return LuStatus::kSingular;
    Vector90 column;
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) column[i] = 0.0L;
        column[j] = 1.0L;
        LuBackSubstitute(a, n, pivots, column);
        for (int i = 1; i <= n; ++i) inverse(i, j) = column[i];
    }
    return LuStatus::kOk;
}

}  // namespace kalvex::fit
