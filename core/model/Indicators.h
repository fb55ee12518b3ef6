#pragma once
// The key ratios a reader takes from the two diagrams (流動比率 … 安全余裕率), as pure
// functions of the ten amounts, and their texts: as the window shows them (percent with the
// ratio decimals, 回, kanji amounts) and as the indicators file writes them (plain numbers).
// A value that cannot be computed (a zero or non-finite denominator, or a rule below) has
// no number and is shown as kNoValue, never as inf or nan.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/StatementData.h"

namespace quorvex {

enum IndicatorIndex : int {
    kCurrentRatio = 0,     // 流動比率
    kEquityRatio,          // 自己資本比率
    kFixedRatio,           // 固定比率
    kFixedLongTermRatio,   // 固定長期適合率
    kCapitalTurnover,      // 総資本回転率
    kGrossMargin,          // 売上高総利益率
    kProfitOnSales,        // 売上高経常利益率 (the item name of the profit row)
    kProfitOnCapital,      // 総資本経常利益率
    kMarginalProfitRatio,  // 限界利益率
    kBreakEvenSales,       // 損益分岐点売上高
    kBreakEvenRatio,       // 損益分岐点比率
    kSafetyMargin,         // 安全余裕率
    kIndicatorCount,
};

enum class IndicatorUnit { Percent, Times, Yen };

struct IndicatorDefinition {
    // The name; for the two profit ratios the part before the profit row's item name.
    std::string_view name;
    IndicatorUnit unit;
    bool namedByProfit = false;  // name + the profit item's name + "率"
};

inline constexpr std::array<IndicatorDefinition, kIndicatorCount> kIndicators = {{
    {"流動比率", IndicatorUnit::Percent},
    {"自己資本比率", IndicatorUnit::Percent},
    {"固定比率", IndicatorUnit::Percent},
    {"固定長期適合率", IndicatorUnit::Percent},
    {"総資本回転率", IndicatorUnit::Times},
    {"売上高総利益率", IndicatorUnit::Percent},
    {"売上高", IndicatorUnit::Percent, true},
    {"総資本", IndicatorUnit::Percent, true},
    {"限界利益率", IndicatorUnit::Percent},
    {"損益分岐点売上高", IndicatorUnit::Yen},
    {"損益分岐点比率", IndicatorUnit::Percent},
    {"安全余裕率", IndicatorUnit::Percent},
}};

// The four the comparison sheet shows under each column, in this order.
inline constexpr std::array<IndicatorIndex, 4> kSheetIndicators = {
    kEquityRatio, kCurrentRatio, kCapitalTurnover, kBreakEvenRatio};

inline constexpr std::string_view kNoValue = "―";

// Percent values in percent, 総資本回転率 in times, 損益分岐点売上高 in yen.
using IndicatorValues = std::array<std::optional<double>, kIndicatorCount>;

// From the ten amounts in item order (ParseAmount values).
IndicatorValues ComputeIndicators(const std::array<double, kItemCount>& amounts);
// From the period's amount texts.
IndicatorValues ComputeIndicators(const StatementData& data);

// The name of indicator i for the period: the profit ratios take the profit row's item name
// as shown (経常利益, or 税引前利益 for an IFRS period); an empty name counts as 経常利益.
std::string IndicatorName(int i, const StatementData& data);
// The name with its unit, as the indicators file's header names the column: "自己資本比率(%)".
std::string IndicatorColumnName(int i, const StatementData& data);

// As the window shows it: "18.77%", "1.70回", "76億6000万円", kNoValue.
std::string IndicatorText(const IndicatorValues& values, int i, int decimals);
// As the indicators file writes it: "18.77", "1.70", "7660000000", kNoValue.
std::string IndicatorPlainText(const IndicatorValues& values, int i, int decimals);

// The indicators file: "期" then every column name, and per period its normalised period
// text then every value, separated by separator (UTF-8, no line end).
std::string IndicatorsHeaderLine(const StatementData& names, char separator);
std::string IndicatorsPeriodLine(const StatementData& data, char separator, int decimals);

// The break-even text beside the line on the profit and loss diagram: "損益分岐点 96.4%",
// with a second line saying the sales fall short when the ratio is above 100.
std::string BreakEvenText(double ratio);

}  // namespace quorvex
