// Cache-blocked J^T J over the upper triangle: each thread builds and multiplies whole blocks of
// the Jacobian, and the rows of sums pass from thread to thread in x order.
#include "fit/NormalSystem.h"

#include "core/Assert.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace kalvex::fit {

using core::Extended;

namespace {

// Products of one column i with up to kTileWidth consecutive columns j0.. of the block.
constexpr int kTileWidth = 4;
// Below this many products one thread does the whole normal matrix.
constexpr double kSmallProduct = 2e5;

// Rows between two columns of a block. Columns 4 KiB apart would all fall into the same
// cache sets: the stride is padded.
constexpr std::size_t kStride = kJacobianBlockRows + 8;

// What one block holds, column by column: the extended values, the same as exact pairs of
// doubles where they split exactly, whether a column is 0 at every row and whether every value
// of a column is finite. Each worker builds and reads a block of its own.
struct Block {
    std::unique_ptr<Extended[]> Values;
    std::unique_ptr<double[]> Pairs;  // per column kStride high parts, then kStride low parts
    std::vector<char> Exact;
    std::vector<char> Zero;
    std::vector<char> Finite;

    // Every value is written before it is read: no need to clear the storage first.
    explicit Block(std::size_t cols)
        : Values(std::make_unique_for_overwrite<Extended[]>(cols * kStride)),
          Pairs(std::make_unique_for_overwrite<double[]>(2 * cols * kStride)),
          Exact(cols, 1),
          Zero(cols, 0),
          Finite(cols, 1) {}
    Extended* Column(int c) { return Values.get() + static_cast<std::size_t>(c) * kStride; }
    const Extended* Column(int c) const {
        return Values.get() + static_cast<std::size_t>(c) * kStride;
    }
    double* PairColumn(int c) { return Pairs.get() + 2 * static_cast<std::size_t>(c) * kStride; }
    const double* PairColumn(int c) const {
        return Pairs.get() + 2 * static_cast<std::size_t>(c) * kStride;
    }
};

// Loading an 80-bit number from memory is slow on current x86 cores (a microcoded load, in
// practice several times slower than the arithmetic). The block is therefore also held as
// pairs of doubles (hi, lo) with hi + lo exactly the extended value: two plain loads and one
// exact addition rebuild it, and the products and sums are then the very same operations.
// hi is the value rounded to 53 bits and lo the rest, at most 11 bits: both are exact doubles
// for magnitudes from 2^-1000 (lo keeps its last bit even as a subnormal double) up to below
// 2^1023 (hi stays finite), and for zeros. Any other value (tiny, huge, infinite, NaN) makes
// its column use the extended copy in that block. The high and low parts lie in separate
// runs: stored side by side, the compiler joins the two stores into one 16-byte copy through
// the stack, which stalls on store forwarding and made the split three times as slow.
constexpr int kExponentBias = 16383;
constexpr int kSplitLowExponent = kExponentBias - 1000;   // 2^-1000 <= |v|
constexpr int kSplitHighExponent = kExponentBias + 1022;  // |v| < 2^1023
constexpr int kInfiniteExponent = 0x7FFF;

// The biased exponent of an 80-bit value, read from its memory image (bytes 8 and 9): an
// integer test is much cheaper than x87 comparisons.
inline int BiasedExponent(const Extended* v) {
    std::uint16_t sign_exponent;
    std::memcpy(&sign_exponent, reinterpret_cast<const unsigned char*>(v) + 8, 2);
    return sign_exponent & 0x7FFF;
}

inline Extended Joined(const double* column, std::size_t x) {
    return static_cast<Extended>(column[x]) + static_cast<Extended>(column[kStride + x]);
}

// Splits column c of the block's first `rows` rows and records what it holds.
void Classify(Block& b, int c, int rows) {
    const Extended* src = b.Column(c);
    double* hi_out = b.PairColumn(c);
    double* lo_out = hi_out + kStride;
    bool exact = true;
    bool zero = true;
    bool finite = true;
    for (int x = 0; x < rows; ++x) {
        const int e = BiasedExponent(src + x);
        const Extended v = src[x];
        if (e >= kSplitLowExponent && e <= kSplitHighExponent) {
            const double hi = static_cast<double>(v);
            hi_out[x] = hi;
            lo_out[x] = static_cast<double>(v - static_cast<Extended>(hi));
            zero = false;
        } else if (v == 0.0L) {
            hi_out[x] = static_cast<double>(v);  // +0 or -0, and the same zero again: their sum
            lo_out[x] = hi_out[x];               // keeps the sign
        } else {
            exact = false;
            zero = false;
            finite = finite && e != kInfiniteExponent;
        }
    }
    b.Exact[static_cast<std::size_t>(c)] = exact ? 1 : 0;
    b.Zero[static_cast<std::size_t>(c)] = zero ? 1 : 0;
    b.Finite[static_cast<std::size_t>(c)] = finite ? 1 : 0;
}

// Adds the block's products of column i with columns j[0..W-1] to their accumulators
// acc_row[j[.]], x in increasing order. Each accumulator is loaded from memory, updated in a
// register and stored back; 80-bit stores are exact, so the sum equals one running sum over
// all x. W <= 4 accumulators and the value of column i fit the eight x87 registers.
template <int W>
void AccumulateTile(const Block& b, int rows, int i, const int* j, Extended* acc_row) {
    bool exact = b.Exact[static_cast<std::size_t>(i)] != 0;
    for (int w = 0; w < W; ++w) exact = exact && b.Exact[static_cast<std::size_t>(j[w])] != 0;
    Extended a[W];
    for (int w = 0; w < W; ++w) a[w] = acc_row[j[w]];
    if (exact) {
        const double* ci = b.PairColumn(i);
        const double* cj[W];
        for (int w = 0; w < W; ++w) cj[w] = b.PairColumn(j[w]);
        for (int x = 0; x < rows; ++x) {
            const std::size_t ux = static_cast<std::size_t>(x);
            const Extended xi = Joined(ci, ux);
            for (int w = 0; w < W; ++w) a[w] += xi * Joined(cj[w], ux);
        }
    } else {
        const Extended* ci = b.Column(i);
        const Extended* cj[W];
        for (int w = 0; w < W; ++w) cj[w] = b.Column(j[w]);
        for (int x = 0; x < rows; ++x) {
            const Extended xi = ci[x];
            for (int w = 0; w < W; ++w) a[w] += xi * cj[w][x];
        }
    }
    for (int w = 0; w < W; ++w) acc_row[j[w]] = a[w];
}

// The live columns of a block: those not 0 at every row. A column that is 0 at every row of
// the block adds only zeros to its sums; an accumulator starts at +0 and can never become -0
// (x + (-x) is +0), so adding +0 or -0 leaves it as it is, and those products are skipped.
// Only when every value of the block is finite: 0 times an infinity would be NaN.
void LiveColumns(const Block& b, int cols, std::vector<int>& live) {
    bool finite = true;
    for (int c = 0; c < cols; ++c) finite = finite && b.Finite[static_cast<std::size_t>(c)];
    live.clear();
    for (int c = 0; c < cols; ++c) {
        if (!finite || b.Zero[static_cast<std::size_t>(c)] == 0) live.push_back(c);
    }
}

// Adds one block's products of row live[k] of the triangle with the live columns from
// live[k] on.
void AccumulateRow(const Block& b, int rows, const std::vector<int>& live, std::size_t k,
                   Extended* acc_row) {
    const int i = live[k];
    for (std::size_t m = k; m < live.size(); m += kTileWidth) {
        const int* j = live.data() + m;
        switch (std::min<std::size_t>(kTileWidth, live.size() - m)) {
            case 4:
                AccumulateTile<4>(b, rows, i, j, acc_row);
                break;
            case 3:
                AccumulateTile<3>(b, rows, i, j, acc_row);
                break;
            case 2:
                AccumulateTile<2>(b, rows, i, j, acc_row);
                break;
            default:
                AccumulateTile<1>(b, rows, i, j, acc_row);
                break;
        }
    }
}

}  // namespace

void BuildNormalSystem(const FitModel& model, int threads, Matrix90& a, Vector90& g) {
    WorkerPool pool(ResolveThreadCount(threads));
    BuildNormalSystem(model, threads, pool, a, g);
}

void BuildNormalSystem(const FitModel& model, int threads, WorkerPool& pool, Matrix90& a,
                       Vector90& g) {
    const int p = model.ParameterCount();
    const int cols = p + 1;  // the last column holds the residuals: row i of it is g(i)
    const std::int32_t n = model.PointCount();
    const int kinds = model.KindCount();
    const int peaks = p / kinds;
    const std::size_t ucols = static_cast<std::size_t>(cols);
    const std::vector<Extended>& r = model.Residuals();

    // With threads = 0 a small product is not worth a second thread; an explicit count is
    // always used. The result is the same either way.
    const double products = static_cast<double>(cols) * (cols + 1) / 2 * n;
    const int wanted = threads == 0 && products < kSmallProduct ? 1 : ResolveThreadCount(threads);
    const std::uint32_t block_count =
        static_cast<std::uint32_t>((n + kJacobianBlockRows - 1) / kJacobianBlockRows);
    const int workers =
        std::clamp(std::min(wanted, pool.Threads()), 1, static_cast<int>(block_count));

    // Each worker takes whole blocks, the next one in x from a counter, builds all their
    // Jacobian columns itself into a block of its own (nothing it builds is written or read by
    // another core) and adds their products to the shared sums row by row. Row i of block b
    // waits until row i of block b - 1 is done, so every sum still grows block after block in
    // increasing x, whichever worker adds a block. The rows go longest first: a worker that
    // starts a block just after another trails it by one row and then never waits again, and
    // only the rows' sums pass between the cores.
    std::atomic<std::uint32_t> next_block{0};
    std::vector<Progress> row_done(static_cast<std::size_t>(p));  // blocks done, per row
    std::vector<Extended> acc(ucols * ucols, 0.0L);
    auto run = [&](int) {
        Block block(ucols);
        std::vector<int> live;  // the block's columns that are not all 0
        live.reserve(ucols);
        for (;;) {
            const std::uint32_t bi = next_block.fetch_add(1, std::memory_order_relaxed);
            if (bi >= block_count) break;
            const std::int32_t first = 1 + static_cast<std::int32_t>(bi) * kJacobianBlockRows;
            const int rows =
                static_cast<int>(std::min<std::int32_t>(kJacobianBlockRows, n - first + 1));
            for (int k = 1; k <= peaks; ++k) {
                // Each peak's columns are split while they are still in the first-level cache.
                model.BuildJacobianBlock(first, rows, k, k, block.Values.get(), kStride);
                for (int c = (k - 1) * kinds; c < k * kinds; ++c) Classify(block, c, rows);
            }
            Extended* rc = block.Column(p);
            for (int x = 0; x < rows; ++x) rc[x] = r[static_cast<std::size_t>(first - 1 + x)];
            Classify(block, p, rows);
            LiveColumns(block, cols, live);
            // Row p (the residuals times themselves) is not needed.
            std::size_t k = 0;
            for (int i = 0; i < p; ++i) {
                Progress& done = row_done[static_cast<std::size_t>(i)];
                done.WaitFor(bi);
                while (k < live.size() && live[k] < i) ++k;
                if (k < live.size() && live[k] == i) {
                    AccumulateRow(block, rows, live, k,
                                  acc.data() + static_cast<std::size_t>(i) * ucols);
                }
                done.Raise(bi + 1);
            }
        }
    };
    pool.Run(workers, run);

    for (int i = 0; i < p; ++i) {
        const Extended* acc_row = acc.data() + static_cast<std::size_t>(i) * ucols;
        for (int j = i; j < p; ++j) {
            a(i + 1, j + 1) = acc_row[j];
            a(j + 1, i + 1) = acc_row[j];
        }
        g[static_cast<std::size_t>(i + 1)] = acc_row[p];
    }
}

}  // namespace kalvex::fit
