// Amount texts: ParseAmount against std::from_chars, Atol against wide arithmetic, and the
// kanji amount text, which must give back every integer amount that a double holds exactly.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "core/model/NumberText.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void CheckParseAmount(std::string_view text) {
    const double got = quorvex::ParseAmount(text);
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::string_view rest = text.substr(i);
    // from_chars also reads "inf" and "nan", which are not amounts.
    if (rest.empty() || !(IsDigit(rest[0]) || rest[0] == '.')) {
        FUZZ_CHECK(got == 0.0);
        return;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (ec == std::errc::invalid_argument) {
        FUZZ_CHECK(got == 0.0);
        return;
    }
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Overflow gives an infinity, underflow something below the normal range.
        FUZZ_CHECK(std::isinf(got) || std::fabs(got) < std::numeric_limits<double>::min());
        return;
    }
    FUZZ_CHECK(got == (negative ? -value : value));
}

void CheckAtol(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > (1LL << 40)) v = 1LL << 40;
    }
    if (negative) v = -v;
    const long long lo = std::numeric_limits<std::int32_t>::min();
    const long long hi = std::numeric_limits<std::int32_t>::max();
    const long long expected = v < lo ? lo : (v > hi ? hi : v);
    FUZZ_CHECK(quorvex::Atol(text) == expected);
    FUZZ_CHECK(quorvex::Atoi(text) == expected);
}

// Sums the parts of "▲12兆3億45万6789円" back into a number; -1 when the text has another form.
long long KanjiValue(std::string text) {
    if (text.starts_with("▲")) text.erase(0, std::string_view("▲").size());
    long long total = 0, part = 0;
    bool digits = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsDigit(text[i])) {
            part = part * 10 + (text[i++] - '0');
            digits = true;
            continue;
        }
        long long unit = 0;
        std::string_view u;
        for (const auto& [name, scale] :
             {std::pair<std::string_view, long long>{"兆", 1000000000000LL},
              {"億", 100000000LL},
              {"万", 10000LL},
              {"円", 1LL}}) {
            if (std::string_view(text).substr(i).starts_with(name)) {
                unit = scale;
                u = name;
                break;
            }
        }
        if (unit == 0) return -1;
        if (!digits && unit != 1) return -1;
        total += part * unit;
        part = 0;
        digits = false;
        i += u.size();
        if (unit == 1) return i == text.size() ? total : -1;
    }
    return -1;
}

void CheckKanjiAmount(std::string_view text) {
    if (text.empty()) return;
    const std::string kanji = quorvex::FormatKanjiAmount(text);
    FUZZ_CHECK(kanji.ends_with("円"));
    // A plain integer of up to 15 digits is exact in a double: the text must say it whole.
    std::string_view digits = text;
    if (digits.front() == '-') digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 15) return;
    for (char c : digits) {
        if (!IsDigit(c)) return;
    }
    const long long value = std::stoll(std::string(digits));
    FUZZ_CHECK(KanjiValue(kanji) == value);
    FUZZ_CHECK(kanji.starts_with("▲") == (text.front() == '-' && value != 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckParseAmount(text);
    CheckAtol(text);
    CheckKanjiAmount(text);
    const double amount = quorvex::ParseAmount(text);
    for (int decimals = -1; decimals <= 6; ++decimals) {
        FUZZ_CHECK(!quorvex::FormatRatio(amount, decimals).empty());
    }
    (void)quorvex::TruncToInt32(amount);
    const std::string grouped = quorvex::FormatCommaGrouped(text);
    FUZZ_CHECK(grouped.size() >= text.size());
    return 0;
}
