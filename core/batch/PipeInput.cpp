#include "core/batch/PipeInput.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "core/files/Interrupt.h"

namespace quorvex {

PipeRead ReadPipeInput(int fd, std::size_t maxLines, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    std::size_t lines = 0;
    std::array<char, 1 << 16> chunk{};
    for (;;) {
        if (PendingInterrupt() != 0) return PipeRead::Interrupted;
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return PipeRead::ReadError;
        if (n == 0) return PipeRead::Complete;
        std::string_view part(chunk.data(), static_cast<std::size_t>(n));
        // Nothing after the end-of-file mark is ever read.
        const std::size_t mark = part.find('\x1A');
        if (mark != std::string_view::npos) part = part.substr(0, mark + 1);
        lines += static_cast<std::size_t>(std::count(part.begin(), part.end(), '\n'));
        if (lines > maxLines) return PipeRead::TooManyLines;
        if (part.size() > maxBytes - bytes.size()) return PipeRead::TooLarge;
        bytes.append(part);
        if (mark != std::string_view::npos) return PipeRead::Complete;
    }
}

}  // namespace quorvex
