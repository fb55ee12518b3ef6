#pragma once
// A full disk, as far as this process is concerned: while it lives, writes beyond the
// limit fail (EFBIG) instead of raising SIGXFSZ. Works for the superuser too.

#include <sys/resource.h>

#include <csignal>

namespace quorvex::test {

class FileSizeLimit final {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace quorvex::test
