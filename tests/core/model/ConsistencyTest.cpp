// The four warnings for figures that do not add up, and their texts.
#include <gtest/gtest.h>

#include "core/model/Consistency.h"
#include "core/model/NumberText.h"

namespace quorvex {
namespace {

StatementData Figures(const std::array<const char*, kItemCount>& amounts, const char* period = "") {
    StatementData d;
    for (int i = 0; i < kItemCount; ++i)
        d.items[static_cast<std::size_t>(i)].amount = amounts[static_cast<std::size_t>(i)];
    d.period.text = period;
    return d;
}

using I = ConsistencyIssue;

TEST(Consistency, EachWarning) {
    struct Case {
        const char* name;
        std::array<const char*, kItemCount> amounts;
        std::vector<ConsistencyWarning> expected;
    };
    const std::vector<Case> cases = {
        {"all add up", {"60", "40", "30", "20", "50", "100", "70", "30", "20", "10"}, {}},
        {"empty window", {"", "", "", "", "", "", "", "", "", ""}, {}},
        {"assets exceed claims",
         {"60", "41", "30", "20", "50", "100", "70", "30", "20", "10"},
         {{I::Balance, 1}}},
        {"claims exceed assets",
         {"60", "40", "30", "20", "60010000", "100", "70", "30", "20", "10"},
         {{I::Balance, -60009950}}},
        {"sales", {"60", "40", "30", "20", "50", "101", "70", "30", "20", "10"}, {{I::Sales, 1}}},
        {"gross profit",
         {"60", "40", "30", "20", "50", "100", "70", "30", "25", "10"},
         {{I::GrossProfit, -5}}},
        {"negative equity",
         {"60", "40", "80", "30", "-10", "100", "70", "30", "20", "10"},
         {{I::NegativeEquity, 0}}},
        {"all four",
         {"1", "0", "0", "0", "-5", "1", "0", "0", "0", "1"},
         {{I::Balance, 6}, {I::Sales, 1}, {I::GrossProfit, -1}, {I::NegativeEquity, 0}}},
        {"a loss that still adds up",
         {"60", "40", "30", "20", "50", "100", "70", "30", "40", "-10"},
         {}},
        {"typed fractions", {"0.1", "0.2", "0.3", "0", "0", "0", "0", "0", "0", "0"}, {}},
        // Figures as filings publish them, rounded to millions: the parts miss the total by
        // rounding only (Nintendo's 2024 balance sheet is 1 million off), up to one unit
        // per amount added; one unit more is a fault.
        {"millions: balance off by rounding",
         {"2573302000000", "578092000000", "479276000000", "67119000000", "2604998000000",
          "1671865000000", "717530000000", "954335000000", "273838000000", "680497000000"},
         {}},
        {"millions: four units is still rounding",
         {"104000000", "0", "100000000", "0", "0", "0", "0", "0", "0", "0"},
         {}},
        {"millions: five units is not",
         {"105000000", "0", "100000000", "0", "0", "0", "0", "0", "0", "0"},
         {{I::Balance, 5000000}}},
        {"millions: sales two units off, then three",
         {"0", "0", "0", "0", "0", "102000000", "50000000", "50000000", "0", "50000000"},
         {}},
        {"millions: sales three units off",
         {"0", "0", "0", "0", "0", "103000000", "50000000", "50000000", "0", "50000000"},
         {{I::Sales, 3000000}}},
        {"thousands", {"2001000", "0", "2000000", "0", "0", "0", "0", "0", "0", "0"}, {}},
        {"one amount in whole yen: exact rule",
         {"2001000", "1", "2000000", "0", "0", "0", "0", "0", "0", "0"},
         {{I::Balance, 1001}}},
        {"hundreds are not rounded figures",
         {"200100", "0", "200000", "0", "0", "0", "0", "0", "0", "0"},
         {{I::Balance, 100}}},
        {"large whole yen",
         {"900000000000001", "0", "900000000000000", "0", "0", "0", "0", "0", "0", "0"},
         {{I::Balance, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckConsistency(Figures(c.amounts)), c.expected);
    }
    EXPECT_TRUE(CheckConsistency(SampleStatementData()).empty());
}

TEST(Consistency, Texts) {
    EXPECT_EQ(ConsistencyText({}), "");
    EXPECT_EQ(ConsistencyText({{I::Balance, 12345}}), "貸借の合計が一致しません(差額 1万2345円)");
    EXPECT_EQ(ConsistencyText({{I::Balance, -100000000}}), "貸借の合計が一致しません(差額 ▲1億円)");
    EXPECT_EQ(ConsistencyText({{I::Balance, 0.5}}), "貸借の合計が一致しません(差額 0.5円)");
    EXPECT_EQ(ConsistencyText({{I::Sales, 1000000}, {I::NegativeEquity, 0}}),
              "売上高≠売上原価＋粗利益(差額 100万円)、債務超過(自己資本がマイナス)");
    EXPECT_EQ(ConsistencyText({{I::GrossProfit, -5}}), "粗利益≠固定費＋経常利益(差額 ▲5円)");

    EXPECT_EQ(ConsistencyWarningLine(Figures(
                  {"60", "40", "30", "20", "50", "100", "70", "30", "20", "10"}, "2024年3月期")),
              "");
    EXPECT_EQ(ConsistencyWarningLine(Figures(
                  {"60", "40", "80", "30", "-10", "100", "70", "30", "20", "10"}, "2024年3月期")),
              "警告: 2024年3月期: 債務超過(自己資本がマイナス)");
    // The period as the diagram files name it: "2" is 第2期 (第2期_BS.jpeg).
    EXPECT_EQ(ConsistencyWarningLine(
                  Figures({"60", "50", "30", "20", "50", "100", "70", "30", "20", "10"}, "2")),
              "警告: 第2期: 貸借の合計が一致しません(差額 10円)");
}

TEST(Consistency, RoundingIsToldApart) {
    struct Case {
        const char* name;
        std::array<const char*, kItemCount> amounts;
        double unit;
        bool rounding;
    };
    const Case cases[] = {
        {"millions, 1 million off",
         {"2000000", "1000000", "2000000", "0", "0", "0", "0", "0", "0", "0"},
         1e6,
         true},
        {"capped at millions",
         {"3000000000", "0", "2000000000", "0", "0", "0", "0", "0", "0", "0"},
         1e6,
         false},
        {"all add up", {"60", "40", "30", "20", "50", "100", "70", "30", "20", "10"}, 0, false},
        {"fractions", {"1000.5", "0", "0", "0", "0", "0", "0", "0", "0", "0"}, 0, false},
        {"empty window", {"", "", "", "", "", "", "", "", "", ""}, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RoundingUnit(Figures(c.amounts)), c.unit);
        EXPECT_EQ(HasRoundingDifference(Figures(c.amounts)), c.rounding);
    }
}

}  // namespace
}  // namespace quorvex
