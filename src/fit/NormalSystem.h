// The normal matrix J^T J and the gradient J^T r of one Gauss-Newton iteration.
#pragma once

#include "fit/FitModel.h"
#include "fit/LuSolver.h"
#include "fit/Workers.h"

namespace kalvex::fit {

/// Rows of the Jacobian held at a time: J is never stored whole (65,536 x 90 extended numbers
/// would be 94 MB); it is built and multiplied block by block.
inline constexpr int kJacobianBlockRows = 256;

/// a(i, j) := sum over x = 1..N of J[x][i] * J[x][j] for i, j = 1..P and g(i) := sum over x of
/// J[x][i] * r[x], with J from model.BuildJacobianBlock and r from the model's last
/// EvaluateFit. Every sum runs over x in increasing order in one extended accumulator, exactly
/// as the plain triple loop would, and the lower triangle is the mirror of the upper one
/// (J[x][i] * J[x][j] = J[x][j] * J[x][i]), so the results are bit-identical to the plain loop
/// for every `threads`: that many workers (at most one per block), or 0 for one per core (one
/// alone for a small product).
void BuildNormalSystem(const FitModel& model, int threads, Matrix90& a, Vector90& g);
/// The same on the threads of `pool` (at most pool.Threads() workers), which a run keeps for
/// all its iterations.
void BuildNormalSystem(const FitModel& model, int threads, WorkerPool& pool, Matrix90& a,
                       Vector90& g);

}  // namespace kalvex::fit
