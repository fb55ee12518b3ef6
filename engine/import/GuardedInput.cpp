#include "engine/import/GuardedInput.h"

#include <algorithm>

namespace quorvex {

GuardedInput::GuardedInput(Source source, std::int64_t maxBytes, std::int64_t maxTokenBytes)
    : source_(std::move(source)), maxBytes_(maxBytes), maxTokenBytes_(maxTokenBytes) {
    open(QIODevice::ReadOnly);
}

qint64 GuardedInput::readData(char* data, qint64 max) {
    if (exceeded_ || failed_) return -1;
    // One byte beyond a limit is enough to know it was crossed.
    const std::int64_t room =
        std::min(maxBytes_ - delivered_, maxTokenBytes_ - (delivered_ - tokenStart_));
    if (room < 0) {
        exceeded_ = true;
        return -1;
    }
    const std::int64_t n = source_(data, std::min<std::int64_t>(max, room + 1));
    if (n < 0) {
        failed_ = true;
        return -1;
    }
    delivered_ += n;
    if (n > room) {
        exceeded_ = true;
        return -1;
    }
    return n;
}

}  // namespace quorvex
