#include "core/model/TextLines.h"

namespace quorvex {

void TextLines::iterator::Take() {
    if (rest_.empty()) {
        // The end: equal to a default-made iterator.
        *this = iterator();
        return;
    }
    done_ = false;
    const std::size_t eol = rest_.find('\n');
    line_ = rest_.substr(0, eol);
    rest_ = eol == std::string_view::npos ? rest_.substr(rest_.size()) : rest_.substr(eol + 1);
}

std::string_view WithoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool IsTableRow(std::string_view line) {
    line = WithoutCr(line);
    return !line.empty() && line.front() != '#';
}

}  // namespace quorvex
