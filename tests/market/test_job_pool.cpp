// The worker pool and its job groups.

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>

#include <gtest/gtest.h>

#include "market/job_pool.h"

using namespace vantor;
using namespace std::chrono_literals;

TEST(JobPool, GroupWaitsForEveryJobOfItsOwn) {
    TJobPool pool(3);
    EXPECT_EQ(pool.ThreadCount(), 3u);
    std::atomic<int> a{0}, b{0};
    TJobGroup first(pool), second(pool);
    for (int i = 0; i < 500; ++i) {
        first.Queue([&a] { ++a; });
        second.Queue([&b] { ++b; });
    }
    first.Wait();
    EXPECT_EQ(a.load(), 500);
    second.Wait();
    EXPECT_EQ(b.load(), 500);
    EXPECT_TRUE(first.Finished());
}

TEST(JobPool, WaitForReportsARunningJobUntilItEnds) {
    TJobPool pool(2);
    TJobGroup group(pool);
    EXPECT_TRUE(group.WaitFor(0ms)); // nothing queued
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    group.Queue([gate] { gate.wait(); });
    EXPECT_FALSE(group.WaitFor(1ms));
    EXPECT_FALSE(group.Finished());
    release.set_value();
    group.Wait();
    EXPECT_TRUE(group.WaitFor(0ms));
}

TEST(JobPool, ThrowingJobLeavesWorkersAndGroupIntact) {
    TJobPool pool(1);
    TJobGroup group(pool);
    std::atomic<int> ran{0};
    group.Queue([] { throw std::runtime_error("x"); });
    group.Queue([&ran] { ++ran; });
    group.Wait();
    EXPECT_EQ(ran.load(), 1);
}

TEST(JobPool, DestructorRunsQueuedJobs) {
    std::atomic<int> ran{0};
    {
        TJobPool pool(1);
        for (int i = 0; i < 50; ++i) pool.Queue([&ran] { ++ran; });
    }
    EXPECT_EQ(ran.load(), 50);
}
