#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "core/batch/PipeInput.h"
#include "core/files/Interrupt.h"

namespace quorvex {
namespace {

// A pipe whose writer repeats `chunk` until the reader closes its end (or `limit` bytes),
// then closes the writing end.
class Feeder final {
  public:
    Feeder(std::string chunk, std::size_t limit) {
        EXPECT_EQ(::pipe(fds_), 0);
        previous_ = std::signal(SIGPIPE, SIG_IGN);
        thread_ = std::thread([this, chunk = std::move(chunk), limit] {
            std::size_t sent = 0;
            while (sent < limit) {
                const ssize_t n = ::write(fds_[1], chunk.data(), chunk.size());
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
                written_ += static_cast<std::size_t>(n);
            }
            ::close(fds_[1]);
        });
    }
    ~Feeder() {
        ::close(fds_[0]);
        thread_.join();
        std::signal(SIGPIPE, previous_);
    }
    int fd() const { return fds_[0]; }
    std::size_t written() const { return written_; }

  private:
    int fds_[2] = {-1, -1};
    void (*previous_)(int) = nullptr;
    std::atomic<std::size_t> written_{0};
    std::thread thread_;
};

constexpr std::size_t kEndless = ~std::size_t{0};

TEST(ReadPipeInput, CountsWhileReadingAndStopsAtOnce) {
    const std::string line = "1,2,3,4,5,6,7,8,9,10,11\n";
    struct Case {
        const char* what;
        std::string chunk;
        std::size_t limit;
        PipeRead result;
        std::size_t bytes;  // kept, when complete
    };
    const Case cases[] = {
        {"endless lines", line, kEndless, PipeRead::TooManyLines, 0},
        {"endless, no line end", std::string(4096, '\0'), kEndless, PipeRead::TooLarge, 0},
        {"exactly the limit", line, 5001 * line.size(), PipeRead::Complete, 5001 * line.size()},
        {"one line more", line, 5002 * line.size(), PipeRead::TooManyLines, 0},
        {"the end mark ends it, whatever follows", "a\nb\x1A" + line, kEndless, PipeRead::Complete,
         4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Feeder feeder(c.chunk, c.limit);
        std::string bytes;
        EXPECT_EQ(ReadPipeInput(feeder.fd(), 5001, std::size_t{1} << 20, bytes), c.result);
        if (c.result == PipeRead::Complete) {
            EXPECT_EQ(bytes.size(), c.bytes);
        }
        EXPECT_LE(bytes.size(), std::size_t{1} << 20);
    }
}

TEST(ReadPipeInput, ReadErrorsAndInterruptions) {
    std::string bytes;
    EXPECT_EQ(ReadPipeInput(-1, 10, 100, bytes), PipeRead::ReadError);
    const Feeder feeder("1\n", 100);
    SetPendingInterrupt(SIGINT);
    EXPECT_EQ(ReadPipeInput(feeder.fd(), 10, 100, bytes), PipeRead::Interrupted);
    SetPendingInterrupt(0);
}

}  // namespace
}  // namespace quorvex
