#include "engine/batch/EncoderPool.h"

#include <malloc.h>
#include <sys/mman.h>

#include <algorithm>
#include <exception>
#include <utility>

namespace quorvex {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kStackBytes = 0;  // the sanitizer's frames are several times larger
#else
constexpr std::size_t kStackBytes = 1 << 20;
#endif
// What a drawing thread needs beside its stack: its font engine, a bitmap, the encoder's
// scratch and its share of the allocator's arenas, with room to spare.
constexpr std::size_t kThreadWorkingBytes = 8 << 20;

// The allocator's arenas the threads share at most. Each arena reserves 64 MB of address
// space, and beyond a few they spread the same allocations wider: four give the same CPU
// time at 16 jobs and less memory than one per thread.
constexpr int kMallocArenas = 4;

// Memory set aside while the threads start, given back once they run: a thread is started
// only when the memory it will work in is there too.
class Room final {
  public:
    Room()
        : at_(::mmap(nullptr, kThreadWorkingBytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)) {}
    ~Room() {
        if (at_ != MAP_FAILED) ::munmap(at_, kThreadWorkingBytes);
    }
    Room(Room&& other) noexcept : at_(std::exchange(other.at_, MAP_FAILED)) {}
    Room(const Room&) = delete;
    Room& operator=(const Room&) = delete;
    Room& operator=(Room&&) = delete;
    bool Taken() const { return at_ != MAP_FAILED; }

  private:
    void* at_;
};

}  // namespace

EncoderPool::EncoderPool(int threads) {
    const auto count = static_cast<std::size_t>(std::max(threads, 0));
    std::vector<Room> rooms;
    try {
        starts_.reserve(count);
        threads_.reserve(count);
        rooms.reserve(count);
    } catch (const std::exception&) {
        return;
    }
    ::mallopt(M_ARENA_MAX, kMallocArenas);
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return;
    if (kStackBytes > 0) pthread_attr_setstacksize(&attributes, kStackBytes);
    for (int i = 0; i < threads; ++i) {
        // Under a memory limit, fewer threads with room to work: many threads that then run
        // out inside the font libraries, which crash rather than fail, are worse.
        if (!rooms.emplace_back().Taken()) break;
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
