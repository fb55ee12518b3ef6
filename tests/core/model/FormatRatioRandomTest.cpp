// FormatRatio against an independent exact reference: the double's exact decimal
// expansion by big-integer arithmetic, rounded half up to 17 significant digits, then half
// up at n decimals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/model/NumberText.h"

namespace quorvex {
namespace {

// Little-endian base-10 digits.
using Digits = std::vector<int>;

void MulSmall(Digits& d, int m) {
    int carry = 0;
    for (int& x : d) {
        const int v = x * m + carry;
        x = v % 10;
        carry = v / 10;
    }
    while (carry) {
        d.push_back(carry % 10);
        carry /= 10;
    }
}

// Exact decimal expansion of |v| as a digit string and the count of fraction digits.
std::pair<std::string, int> ExactDecimal(double v) {
    int exp = 0;
    const double frac = std::frexp(std::fabs(v), &exp);  // |v| = frac * 2^exp
    std::uint64_t mant = static_cast<std::uint64_t>(std::ldexp(frac, 53));
    exp -= 53;
    Digits d;
    while (mant) {
        d.push_back(static_cast<int>(mant % 10));
        mant /= 10;
    }
    if (d.empty()) d.push_back(0);
    int fractionDigits = 0;
    if (exp >= 0) {
        for (int k = 0; k < exp; ++k) MulSmall(d, 2);
    } else {
        // m * 2^-k = m * 5^k / 10^k
        for (int k = 0; k < -exp; ++k) MulSmall(d, 5);
        fractionDigits = -exp;
    }
    std::string s;
    for (auto it = d.rbegin(); it != d.rend(); ++it) s += static_cast<char>('0' + *it);
    if (static_cast<int>(s.size()) <= fractionDigits)
        s.insert(0, static_cast<std::size_t>(fractionDigits - static_cast<int>(s.size()) + 1), '0');
    return {s, fractionDigits};
}

// Rounds the digit string half up at index keep (digits [0, keep) stay); returns digits.
std::string RoundHalfUpAt(std::string s, std::size_t keep) {
    if (keep >= s.size()) return s;
    const bool up = s[keep] >= '5';
    s.resize(keep);
    if (up) {
        long k = static_cast<long>(s.size()) - 1;
        while (k >= 0 && s[static_cast<std::size_t>(k)] == '9')
            s[static_cast<std::size_t>(k--)] = '0';
        if (k >= 0)
            ++s[static_cast<std::size_t>(k)];
        else
            s.insert(s.begin(), '1');
    }
    return s;
}

std::string Reference(double v, int n) {
    auto [s, fracDigits] = ExactDecimal(v);
    int intDigits = static_cast<int>(s.size()) - fracDigits;
    // 17 significant digits, half up.
    const std::size_t first = s.find_first_not_of('0');
    if (first != std::string::npos && s.size() - first > 17) {
        const std::size_t length = s.size();
        std::string r = RoundHalfUpAt(s, first + 17);
        if (r.size() > first + 17) ++intDigits;  // carried into a new leading digit
        r.append(length - first - 17, '0');
        s = r;
    }
    // n decimals, half up.
    if (fracDigits < n) s.append(static_cast<std::size_t>(n - fracDigits), '0'), fracDigits = n;
    std::string kept = RoundHalfUpAt(s, static_cast<std::size_t>(intDigits + n));
    const int newInt = static_cast<int>(kept.size()) - n;
    std::string intPart = kept.substr(0, static_cast<std::size_t>(newInt));
    const std::size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    std::string out = std::signbit(v) ? "-" : "";
    out += intPart;
    if (n > 0) {
        // Appended piece by piece: "." + string trips GCC 12's -Wrestrict at -O3.
        out += '.';
        out.append(kept, static_cast<std::size_t>(newInt));
    }
    return out;
}

TEST(FormatRatioRandom, MatchesExactReference) {
    std::mt19937_64 rng(20261209);
    std::uniform_real_distribution<double> ratio(-400.0, 400.0);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> ticks(-4000000, 4000000);
    std::uniform_int_distribution<int> expo(-30, 40);
    long checked = 0;
    for (int i = 0; i < 100000; ++i) {
        double v = 0;
        switch (kind(rng)) {
            case 0:
                v = ratio(rng);
                break;
            // Exact halves at every decimal place: the ties the rounding rule is about.
            case 1:
                v = ticks(rng) / 8.0 / std::pow(10.0, i % 5);
                break;
            case 2:
                v = std::nextafter(ticks(rng) * 0.0005, (i & 1) ? 1e9 : -1e9);
                break;
            default:
                v = std::ldexp(ratio(rng), expo(rng));
                break;
        }
        for (int n = 0; n <= 5; ++n) {
            ASSERT_EQ(FormatRatio(v, n), Reference(v, n)) << std::hexfloat << v << " n=" << n;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 600000);
}

TEST(FormatRatioRandom, ReferenceAgreesWithKnownTexts) {
    EXPECT_EQ(Reference(12.5, 0), "13");
    EXPECT_EQ(Reference(0.125, 2), "0.13");
    EXPECT_EQ(Reference(-1.4e-14, 2), "-0.00");
    EXPECT_EQ(Reference(33.333333333333336, 2), "33.33");
    EXPECT_EQ(Reference(99.995, 2), "100.00");
    EXPECT_EQ(Reference(9.9999999999999995, 0), "10");
}

}  // namespace
}  // namespace quorvex
