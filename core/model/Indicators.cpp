#include "core/model/Indicators.h"

#include <cmath>

#include "core/model/NumberText.h"

namespace quorvex {
namespace {

// numerator x scale / denominator, or nothing for a zero or non-finite denominator or a
// non-finite result.
std::optional<double> Quotient(double numerator, double denominator, double scale = 1.0) {
    if (!std::isfinite(numerator) || !std::isfinite(denominator) || denominator == 0) {
        return std::nullopt;
    }
    const double q = numerator * scale / denominator;
    if (!std::isfinite(q)) return std::nullopt;
    return q;
}

}  // namespace

IndicatorValues ComputeIndicators(const std::array<double, kItemCount>& a) {
    const double currentAssets = a[0], fixedAssets = a[1], currentLiabilities = a[2];
    const double fixedLiabilities = a[3], equity = a[4];
    const double sales = a[5], gross = a[7], fixedCosts = a[8], profit = a[9];
    const double capital = currentLiabilities + fixedLiabilities + equity;

    IndicatorValues v;
    v[kCurrentRatio] = Quotient(currentAssets, currentLiabilities, 100);
    v[kEquityRatio] = Quotient(equity, capital, 100);
    if (equity > 0) v[kFixedRatio] = Quotient(fixedAssets, equity, 100);
    v[kFixedLongTermRatio] = Quotient(fixedAssets, fixedLiabilities + equity, 100);
    v[kCapitalTurnover] = Quotient(sales, capital);
    v[kGrossMargin] = Quotient(gross, sales, 100);
    v[kProfitOnSales] = Quotient(profit, sales, 100);
    v[kProfitOnCapital] = Quotient(profit, capital, 100);
    v[kMarginalProfitRatio] = v[kGrossMargin];
    // Marginal profit as a fraction of sales; no break-even point without a positive one.
    const std::optional<double> marginal = Quotient(gross, sales);
    if (marginal && *marginal > 0) v[kBreakEvenSales] = Quotient(fixedCosts, *marginal);
    if (v[kBreakEvenSales]) v[kBreakEvenRatio] = Quotient(*v[kBreakEvenSales], sales, 100);
    if (v[kBreakEvenRatio]) v[kSafetyMargin] = 100 - *v[kBreakEvenRatio];
    return v;
}

IndicatorValues ComputeIndicators(const StatementData& data) {
    std::array<double, kItemCount> amounts{};
    for (int i = 0; i < kItemCount; ++i) amounts[i] = ParseAmount(data.items[i].amount);
    return ComputeIndicators(amounts);
}

std::string IndicatorName(int i, const StatementData& data) {
    const IndicatorDefinition& d = kIndicators.at(std::size_t(i));
    std::string name(d.name);
    if (d.namedByProfit) {
        const std::string& profit = data.items[kPlFirst + 4].name;
        name += profit.empty() ? std::string(kCanonicalNames[kPlFirst + 4]) : profit;
        name += "率";
    }
    return name;
}

std::string IndicatorColumnName(int i, const StatementData& data) {
    std::string name = IndicatorName(i, data);
    switch (kIndicators.at(std::size_t(i)).unit) {
        case IndicatorUnit::Percent:
            return name + "(%)";
        case IndicatorUnit::Times:
            return name + "(回)";
        case IndicatorUnit::Yen:
            return name + "(円)";
    }
    return name;
}

std::string IndicatorPlainText(const IndicatorValues& values, int i, int decimals) {
    const std::optional<double>& v = values.at(std::size_t(i));
    if (!v) return std::string(kNoValue);
    switch (kIndicators.at(std::size_t(i)).unit) {
        case IndicatorUnit::Percent:
            return FormatRatio(*v, decimals);
        case IndicatorUnit::Times:
            return FormatRatio(*v, 2);
        case IndicatorUnit::Yen:
            return FormatRatio(*v, 0);
    }
    return std::string(kNoValue);
}

std::string IndicatorText(const IndicatorValues& values, int i, int decimals) {
    std::string text = IndicatorPlainText(values, i, decimals);
    if (!values.at(std::size_t(i))) return text;
    switch (kIndicators.at(std::size_t(i)).unit) {
        case IndicatorUnit::Percent:
            return text + "%";
        case IndicatorUnit::Times:
            return text + "回";
        case IndicatorUnit::Yen:
            return FormatKanjiAmount(text);
    }
    return text;
}

std::string IndicatorsHeaderLine(const StatementData& names, char separator) {
    std::string line = "期";
    for (int i = 0; i < kIndicatorCount; ++i) {
        line += separator;
        line += IndicatorColumnName(i, names);
    }
    return line;
}

std::string IndicatorsPeriodLine(const StatementData& data, char separator, int decimals) {
    const IndicatorValues values = ComputeIndicators(data);
    std::string line = data.period.Normalised();
    for (int i = 0; i < kIndicatorCount; ++i) {
        line += separator;
        line += IndicatorPlainText(values, i, decimals);
    }
    return line;
}

std::string BreakEvenText(double ratio) {
    std::string text = "損益分岐点 ";
    text += FormatRatio(ratio, 1);
    text += "%";
    if (ratio > 100) text += "\n(売上高が届かず赤字)";
    return text;
}

}  // namespace quorvex
