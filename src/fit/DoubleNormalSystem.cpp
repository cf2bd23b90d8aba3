// J^T J and J^T r in double: blocks of Jacobian rows built and multiplied where they are
// needed, fixed chunks of blocks summed apart and then in order.
#include "fit/DoubleNormalSystem.h"

#include <algorithm>
#include <atomic>

#include "core/Assert.h"
#include "fit/DoubleKernels.h"

namespace kalvex::fit {

namespace {

// Rows of a block: the block, row by row, stays in the second-level cache while every pair of
// its columns is multiplied.
constexpr int kBlockRows = 512;
// The chunks are fixed by the number of points alone, never by the threads.
constexpr int kMaxChunks = 16;
// Below this many products one thread does the whole normal matrix.
constexpr double kSmallProduct = 3e7;

}  // namespace

DoubleNormalSystem::DoubleNormalSystem(const FitModel& model)
    : model_(model),
      p_(model.ParameterCount()),
      acc_stride_(static_cast<std::size_t>(p_) + 1),
      blocks_((model.PointCount() + kBlockRows - 1) / kBlockRows),
      chunks_(std::min(kMaxChunks, blocks_)),
      acc_(static_cast<std::size_t>(chunks_) * acc_stride_ * acc_stride_) {
    KALVEX_ASSERT(model.Kernels() != nullptr);
}

void DoubleNormalSystem::AddBlock(int block, Scratch& s, double* acc) {
    const DoubleKernels& k = *model_.Kernels();
    constexpr int kStep = StripPanel::kStep;
    const std::int32_t first = 1 + block * kBlockRows;
    const StripPanel panel{s.Panel.data(),
                           std::min<std::int32_t>(kBlockRows, model_.PointCount() - first + 1)};
    const int rows = panel.Rows;
    const int kinds = model_.KindCount();
    const int peaks = p_ / kinds;
    // Whether each column was written: a peak far from the block leaves its columns as they
    // were, known to be 0.
    std::vector<char>& written = s.Written;
    written.assign(static_cast<std::size_t>(p_) + 1, 1);
    for (int peak = 1; peak <= peaks; ++peak) {
        if (!model_.BuildJacobianBlockDouble(first, panel, peak, s.Unused.data())) {
            for (int c = (peak - 1) * kinds; c < peak * kinds; ++c) written[c] = 0;
        }
    }
    const double* r = model_.ResidualsDouble().data() + (first - 1);
    double* rc = panel.Column(p_);
    for (int x = 0; x < rows; ++x) rc[x * kStep] = r[x];

    // A column that is 0 at every row of the block only adds zeros: it is left out, unless a
    // value of the block is not finite (0 times infinity is NaN). Only exponentials fall to 0
    // over whole blocks; Lorentz curves never do.
    std::vector<int>& live = s.Live;
    live.clear();
    bool all = model_.Line() == core::LineType::kLorentz;
    if (!all) {
        bool finite = true;
        for (int c = 0; c <= p_; ++c) {
            if (!written[c]) continue;
            const int flags = k.ColumnFlags(panel.Column(c), kStep, rows);
            finite = finite && (flags & 2) == 0;
            if ((flags & 1) == 0) live.push_back(c);
        }
        all = !finite || static_cast<int>(live.size()) == p_ + 1;
        if (!finite) {
            for (int c = 0; c <= p_; ++c) {
                if (written[c]) continue;
                double* z = panel.Column(c);
                for (int x = 0; x < rows; ++x) z[x * kStep] = 0.0;
            }
        }
    }
    if (all) {
        live.clear();
        for (int c = 0; c <= p_; ++c) live.push_back(c);
    } else {
        // The live columns move down to the first places; the ones they leave are not read.
        for (std::size_t m = 0; m < live.size(); ++m) {
            const int from = live[m];
            if (from == static_cast<int>(m)) continue;
            const double* src = panel.Column(from);
            double* dst = panel.Column(static_cast<int>(m));
            for (int x = 0; x < rows; ++x) dst[x * kStep] = src[x * kStep];
        }
    }
    const int count = static_cast<int>(live.size());
    // The rest of the last strip is 0: the products read whole strips.
    for (int c = count; c % kStep != 0; ++c) {
        double* z = panel.Column(c);
        for (int x = 0; x < rows; ++x) z[x * kStep] = 0.0;
    }
    k.BlockProducts(panel, live.data(), count, acc, acc_stride_);
}

void DoubleNormalSystem::Build(int threads, WorkerPool& pool, Matrix90& a, Vector90& g) {
    const std::size_t ncols = static_cast<std::size_t>(p_) + 1;
    const double products = static_cast<double>(p_ + 1) * (p_ + 2) / 2 * model_.PointCount();
    const int wanted = threads == 0 && products < kSmallProduct ? 1 : ResolveThreadCount(threads);
    const int workers = std::clamp(std::min(wanted, pool.Threads()), 1, chunks_);
    if (scratch_.size() < static_cast<std::size_t>(workers)) {
        scratch_.resize(static_cast<std::size_t>(workers));
    }
    const std::size_t square = acc_stride_ * acc_stride_;
    std::atomic<int> next_chunk{0};
    auto run = [&](int w) {
        Scratch& s = scratch_[static_cast<std::size_t>(w)];
        if (s.Panel.empty()) {
            s.Unused.resize(kBlockRows * StripPanel::kStep);
            const std::size_t strips = (ncols + StripPanel::kStep - 1) / StripPanel::kStep;
            s.Panel.resize(kBlockRows * strips * StripPanel::kStep);
            s.Live.reserve(ncols);
        }
        for (int c = next_chunk++; c < chunks_; c = next_chunk++) {
            double* acc = acc_.data() + static_cast<std::size_t>(c) * square;
            std::fill(acc, acc + square, 0.0);
            const int end = (c + 1) * blocks_ / chunks_;
            for (int b = c * blocks_ / chunks_; b < end; ++b) AddBlock(b, s, acc);
        }
    };
    pool.Run(workers, run);

    // The chunks' sums, added in chunk order.
    for (int i = 0; i < p_; ++i) {
        for (int j = i; j <= p_; ++j) {
            const std::size_t e = static_cast<std::size_t>(i) * acc_stride_ + j;
            double sum = 0.0;
            for (int c = 0; c < chunks_; ++c) sum += acc_[static_cast<std::size_t>(c) * square + e];
            if (j == p_) {
                g[static_cast<std::size_t>(i + 1)] = sum;
            } else {
                a(i + 1, j + 1) = sum;
                a(j + 1, i + 1) = sum;
            }
        }
    }
}

}  // namespace kalvex::fit
