#include "cli/OutOfMemory.h"

#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "core/model/Messages.h"

namespace quorvex {
namespace {

[[noreturn]] void OutOfMemory() {
    // The text is short; should even it fail, the exit status still tells.
    try {
        const std::string text = MessageText(kMsgMemory) + "\n";
        [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
    } catch (...) {
    }
    std::_Exit(1);
}

void OnTerminate() {
    if (const std::exception_ptr e = std::current_exception()) {
        try {
            std::rethrow_exception(e);
        } catch (const std::bad_alloc&) {
            OutOfMemory();
        } catch (...) {
        }
    }
    std::abort();
}

}  // namespace

int RunGuardedAgainstOutOfMemory(const std::function<int()>& program) {
    std::set_terminate(OnTerminate);
    try {
        return program();
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}

}  // namespace quorvex
