// The normal matrix J^T J and the gradient J^T r of a fast (double-precision) fit run.
#pragma once

#include <cstddef>
#include <vector>

#include "fit/FitModel.h"
#include "fit/LuSolver.h"
#include "fit/Workers.h"

namespace kalvex::fit {

/// Builds the normal matrix and gradient of a model in double precision (the model's
/// UseDoublePrecision kernels), over the symmetric half, on every core. The points are split
/// into at most 16 fixed chunks whatever the thread count; each chunk's sums are formed by one
/// thread in a fixed order and the chunks are then added in order, so the result is the same
/// for every thread count. Keeps its buffers from one Build to the next, as a run does.
class DoubleNormalSystem {
public:
    explicit DoubleNormalSystem(const FitModel& model);

    /// a(i, j) := sum over x of J[x][i] J[x][j] for i, j = 1..P (the mirror of the upper
    /// half) and g(i) := sum over x of J[x][i] r[x], with J from BuildJacobianBlockDouble and r
    /// from the model's last (double-precision) EvaluateFit. `threads` workers at most, 0 for
    /// one per core (one alone for a small product), never more than pool.Threads() or the
    /// number of chunks.
    void Build(int threads, WorkerPool& pool, Matrix90& a, Vector90& g);

private:
    // What each worker needs for a block of rows: its Jacobian (a StripPanel), the derivatives
    // that are not fitted, and the columns that are not 0.
    struct Scratch {
        std::vector<double> Panel;
        std::vector<double> Unused;
        std::vector<int> Live;
        std::vector<char> Written;  // per column: computed for this block
    };
    void AddBlock(int block, Scratch& s, double* acc);

    const FitModel& model_;
    int p_;                   // parameters
    std::size_t acc_stride_;  // P + 1: the residuals are column P
    int blocks_;
    int chunks_;
    std::vector<double> acc_;  // per chunk, acc_stride_ x acc_stride_
    std::vector<Scratch> scratch_;
};

}  // namespace kalvex::fit
