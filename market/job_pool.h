#pragma once
// A pool of worker threads that runs queued jobs, and job groups that wait for a set of them.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vantor {

class TJobPool {
public:
    // Starts `threads` workers; 0 means one per hardware thread (at least one).
    explicit TJobPool(unsigned threads = 0);
    // Lets the workers finish every queued job, then joins them.
    ~TJobPool();
    TJobPool(const TJobPool&) = delete;
    TJobPool& operator=(const TJobPool&) = delete;

    unsigned ThreadCount() const { return static_cast<unsigned>(threads_.size()); }

    // Queues a job; jobs start in the order they were queued. A job should not throw: an
    // escaping exception is dropped so the worker survives.
    void Queue(std::function<void()> job);

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// A set of jobs queued on a pool that the caller waits for as a whole.
class TJobGroup {
public:
    explicit TJobGroup(TJobPool& pool) : pool_(pool) {}
    // Waits for the group's jobs, which refer to the group.
    ~TJobGroup() { Wait(); }
    TJobGroup(const TJobGroup&) = delete;
    TJobGroup& operator=(const TJobGroup&) = delete;

    void Queue(std::function<void()> job);

    // Blocks until every job queued so far has finished.
    void Wait();
    // Waits at most `timeout`; true when every job has finished. A user-interface thread
    // calls this in a loop and handles its messages between the calls.
    bool WaitFor(std::chrono::milliseconds timeout);
    bool Finished() const;

private:
    TJobPool& pool_;
    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::size_t pending_ = 0;
};

} // namespace vantor
