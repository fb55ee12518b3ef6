#include <gtest/gtest.h>

#include <limits>

#include "core/model/Indicators.h"
#include "core/model/NumberText.h"

namespace quorvex {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using Amounts = std::array<double, kItemCount>;

// Current assets 600, fixed assets 400, current liabilities 300, fixed liabilities 200,
// equity 500 (capital 1000); sales 2000, cost 1500, gross 500, fixed 400, profit 100.
constexpr Amounts kOrdinary = {600, 400, 300, 200, 500, 2000, 1500, 500, 400, 100};

Amounts With(std::initializer_list<std::pair<int, double>> changes) {
    Amounts a = kOrdinary;
    for (const auto& [i, v] : changes) a[std::size_t(i)] = v;
    return a;
}

TEST(Indicators, EachRatioForOrdinaryZeroNegativeAndNonFiniteInputs) {
    struct Case {
        const char* what;
        Amounts amounts;
        int indicator;
        std::string text;  // with 2 decimals, as the window shows it
    };
    const Case cases[] = {
        {"ordinary", kOrdinary, kCurrentRatio, "200.00%"},
        {"ordinary", kOrdinary, kEquityRatio, "50.00%"},
        {"ordinary", kOrdinary, kFixedRatio, "80.00%"},
        {"ordinary", kOrdinary, kFixedLongTermRatio, "57.14%"},
        {"ordinary", kOrdinary, kCapitalTurnover, "2.00回"},
        {"ordinary", kOrdinary, kGrossMargin, "25.00%"},
        {"ordinary", kOrdinary, kProfitOnSales, "5.00%"},
        {"ordinary", kOrdinary, kProfitOnCapital, "10.00%"},
        {"ordinary", kOrdinary, kMarginalProfitRatio, "25.00%"},
        {"ordinary", kOrdinary, kBreakEvenSales, "1600円"},
        {"ordinary", kOrdinary, kBreakEvenRatio, "80.00%"},
        {"ordinary", kOrdinary, kSafetyMargin, "20.00%"},
        // A zero denominator.
        {"no current liabilities", With({{2, 0}}), kCurrentRatio, "―"},
        {"no capital", With({{2, 0}, {3, 0}, {4, 0}}), kEquityRatio, "―"},
        {"no capital", With({{2, 0}, {3, 0}, {4, 0}}), kCapitalTurnover, "―"},
        {"no capital", With({{2, 0}, {3, 0}, {4, 0}}), kProfitOnCapital, "―"},
        {"no equity", With({{4, 0}}), kFixedRatio, "―"},
        {"no long-term funds", With({{3, 0}, {4, 0}}), kFixedLongTermRatio, "―"},
        {"no sales", With({{5, 0}}), kGrossMargin, "―"},
        {"no sales", With({{5, 0}}), kProfitOnSales, "―"},
        {"no sales", With({{5, 0}}), kBreakEvenSales, "―"},
        {"no sales", With({{5, 0}}), kSafetyMargin, "―"},
        {"no marginal profit", With({{7, 0}}), kMarginalProfitRatio, "0.00%"},
        {"no marginal profit", With({{7, 0}}), kBreakEvenSales, "―"},
        {"no marginal profit", With({{7, 0}}), kBreakEvenRatio, "―"},
        {"no fixed costs", With({{8, 0}}), kBreakEvenSales, "0円"},
        {"no fixed costs", With({{8, 0}}), kSafetyMargin, "100.00%"},
        // Negative amounts are used as they are, except where a rule says otherwise.
        {"negative equity", With({{4, -100}}), kFixedRatio, "―"},
        {"negative equity", With({{4, -100}}), kEquityRatio, "-25.00%"},
        {"negative marginal profit", With({{7, -100}}), kBreakEvenSales, "―"},
        {"loss", With({{8, 600}, {9, -100}}), kProfitOnSales, "-5.00%"},
        {"loss", With({{8, 600}, {9, -100}}), kBreakEvenSales, "2400円"},
        {"loss", With({{8, 600}, {9, -100}}), kBreakEvenRatio, "120.00%"},
        {"loss", With({{8, 600}, {9, -100}}), kSafetyMargin, "-20.00%"},
        {"negative fixed costs", With({{8, -400}}), kBreakEvenSales, "▲1600円"},
        // Non-finite amounts (an overflowing text) never reach the texts as inf or nan.
        {"infinite current liabilities", With({{2, kInf}}), kCurrentRatio, "―"},
        {"infinite current assets", With({{0, kInf}}), kCurrentRatio, "―"},
        {"nan equity", With({{4, kNaN}}), kEquityRatio, "―"},
        {"nan equity", With({{4, kNaN}}), kFixedRatio, "―"},
        {"infinite sales", With({{5, kInf}}), kBreakEvenSales, "―"},
        {"infinite sales", With({{5, kInf}}), kCapitalTurnover, "―"},
        {"infinite fixed costs", With({{8, kInf}}), kBreakEvenSales, "―"},
        {"infinite fixed costs", With({{8, kInf}}), kSafetyMargin, "―"},
        // Overflow of the quotient itself.
        {"huge over tiny", With({{0, 1e308}, {2, 1e-308}}), kCurrentRatio, "―"},
    };
    for (const Case& c : cases) {
        const IndicatorValues v = ComputeIndicators(c.amounts);
        EXPECT_EQ(IndicatorText(v, c.indicator, 2), c.text)
            << c.what << ": " << kIndicators[std::size_t(c.indicator)].name;
    }
}

TEST(Indicators, TextsFollowTheDecimalsAndTheProgramsRounding) {
    const IndicatorValues v = ComputeIndicators(kOrdinary);
    // 400 / 700 = 57.142857...: rounded half up at the chosen decimal, like the ratio labels.
    EXPECT_EQ(IndicatorText(v, kFixedLongTermRatio, 0), "57%");
    EXPECT_EQ(IndicatorText(v, kFixedLongTermRatio, 5), "57.14286%");
    EXPECT_EQ(IndicatorPlainText(v, kFixedLongTermRatio, 1), "57.1");
    // 回 always with two decimals, amounts as digits.
    EXPECT_EQ(IndicatorPlainText(v, kCapitalTurnover, 0), "2.00");
    EXPECT_EQ(IndicatorPlainText(v, kBreakEvenSales, 3), "1600");
    IndicatorValues none;
    for (int i = 0; i < kIndicatorCount; ++i) EXPECT_EQ(IndicatorPlainText(none, i, 2), "―");
}

TEST(Indicators, TheProfitRatiosTakeTheProfitItemsNameAsShown) {
    StatementData data = SampleStatementData();
    EXPECT_EQ(IndicatorName(kProfitOnSales, data), "売上高経常利益率");
    EXPECT_EQ(IndicatorColumnName(kProfitOnCapital, data), "総資本経常利益率(%)");
    data.items[9].name = "税引前利益";
    EXPECT_EQ(IndicatorName(kProfitOnSales, data), "売上高税引前利益率");
    EXPECT_EQ(IndicatorName(kProfitOnCapital, data), "総資本税引前利益率");
    EXPECT_EQ(IndicatorName(kEquityRatio, data), "自己資本比率");
    data.items[9].name.clear();
    EXPECT_EQ(IndicatorName(kProfitOnSales, data), "売上高経常利益率");
    EXPECT_EQ(IndicatorColumnName(kCapitalTurnover, data), "総資本回転率(回)");
    EXPECT_EQ(IndicatorColumnName(kBreakEvenSales, data), "損益分岐点売上高(円)");
}

TEST(Indicators, SamplePeriodLinesOfTheIndicatorsFile) {
    StatementData data = SampleStatementData();
    data.period.text = "5";
    EXPECT_EQ(IndicatorsHeaderLine(data, ','),
              "期,流動比率(%),自己資本比率(%),固定比率(%),固定長期適合率(%),総資本回転率(回),"
              "売上高総利益率(%),売上高経常利益率(%),総資本経常利益率(%),限界利益率(%),"
              "損益分岐点売上高(円),損益分岐点比率(%),安全余裕率(%)");
    EXPECT_EQ(IndicatorsPeriodLine(data, '\t', 2),
              "第5期\t111.29\t18.77\t102.82\t70.22\t2.01\t14.66\t0.54\t1.09\t14.66\t"
              "7661016625\t96.30\t3.70");
    // The window's texts of the same period.
    const IndicatorValues v = ComputeIndicators(data);
    EXPECT_EQ(IndicatorText(v, kBreakEvenSales, 2), "76億6101万6625円");
    EXPECT_EQ(IndicatorText(v, kCapitalTurnover, 2), "2.01回");
}

TEST(Indicators, BreakEvenTextSaysWhenTheSalesFallShort) {
    EXPECT_EQ(BreakEvenText(96.3), "損益分岐点 96.3%");
    EXPECT_EQ(BreakEvenText(100), "損益分岐点 100.0%");
    EXPECT_EQ(BreakEvenText(133.333), "損益分岐点 133.3%\n(売上高が届かず赤字)");
}

}  // namespace
}  // namespace quorvex
