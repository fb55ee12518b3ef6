#pragma once
// A fixed set of threads that run tasks in the order they were submitted. A task receives the
// slot of the thread that runs it (0 .. Slots() - 1), so it can use scratch state kept per
// thread without a lock. With no threads a task runs at once on the caller's thread, slot 0.

#include <pthread.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

namespace quorvex {

class EncoderPool final {
  public:
    // A thread the system refuses to start (a process or memory limit) leaves the pool
    // smaller, down to none: the results are the same, only slower. The threads get a small
    // stack (drawing and encoding need little), so that many jobs under an address-space
    // limit leave memory to the libraries: some crash rather than fail when they run out.
    explicit EncoderPool(int threads);
    // Tasks not started yet are dropped; their futures report a broken promise.
    ~EncoderPool();
    EncoderPool(const EncoderPool&) = delete;
    EncoderPool& operator=(const EncoderPool&) = delete;

    int Threads() const { return static_cast<int>(threads_.size()); }
    int Slots() const { return threads_.empty() ? 1 : Threads(); }

    // An exception thrown by the task (out of memory, say) comes out of the future's get().
    template <class Task>
    auto Submit(Task task) -> std::future<std::invoke_result_t<Task&, int>> {
        using Result = std::invoke_result_t<Task&, int>;
        auto job = std::make_shared<std::packaged_task<Result(int)>>(std::move(task));
        auto result = job->get_future();
        if (threads_.empty()) {
            (*job)(0);
        } else {
            Enqueue([job](int slot) { (*job)(slot); });
        }
        return result;
    }

  private:
    struct Start {
        EncoderPool* pool;
        int slot;
    };
    static void* Run(void* start);
    void Enqueue(std::function<void(int)> job);
    void Work(int slot);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void(int)>> queue_;
    bool stopping_ = false;
    std::vector<Start> starts_;  // what each thread is given; reserved before any starts
    std::vector<pthread_t> threads_;
};

}  // namespace quorvex
