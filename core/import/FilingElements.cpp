#include "core/import/FilingElements.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace quorvex {
namespace {

// Japanese GAAP, the general commercial and industrial format. Companies without a sales
// line of that name (holding and service companies) state 営業収益 or 売上収益.
constexpr std::array<ItemElements, 9> kJapanGaap = {{
    {0, true, {"CurrentAssets"}, {}},
    {1, true, {"NoncurrentAssets"}, "DeferredAssets"},
    {2, true, {"CurrentLiabilities"}, {}},
    {3, true, {"NoncurrentLiabilities"}, {}},
    {4, true, {"NetAssets"}, {}},
    {5, false, {"NetSales", "OperatingRevenue1", "Revenue", "OperatingRevenue2"}, {}},
    {6, false, {"CostOfSales"}, {}},
    {7, false, {"GrossProfit"}, {}},
    {9, false, {"OrdinaryIncome"}, {}},
}};

// IFRS (jpigp_cor). The taxonomy spells non-current liabilities "NonCurrentLabilitiesIFRS";
// the corrected spelling is accepted as well should a release adopt it.
constexpr std::array<ItemElements, 9> kIfrs = {{
    {0, true, {"CurrentAssetsIFRS"}, {}},
    {1, true, {"NonCurrentAssetsIFRS"}, {}},
    {2, true, {"TotalCurrentLiabilitiesIFRS"}, {}},
    {3, true, {"NonCurrentLabilitiesIFRS", "NonCurrentLiabilitiesIFRS"}, {}},
    {4, true, {"EquityIFRS"}, {}},
    {5, false, {"RevenueIFRS", "NetSalesIFRS"}, {}},
    {6, false, {"CostOfSalesIFRS"}, {}},
    {7, false, {"GrossProfitIFRS"}, {}},
    {9, false, {"ProfitLossBeforeTaxIFRS"}, {}},
}};

constexpr std::array<ItemElements, 9> kNone = {};

constexpr std::array<std::string_view, 13> kDei = {
    "AccountingStandardsDEI",
    "WhetherConsolidatedFinancialStatementsArePreparedDEI",
    "TypeOfCurrentPeriodDEI",
    "CurrentFiscalYearStartDateDEI",
    "CurrentPeriodEndDateDEI",
    "CurrentFiscalYearEndDateDEI",
    "PreviousFiscalYearStartDateDEI",
    "PreviousFiscalYearEndDateDEI",
    "ComparativePeriodEndDateDEI",
    "FilerNameInJapaneseDEI",
    "IndustryCodeWhenConsolidatedFinancialStatementsArePreparedInAccordanceWithIndustrySpecificRe"
    "gulationsDEI",
    "IndustryCodeWhenFinancialStatementsArePreparedInAccordanceWithIndustrySpecificRegulationsDEI",
    "DocumentTypeDEI",
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return out;
}

// The income statement's extended links: "rol_ConsolidatedStatementOfIncome",
// "rol_ConsolidatedStatementOfProfitOrLossIFRS", their half-year and quarterly forms, and
// the single statement of comprehensive income that holds profit or loss.
bool IsIncomeRole(std::string_view role, bool consolidated) {
    const std::string lower = Lower(role);
    const bool income = lower.find("statementofincome") != std::string::npos ||
                        lower.find("statementofprofitorloss") != std::string::npos ||
                        lower.find("comprehensiveincomesinglestatement") != std::string::npos;
    const bool isConsolidated = lower.find("consolidated") != std::string::npos &&
                                lower.find("nonconsolidated") == std::string::npos;
    return income && isConsolidated == consolidated;
}

}  // namespace

const std::array<ItemElements, 9>& StandardItems(FilingStandard standard) {
    switch (standard) {
        case FilingStandard::JapanGaap:
            return kJapanGaap;
        case FilingStandard::Ifrs:
            return kIfrs;
        case FilingStandard::UsGaap:
            break;
    }
    return kNone;
}

FilingTaxonomy StandardTaxonomy(FilingStandard standard) {
    return standard == FilingStandard::Ifrs ? FilingTaxonomy::Jpigp : FilingTaxonomy::Jppfs;
}

std::string_view StandardItemName(FilingStandard standard, ItemIndex item) {
    if (standard == FilingStandard::Ifrs && item == 9) return "税引前利益";
    return kCanonicalNames[static_cast<std::size_t>(item)];
}

std::string_view StandardName(FilingStandard standard) {
    switch (standard) {
        case FilingStandard::JapanGaap:
            return "日本基準";
        case FilingStandard::Ifrs:
            return "IFRS";
        case FilingStandard::UsGaap:
            break;
    }
    return "米国基準";
}

bool IsDeiElement(std::string_view name) {
    return std::find(kDei.begin(), kDei.end(), name) != kDei.end();
}

bool IsMappedFact(const FilingElement& element, bool numeric) {
    switch (element.taxonomy) {
        case FilingTaxonomy::Jpdei:
            return IsDeiElement(element.name);
        case FilingTaxonomy::Filer:
            return numeric;  // lines of the filer's own statements, for the linkbase fallback
        case FilingTaxonomy::Jpcrp:
            return false;
        case FilingTaxonomy::Jppfs:
        case FilingTaxonomy::Jpigp:
            break;
    }
    if (!numeric) return false;
    const FilingStandard standard = element.taxonomy == FilingTaxonomy::Jpigp
                                        ? FilingStandard::Ifrs
                                        : FilingStandard::JapanGaap;
    for (const ItemElements& item : StandardItems(standard)) {
        if (item.addend == element.name) return true;
        for (std::string_view name : item.alternatives) {
            if (!name.empty() && name == element.name) return true;
        }
    }
    return false;
}

std::optional<StatementLine> FirstIncomeLine(const FilingLinkbases& linkbases, bool consolidated,
                                             const PeriodValues& values) {
    // Per extended link: the children of each line in their order, and the roots.
    std::map<std::string_view, std::vector<const FilingArc*>> roles;
    for (const FilingArc& arc : linkbases.presentation) {
        if (IsIncomeRole(arc.role, consolidated)) roles[arc.role].push_back(&arc);
    }
    for (auto& [role, arcs] : roles) {
        std::map<FilingElement, std::vector<const FilingArc*>> children;
        std::set<FilingElement> targets;
        for (const FilingArc* arc : arcs) {
            children[arc->from].push_back(arc);
            targets.insert(arc->to);
        }
        for (auto& [from, list] : children) {
            std::stable_sort(list.begin(), list.end(), [](const FilingArc* a, const FilingArc* b) {
                return a->order < b->order;
            });
        }
        // Depth first in presentation order; the visited set ends any cycle.
        std::vector<FilingElement> stack;
        std::set<FilingElement> seen;
        for (const FilingArc* arc : arcs) {
            if (!targets.contains(arc->from) && !seen.contains(arc->from)) {
                stack.push_back(arc->from);
                break;
            }
        }
        while (!stack.empty()) {
            const FilingElement e = stack.back();
            stack.pop_back();
            if (!seen.insert(e).second) continue;
            if (const auto v = values.Duration(e)) return StatementLine{e, *v};
            const auto it = children.find(e);
            if (it == children.end()) continue;
            for (auto c = it->second.rbegin(); c != it->second.rend(); ++c)
                stack.push_back((*c)->to);
        }
    }
    return std::nullopt;
}

std::optional<StatementLine> SubtractedFromSales(const FilingLinkbases& linkbases,
                                                 bool consolidated, const FilingElement& sales,
                                                 const PeriodValues& values,
                                                 std::optional<StatementLine>* grossProfit) {
    std::vector<const FilingArc*> arcs;
    for (const FilingArc& arc : linkbases.calculation) {
        if (IsIncomeRole(arc.role, consolidated)) arcs.push_back(&arc);
    }
    for (const FilingArc* up : arcs) {
        if (up->to != sales || up->weight <= 0) continue;
        if (grossProfit != nullptr && grossProfit->has_value() &&
            (*grossProfit)->element != up->from) {
            continue;
        }
        for (const FilingArc* down : arcs) {
            if (down->from != up->from || down->role != up->role || down->weight >= 0) continue;
            const auto cost = values.Duration(down->to);
            if (!cost) continue;
            if (grossProfit != nullptr && !grossProfit->has_value()) {
                const auto total = values.Duration(up->from);
                if (!total) continue;
                *grossProfit = StatementLine{up->from, *total};
            }
            return StatementLine{down->to, *cost};
        }
    }
    return std::nullopt;
}

std::string_view FilerLabel(const FilingLinkbases& linkbases, const FilingElement& element) {
    for (const auto& [e, label] : linkbases.labels) {
        if (e == element) return label;
    }
    return {};
}

}  // namespace quorvex
