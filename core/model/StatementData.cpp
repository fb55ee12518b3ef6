#include "core/model/StatementData.h"

#include <algorithm>

namespace quorvex {

bool IsDigitsOnly(std::string_view text) {
    // Bytes of multibyte UTF-8 characters are all >= 0x80, so only real digits match.
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string PeriodLabel::Normalised() const {
    if (!text.empty() && IsDigitsOnly(text)) return "第" + text + "期";
    return text;
}

}  // namespace quorvex
