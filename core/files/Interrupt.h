#pragma once
// SIGINT and SIGTERM for a long run: the first one only sets a flag that the run checks
// between files, so every file it has begun is finished and no temporary file is left; a
// second one ends the process at once (after removing a named temporary file that is
// being written, should there be one). Toolkit-free.

namespace quorvex {

// Installs the handlers (once per process; the window never does).
void InstallInterruptHandlers();

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
