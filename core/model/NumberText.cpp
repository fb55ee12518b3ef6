#include "core/model/NumberText.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace quorvex {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// strtod in the "C" locale: the process locale (which Qt sets from the environment) must
// not change the decimal point.
double StrtodC(const std::string& s) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(s.c_str(), nullptr, cLocale);
}

std::int64_t ReadSaturatedInteger(std::string_view text, std::int64_t lo, std::int64_t hi) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;  // magnitude, capped just past the range
    const std::int64_t cap = std::max(-lo, hi) + 1;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > cap) value = cap;
    }
    if (negative) value = -value;
    return value < lo ? lo : (value > hi ? hi : value);
}

}  // namespace

double ParseAmount(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return StrtodC(std::string(text.substr(start, i - start)));
}

std::int32_t Atol(std::string_view text) {
    return static_cast<std::int32_t>(ReadSaturatedInteger(
        text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

int Atoi(std::string_view text) {
    return static_cast<int>(ReadSaturatedInteger(text, std::numeric_limits<int>::min(),
                                                 std::numeric_limits<int>::max()));
}

std::int32_t TruncToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::string FormatKanjiAmount(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    double x = ParseAmount(text);
    if (x == 0) return "0円";

    const std::int32_t cho = TruncToInt32(x / 1e12);
    x = x - cho * 1e12;
    std::int32_t oku = 0, man = 0, ichi = 0;
    if (x > 0) {
        oku = TruncToInt32(x / 1e8);
        x = x - oku * 1e8;
        if (x > 0) {
            man = TruncToInt32(x / 1e4);
            x = x - man * 1e4;
            if (x > 0) ichi = TruncToInt32(x);
        }
    }
    std::string out = negative ? "▲" : "";
    if (cho > 0) out += std::to_string(cho) + "兆";
    if (oku > 0) out += std::to_string(oku) + "億";
    if (man > 0) out += std::to_string(man) + "万";
    if (ichi > 0) out += std::to_string(ichi);
    out += "円";
    return out;
}

std::array<double, 5> ComputeBsRatios(const std::array<std::string_view, 5>& amounts) {
    const double a0 = ParseAmount(amounts[0]), a1 = ParseAmount(amounts[1]);
    const double a2 = ParseAmount(amounts[2]), a3 = ParseAmount(amounts[3]);
    const double a4 = ParseAmount(amounts[4]);
    std::array<double, 5> r{};
    const double t = a1 + a0;
    if (t != 0) {
        r[0] = a0 * 100 / t;
        r[1] = 100 - r[0];
    }
    const double s = (a3 + a2) + a4;
    if (s != 0) {
        r[2] = a2 * 100 / s;
        r[3] = a3 * 100 / s;
        r[4] = (100 - r[2]) - r[3];
    }
    return r;
}

std::array<double, 5> ComputePlRatios(const std::array<std::string_view, 5>& amounts) {
    const double p5 = ParseAmount(amounts[0]), p6 = ParseAmount(amounts[1]);
    const double p7 = ParseAmount(amounts[2]), p8 = ParseAmount(amounts[3]);
    std::array<double, 5> r{};
    r[0] = p5 != 0 ? 100 : 0;
    const double g = p7 + p6;
    if (g != 0) {
        r[1] = p6 * 100 / g;
        r[2] = 100 - r[1];
        r[3] = 100 * p8 / g;
        r[4] = r[2] - r[3];
    }
    return r;
}

namespace {
std::array<std::string_view, 5> AmountsOf(const StatementData& data, int first) {
    std::array<std::string_view, 5> a;
    for (int k = 0; k < 5; ++k) a[k] = data.items[first + k].amount;
    return a;
}
}  // namespace

void ComputeBsRatios(StatementData& data) {
    const auto r = ComputeBsRatios(AmountsOf(data, kBsFirst));
    for (int k = 0; k < 5; ++k) data.ratios[kBsFirst + k] = r[k];
}

StatementData SampleStatementData() {
    StatementData data;
    for (int i = 0; i < kItemCount; ++i) {
        data.items[i].name = std::string(kCanonicalNames[i]);
        data.items[i].amount = std::string(kSampleAmounts[i]);
        data.items[i].colour = DefaultItemColours[i];
    }
    ComputeBsRatios(data);
    ComputePlRatios(data);
    return data;
}

void ComputePlRatios(StatementData& data) {
    const auto r = ComputePlRatios(AmountsOf(data, kPlFirst));
    for (int k = 0; k < 5; ++k) data.ratios[kPlFirst + k] = r[k];
}

namespace {

// The first 18 significant decimal digits of |value| (truncated, not rounded) and the
// decimal exponent of the first one: |value| = 0.d1d2d3... * 10^(exp10 + 1).
struct LeadingDigits {
    char digits[18];
    int exp10;
};

LeadingDigits First18Digits(double magnitude) {
    LeadingDigits out{};
    // 25 digits rounded by to_chars cannot disturb digit 18 unless digits 19..25 are all
    // nines; then the exact expansion (at most 767 significant digits) decides.
    char buf[1024];
    auto render = [&](int precision) {
        auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                                 precision);
        return std::string_view(buf, static_cast<std::size_t>(res.ptr - buf));
    };
    std::string_view s = render(24);
    bool ambiguous = true;
    for (int k = 19; k <= 25; ++k) {
        if (s[static_cast<std::size_t>(k)] != '9') ambiguous = false;  // s = "d.ddd...e+XX"
    }
    if (ambiguous) s = render(800);
    // s: d '.' ddddd... 'e' sign exp
    out.digits[0] = s[0];
    for (int k = 1; k < 18; ++k) out.digits[k] = s[static_cast<std::size_t>(k + 1)];
    const auto e = s.find('e');
    int exp = 0;
    std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exp);
    out.exp10 = exp;
    return out;
}

}  // namespace

std::string FormatRatio(double ratio, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 5) decimals = 5;
    if (std::isnan(ratio)) return "nan";
    if (std::isinf(ratio)) return ratio < 0 ? "-inf" : "inf";
    const bool negative = std::signbit(ratio);
    const double magnitude = std::fabs(ratio);

    // Decimal digits of the magnitude, most significant first, with the position of the
    // decimal point: value = 0.D * 10^pointPos where D is the digit string.
    std::string digits;
    int pointPos = 1;
    if (magnitude != 0) {
        const LeadingDigits lead = First18Digits(magnitude);
        digits.assign(lead.digits, 17);
        pointPos = lead.exp10 + 1;
        if (lead.digits[17] >= '5') {  // half up to 17 significant digits
            int k = 16;
            while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') digits[k--] = '0';
            if (k >= 0) {
                ++digits[static_cast<std::size_t>(k)];
            } else {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                ++pointPos;
            }
        }
    } else {
        digits = "0";
    }

    // Make the digit string cover every place from the integer part to the n-th decimal
    // plus one guard digit.
    if (pointPos < 1) {
        digits.insert(0, static_cast<std::size_t>(1 - pointPos), '0');
        pointPos = 1;
    }
    const std::size_t wanted = static_cast<std::size_t>(pointPos + decimals + 1);
    if (digits.size() < wanted) digits.append(wanted - digits.size(), '0');
    const bool roundUp = digits[wanted - 1] >= '5';
    digits.resize(wanted - 1);
    if (roundUp) {
        long k = static_cast<long>(digits.size()) - 1;
        while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9')
            digits[static_cast<std::size_t>(k--)] = '0';
        if (k >= 0) {
            ++digits[static_cast<std::size_t>(k)];
        } else {
            digits.insert(digits.begin(), '1');
            ++pointPos;
        }
    }
    // Strip leading zeros of the integer part but keep one.
    std::size_t lead = 0;
    while (lead + 1 < static_cast<std::size_t>(pointPos) && digits[lead] == '0') ++lead;
    std::string out = negative ? "-" : "";
    out.append(digits, lead, static_cast<std::size_t>(pointPos) - lead);
    if (decimals > 0) {
        out += '.';
        out.append(digits, static_cast<std::size_t>(pointPos), static_cast<std::size_t>(decimals));
    }
    return out;
}

namespace {
// The number of UTF-8 characters of text (bytes that are not continuation bytes).
std::size_t CharCount(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}
// The byte offset where character charIndex starts; the text's size past the last one.
std::size_t ByteOffsetOfChar(std::string_view text, std::size_t charIndex) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (n == charIndex) return i;
            ++n;
        }
    }
    return text.size();
}
}  // namespace

std::string FormatCommaGrouped(std::string_view text) {
    const std::size_t length = CharCount(text);
    if (length <= 3 || length >= 16) return std::string(text);
    std::size_t firstGroup = length % 3 == 0 ? 3 : length % 3;
    std::string out;
    std::size_t prev = 0;
    for (std::size_t c = firstGroup; c <= length; c += 3) {
        const std::size_t at = ByteOffsetOfChar(text, c);
        if (prev != 0) out += ',';
        out.append(text.substr(prev, at - prev));
        prev = at;
    }
    return out;
}

}  // namespace quorvex
