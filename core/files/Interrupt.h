#pragma once
// SIGINT and SIGTERM for a long run: the first one only sets a flag that the run checks
// between files, so every file it has begun is finished and no temporary file is left; a
// second one ends the process at once (after removing a named temporary file that is
// being written, should there be one). Toolkit-free.

#include <signal.h>

#include <array>

namespace quorvex {

// Installs the handlers (once per process; the window never does).
void InstallInterruptHandlers();

// For a run inside a program with handlers of its own (the window's batch run): the same
// handlers for SIGTERM and SIGHUP while it lives, the program's own ones again afterwards.
// The flag stays set for the program to see.
class InterruptScope {
  public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

  private:
    std::array<struct sigaction, 2> saved_{};
};

// The signal number that asked the run to stop, or 0.
int PendingInterrupt();

// For tests: as if `signal` had arrived (0 clears the flag).
void SetPendingInterrupt(int signal);

namespace detail {
// The named temporary file being written on the calling thread, for the second signal to
// remove: a folder descriptor and a name (copied; at most 63 bytes), or -1 to clear.
void RegisterTemporary(int folderFd, const char* name);
}  // namespace detail

}  // namespace quorvex
