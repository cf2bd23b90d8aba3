// Work split over the machine's cores, for loops whose results do not depend on the split.
#pragma once

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

}  // namespace kalvex::fit
