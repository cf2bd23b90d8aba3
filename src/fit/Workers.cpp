// The barrier and the worker pool: short spins, then sleeping on the atomic itself.
#include "fit/Workers.h"

#include "core/Assert.h"

#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace kalvex::fit {

namespace {

// How long a waiting thread spins before it sleeps. Long enough to cover the gap between two
// blocks or two loops of one iteration (waking a sleeping thread takes tens of microseconds
// on a virtual machine), short enough not to hold a core that another thread needs.
constexpr std::chrono::microseconds kSpin{100};

inline void Relax() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

// Returns once `value` no longer holds `old`, with acquire ordering.
template <typename T>
void WaitWhileEqual(const std::atomic<T>& value, T old) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (value.load(std::memory_order_acquire) != old) return;
            Relax();
        }
        if (std::chrono::steady_clock::now() >= until) break;
    }
    while (value.load(std::memory_order_acquire) == old) value.wait(old, std::memory_order_acquire);
}

}  // namespace

Barrier::Barrier(int count) : count_(count) { KALVEX_ASSERT(count >= 1); }

void Barrier::ArriveAndWait() {
    const std::uint32_t round = round_.load(std::memory_order_acquire);
    if (arrived_.fetch_add(1, std::memory_order_acq_rel) + 1 == count_) {
        // The others wait for round_ to move, so none can arrive again before the reset.
        arrived_.store(0, std::memory_order_relaxed);
        round_.store(round + 1, std::memory_order_release);
        round_.notify_all();
        return;
    }
    WaitWhileEqual(round_, round);
}

WorkerPool::WorkerPool(int threads) : threads_(threads) { KALVEX_ASSERT(threads >= 1); }

WorkerPool::~WorkerPool() {
    if (helpers_.empty()) return;
    stop_ = true;
    pending_.store(threads_ - 1, std::memory_order_relaxed);
    round_.fetch_add(1, std::memory_order_release);
    round_.notify_all();
    for (std::thread& t : helpers_) t.join();
}

void WorkerPool::Dispatch(int workers, Job job, const void* fn) {
    KALVEX_ASSERT(workers >= 1 && workers <= threads_);
    if (workers == 1) {
        job(fn, 0);
        return;
    }
    if (helpers_.empty()) {
        helpers_.reserve(static_cast<std::size_t>(threads_ - 1));
        for (int w = 1; w < threads_; ++w) helpers_.emplace_back([this, w] { Serve(w); });
    }
    job_ = job;
    fn_ = fn;
    workers_ = workers;
    // Every helper acknowledges every round, even one it has no part in: the job fields are
    // then never rewritten while a helper may still read them.
    pending_.store(threads_ - 1, std::memory_order_relaxed);
    round_.fetch_add(1, std::memory_order_release);
    round_.notify_all();
    job(fn, 0);
    for (int left = pending_.load(std::memory_order_acquire); left != 0;
         left = pending_.load(std::memory_order_acquire)) {
        WaitWhileEqual(pending_, left);
    }
}

void WorkerPool::Serve(int index) {
    std::uint32_t seen = 0;
    for (;;) {
        WaitWhileEqual(round_, seen);
        seen = round_.load(std::memory_order_acquire);
        if (stop_) return;
        if (index < workers_) job_(fn_, index);
        if (pending_.fetch_sub(1, std::memory_order_acq_rel) == 1) pending_.notify_one();
    }
}

}  // namespace kalvex::fit
