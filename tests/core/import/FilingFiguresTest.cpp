// The mapping from kept facts to periods, the period names, the merge of several filings
// and the CSV they give.
#include <gtest/gtest.h>

#include "core/import/FilingFigures.h"
#include "core/model/Messages.h"

namespace quorvex {
namespace {

FilingDate D(int y, int m, int d) {
    return {y, m, d};
}

TEST(FilingFigures, DatesAndPeriodNames) {
    struct Case {
        const char* text;
        bool ok;
        FilingDate date;
        const char* name;
    };
    const Case cases[] = {
        {"2024-03-31", true, D(2024, 3, 31), "2024年3月期"},
        {"2023-12-31", true, D(2023, 12, 31), "2023年12月期"},
        {"2025-02-28T00:00:00", true, D(2025, 2, 28), "2025年2月期"},
        {"2024-3-31", false, {}, ""},
        {"2024-13-01", false, {}, ""},
        {"2024-00-10", false, {}, ""},
        {"2024-03-31Z", false, {}, ""},
        {"20x4-03-31", false, {}, ""},
        {"", false, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        FilingDate d;
        EXPECT_EQ(ParseFilingDate(c.text, d), c.ok);
        if (c.ok) {
            EXPECT_EQ(d, c.date);
            EXPECT_EQ(FilingPeriodName(d), c.name);
        }
    }
    EXPECT_EQ(DayNumber(D(1970, 1, 1)), 0);
    EXPECT_EQ(DayNumber(D(2024, 3, 31)) - DayNumber(D(2023, 4, 1)), 365);  // leap year 2024
}

// One fiscal year's facts, consolidated unless told; PL facts in a duration from start.
struct YearFacts {
    FilingDate start, end;
    std::vector<std::pair<std::string, std::string>> values;
    bool nonConsolidated = false;
};

FilingInstance Instance(const std::vector<YearFacts>& years) {
    FilingInstance in;
    int n = 0;
    for (const auto& y : years) {
        const std::string d = "d" + std::to_string(n), i = "i" + std::to_string(n);
        ++n;
        in.contexts.push_back({d, false, y.start, y.end, y.nonConsolidated});
        in.contexts.push_back({i, true, {}, y.end, y.nonConsolidated});
        for (const auto& [element, value] : y.values) {
            const bool pl = element == "NetSales" || element == "CostOfSales" ||
                            element == "GrossProfit" || element == "OrdinaryIncome";
            in.facts.push_back({{FilingTaxonomy::Jppfs, element}, pl ? d : i, value, true});
        }
    }
    return in;
}

const std::vector<std::pair<std::string, std::string>> kFull = {
    {"CurrentAssets", "100"},     {"NoncurrentAssets", "200"},     {"DeferredAssets", "5"},
    {"CurrentLiabilities", "50"}, {"NoncurrentLiabilities", "60"}, {"NetAssets", "195"},
    {"NetSales", "1000"},         {"CostOfSales", "700"},          {"GrossProfit", "300"},
    {"OrdinaryIncome", "120"},    {"OperatingIncome", "999"},
};

TEST(FilingFigures, MappingTable) {
    const MappedFiling m =
        MapFiling(Instance({{D(2023, 4, 1), D(2024, 3, 31), kFull}}), FilingScope::Preferred);
    ASSERT_EQ(m.problem.messageId, 0) << m.problem.detail;
    ASSERT_EQ(m.periods.size(), 1u);
    const std::array<std::string, kItemCount> expected = {"100",  "205", "50",  "60",  "195",
                                                          "1000", "700", "300", "180", "120"};
    EXPECT_EQ(m.periods[0].amounts, expected);
    EXPECT_FALSE(m.nonConsolidated);

    // Written forms of whole numbers.
    auto facts = kFull;
    facts[0].second = "+0100";
    facts[9].second = "-120.00";
    const MappedFiling w =
        MapFiling(Instance({{D(2023, 4, 1), D(2024, 3, 31), facts}}), FilingScope::Preferred);
    ASSERT_EQ(w.periods.size(), 1u);
    EXPECT_EQ(w.periods[0].amounts[0], "100");
    EXPECT_EQ(w.periods[0].amounts[9], "-120");
    EXPECT_EQ(w.periods[0].amounts[8], "420");  // 300 − (−120)

    facts[9].second = "120.5";  // not whole yen
    EXPECT_EQ(MapFiling(Instance({{D(2023, 4, 1), D(2024, 3, 31), facts}}), FilingScope::Preferred)
                  .problem.messageId,
              kMsgImportBadAmount);
}

TEST(FilingFigures, FiscalYearIsTheLongestDurationEndingThatDay) {
    FilingInstance in = Instance({{D(2023, 4, 1), D(2024, 3, 31), kFull}});
    // A quarter ending on the same day, with other sales.
    in.contexts.push_back({"q4", false, D(2024, 1, 1), D(2024, 3, 31), false});
    in.facts.push_back({{FilingTaxonomy::Jppfs, "NetSales"}, "q4", "250", true});
    const MappedFiling m = MapFiling(in, FilingScope::Preferred);
    ASSERT_EQ(m.periods.size(), 1u);
    EXPECT_EQ(m.periods[0].amounts[5], "1000");
}

TEST(FilingFigures, BalanceSheetOnlyNamesTheProfitAndLossItems) {
    FilingInstance in = Instance({{D(2023, 4, 1), D(2024, 3, 31), kFull}});
    std::erase_if(in.facts, [](const FilingFact& f) { return f.context == "d0"; });
    const MappedFiling m = MapFiling(in, FilingScope::Preferred);
    EXPECT_EQ(m.problem.messageId, kMsgImportMissingItems);
    EXPECT_EQ(m.problem.detail,
              "2024年3月期: 売上高(NetSales)、売上原価(CostOfSales)、粗利益(GrossProfit)、"
              "経常利益(OrdinaryIncome)\n");
}

TEST(FilingFigures, MergeKeepsTheLaterFiling) {
    auto period = [](int year, const char* sales) {
        ImportedPeriod p;
        p.end = D(year, 3, 31);
        p.name = FilingPeriodName(p.end);
        p.amounts.fill("0");
        p.amounts[5] = sales;
        return p;
    };
    struct Case {
        const char* name;
        std::vector<std::vector<ImportedPeriod>> filings;
        std::vector<std::pair<std::string, std::string>> expected;  // name, sales
    };
    const std::vector<Case> cases = {
        {"one filing",
         {{period(2023, "1"), period(2024, "2")}},
         {{"2023年3月期", "1"}, {"2024年3月期", "2"}}},
        {"restated prior year: later file wins",
         {{period(2023, "1"), period(2024, "2")}, {period(2024, "20"), period(2025, "3")}},
         {{"2023年3月期", "1"}, {"2024年3月期", "20"}, {"2025年3月期", "3"}}},
        {"newest given first: still the later on the line wins, oldest first",
         {{period(2024, "20"), period(2025, "3")}, {period(2023, "1"), period(2024, "2")}},
         {{"2023年3月期", "1"}, {"2024年3月期", "2"}, {"2025年3月期", "3"}}},
        {"nothing", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto merged = MergePeriods(c.filings);
        std::vector<std::pair<std::string, std::string>> got;
        for (const auto& p : merged) got.emplace_back(p.name, p.amounts[5]);
        EXPECT_EQ(got, c.expected);
    }
}

TEST(FilingFigures, CsvText) {
    ImportedPeriod p;
    p.end = D(2024, 3, 31);
    p.name = "2024年3月期";
    p.amounts = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "-10"};
    EXPECT_EQ(
        ImportCsvText({p}),
        "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n"
        "2024年3月期,1,2,3,4,5,6,7,8,9,-10\n");
    EXPECT_EQ(
        ImportCsvText({}),
        "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n");
}

}  // namespace
}  // namespace quorvex
