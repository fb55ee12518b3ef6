#include "gui/window/SessionSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace quorvex {
namespace {

int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_signals = 0;
constexpr std::array<int, 2> kSignals = {SIGTERM, SIGHUP};
std::array<struct sigaction, 2> g_saved{};

void OnSignal(int signal) {
    const int saved = errno;
    if (g_signals != 0) ::_exit(128 + signal);
    g_signals = 1;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

SessionSignals::SessionSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        int signal = 0;
        while (::read(g_pipe[0], &byte, 1) == 1) signal = byte;
        if (signal != 0 && onSignal_) onSignal_(signal);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &action, &g_saved[i]);
    }
}

SessionSignals::~SessionSignals() {
    if (!notifier_) return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &g_saved[i], nullptr);
    notifier_.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
    g_signals = 0;
}

}  // namespace quorvex
