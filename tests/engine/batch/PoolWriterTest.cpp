#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/batch/EncoderPool.h"
#include "engine/batch/OrderedWriter.h"

namespace quorvex {
namespace {

using namespace std::chrono_literals;

TEST(EncoderPool, EveryFutureGetsItsOwnTasksResult) {
    for (int threads : {0, 1, 3}) {
        SCOPED_TRACE(threads);
        EncoderPool pool(threads);
        EXPECT_EQ(pool.Threads(), threads);
        EXPECT_EQ(pool.Slots(), threads == 0 ? 1 : threads);
        std::vector<std::future<int>> results;
        for (int i = 0; i < 200; ++i) {
            // Uneven work, so that later tasks often finish first.
            results.push_back(pool.Submit([i](int) {
                if (i % 7 == 0) std::this_thread::sleep_for(200us);
                return i * i;
            }));
        }
        for (int i = 0; i < 200; ++i) EXPECT_EQ(results[std::size_t(i)].get(), i * i);
    }
}

TEST(EncoderPool, ASlotBelongsToOneThreadAndNoThreadsMeansTheCaller) {
    for (int threads : {0, 2, 4}) {
        SCOPED_TRACE(threads);
        EncoderPool pool(threads);
        std::mutex mutex;
        std::map<int, std::thread::id> owner;
        bool consistent = true;
        std::vector<std::future<void>> done;
        for (int i = 0; i < 100; ++i) {
            done.push_back(pool.Submit([&, slots = pool.Slots()](int slot) {
                const std::lock_guard lock(mutex);
                if (slot < 0 || slot >= slots) consistent = false;
                const auto [it, added] = owner.emplace(slot, std::this_thread::get_id());
                if (!added && it->second != std::this_thread::get_id()) consistent = false;
            }));
        }
        for (auto& d : done) d.get();
        EXPECT_TRUE(consistent);
        EXPECT_LE(owner.size(), std::size_t(pool.Slots()));
        if (threads == 0) {
            ASSERT_EQ(owner.size(), 1u);
            EXPECT_EQ(owner.begin()->second, std::this_thread::get_id());
        }
    }
}

TEST(EncoderPool, AnExceptionComesOutOfTheFuture) {
    for (int threads : {0, 2}) {
        EncoderPool pool(threads);
        auto failing = pool.Submit([](int) -> int { throw std::runtime_error("full"); });
        auto fine = pool.Submit([](int) { return 5; });
        EXPECT_THROW(failing.get(), std::runtime_error) << threads;
        EXPECT_EQ(fine.get(), 5) << threads;
    }
}

// An item whose readiness is decided by another thread, as a period's bytes are.
struct Item {
    int id = 0;
    std::shared_future<void> ready;
};

std::vector<int> Ids(const std::vector<Item>& items) {
    std::vector<int> ids;
    for (const auto& item : items) ids.push_back(item.id);
    return ids;
}

TEST(OrderedWriter, CommitsInPushOrderWhateverOrderTheItemsBecomeReady) {
    for (bool threaded : {false, true}) {
        for (std::size_t capacity : {1u, 3u}) {
            SCOPED_TRACE(testing::Message() << threaded << " " << capacity);
            std::vector<int> committed;  // written by the writer only
            OrderedWriter<Item> writer(capacity, threaded, [&](Item& item) {
                item.ready.wait();
                committed.push_back(item.id);
                return true;
            });
            EXPECT_EQ(writer.Threaded(), threaded);
            // Ten items made ready by a pool in reverse order, the first one last.
            constexpr int kItems = 10;
            std::vector<std::promise<void>> gates(kItems);
            std::vector<Item> pushed;
            for (int i = 0; i < kItems; ++i) pushed.push_back({i, gates[i].get_future().share()});
            std::thread opener;
            if (threaded) {
                opener = std::thread([&] {
                    for (int i = kItems - 1; i >= 0; --i) gates[std::size_t(i)].set_value();
                });
            } else {
                for (auto& g : gates) g.set_value();
            }
            std::vector<int> taken;
            for (auto& item : pushed) {
                EXPECT_TRUE(writer.Push(item));
                for (const Item& d : writer.TakeDone()) taken.push_back(d.id);
            }
            writer.Drain();
            for (const Item& d : writer.TakeDone()) taken.push_back(d.id);
            if (opener.joinable()) opener.join();
            const std::vector<int> expected{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
            EXPECT_EQ(committed, expected);
            EXPECT_EQ(taken, expected);
        }
    }
}

TEST(OrderedWriter, TheFirstFailureStopsEverythingPushedAfterIt) {
    for (bool threaded : {false, true}) {
        for (int failing : {0, 4, 9}) {
            SCOPED_TRACE(testing::Message() << threaded << " " << failing);
            std::vector<int> committed;
            OrderedWriter<Item> writer(2, threaded, [&](Item& item) {
                committed.push_back(item.id);
                return item.id != failing;
            });
            int accepted = 0;
            for (int i = 0; i < 10; ++i) {
                if (!writer.Push({i, {}})) break;
                ++accepted;
            }
            writer.Drain();
            std::vector<int> expected;
            for (int i = 0; i <= failing; ++i) expected.push_back(i);
            EXPECT_EQ(committed, expected);
            // The failed item is the last one reported; a push after it is refused. Without a
            // thread the failing item's own push says so.
            EXPECT_EQ(Ids(writer.TakeDone()), expected);
            EXPECT_FALSE(writer.Push({99, {}}));
            if (threaded) {
                EXPECT_GE(accepted, failing + 1);
            } else {
                EXPECT_EQ(accepted, failing);
            }
        }
    }
}

TEST(OrderedWriter, PushWaitsWhileTheQueueIsFull) {
    constexpr std::size_t kCapacity = 2;
    std::promise<void> gate;
    const std::shared_future<void> open = gate.get_future().share();
    OrderedWriter<Item> writer(kCapacity, true, [&](Item&) {
        open.wait();
        return true;
    });
    ASSERT_TRUE(writer.Threaded());
    std::atomic<int> pushed{0};
    std::thread producer([&] {
        for (int i = 0; i < 6; ++i) {
            writer.Push({i, {}});
            ++pushed;
        }
    });
    // One item in the (blocked) commit, two waiting: the fourth push has to wait.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (pushed < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(pushed.load(), 3);
    EXPECT_TRUE(writer.TakeDone().empty());
    gate.set_value();
    producer.join();
    writer.Drain();
    EXPECT_EQ(Ids(writer.TakeDone()), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace quorvex
