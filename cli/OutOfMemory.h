#pragma once
// Running out of memory ends the batch tool with its message and exit status 1, wherever
// the std::bad_alloc is thrown: on the main thread it is caught around the whole program,
// on any other thread the terminate handler catches it. Anything else still aborts.

#include <functional>

namespace quorvex {

// Runs `program` with both guards in place and returns its exit status.
int RunGuardedAgainstOutOfMemory(const std::function<int()>& program);

}  // namespace quorvex
