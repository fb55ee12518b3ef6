#pragma once
// Figures that do not add up. Each diagram is scaled to its own total, so a balance sheet
// that does not balance or a profit and loss whose parts miss the whole still draws; these
// checks say so, for typed, loaded and imported figures alike.

#include <string>
#include <vector>

#include "core/model/StatementData.h"

namespace quorvex {

enum class ConsistencyIssue {
    Balance,         // 流動資産 + 固定資産 ≠ 流動負債 + 固定負債 + 自己資本
    Sales,           // 売上高 ≠ 売上原価 + 粗利益
    GrossProfit,     // 粗利益 ≠ 固定費 + 経常利益
    NegativeEquity,  // 自己資本 < 0 (債務超過)
};

struct ConsistencyWarning {
    ConsistencyIssue issue;
    // Balance: assets − (liabilities + equity); Sales: 売上高 − (売上原価 + 粗利益);
    // GrossProfit: 粗利益 − (固定費 + 経常利益).
    double difference = 0;
    bool operator==(const ConsistencyWarning&) const = default;
};

// The warnings for the amounts of data, in the order of the enumeration. Amounts are read
// as the diagrams read them; sums equal within rounding of the arithmetic count as equal.
// Published figures are rounded: when every amount is a multiple of 10^k (3 ≤ k ≤ 6), a
// difference of at most one unit of 10^k per amount added is rounding, not a warning.
std::vector<ConsistencyWarning> CheckConsistency(const StatementData& data);

// 10^k when every amount is a whole multiple of it (the largest k, 3 ≤ k ≤ 6); else 0.
double RoundingUnit(const StatementData& data);

// True when the sums differ, but only within the rounding that RoundingUnit allows.
bool HasRoundingDifference(const StatementData& data);

// The texts of the warnings joined into one line; empty when there are none.
std::string ConsistencyText(const std::vector<ConsistencyWarning>& warnings);

// "警告: " + the period as the files name it ("第2期" for "2") + ": " + ConsistencyText;
// empty when there are no warnings.
std::string ConsistencyWarningLine(const StatementData& data);

}  // namespace quorvex
