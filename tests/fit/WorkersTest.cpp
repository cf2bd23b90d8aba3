// The worker pool runs every index once per round on threads of its own; the barrier holds
// every thread until all have arrived.
#include "fit/Workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

namespace kalvex::fit {
namespace {

TEST(WorkerPool, RunsEveryIndexOnceOnItsOwnThreadRoundAfterRound) {
    WorkerPool pool(3);
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<std::thread::id> first_helpers;
    for (int round = 0; round < 300; ++round) {
        const int workers = 1 + round % 3;  // 1, 2, 3, 1, ...: helpers left out of some rounds
        std::vector<int> calls(3, 0);
        std::vector<std::thread::id> ids(3);
        pool.Run(workers, [&](int w) {
            ++calls[static_cast<std::size_t>(w)];
            ids[static_cast<std::size_t>(w)] = std::this_thread::get_id();
        });
        for (int w = 0; w < 3; ++w) {
            ASSERT_EQ(calls[static_cast<std::size_t>(w)], w < workers ? 1 : 0) << round << " " << w;
        }
        ASSERT_EQ(ids[0], caller);
        std::set<std::thread::id> distinct(ids.begin(), ids.begin() + workers);
        ASSERT_EQ(static_cast<int>(distinct.size()), workers) << round;
        if (workers == 3 && first_helpers.empty()) first_helpers.assign(ids.begin() + 1, ids.end());
        if (workers == 3) {
            // The same helpers every time: the pool keeps its threads, it does not start new ones.
            ASSERT_EQ(std::vector<std::thread::id>(ids.begin() + 1, ids.end()), first_helpers);
        }
    }
}

TEST(WorkerPool, RunReturnsOnlyWhenEveryWorkerIsDone) {
    WorkerPool pool(2);
    for (int round = 0; round < 20; ++round) {
        int done = 0;  // written by the helper alone; read here only after Run returns
        pool.Run(2, [&](int w) {
            if (w == 1) {
                // The helper finishes well after the caller's share.
                std::this_thread::sleep_for(std::chrono::milliseconds(round % 4 == 0 ? 5 : 0));
                done = round + 1;
            }
        });
        ASSERT_EQ(done, round + 1);
    }
}

TEST(WorkerPool, APoolThatNeverRanOrRanAloneStopsAtOnce) {
    { WorkerPool unused(4); }
    WorkerPool alone(2);
    int runs = 0;
    alone.Run(1, [&](int) { ++runs; });  // one worker: the caller alone, no helper started
    EXPECT_EQ(runs, 1);
}

TEST(Barrier, NoThreadPassesBeforeAllHaveArrived) {
    for (int threads : {2, 3}) {
        constexpr int kRounds = 200;
        Barrier barrier(threads);
        std::vector<std::atomic<int>> reached(static_cast<std::size_t>(threads));
        std::atomic<int> early{0};
        WorkerPool pool(threads);
        pool.Run(threads, [&](int w) {
            for (int round = 1; round <= kRounds; ++round) {
                // One late thread per round: a barrier that let the others through would
                // show them a round it has not reached.
                if (round % threads == w && round % 10 == 0) {
                    std::this_thread::sleep_for(std::chrono::microseconds(300));
                }
                reached[static_cast<std::size_t>(w)].store(round);
                barrier.ArriveAndWait();
                for (int v = 0; v < threads; ++v) {
                    if (reached[static_cast<std::size_t>(v)].load() < round) ++early;
                }
                barrier.ArriveAndWait();  // nobody starts the next round while one still checks
            }
        });
        EXPECT_EQ(early.load(), 0) << threads;
    }
}

TEST(Progress, EachThreadWaitsForItsTurn) {
    // Three threads take turns through one count, each appending to a plain vector only when
    // the count says it is its turn; a wait that returned early would put two in at once or
    // in the wrong order. The thread before sometimes dawdles to make that visible.
    constexpr int kThreads = 3;
    constexpr int kRounds = 100;
    Progress turn;
    std::vector<int> order;
    WorkerPool pool(kThreads);
    pool.Run(kThreads, [&](int w) {
        for (int round = 0; round < kRounds; ++round) {
            const std::uint32_t mine = static_cast<std::uint32_t>(round * kThreads + w);
            turn.WaitFor(mine);
            if (round % 7 == w) std::this_thread::sleep_for(std::chrono::microseconds(200));
            order.push_back(w);
            turn.Raise(mine + 1);
        }
    });
    ASSERT_EQ(order.size(), static_cast<std::size_t>(kThreads * kRounds));
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_EQ(order[i], static_cast<int>(i % kThreads)) << i;
    }
}

}  // namespace
}  // namespace kalvex::fit
