// The checks every reader's output passes, the bounded text of import messages, inline
// numbers and the EDINET CSV rows and contexts.
#include <gtest/gtest.h>

#include "core/import/EdinetCsv.h"
#include "core/import/FilingChecks.h"
#include "core/import/InlineValues.h"
#include "core/model/Messages.h"

namespace quorvex {
namespace {

TEST(FilingChecks, CalendarDates) {
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"2024-02-29", true},           {"2023-02-29", false},
        {"2024-02-31", false},          {"2024-04-31", false},
        {"0000-01-01", false},          {"1900-02-29", false},
        {"2000-02-29", true},           {"2024-03-31T00:00:00", true},
        {"2024-03-31T24:00:00", true},  {"2024-03-31T99:99garbage", false},
        {"2024-03-31T23:59:60", false}, {"2024-03-31T12:00:00.5+09:00", true},
        {"2024-03-31Z", true},          {"2024-03-31+25:00", false},
        {"2024-03-31 ", false},         {"2024-3-31", false},
        {"+024-03-31", false},          {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        FilingDate d;
        EXPECT_EQ(ParseCalendarDate(c.text, d), c.ok);
    }
}

FilingFact Fact(const char* name, const char* context, const char* value) {
    return {{FilingTaxonomy::Jppfs, name}, context, value, true};
}
FilingContext Instant(const char* id, int year, bool non = false) {
    FilingContext c;
    c.id = id;
    c.instant = true;
    c.end = {year, 3, 31};
    c.nonConsolidated = non;
    return c;
}

TEST(FilingChecks, ConflictsEndTheImportEqualDuplicatesDoNot) {
    struct Case {
        const char* name;
        std::vector<FilingContext> contexts;
        std::vector<FilingFact> facts;
        int messageId;
        std::vector<std::string> mentions;  // in the detail
        std::size_t kept;                   // facts left
    };
    const std::vector<Case> cases = {
        // NetAssets in the balance sheet and in the statement of changes in equity.
        {"equal duplicates",
         {Instant("CurrentYearInstant", 2024), Instant("CurrentYearInstant", 2024)},
         {Fact("NetAssets", "CurrentYearInstant", "100"),
          Fact("NetAssets", "CurrentYearInstant", "100"),
          Fact("CurrentAssets", "CurrentYearInstant", "50")},
         0,
         {},
         2},
        {"one element, one context, two values",
         {Instant("CurrentYearInstant", 2024)},
         {Fact("NetAssets", "CurrentYearInstant", "100"),
          Fact("NetAssets", "CurrentYearInstant", "200")},
         kMsgImportConflict,
         {"NetAssets", "CurrentYearInstant", "「100」", "「200」"},
         0},
        {"two contexts with one id",
         {Instant("C", 2024), Instant("C", 2023)},
         {},
         kMsgImportConflict,
         {"C", "2024-3-31", "2023-3-31"},
         0},
        {"one id, consolidated and not",
         {Instant("C", 2024), Instant("C", 2024, true)},
         {},
         kMsgImportConflict,
         {"個別"},
         0},
        {"a forged line in a conflicting value stays on its line",
         {},
         {Fact("NetAssets", "C", "1"), Fact("NetAssets", "C", "2\n警告: 偽")},
         kMsgImportConflict,
         {"2\xEF\xBF\xBD警告"},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FilingInstance instance;
        instance.contexts = c.contexts;
        instance.facts = c.facts;
        const FilingProblem p = CheckFilingInstance(instance);
        EXPECT_EQ(p.messageId, c.messageId);
        for (const auto& m : c.mentions) EXPECT_NE(p.detail.find(m), std::string::npos) << p.detail;
        EXPECT_EQ(std::count(p.detail.begin(), p.detail.end(), '\n'), c.messageId ? 1 : 0);
        if (c.messageId == 0) {
            EXPECT_EQ(instance.facts.size(), c.kept);
        }
    }
    // Control characters in kept values cannot reach a message either.
    FilingInstance instance;
    instance.facts = {Fact("NetSales", "C",
                           "1\x1b[2J\xC2\x9B"
                           "5")};
    ASSERT_EQ(CheckFilingInstance(instance).messageId, 0);
    EXPECT_EQ(instance.facts[0].value, "1\uFFFD[2J\uFFFD5");
}

TEST(FilingChecks, MessagesAreBounded) {
    const std::string digits(1000000, '7');
    const std::string quoted = QuotedValue(digits);
    EXPECT_EQ(quoted, std::string(200, '7') + "\u2026");
    EXPECT_EQ(QuotedValue("a\r\nb\tc\x7F\xC2\x85\xC2\xA0\xFF"),
              "a\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFD\u00A0\uFFFD");

    std::string many;
    for (int y = 1960; y < 2021; ++y) many += std::to_string(y) + "年3月期: 粗利益(GrossProfit)\n";
    const std::string shown = BoundedDetail(many);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 21);
    EXPECT_NE(shown.find("1979年3月期"), std::string::npos);
    EXPECT_EQ(shown.find("1980年3月期"), std::string::npos);
    EXPECT_TRUE(shown.ends_with("ほか 41期\n")) << shown;
    EXPECT_EQ(BoundedDetail("2024年3月期: " + digits + "\n").size(),
              std::string("2024年3月期: ").size() + 200 - 10 + std::string("\u2026\n").size());
    EXPECT_EQ(BoundedDetail(""), "");
}

TEST(InlineValues, FormatsScaleAndSign) {
    struct Case {
        const char* text;
        const char* format;
        const char* scale;
        bool negative;
        const char* lexical;  // nullptr: refused
    };
    const Case cases[] = {
        // X99001's statements: millions of yen, ixt:numdotdecimal, sign="-" for △.
        {"235,653", "numdotdecimal", "6", false, "235653000000"},
        {"1,234", "num-dot-decimal", "6", true, "-1234000000"},
        {" 12.34 ", "numdotdecimal", "-2", false, "0.1234"},
        {"1.5", "numdotdecimal", "3", false, "1500"},
        {"0", "numdotdecimal", "6", true, "0"},
        {"1.234,5", "numcommadecimal", "0", false, "1234.5"},
        {"－", "zerodash", "6", false, "0"},
        {"-", "fixed-zero", "", false, "0"},
        {"100", "", "", false, "100"},
        {"007", "", "2", false, "700"},
        {"1,23", "numdotdecimal", "0", false, nullptr},
        {"12,3456", "numdotdecimal", "0", false, nullptr},
        {",123", "numdotdecimal", "0", false, nullptr},
        {"1,000", "", "", false, nullptr},
        {"１２３", "numdotdecimal", "0", false, nullptr},
        {"123", "numwordsen", "0", false, nullptr},
        {"123", "numdotdecimal", "x", false, nullptr},
        {"123", "numdotdecimal", "1000", false, nullptr},
        {"", "numdotdecimal", "0", false, nullptr},
        {"5", "zerodash", "0", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + c.format);
        std::string out;
        EXPECT_EQ(InlineNumber(c.text, c.format, c.scale, c.negative, out), c.lexical != nullptr);
        if (c.lexical != nullptr) {
            EXPECT_EQ(out, c.lexical);
        }
    }
}

TEST(EdinetCsv, ContextIdsAndTheirPeriods) {
    CsvDei fy;  // S100W56G (annual report, FY ending 2025-03-31)
    fy.periodType = "FY";
    fy.dates = {{"CurrentFiscalYearStartDateDEI", {2024, 4, 1}},
                {"CurrentFiscalYearEndDateDEI", {2025, 3, 31}},
                {"CurrentPeriodEndDateDEI", {2025, 3, 31}},
                {"PreviousFiscalYearStartDateDEI", {2023, 4, 1}},
                {"PreviousFiscalYearEndDateDEI", {2024, 3, 31}},
                {"ComparativePeriodEndDateDEI", {2024, 3, 31}}};
    CsvDei hy = fy;  // S100WY6A (half-year report to 2025-09-30)
    hy.periodType = "HY";
    hy.dates["CurrentPeriodEndDateDEI"] = {2025, 9, 30};
    hy.dates["CurrentFiscalYearEndDateDEI"] = {2026, 3, 31};
    hy.dates["CurrentFiscalYearStartDateDEI"] = {2025, 4, 1};
    hy.dates["PreviousFiscalYearStartDateDEI"] = {2024, 4, 1};
    hy.dates["PreviousFiscalYearEndDateDEI"] = {2025, 3, 31};
    hy.dates["ComparativePeriodEndDateDEI"] = {2024, 9, 30};
    struct Case {
        const char* id;
        const CsvDei* dei;
        bool given;
        bool instant, non;
        FilingDate start, end;
    };
    const Case cases[] = {
        {"CurrentYearDuration", &fy, true, false, false, {2024, 4, 1}, {2025, 3, 31}},
        {"Prior1YearInstant_NonConsolidatedMember", &fy, true, true, true, {}, {2024, 3, 31}},
        {"CurrentYearInstant", &fy, true, true, false, {}, {2025, 3, 31}},
        {"InterimDuration", &hy, true, false, false, {2025, 4, 1}, {2025, 9, 30}},
        {"Prior1InterimInstant", &hy, true, true, false, {}, {2024, 9, 30}},
        {"Prior1YearInstant", &hy, true, true, false, {}, {2025, 3, 31}},
        {"InterimDuration", &fy, false, false, false, {}, {}},     // no interim in an annual report
        {"Prior2YearDuration", &fy, false, false, false, {}, {}},  // not among the DEI dates
        {"FilingDateInstant", &fy, false, false, false, {}, {}},
        {"CurrentYearDuration_NonConsolidatedMember_CapitalStockMember",
         &fy,
         false,
         false,
         false,
         {},
         {}},
        {"InterimInstant_No1MajorShareholdersMember", &hy, false, false, false, {}, {}},
        {"CurrentYearDurationX", &fy, false, false, false, {}, {}},
        {"currentyearduration", &fy, false, false, false, {}, {}},
        {"CurrentQuarterDuration", &fy, false, false, false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const auto context = CsvContext(c.id, *c.dei);
        ASSERT_EQ(context.has_value(), c.given);
        if (!context) continue;
        EXPECT_EQ(context->id, c.id);
        EXPECT_EQ(context->instant, c.instant);
        EXPECT_EQ(context->nonConsolidated, c.non);
        EXPECT_EQ(context->start, c.start);
        EXPECT_EQ(context->end, c.end);
    }
    CsvDei none;  // without the DEI rows no date is guessed
    EXPECT_FALSE(CsvContext("CurrentYearDuration", none).has_value());
}

// Rows in the shape of S100WY6A.tsv (Nintendo's half-year report), decoded to UTF-8.
const std::string kHeader =
    "\"要素ID\"\t\"項目名\"\t\"コンテキストID\"\t\"相対年度\"\t\"連結・個別\"\t\"期間・時点\"\t"
    "\"ユニットID\"\t\"単位\"\t\"値\"\r\n";
std::string Row(const char* element, const char* context, const char* unit, const char* value) {
    return std::string("\"") + element + "\"\t\"項目名\"\t\"" + context +
           "\"\t\"当中間期\"\t\"連結\"\t\"期間\"\t\"" + unit + "\"\t\"円\"\t\"" + value + "\"\r\n";
}

struct CsvRead {
    FilingProblem problem;
    FilingInstance instance;
};
CsvRead ReadCsv(const std::string& text, std::size_t chunk = 0) {
    EdinetCsvReader reader(100, 1 << 20);
    for (std::size_t at = 0; at < text.size(); at += chunk ? chunk : text.size()) {
        if (!reader.Feed(std::string_view(text).substr(at, chunk ? chunk : text.size()))) break;
    }
    CsvRead out;
    out.problem = reader.Finish(out.instance);
    return out;
}

TEST(EdinetCsv, RowsToFactsAndContexts) {
    const std::string dei =
        Row("jpdei_cor:CurrentFiscalYearStartDateDEI", "FilingDateInstant", "", "2025-04-01") +
        Row("jpdei_cor:CurrentPeriodEndDateDEI", "FilingDateInstant", "", "2025-09-30") +
        Row("jpdei_cor:TypeOfCurrentPeriodDEI", "FilingDateInstant", "", "HY") +
        Row("jpdei_cor:PreviousFiscalYearStartDateDEI", "FilingDateInstant", "", "2024-04-01") +
        Row("jpdei_cor:PreviousFiscalYearEndDateDEI", "FilingDateInstant", "", "2025-03-31") +
        Row("jpdei_cor:ComparativePeriodEndDateDEI", "FilingDateInstant", "", "2024-09-30") +
        Row("jpdei_cor:NextFiscalYearStartDateDEI", "FilingDateInstant", "", "－");
    const std::string facts =
        Row("jppfs_cor:CurrentAssets", "InterimInstant", "JPY", "2950472000000") +
        Row("jppfs_cor:CurrentAssets", "Prior1YearInstant", "JPY", "2772359000000") +
        Row("jppfs_cor:NetSales", "InterimDuration", "JPY", "1099565000000") +
        Row("jppfs_cor:NetSales", "InterimDuration_NonConsolidatedMember", "JPY", "－") +
        Row("jppfs_cor:NetAssets", "InterimInstant_ShareholdersEquityMember", "JPY", "1") +
        Row("jpcrp_cor:NetSalesSummaryOfBusinessResults", "InterimDuration", "JPY", "1") +
        // A quoted value with a tab, a doubled quote and a line break, in a row not kept.
        "\"jpcrp_cor:BusinessRisksTextBlock\"\t\"a\"\t\"InterimDuration\"\t\"\"\t\"\"\t\"\"\t"
        "\"\"\t\"\"\t\"x\t\"\"y\"\"\r\nz\"\r\n";
    struct Case {
        const char* name;
        std::string text;
        int messageId;
    };
    const std::vector<Case> cases = {
        {"half-year report", kHeader + dei + facts, 0},
        {"DEI rows after the facts", kHeader + facts + dei, 0},
        {"without a line end at the end", kHeader + dei + facts.substr(0, facts.size() - 2), 0},
        {"another header", "\"a\"\t\"b\"\r\n" + dei, kMsgImportNotFiling},
        {"empty", "", kMsgImportNotFiling},
        {"a row of eight fields",
         kHeader + "\"a\"\t\"b\"\t\"c\"\t\"d\"\t\"e\"\t\"f\"\t\"g\"\t\"h\"\r\n", kMsgImportBadCsv},
        {"a row of ten fields", kHeader + Row("a", "b", "c", "d\"\t\"e"), kMsgImportBadCsv},
        {"text after a closing quote", kHeader + "\"a\"x\t", kMsgImportBadCsv},
        {"an unclosed quote", kHeader + "\"a", kMsgImportBadCsv},
        {"an impossible DEI date",
         kHeader + Row("jpdei_cor:CurrentPeriodEndDateDEI", "FilingDateInstant", "", "2025-09-31"),
         kMsgImportBadDate},
        {"two DEI dates",
         kHeader + dei +
             Row("jpdei_cor:CurrentPeriodEndDateDEI", "FilingDateInstant", "", "2025-06-30"),
         kMsgImportConflict},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CsvRead whole = ReadCsv(c.text);
        EXPECT_EQ(whole.problem.messageId, c.messageId) << whole.problem.detail;
        // Fed in pieces of any size, the rows are the same.
        for (std::size_t chunk : {1u, 7u}) {
            const CsvRead pieces = ReadCsv(c.text, chunk);
            EXPECT_EQ(pieces.problem.messageId, c.messageId);
            EXPECT_EQ(pieces.instance.facts.size(), whole.instance.facts.size());
        }
        if (c.messageId != 0) continue;
        const FilingInstance& in = whole.instance;
        // The statements' mapped elements with a value (the DEI facts the mapping reads are
        // kept beside them); a fact of a context not understood is handed over like an
        // instance's, without its context.
        std::vector<FilingFact> statement;
        for (const FilingFact& f : in.facts) {
            if (f.element.taxonomy == FilingTaxonomy::Jppfs) statement.push_back(f);
        }
        ASSERT_EQ(statement.size(), 4u);
        EXPECT_EQ(statement[0].element, (FilingElement{FilingTaxonomy::Jppfs, "CurrentAssets"}));
        EXPECT_EQ(statement[0].context, "InterimInstant");
        EXPECT_EQ(statement[0].value, "2950472000000");
        EXPECT_TRUE(statement[0].numeric);
        ASSERT_EQ(in.contexts.size(), 3u);  // only those of kept facts, sorted by id
        EXPECT_EQ(in.contexts[0].id, "InterimDuration");
        EXPECT_EQ(in.contexts[0].start, (FilingDate{2025, 4, 1}));
        EXPECT_EQ(in.contexts[0].end, (FilingDate{2025, 9, 30}));
        EXPECT_EQ(in.contexts[2].id, "Prior1YearInstant");
        EXPECT_EQ(in.contexts[2].end, (FilingDate{2025, 3, 31}));
    }
    // One field beyond the field limit ends the read.
    EdinetCsvReader reader(100, 10);
    EXPECT_FALSE(reader.Feed(kHeader + "\"" + std::string(11, 'x')));
    EXPECT_EQ(reader.problem().messageId, kMsgImportTokenTooLarge);
}

}  // namespace
}  // namespace quorvex
