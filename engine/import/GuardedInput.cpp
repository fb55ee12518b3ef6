#include "engine/import/GuardedInput.h"

#include <algorithm>

namespace quorvex {

GuardedInput::GuardedInput(Source source, std::int64_t maxBytes, std::int64_t maxTokenBytes,
                           int maxAttributes)
    : source_(std::move(source)),
      maxBytes_(maxBytes),
      maxTokenBytes_(maxTokenBytes),
      maxAttributes_(maxAttributes) {
    open(QIODevice::ReadOnly);
}

bool GuardedInput::ScanAttributes(const char* data, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) {
        const char c = data[i];
        switch (scan_) {
            case Scan::Text:
                if (c == '<') scan_ = Scan::Open;
                break;
            case Scan::Open:
                if (c == '!' || c == '?' || c == '/') {
                    scan_ = Scan::Markup;
                } else {
                    scan_ = Scan::Tag;
                    attributes_ = 0;
                }
                break;
            case Scan::Tag:
                if (c == '"' || c == '\'') {
                    scan_ = Scan::Quote;
                    quote_ = c;
                } else if (c == '=' && ++attributes_ > maxAttributes_) {
                    return false;
                } else if (c == '>') {
                    scan_ = Scan::Text;
                }
                break;
            case Scan::Quote:
                if (c == quote_) scan_ = Scan::Tag;
                break;
            case Scan::Markup:
                if (c == '>') scan_ = Scan::Text;
                break;
        }
    }
    return true;
}

qint64 GuardedInput::readData(char* data, qint64 max) {
    if (exceeded() || failed_) return -1;
    // One byte beyond a limit is enough to know it was crossed.
    const std::int64_t total = maxBytes_ - delivered_,
                       token = maxTokenBytes_ - (delivered_ - tokenStart_);
    const std::int64_t room = std::min(total, token);
    if (room < 0) {
        exceeded_ = total < 0 ? Limit::Bytes : Limit::Token;
        return -1;
    }
    const std::int64_t n = source_(data, std::min<std::int64_t>(max, room + 1));
    if (n < 0) {
        failed_ = true;
        return -1;
    }
    delivered_ += n;
    if (n > room) {
        exceeded_ = n > total ? Limit::Bytes : Limit::Token;
        return -1;
    }
    if (!ScanAttributes(data, n)) {
        exceeded_ = Limit::Attributes;
        return -1;
    }
    return n;
}

}  // namespace quorvex
