#include <gtest/gtest.h>

#include "core/model/StatementData.h"

namespace quorvex {
namespace {

TEST(PeriodLabel, Normalisation) {
    struct Case {
        const char* text;
        const char* normalised;
    };
    const Case cases[] = {
        {"12", "第12期"},     {"007", "第007期"}, {"0", "第0期"}, {"5", "第5期"},
        {"第12期", "第12期"}, {"12期", "12期"},   {"12 ", "12 "}, {" 12", " 12"},
        {"１２", "１２"},     {"", ""},           {"1a", "1a"},   {"-1", "-1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PeriodLabel{c.text}.Normalised(), c.normalised) << c.text;
    }
}

TEST(StatementData, DefaultColoursRepeatAcrossStatementsAndMatchStoredValues) {
    const Colour stored[] = {15459068, 11789051, 16576989, 14545121, 15785446};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(DefaultItemColours[i], DefaultItemColours[i + 5]);
        EXPECT_EQ(DefaultItemColours[i], stored[i]);
    }
    // Red sits in the low byte: current assets are pink (252, 226, 235).
    EXPECT_EQ(RedOf(DefaultItemColours[0]), 252);
    EXPECT_EQ(GreenOf(DefaultItemColours[0]), 226);
    EXPECT_EQ(BlueOf(DefaultItemColours[0]), 235);
    EXPECT_EQ(MakeColour(251, 226, 179), DefaultItemColours[1]);
}

TEST(StatementData, OptionDefaultsAreTheFirstStartValues) {
    const DiagramOptions d;
    EXPECT_EQ(d, (DiagramOptions{1, 2, 10, 2, 10, 1, 1, 1}));
    const OutputOptions o;
    EXPECT_EQ(o, (OutputOptions{1, 0, 0}));
    EXPECT_EQ(StatementOf(4), Statement::BalanceSheet);
    EXPECT_EQ(StatementOf(5), Statement::ProfitAndLoss);
}

}  // namespace
}  // namespace quorvex
