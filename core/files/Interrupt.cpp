#include "core/files/Interrupt.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

namespace quorvex {
namespace {

std::atomic<int> pending{0};

// One slot per thread that writes a named temporary file; the handler reads them, so
// they are plain atomics and fixed buffers.
struct TemporarySlot {
    std::atomic<int> fd{-1};  // -1 free, -2 being filled
    char name[64] = {};
};
std::array<TemporarySlot, 16> slots;
thread_local int mySlot = -1;

void OnSignal(int signal) {
    int expected = 0;
    if (pending.compare_exchange_strong(expected, signal)) return;
    // Asked twice: stop now, without the named temporary file of an unfinished write.
    for (auto& slot : slots) {
        const int fd = slot.fd.load();
        if (fd >= 0) ::unlinkat(fd, slot.name, 0);
    }
    ::_exit(128 + signal);
}

}  // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking read of a pipe returns, and the reader looks at the flag.
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

namespace {
constexpr std::array<int, 2> kScopeSignals = {SIGTERM, SIGHUP};
}

InterruptScope::InterruptScope() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (std::size_t i = 0; i < kScopeSignals.size(); ++i) {
        ::sigaction(kScopeSignals[i], &action, &saved_[i]);
    }
}

InterruptScope::~InterruptScope() {
    for (std::size_t i = 0; i < kScopeSignals.size(); ++i) {
        ::sigaction(kScopeSignals[i], &saved_[i], nullptr);
    }
}

int PendingInterrupt() {
    return pending.load(std::memory_order_relaxed);
}

void SetPendingInterrupt(int signal) {
    pending.store(signal);
}

namespace detail {

void RegisterTemporary(int folderFd, const char* name) {
    if (folderFd < 0 || name == nullptr || std::strlen(name) >= sizeof(TemporarySlot::name)) {
        if (mySlot >= 0) slots[static_cast<std::size_t>(mySlot)].fd.store(-1);
        mySlot = -1;
        return;
    }
    if (mySlot < 0) {
        for (std::size_t i = 0; i < slots.size() && mySlot < 0; ++i) {
            int expected = -1;
            if (slots[i].fd.compare_exchange_strong(expected, -2)) mySlot = static_cast<int>(i);
        }
        if (mySlot < 0) return;  // more writing threads than slots: not registered
    }
    TemporarySlot& slot = slots[static_cast<std::size_t>(mySlot)];
    slot.fd.store(-2);
    std::strcpy(slot.name, name);
    slot.fd.store(folderFd);
}

}  // namespace detail
}  // namespace quorvex
