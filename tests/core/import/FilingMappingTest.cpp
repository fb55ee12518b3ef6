// The standard and basis a filing states, the periods of each kind of report, the fallbacks
// of each standard and the filer's own statement lines. Figures and element names are
// those of real filings: the FSA's sample IFRS annual report (X99002, FY to 2026-03-31),
// Nintendo's half-year report (E02367, 2025-04-01..2025-09-30) and hand-cut holding-company
// and transition-year statements in the same form.
#include <gtest/gtest.h>

#include "core/import/FilingFigures.h"
#include "core/model/Messages.h"

namespace quorvex {
namespace {

using T = FilingTaxonomy;

struct Fact {
    T taxonomy;
    const char* name;
    const char* value;
    bool duration = false;
};

// One filing: DEI facts, and for each (start, end) the facts of its contexts; the
// balance-sheet facts at end.
struct Filing {
    std::vector<std::pair<const char*, const char*>> dei;
    struct Period {
        FilingDate start, end;
        std::vector<Fact> facts;
        bool nonConsolidated = false;
    };
    std::vector<Period> periods;
    FilingLinkbases linkbases;
};

FilingInstance Instance(const Filing& f) {
    FilingInstance in;
    in.contexts.push_back({"FilingDateInstant", true, {}, {2026, 6, 12}, false});
    for (const auto& [name, value] : f.dei) {
        in.facts.push_back({{T::Jpdei, name}, "FilingDateInstant", value, false});
    }
    int n = 0;
    for (const auto& p : f.periods) {
        const std::string d = "d" + std::to_string(n), i = "i" + std::to_string(n);
        ++n;
        in.contexts.push_back({d, false, p.start, p.end, p.nonConsolidated});
        in.contexts.push_back({i, true, {}, p.end, p.nonConsolidated});
        for (const Fact& x : p.facts) {
            in.facts.push_back({{x.taxonomy, x.name}, x.duration ? d : i, x.value, true});
        }
    }
    in.linkbases = f.linkbases;
    return in;
}

// X99002's consolidated IFRS figures of the year to 2026-03-31.
const std::vector<Fact> kIfrs2026 = {
    {T::Jpigp, "CurrentAssetsIFRS", "191211000000"},
    {T::Jpigp, "NonCurrentAssetsIFRS", "211996000000"},
    {T::Jpigp, "TotalCurrentLiabilitiesIFRS", "121318000000"},
    {T::Jpigp, "NonCurrentLabilitiesIFRS", "53159000000"},
    {T::Jpigp, "EquityIFRS", "228730000000"},
    {T::Jpigp, "RevenueIFRS", "323609000000", true},
    {T::Jpigp, "CostOfSalesIFRS", "234801000000", true},
    {T::Jpigp, "GrossProfitIFRS", "88808000000", true},
    {T::Jpigp, "ProfitLossBeforeTaxIFRS", "11286000000", true},
};
// Its parent's Japanese-GAAP statements.
const std::vector<Fact> kParent2026 = {
    {T::Jppfs, "CurrentAssets", "135189000000"},
    {T::Jppfs, "NoncurrentAssets", "177658000000"},
    {T::Jppfs, "CurrentLiabilities", "62350000000"},
    {T::Jppfs, "NoncurrentLiabilities", "141196000000"},
    {T::Jppfs, "NetAssets", "109301000000"},
    {T::Jppfs, "NetSales", "210346000000", true},
    {T::Jppfs, "CostOfSales", "185493000000", true},
    {T::Jppfs, "GrossProfit", "24853000000", true},
    {T::Jppfs, "OrdinaryIncome", "15445000000", true},
};
const std::vector<std::pair<const char*, const char*>> kIfrsDei = {
    {"FilerNameInJapaneseDEI", "Ｂ株式会社"},
    {"AccountingStandardsDEI", "IFRS"},
    {"WhetherConsolidatedFinancialStatementsArePreparedDEI", "true"},
    {"TypeOfCurrentPeriodDEI", "FY"},
    {"CurrentPeriodEndDateDEI", "2026-03-31"},
};

std::vector<Fact> Without(std::vector<Fact> facts, std::string_view name) {
    std::erase_if(facts, [&](const Fact& f) { return f.name == name; });
    return facts;
}

std::vector<std::pair<const char*, const char*>> Dei(
    std::vector<std::pair<const char*, const char*>> dei, const char* name, const char* value) {
    for (auto& d : dei) {
        if (std::string_view(d.first) == name) d.second = value;
    }
    return dei;
}

constexpr FilingDate kStart{2025, 4, 1}, kEnd{2026, 3, 31};

struct Case {
    const char* name;
    Filing filing;
    FilingScope scope;
    int messageId;
    std::vector<std::string> periods;  // "name:amounts joined by ,"
    std::string note;                  // in the notes (or the detail of a refusal)
    std::string explain;               // in the first period's --explain text
};

std::string Row(const ImportedPeriod& p) {
    std::string text = p.name;
    for (const auto& a : p.amounts) text += "," + a;
    return text;
}

TEST(FilingMapping, StandardBasisPeriodsAndFallbacks) {
    const std::string ifrsRow =
        "2026年3月期,191211000000,211996000000,121318000000,53159000000,228730000000,"
        "323609000000,234801000000,88808000000,77522000000,11286000000";
    const std::string parentRow =
        "2026年3月期,135189000000,177658000000,62350000000,141196000000,109301000000,"
        "210346000000,185493000000,24853000000,9408000000,15445000000";
    Filing ifrs{kIfrsDei, {{kStart, kEnd, kIfrs2026}, {kStart, kEnd, kParent2026, true}}, {}};

    // A holding company: 営業収益, no cost-of-sales line.
    std::vector<Fact> holding =
        Without(Without(Without(kParent2026, "NetSales"), "CostOfSales"), "GrossProfit");
    holding.push_back({T::Jppfs, "OperatingRevenue1", "50000000000", true});
    const std::vector<std::pair<const char*, const char*>> jgaap = {
        {"FilerNameInJapaneseDEI", "Ｈホールディングス株式会社"},
        {"AccountingStandardsDEI", "Japan GAAP"},
        {"WhetherConsolidatedFinancialStatementsArePreparedDEI", "true"}};

    // Nintendo's half-year report: the current half year and the prior one's income
    // statement, whose balance sheet is the prior year end's.
    const std::vector<Fact> half = {
        {T::Jppfs, "CurrentAssets", "2950472000000"},
        {T::Jppfs, "NoncurrentAssets", "685714000000"},
        {T::Jppfs, "CurrentLiabilities", "738007000000"},
        {T::Jppfs, "NoncurrentLiabilities", "79789000000"},
        {T::Jppfs, "NetAssets", "2818390000000"},
        {T::Jppfs, "NetSales", "1099565000000", true},
        {T::Jppfs, "CostOfSales", "701099000000", true},
        {T::Jppfs, "GrossProfit", "398466000000", true},
        {T::Jppfs, "OrdinaryIncome", "236040000000", true},
    };
    const std::vector<Fact> priorHalfPl = {
        {T::Jppfs, "NetSales", "266672000000", true},
        {T::Jppfs, "CostOfSales", "109000000000", true},
        {T::Jppfs, "GrossProfit", "157672000000", true},
        {T::Jppfs, "OrdinaryIncome", "123000000000", true},
    };
    auto halfDei = jgaap;
    halfDei.push_back({"TypeOfCurrentPeriodDEI", "HY"});
    halfDei.push_back({"CurrentPeriodEndDateDEI", "2025-09-30"});
    const std::string halfRow =
        "2025年9月中間期,2950472000000,685714000000,738007000000,79789000000,2818390000000,"
        "1099565000000,701099000000,398466000000,162426000000,236040000000";
    auto quarterDei = jgaap;
    quarterDei.push_back({"TypeOfCurrentPeriodDEI", "Q1"});
    quarterDei.push_back({"CurrentPeriodEndDateDEI", "2023-06-30"});

    // The filer's own revenue line, found through its income statement's linkbases (a
    // carmaker's TotalNetRevenuesIFRS).
    FilingLinkbases own;
    own.present = true;
    const std::string role =
        "http://disclosure.edinet-fsa.go.jp/role/jpigp/rol_ConsolidatedStatementOfProfitOrLossIFRS";
    const FilingElement heading{T::Jpigp, "StatementOfProfitOrLossIFRSAbstract"};
    const FilingElement revenue{T::Filer, "TotalNetRevenuesIFRS"};
    const FilingElement cost{T::Filer, "CostOfProductsSoldIFRS"};
    const FilingElement gross{T::Filer, "GrossMarginIFRS"};
    own.presentation = {
        {role, heading, revenue, 1, 0}, {role, heading, cost, 2, 0}, {role, heading, gross, 3, 0}};
    own.calculation = {{role, gross, revenue, 1, 1}, {role, gross, cost, 2, -1}};
    own.labels = {{revenue, "売上収益合計"}};
    std::vector<Fact> ownFacts =
        Without(Without(Without(kIfrs2026, "RevenueIFRS"), "CostOfSalesIFRS"), "GrossProfitIFRS");
    ownFacts.push_back({T::Filer, "TotalNetRevenuesIFRS", "323609000000", true});
    ownFacts.push_back({T::Filer, "CostOfProductsSoldIFRS", "234801000000", true});
    ownFacts.push_back({T::Filer, "GrossMarginIFRS", "88808000000", true});

    const std::vector<Case> cases = {
        {"IFRS: consolidated IFRS figures, 税引前利益 in the place of 経常利益",
         ifrs,
         FilingScope::Preferred,
         0,
         {ifrsRow},
         "",
         "Ｂ株式会社 2026年3月期: IFRS、連結、12か月\n"},
        {"IFRS, parent asked for: Japanese-GAAP figures and a note",
         ifrs,
         FilingScope::NonConsolidated,
         0,
         {parentRow},
         "注意: 2026年3月期は親会社単体(個別)の財務諸表の数値です(連結ではありません)",
         "日本基準、単体"},
        {"IFRS statements missing: refused, never the parent's",
         {kIfrsDei, {{kStart, kEnd, kParent2026, true}}, {}},
         FilingScope::Preferred,
         kMsgImportNoConsolidated,
         {},
         "",
         ""},
        {"IFRS line missing: refused naming it",
         {kIfrsDei,
          {{kStart, kEnd, Without(kIfrs2026, "EquityIFRS")}, {kStart, kEnd, kParent2026, true}},
          {}},
         FilingScope::Preferred,
         kMsgImportConsolidatedItems,
         {},
         "2026年3月期: 自己資本(EquityIFRS)\n",
         ""},
        {"US GAAP: refused, the parent's only on request",
         {Dei(kIfrsDei, "AccountingStandardsDEI", "US GAAP"),
          {{kStart, kEnd, kParent2026, true}},
          {}},
         FilingScope::Preferred,
         kMsgImportUsGaap,
         {},
         "",
         ""},
        {"US GAAP, parent asked for",
         {Dei(kIfrsDei, "AccountingStandardsDEI", "US GAAP"),
          {{kStart, kEnd, kParent2026, true}},
          {}},
         FilingScope::NonConsolidated,
         0,
         {parentRow},
         "親会社単体",
         ""},
        {"no consolidated statements prepared: the company's own, no note",
         {Dei(jgaap, "WhetherConsolidatedFinancialStatementsArePreparedDEI", "false"),
          {{kStart, kEnd, kParent2026}},
          {}},
         FilingScope::Preferred,
         0,
         {parentRow},
         "",
         "日本基準、単体"},
        {"IFRS sales under NetSalesIFRS, gross profit from sales less cost",
         {kIfrsDei,
          {{kStart, kEnd,
            [] {
                auto f = Without(Without(kIfrs2026, "RevenueIFRS"), "GrossProfitIFRS");
                f.push_back({T::Jpigp, "NetSalesIFRS", "323609000000", true});
                return f;
            }()}},
          {}},
         FilingScope::Preferred,
         0,
         {ifrsRow},
         "",
         "  売上高 = NetSalesIFRS ※代替(RevenueIFRS なし)"},
        {"holding company: 営業収益, no cost line: cost 0, gross = sales",
         {jgaap, {{kStart, kEnd, holding}}, {}},
         FilingScope::Preferred,
         0,
         {"2026年3月期,135189000000,177658000000,62350000000,141196000000,109301000000,"
          "50000000000,0,50000000000,34555000000,15445000000"},
         "",
         "  売上原価 = 0 ※代替(売上原価の行なし) (0)"},
        {"half-year report: the current half year only",
         {halfDei,
          {{{2025, 4, 1}, {2025, 9, 30}, half},
           {{2024, 4, 1}, {2024, 9, 30}, priorHalfPl},
           {{2024, 4, 1}, {2025, 3, 31}, {{T::Jppfs, "CurrentAssets", "1"}}}},
          {}},
         FilingScope::Preferred,
         0,
         {halfRow},
         "",
         "2025年9月中間期: 日本基準、連結、6か月"},
        {"first quarter named for its quarter",
         {quarterDei, {{{2023, 4, 1}, {2023, 6, 30}, half}}, {}},
         FilingScope::Preferred,
         0,
         {"2023年6月第1四半期" + halfRow.substr(halfRow.find(','))},
         "",
         ""},
        {"transition year: imported and flagged",
         {jgaap, {{{2019, 4, 1}, {2019, 12, 31}, kParent2026}}, {}},
         FilingScope::Preferred,
         0,
         {"2019年12月期" + parentRow.substr(parentRow.find(','))},
         "注意: 2019年12月期は9か月の決算です(通常は12か月)",
         ""},
        {"the filer's own lines through its linkbases",
         {kIfrsDei, {{kStart, kEnd, ownFacts}}, own},
         FilingScope::Preferred,
         0,
         {ifrsRow},
         "",
         "  売上高 = TotalNetRevenuesIFRS「売上収益合計」 ※代替(損益計算書の最初の行)"},
        {"the filer's own lines but no linkbases: refused, no guess",
         {kIfrsDei, {{kStart, kEnd, ownFacts}}, {}},
         FilingScope::Preferred,
         kMsgImportConsolidatedItems,
         {},
         "2026年3月期: 売上高(RevenueIFRS)、売上原価(CostOfSalesIFRS)、粗利益(GrossProfitIFRS)\n",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MappedFiling m = MapFiling(Instance(c.filing), c.scope);
        EXPECT_EQ(m.problem.messageId, c.messageId) << m.problem.detail;
        std::vector<std::string> rows;
        for (const auto& p : m.periods) rows.push_back(Row(p));
        EXPECT_EQ(rows, c.periods);
        std::string notes = m.problem.detail;
        for (const auto& n : m.notes) notes += n + "\n";
        EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
        if (c.note.empty() && c.messageId == 0) {
            EXPECT_TRUE(m.notes.empty()) << notes;
        }
        if (!m.periods.empty()) {
            const std::string explain = ExplainText(m.periods.front());
            EXPECT_NE(explain.find(c.explain), std::string::npos) << explain;
        }
    }
}

TEST(FilingMapping, DeiFactsAreKeptAndCompaniesNamed) {
    EXPECT_TRUE(IsMappedFact({T::Jpdei, "AccountingStandardsDEI"}, false));
    EXPECT_FALSE(IsMappedFact({T::Jpdei, "SecurityCodeDEI"}, false));
    EXPECT_TRUE(IsMappedFact({T::Jpigp, "NonCurrentLabilitiesIFRS"}, true));
    EXPECT_FALSE(IsMappedFact({T::Jpigp, "AssetsIFRS"}, true));
    EXPECT_TRUE(IsMappedFact({T::Filer, "TotalNetRevenuesIFRS"}, true));
    EXPECT_FALSE(IsMappedFact({T::Filer, "SomeTextBlock"}, false));

    std::vector<ImportedPeriod> periods(3);
    periods[0].company = "任天堂株式会社";
    periods[1].company = "株式会社Ｄ銀行";
    periods[0].name = periods[1].name = periods[2].name = "2024年3月期";
    NamePeriodsByCompany(periods);
    EXPECT_EQ(periods[0].name, "任天堂 2024年3月期");
    EXPECT_EQ(periods[1].name, "Ｄ銀行 2024年3月期");
    EXPECT_EQ(periods[2].name, "2024年3月期");
    // Two companies' same year are two periods of the merge.
    periods[0].name = periods[1].name = "2024年3月期";
    periods[0].end = periods[1].end = {2024, 3, 31};
    EXPECT_EQ(MergePeriods({{periods[0]}, {periods[1]}}).size(), 2u);
    // The header of IFRS periods, alone or mixed with Japanese GAAP.
    periods[0].standard = FilingStandard::Ifrs;
    EXPECT_NE(ImportCsvText({periods[0]}).find(",固定費,税引前利益\n"), std::string::npos);
    EXPECT_NE(ImportCsvText({periods[0], periods[1]}).find(",固定費,経常利益・税引前利益\n"),
              std::string::npos);
}

}  // namespace
}  // namespace quorvex
