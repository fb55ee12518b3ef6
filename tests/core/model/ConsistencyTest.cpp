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
        {"sales", {"60", "40", "30", "20", "50", "101", "70", "30", "20", "10"}, {{I::Sales, 0}}},
        {"gross profit",
         {"60", "40", "30", "20", "50", "100", "70", "30", "25", "10"},
         {{I::GrossProfit, 0}}},
        {"negative equity",
         {"60", "40", "80", "30", "-10", "100", "70", "30", "20", "10"},
         {{I::NegativeEquity, 0}}},
        {"all four",
         {"1", "0", "0", "0", "-5", "1", "0", "0", "0", "1"},
         {{I::Balance, 6}, {I::Sales, 0}, {I::GrossProfit, 0}, {I::NegativeEquity, 0}}},
        {"a loss that still adds up",
         {"60", "40", "30", "20", "50", "100", "70", "30", "40", "-10"},
         {}},
        {"typed fractions", {"0.1", "0.2", "0.3", "0", "0", "0", "0", "0", "0", "0"}, {}},
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
    EXPECT_EQ(ConsistencyText({{I::Sales, 0}, {I::NegativeEquity, 0}}),
              "売上高≠売上原価＋粗利益、債務超過(自己資本がマイナス)");
    EXPECT_EQ(ConsistencyText({{I::GrossProfit, 0}}), "粗利益≠固定費＋経常利益");

    EXPECT_EQ(ConsistencyWarningLine(Figures(
                  {"60", "40", "30", "20", "50", "100", "70", "30", "20", "10"}, "2024年3月期")),
              "");
    EXPECT_EQ(ConsistencyWarningLine(Figures(
                  {"60", "40", "80", "30", "-10", "100", "70", "30", "20", "10"}, "2024年3月期")),
              "警告: 2024年3月期: 債務超過(自己資本がマイナス)");
}

}  // namespace
}  // namespace quorvex
