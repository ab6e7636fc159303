#include "market/job_pool.h"

namespace vantor {

TJobPool::TJobPool(unsigned threads) {
    if (threads == 0) threads = std::thread::hardware_concurrency();
    if (threads == 0) threads = 1;
    threads_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

TJobPool::~TJobPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
}

void TJobPool::Queue(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void TJobPool::Work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return; // stopping and nothing left
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        try {
            job();
        } catch (...) {
        }
    }
}

void TJobGroup::Queue(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++pending_;
    }
    pool_.Queue([this, job = std::move(job)]() mutable {
        try {
            job();
        } catch (...) {
        }
        job = nullptr; // what the job holds is released before a waiter returns
        // Notify under the lock: a waiter may destroy the group as soon as it sees zero.
        std::lock_guard<std::mutex> lock(mutex_);
        if (--pending_ == 0) done_.notify_all();
    });
}

void TJobGroup::Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
}

bool TJobGroup::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return done_.wait_for(lock, timeout, [this] { return pending_ == 0; });
}

bool TJobGroup::Finished() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_ == 0;
}

} // namespace vantor
