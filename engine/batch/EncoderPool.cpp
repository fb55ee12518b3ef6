#include "engine/batch/EncoderPool.h"

#include <algorithm>
#include <exception>

namespace quorvex {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kStackBytes = 0;  // the sanitizer's frames are several times larger
#else
constexpr std::size_t kStackBytes = 1 << 20;
#endif

}  // namespace

EncoderPool::EncoderPool(int threads) {
    const auto count = static_cast<std::size_t>(std::max(threads, 0));
    try {
        starts_.reserve(count);
        threads_.reserve(count);
    } catch (const std::exception&) {
        return;
    }
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return;
    if (kStackBytes > 0) pthread_attr_setstacksize(&attributes, kStackBytes);
    for (int i = 0; i < threads; ++i) {
        starts_.push_back({this, i});
        pthread_t thread;
        if (pthread_create(&thread, &attributes, &EncoderPool::Run, &starts_.back()) != 0) break;
        threads_.push_back(thread);
    }
    pthread_attr_destroy(&attributes);
}

void* EncoderPool::Run(void* start) {
    const auto* s = static_cast<const Start*>(start);
    s->pool->Work(s->slot);
    return nullptr;
}

EncoderPool::~EncoderPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (const pthread_t thread : threads_) pthread_join(thread, nullptr);
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
