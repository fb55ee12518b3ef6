#include "cli/ToolHost.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace quorvex {
namespace {

bool g_stdoutClosed = false;

}  // namespace

void HoldClosedStdout() {
    if (::fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF) return;
    g_stdoutClosed = true;
    const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (fd >= 0 && fd != STDOUT_FILENO) {
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
}

int FinishStdout() {
    // A full disk shows only here: the writes before went to the buffer.
    int error = EBADF;
    if (!g_stdoutClosed) {
        if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
        error = errno;
    }
    std::fprintf(stderr, "quorvex-batch: 標準出力に書き込めません: %s\n", std::strerror(error));
    return 1;
}

void ProgressBar::Set(int position) {
    if (!enabled_ || maximum_ <= 0) return;
    if (position <= 0) {
        Clear();
        return;
    }
    // Redraw only when the bar visibly moves: a terminal is slow next to the run.
    constexpr int kWidth = 40;
    const int permille = static_cast<int>(1000LL * position / maximum_);
    if (permille == lastShown_) return;
    lastShown_ = permille;
    const int filled = permille * kWidth / 1000;
    std::string bar = "\r[" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + "] " +
                      std::to_string(position) + "/" + std::to_string(maximum_);
    std::fputs(bar.c_str(), stderr);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressBar::Clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
    lastShown_ = -1;
}

int StderrSink::ShowMessage(int id, std::string_view prefix, MessageKind kind) {
    const std::string body = MessageText(id);
    if (body.empty()) return kNoText;
    // Nobody is there to answer, and the one question of a run is the offer to show the
    // folder: it is declined without being shown.
    if (kind == MessageKind::Question) return kNo;
    progress_.Clear();
    std::string text = std::string(prefix) + body;
    if (text.empty() || text.back() != '\n') text += '\n';
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    return kOk;
}

void ToolHost::Warn(const std::string& line) {
    progress_.Clear();
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void ToolHost::SetProgress(int position) {
    progress_.Set(position);
}

}  // namespace quorvex
