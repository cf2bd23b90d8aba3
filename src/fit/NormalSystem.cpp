// Cache-blocked J^T J over the upper triangle, split between threads by matrix entries only.
#include "fit/NormalSystem.h"

#include "core/Assert.h"

#include <algorithm>
#include <barrier>
#include <cmath>
#include <thread>
#include <vector>

namespace kalvex::fit {

using core::Extended;

namespace {

// Products of one column i with up to kTileWidth consecutive columns j0.. of the block.
constexpr int kTileWidth = 4;
// Below this many products one thread does the whole normal matrix.
constexpr double kSmallProduct = 2e6;

struct Tile {
    int i, j0, width;  // 0-based columns, i <= j0
};

// Loading an 80-bit number from memory is slow on current x86 cores (a microcoded load, in
// practice several times slower than the arithmetic). The block is therefore also held as
// pairs of doubles (hi, lo) with hi + lo exactly the extended value: two plain loads and one
// exact addition rebuild it, and the products and sums are then the very same operations.
// A value that does not split exactly (beyond the double range, or NaN) makes its block use the
// extended copy instead.
inline bool SplitExactly(Extended v, double* pair) {
    const double hi = static_cast<double>(v);
    double lo = static_cast<double>(v - static_cast<Extended>(hi));
    // x - x is +0: give a zero low part the sign of hi, so that -0 comes back as -0.
    if (lo == 0.0) lo = hi * 0.0;
    pair[0] = hi;
    pair[1] = lo;
    return static_cast<Extended>(hi) + static_cast<Extended>(lo) == v;
}

inline Extended Joined(const double* pair) {
    return static_cast<Extended>(pair[0]) + static_cast<Extended>(pair[1]);
}

// Adds the block's products of column i with columns j0..j0+width-1 to their accumulators,
// x in increasing order. Each accumulator is loaded from memory, updated in a register and
// stored back; 80-bit stores are exact, so the sum equals one running sum over all x.
// Columns that split exactly are read from the pairs, the others from the extended copy.
void AccumulateTile(const Tile& t, const double* pairs, const Extended* block, const char* exact,
                    std::size_t stride, int rows, Extended* acc_row) {
    auto pair_col = [&](int j) { return pairs + 2 * static_cast<std::size_t>(j) * stride; };
    auto ext_col = [&](int j) { return block + static_cast<std::size_t>(j) * stride; };
    Extended* out = acc_row + t.j0;
    bool all_exact = exact[t.i] != 0;
    for (int w = 0; w < t.width; ++w) all_exact = all_exact && exact[t.j0 + w] != 0;
    if (all_exact && t.width == kTileWidth) {
        const double* ci = pair_col(t.i);
        const double* c0 = pair_col(t.j0);
        const double* c1 = pair_col(t.j0 + 1);
        const double* c2 = pair_col(t.j0 + 2);
        const double* c3 = pair_col(t.j0 + 3);
        Extended a0 = out[0], a1 = out[1], a2 = out[2], a3 = out[3];
        for (int x = 0; x < rows; ++x) {
            const std::size_t e = 2 * static_cast<std::size_t>(x);
            const Extended xi = Joined(ci + e);
            a0 += xi * Joined(c0 + e);
            a1 += xi * Joined(c1 + e);
            a2 += xi * Joined(c2 + e);
            a3 += xi * Joined(c3 + e);
        }
        out[0] = a0;
        out[1] = a1;
        out[2] = a2;
        out[3] = a3;
        return;
    }
    for (int w = 0; w < t.width; ++w) {
        const int j = t.j0 + w;
        Extended a = out[w];
        if (exact[t.i] != 0 && exact[j] != 0) {
            const double* ci = pair_col(t.i);
            const double* cj = pair_col(j);
            for (int x = 0; x < rows; ++x) {
                const std::size_t e = 2 * static_cast<std::size_t>(x);
                a += Joined(ci + e) * Joined(cj + e);
            }
        } else {
            const Extended* ci = ext_col(t.i);
            const Extended* cj = ext_col(j);
            for (int x = 0; x < rows; ++x) a += ci[x] * cj[x];
        }
        out[w] = a;
    }
}

}  // namespace

int ResolveThreadCount(int threads) {
    if (threads > 0) return threads;
    const unsigned hw = std::thread::hardware_concurrency();
    return hw == 0 ? 1 : static_cast<int>(hw);
}

void BuildNormalSystem(const FitModel& model, int threads, Matrix90& a, Vector90& g) {
    const int p = model.ParameterCount();
    const int cols = p + 1;  // the last column holds the residuals: row i of it is g(i)
    const std::int32_t n = model.PointCount();
    const int peaks = p / model.KindCount();
    // Columns 4 KiB apart would all fall into the same cache sets: pad the stride.
    const std::size_t stride = kJacobianBlockRows + 8;
    const std::size_t ucols = static_cast<std::size_t>(cols);
    std::vector<Extended> block(ucols * stride, 0.0L);
    std::vector<double> pairs(2 * ucols * stride, 0.0);
    std::vector<char> exact(ucols, 1);
    std::vector<Extended> acc(ucols * ucols, 0.0L);
    const std::vector<Extended>& r = model.Residuals();

    std::vector<Tile> tiles;
    for (int i = 0; i < cols; ++i) {
        for (int j0 = i; j0 < cols; j0 += kTileWidth) {
            tiles.push_back({i, j0, std::min(kTileWidth, cols - j0)});
        }
    }
    // With threads = 0 a small product is not worth waking a second thread for; an explicit
    // count is always used. The result is the same either way.
    const double products = static_cast<double>(tiles.size()) * kTileWidth * n;
    const int wanted = threads == 0 && products < kSmallProduct ? 1 : ResolveThreadCount(threads);
    const int workers = std::clamp(wanted, 1, peaks);

    auto split = [&](int c, int rows) {
        const Extended* src = block.data() + static_cast<std::size_t>(c) * stride;
        double* dst = pairs.data() + 2 * static_cast<std::size_t>(c) * stride;
        bool ok = true;
        for (int x = 0; x < rows; ++x) ok &= SplitExactly(src[x], dst + 2 * x);
        exact[static_cast<std::size_t>(c)] = ok ? 1 : 0;
    };
    // Each worker builds the Jacobian columns of its own peaks and then the products of its
    // own tiles; which worker does which never changes a single sum.
    auto fill = [&](int w, std::int32_t first_x, int rows) {
        const int kinds = model.KindCount();
        for (int k = 1 + w; k <= peaks; k += workers) {
            model.BuildJacobianBlock(first_x, rows, k, k, block.data(), stride);
            for (int s = 0; s < kinds; ++s) split((k - 1) * kinds + s, rows);
        }
        if (w == 0) {
            Extended* rc = block.data() + static_cast<std::size_t>(p) * stride;
            for (int x = 0; x < rows; ++x) rc[x] = r[static_cast<std::size_t>(first_x - 1 + x)];
            split(p, rows);
        }
    };
    auto multiply = [&](int w, int rows) {
        for (std::size_t t = static_cast<std::size_t>(w); t < tiles.size();
             t += static_cast<std::size_t>(workers)) {
            Extended* acc_row = acc.data() + static_cast<std::size_t>(tiles[t].i) * ucols;
            AccumulateTile(tiles[t], pairs.data(), block.data(), exact.data(), stride, rows,
                           acc_row);
        }
    };

    auto rows_from = [&](std::int32_t first) {
        return static_cast<int>(std::min<std::int32_t>(kJacobianBlockRows, n - first + 1));
    };
    if (workers == 1) {
        for (std::int32_t first = 1; first <= n; first += kJacobianBlockRows) {
            fill(0, first, rows_from(first));
            multiply(0, rows_from(first));
        }
    } else {
        std::barrier sync(workers);
        auto run = [&](int w) {
            for (std::int32_t first = 1; first <= n; first += kJacobianBlockRows) {
                fill(w, first, rows_from(first));
                sync.arrive_and_wait();
                multiply(w, rows_from(first));
                sync.arrive_and_wait();
            }
        };
        std::vector<std::thread> helpers;
        for (int w = 1; w < workers; ++w) helpers.emplace_back(run, w);
        run(0);
        for (std::thread& t : helpers) t.join();
    }

    for (int i = 1; i <= p; ++i) {
        const Extended* acc_row = acc.data() + static_cast<std::size_t>(i - 1) * ucols;
        for (int j = i; j <= p; ++j) {
            a(i, j) = acc_row[j - 1];
            a(j, i) = acc_row[j - 1];
        }
        g[static_cast<std::size_t>(i)] = acc_row[p];
    }
}

}  // namespace kalvex::fit
