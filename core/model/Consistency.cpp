#include "core/model/Consistency.h"

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

std::vector<ConsistencyWarning> CheckConsistency(const StatementData& data) {
    std::vector<ConsistencyWarning> out;
    const double assets = Amount(data, 0) + Amount(data, 1);
    const double claims = Amount(data, 2) + Amount(data, 3) + Amount(data, 4);
    if (Differs(assets, claims)) out.push_back({ConsistencyIssue::Balance, assets - claims});
    if (Differs(Amount(data, 5), Amount(data, 6) + Amount(data, 7))) {
        out.push_back({ConsistencyIssue::Sales, 0});
    }
    if (Differs(Amount(data, 7), Amount(data, 8) + Amount(data, 9))) {
        out.push_back({ConsistencyIssue::GrossProfit, 0});
    }
    if (Amount(data, 4) < 0) out.push_back({ConsistencyIssue::NegativeEquity, 0});
    return out;
}

std::string ConsistencyText(const std::vector<ConsistencyWarning>& warnings) {
    std::string out;
    for (const ConsistencyWarning& w : warnings) {
        if (!out.empty()) out += "、";
        switch (w.issue) {
            case ConsistencyIssue::Balance: {
                std::string text = MessageText(kMsgWarnBalance);
                if (const auto at = text.find("%s"); at != std::string::npos) {
                    text.replace(at, 2, DifferenceText(w.difference));
                }
                out += text;
                break;
            }
            case ConsistencyIssue::Sales:
                out += MessageText(kMsgWarnSales);
                break;
            case ConsistencyIssue::GrossProfit:
                out += MessageText(kMsgWarnGrossProfit);
                break;
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
    return MessageText(kMsgWarnPrefix) + data.period.text + ": " + text;
}

}  // namespace quorvex
