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
    double difference = 0;  // Balance: assets − (liabilities + equity)
    bool operator==(const ConsistencyWarning&) const = default;
};

// The warnings for the amounts of data, in the order of the enumeration. Amounts are read
// as the diagrams read them; sums equal within rounding of the arithmetic count as equal.
std::vector<ConsistencyWarning> CheckConsistency(const StatementData& data);

// The texts of the warnings joined into one line; empty when there are none.
std::string ConsistencyText(const std::vector<ConsistencyWarning>& warnings);

// "警告: " + period text + ": " + ConsistencyText; empty when there are no warnings.
std::string ConsistencyWarningLine(const StatementData& data);

}  // namespace quorvex
