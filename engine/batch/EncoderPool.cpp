#include "engine/batch/EncoderPool.h"

#include <exception>

namespace quorvex {

EncoderPool::EncoderPool(int threads) {
    try {
        threads_.reserve(static_cast<std::size_t>(std::max(threads, 0)));
        for (int i = 0; i < threads; ++i) threads_.emplace_back([this, i] { Work(i); });
    } catch (const std::exception&) {
    }
}

EncoderPool::~EncoderPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
}

void EncoderPool::Enqueue(std::function<void(int)> job) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void EncoderPool::Work(int slot) {
    for (;;) {
        std::function<void(int)> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        job(slot);
    }
}

}  // namespace quorvex
