#include "core/import/InlineValues.h"

#include <algorithm>
#include <charconv>

namespace quorvex {
namespace {

std::string_view Trimmed(std::string_view s) {
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = s.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

// Digits with group separators (in groups of three) and an optional fraction.
bool SplitNumber(std::string_view text, char group, char point, std::string& whole,
                 std::string& fraction) {
    const auto at = text.find(point);
    const std::string_view w = text.substr(0, at);
    const std::string_view f = at == std::string_view::npos ? "" : text.substr(at + 1);
    if (w.empty() || (at != std::string_view::npos && f.empty())) return false;
    std::size_t run = 0;
    bool grouped = false;
    for (const char c : w) {
        if (c >= '0' && c <= '9') {
            whole += c;
            ++run;
        } else if (group != '\0' && (c == group || c == ' ')) {
            if (run == 0 || (grouped && run != 3)) return false;
            grouped = true;
            run = 0;
        } else {
            return false;
        }
    }
    if (run == 0 || (grouped && run != 3)) return false;
    for (const char c : f) {
        if (c < '0' || c > '9') return false;
        fraction += c;
    }
    return true;
}

}  // namespace

bool InlineNumber(std::string_view text, std::string_view format, std::string_view scale,
                  bool negative, std::string& lexical) {
    text = Trimmed(text);
    std::string whole, fraction;
    if (format == "zerodash" || format == "fixed-zero") {
        // A dash for nothing: "－", "-", "—".
        if (text != "-" && text != "\u2212" && text != "\uFF0D" && text != "\u2014" &&
            text != "\u2013") {
            return false;
        }
        whole = "0";
    } else if (format.empty()) {
        if (!SplitNumber(text, '\0', '.', whole, fraction)) return false;
    } else if (format == "numdotdecimal" || format == "num-dot-decimal") {
        if (!SplitNumber(text, ',', '.', whole, fraction)) return false;
    } else if (format == "numcommadecimal" || format == "num-comma-decimal") {
        if (!SplitNumber(text, '.', ',', whole, fraction)) return false;
    } else {
        return false;
    }
    int shift = 0;
    scale = Trimmed(scale);
    if (!scale.empty()) {
        const char* first = scale.data() + (scale.front() == '+' ? 1 : 0);
        const auto [end, ec] = std::from_chars(first, scale.data() + scale.size(), shift);
        if (ec != std::errc() || end != scale.data() + scale.size() || shift < -64 || shift > 64) {
            return false;
        }
    }
    // Moves the point by the scale: digits pass from the fraction to the whole or back.
    if (shift > 0) {
        fraction.resize(std::max<std::size_t>(fraction.size(), static_cast<std::size_t>(shift)),
                        '0');
        whole += fraction.substr(0, static_cast<std::size_t>(shift));
        fraction.erase(0, static_cast<std::size_t>(shift));
    } else if (shift < 0) {
        const auto n = static_cast<std::size_t>(-shift);
        if (whole.size() < n + 1) whole.insert(0, n + 1 - whole.size(), '0');
        fraction.insert(0, whole.substr(whole.size() - n));
        whole.erase(whole.size() - n);
    }
    const auto lead = whole.find_first_not_of('0');
    whole = lead == std::string::npos ? "0" : whole.substr(lead);
    const auto last = fraction.find_last_not_of('0');
    fraction = last == std::string::npos ? "" : fraction.substr(0, last + 1);
    const bool zero = whole == "0" && fraction.empty();
    lexical = (negative && !zero ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction);
    return true;
}

}  // namespace quorvex
