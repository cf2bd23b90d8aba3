// Work split over the machine's cores, for loops whose results do not depend on the split.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace kalvex::fit {

/// `threads` when positive, else one per core (at least 1).
inline int ResolveThreadCount(int threads) {
    if (threads > 0) return threads;
    const unsigned hw = std::thread::hardware_concurrency();
    return hw == 0 ? 1 : static_cast<int>(hw);
}

/// Runs f(0) on this thread and f(1) .. f(workers - 1) on threads of their own, and waits for
/// all of them.
template <typename F>
void RunWorkers(int workers, const F& f) {
    std::vector<std::thread> helpers;
    for (int w = 1; w < workers; ++w) helpers.emplace_back([&f, w] { f(w); });
    f(0);
    for (std::thread& t : helpers) t.join();
}

/// Holds `count` threads until all of them have arrived, round after round. A waiting thread
/// spins briefly (the others are normally a few microseconds behind), then polls, yielding its
/// core to any thread that shares it, and sleeps only after some milliseconds.
class Barrier {
public:
    explicit Barrier(int count);
    Barrier(const Barrier&) = delete;
    Barrier& operator=(const Barrier&) = delete;

    /// Returns once all `count` threads have called it in this round. Everything a thread wrote
    /// before its call is visible to every thread after theirs.
    void ArriveAndWait();

private:
    const int count_;
    std::atomic<int> arrived_{0};
    std::atomic<std::uint32_t> round_{0};
};

/// A count that threads raise in turn and wait to reach: one thread hands a piece of shared
/// work (a row of sums) to the next. Waiting is done as at the barrier.
class Progress {
public:
    /// Returns once the count has reached `value`. Everything the thread that raised it wrote
    /// before its Raise is then visible.
    void WaitFor(std::uint32_t value) const;
    /// Sets the count to `value`, which must not be below it.
    void Raise(std::uint32_t value);

private:
    std::atomic<std::uint32_t> count_{0};
};

/// The helper threads of one fit run. Starting a thread costs about 50 us, as much as a whole
/// small normal matrix, so the helpers are started at the first Run that needs them and then
/// wait for the next one (as the barrier waits) until the pool is destroyed.
class WorkerPool {
public:
    /// `threads` workers in all, the caller of Run included (at least 1).
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int Threads() const { return threads_; }

    /// Runs f(0) on this thread and f(1) .. f(workers - 1) on helpers, one each, and returns
    /// when all have returned; 1 <= workers <= Threads(). f must not throw. Not reentrant: one
    /// Run at a time, from one thread.
    template <typename F>
    void Run(int workers, const F& f) {
        Dispatch(
            workers, [](const void* fn, int w) { (*static_cast<const F*>(fn))(w); }, &f);
    }

private:
    using Job = void (*)(const void*, int);
    void Dispatch(int workers, Job job, const void* fn);
    void Serve(int index);

    const int threads_;
    std::vector<std::thread> helpers_;
    // The current round's job, written before round_ is advanced and read after it.
    Job job_ = nullptr;
    const void* fn_ = nullptr;
    int workers_ = 0;
    bool stop_ = false;
    std::atomic<std::uint32_t> round_{0};
    std::atomic<int> pending_{0};  // helpers that have not yet finished the round
};

}  // namespace kalvex::fit
