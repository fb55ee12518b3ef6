#include "core/model/ColourFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/model/NumberText.h"

namespace quorvex {

void ReadColourFileText(std::string_view text, std::array<Colour, kItemCount>& colours) {
    // A text-mode read ends at Ctrl-Z.
    text = text.substr(0, text.find('\x1A'));
    for (int i = 0; i < kItemCount && !text.empty(); ++i) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        if (eol != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        colours[i] = static_cast<Colour>(Atol(line));
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    }
}

std::optional<std::string> ReadSmallColourFile(const std::string& path) {
    if (path.find('\0') != std::string::npos) return std::nullopt;
    // Non-blocking: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<std::size_t>(st.st_size) <= kMaxColourFileBytes) {
        // One byte more than allowed tells a file that grew since the size was taken.
        std::string buffer(kMaxColourFileBytes + 1, '\0');
        std::size_t done = 0;
        for (;;) {
            const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n == 0 && done <= kMaxColourFileBytes) {
                    buffer.resize(done);
                    text = std::move(buffer);
                }
                break;
            }
            done += static_cast<std::size_t>(n);
            if (done == buffer.size()) break;
        }
    }
    ::close(fd);
    return text;
}

}  // namespace quorvex
