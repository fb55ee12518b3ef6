#pragma once
// Commits items strictly in the order they were pushed and stops at the first failure:
// nothing pushed after a failed item is committed. Threaded, it commits on a thread of its own
// (creating thousands of files costs the kernel about as much as drawing them), and at most
// `capacity` items wait, so memory stays flat however many come; without a thread Push
// commits at once on the caller's thread.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvex {

template <class Item>
class OrderedWriter final {
  public:
    // Commits one item (it may record what happened in the item) and says whether it
    // succeeded. Runs on the writer's thread, one item at a time.
    using Commit = std::function<bool(Item&)>;

    // Without a thread of its own (not asked for, or refused by the system) it commits on
    // the caller's thread.
    OrderedWriter(std::size_t capacity, bool threaded, Commit commit)
        : capacity_(capacity < 1 ? 1 : capacity), commit_(std::move(commit)) {
        if (!threaded) return;
        try {
            thread_ = std::thread([this] { Work(); });
        } catch (const std::exception&) {
        }
    }
    // Items still queued are dropped uncommitted.
    ~OrderedWriter() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    OrderedWriter(const OrderedWriter&) = delete;
    OrderedWriter& operator=(const OrderedWriter&) = delete;

    bool Threaded() const { return thread_.joinable(); }

    // Queues an item; waits while `capacity` items are waiting. False, the item dropped,
    // once a commit has failed.
    bool Push(Item item) {
        if (!thread_.joinable()) {
            if (failed_) return false;
            failed_ = !commit_(item);
            done_.push_back(std::move(item));
            return !failed_;
        }
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || queue_.size() < capacity_; });
        if (failed_) return false;
        queue_.push_back(std::move(item));
        changed_.notify_all();
        return true;
    }

    // Waits until every queued item is committed or a commit has failed.
    void Drain() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || (queue_.empty() && !busy_); });
    }

    // The items committed since the last call, in order; the last one is the failed one
    // when a commit failed.
    std::vector<Item> TakeDone() {
        const std::lock_guard lock(mutex_);
        std::vector<Item> out;
        out.swap(done_);
        return out;
    }

  private:
    void Work() {
        for (;;) {
            Item item;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return stopping_ || (!failed_ && !queue_.empty()); });
                if (stopping_) return;
                item = std::move(queue_.front());
                queue_.pop_front();
                busy_ = true;
            }
            changed_.notify_all();  // room in the queue
            const bool ok = commit_(item);
            {
                const std::lock_guard lock(mutex_);
                if (!ok) {
                    failed_ = true;
                    queue_.clear();
                }
                done_.push_back(std::move(item));
                busy_ = false;
            }
            changed_.notify_all();
        }
    }

    const std::size_t capacity_;
    const Commit commit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> queue_;
    std::vector<Item> done_;
    bool busy_ = false;
    bool failed_ = false;
    bool stopping_ = false;
    std::thread thread_;  // started last, once everything it uses exists
};

}  // namespace quorvex
