#include "core/model/Consistency.h"

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>

#include "core/model/Messages.h"
#include "core/model/NumberText.h"

namespace quorvex {
namespace {

// Equal when the difference is within a few units of the last place of the larger side:
// whole yen below 10^15 compare exactly, typed fractions do not raise false alarms.
bool Differs(double a, double b) {
    const double tolerance = 4 * DBL_EPSILON * std::max(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) > tolerance;
}

double Amount(const StatementData& data, ItemIndex i) {
    return ParseAmount(data.items[static_cast<std::size_t>(i)].amount);
}

// "▲1万2345円"; a fraction of a yen keeps its digits.
std::string DifferenceText(double d) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
    const std::string digits(buffer, ec == std::errc() ? end : buffer);
    if (std::fabs(d) < 1) return digits + "円";
    return FormatKanjiAmount(digits);
}

}  // namespace

double RoundingUnit(const StatementData& data) {
    double unit = 1e6;
    bool any = false;
    for (int i = 0; i < kItemCount; ++i) {
        const std::string& text = data.items[static_cast<std::size_t>(i)].amount;
        const double a = std::fabs(Amount(data, i));
        if (a == 0 && text.empty()) continue;
        any = true;
        // Doubles hold whole yen exactly below 2^53, far above any published amount.
        if (a != std::floor(a) || a >= 9007199254740992.0) return 0;
        while (unit >= 1e3 && std::fmod(a, unit) != 0) unit /= 10;
        if (unit < 1e3) return 0;
    }
    return any ? unit : 0;
}

namespace {

struct Sums {
    double difference;
    int added;  // amounts in the sums
};

std::array<Sums, 3> Differences(const StatementData& data) {
    const double assets = Amount(data, 0) + Amount(data, 1);
    const double claims = Amount(data, 2) + Amount(data, 3) + Amount(data, 4);
    return {{{assets - claims, 5},
             {Amount(data, 5) - (Amount(data, 6) + Amount(data, 7)), 3},
             {Amount(data, 7) - (Amount(data, 8) + Amount(data, 9)), 3}}};
}

// Sides that differ beyond the rounding of arithmetic and, for rounded figures, of the
// published amounts: each of n amounts may be half a unit off, n − 1 units in all at most.
bool Beyond(const Sums& s, double a, double b, double unit) {
    if (!Differs(a, b)) return false;
    return unit == 0 || std::fabs(s.difference) > unit * (s.added - 1);
}

}  // namespace

std::vector<ConsistencyWarning> CheckConsistency(const StatementData& data) {
    std::vector<ConsistencyWarning> out;
    const double unit = RoundingUnit(data);
    const auto d = Differences(data);
    const double assets = Amount(data, 0) + Amount(data, 1);
    const double claims = Amount(data, 2) + Amount(data, 3) + Amount(data, 4);
    if (Beyond(d[0], assets, claims, unit)) {
        out.push_back({ConsistencyIssue::Balance, d[0].difference});
    }
    if (Beyond(d[1], Amount(data, 5), Amount(data, 6) + Amount(data, 7), unit)) {
        out.push_back({ConsistencyIssue::Sales, d[1].difference});
    }
    if (Beyond(d[2], Amount(data, 7), Amount(data, 8) + Amount(data, 9), unit)) {
        out.push_back({ConsistencyIssue::GrossProfit, d[2].difference});
    }
    if (Amount(data, 4) < 0) out.push_back({ConsistencyIssue::NegativeEquity, 0});
    return out;
}

bool HasRoundingDifference(const StatementData& data) {
    const auto d = Differences(data);
    const double unit = RoundingUnit(data);
    for (const Sums& s : d) {
        if (s.difference != 0 && unit != 0 && std::fabs(s.difference) <= unit * (s.added - 1)) {
            return true;
        }
    }
    return false;
}

std::string ConsistencyText(const std::vector<ConsistencyWarning>& warnings) {
    std::string out;
    for (const ConsistencyWarning& w : warnings) {
        if (!out.empty()) out += "、";
        switch (w.issue) {
            case ConsistencyIssue::Balance:
            case ConsistencyIssue::Sales:
            case ConsistencyIssue::GrossProfit: {
                std::string text =
                    MessageText(w.issue == ConsistencyIssue::Balance ? kMsgWarnBalance
                                : w.issue == ConsistencyIssue::Sales ? kMsgWarnSales
                                                                     : kMsgWarnGrossProfit);
                if (const auto at = text.find("%s"); at != std::string::npos) {
                    text.replace(at, 2, DifferenceText(w.difference));
                }
                out += text;
                break;
            }
            case ConsistencyIssue::NegativeEquity:
                out += MessageText(kMsgWarnNegativeEquity);
                break;
        }
    }
    return out;
}

std::string ConsistencyWarningLine(const StatementData& data) {
    const std::string text = ConsistencyText(CheckConsistency(data));
    if (text.empty()) return text;
    return MessageText(kMsgWarnPrefix) + data.period.Normalised() + ": " + text;
}

}  // namespace quorvex
