// The barrier and the worker pool: short spins, polls that yield the core, then sleeping on
// the atomic itself.
#include "fit/Workers.h"

#include "core/Assert.h"

#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#if defined(__linux__)
#include <sched.h>
#endif

namespace kalvex::fit {

namespace {

// How long a waiting thread keeps polling before it sleeps: long enough to cover the gaps
// within and between the iterations of a run. A thread that sleeps is slow to wake on a
// virtual machine, and the scheduler often wakes it on the core of the thread that woke it,
// where the two then share one core while the other idles.
constexpr std::chrono::microseconds kPoll{2000};

inline void Relax() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

// Returns once `value` no longer holds `old`, with acquire ordering. A few pauses first (the
// other thread is normally a few microseconds behind); then it polls with yields, since the
// scheduler may have put the thread it waits for on the same core (new threads often start
// on their parent's core), and a plain spin would take that core away from it; finally it
// sleeps.
template <typename T>
void WaitWhileEqual(const std::atomic<T>& value, T old) {
    for (int i = 0; i < 64; ++i) {
        if (value.load(std::memory_order_acquire) != old) return;
        Relax();
    }
    const auto until = std::chrono::steady_clock::now() + kPoll;
    do {
        if (value.load(std::memory_order_acquire) != old) return;
        std::this_thread::yield();
    } while (std::chrono::steady_clock::now() < until);
    while (value.load(std::memory_order_acquire) == old) value.wait(old, std::memory_order_acquire);
}

// The core the calling thread runs on, or -1 where that cannot be known.
int CurrentCore() {
#if defined(__linux__)
    return sched_getcpu();
#else
    return -1;
#endif
}

// Moves the calling thread off core `avoid` and leaves it free to go anywhere again. A new
// thread tends to start on its parent's core, and one that sleeps and wakes in step with its
// parent tends to stay there, sharing one core while another is idle.
void LeaveCore(int avoid) {
#if defined(__linux__)
    cpu_set_t allowed;
    if (avoid < 0 || sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    if (!CPU_ISSET(avoid, &allowed) || CPU_COUNT(&allowed) < 2) return;
    cpu_set_t others = allowed;
    CPU_CLR(avoid, &others);
    if (sched_setaffinity(0, sizeof others, &others) == 0) {
        sched_setaffinity(0, sizeof allowed, &allowed);
    }
#else
    (void)avoid;
#endif
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

void Progress::WaitFor(std::uint32_t value) const {
    for (std::uint32_t now = count_.load(std::memory_order_acquire); now < value;
         now = count_.load(std::memory_order_acquire)) {
        WaitWhileEqual(count_, now);
    }
}

void Progress::Raise(std::uint32_t value) {
    count_.store(value, std::memory_order_release);
    count_.notify_all();
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
        const int core = CurrentCore();
        for (int w = 1; w < threads_; ++w) {
            helpers_.emplace_back([this, w, core] {
                LeaveCore(core);
                Serve(w);
            });
        }
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
