#pragma once
// The taxonomy elements behind the ten items, one table per accounting standard, and the
// lines found in the filing's own statements when the tables leave one unfound.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/import/FilingInstance.h"
#include "core/model/StatementData.h"

namespace quorvex {

enum class FilingStandard { JapanGaap, Ifrs, UsGaap };

// One item of a standard: the first of the alternatives the filing has is taken (later
// ones are fallbacks); addend, when the filing has it, is added (繰延資産 to 固定資産).
struct ItemElements {
    ItemIndex item;
    bool instant;  // balance-sheet line: read at the period's last day
    std::array<std::string_view, 4> alternatives;
    std::string_view addend;
};

// The items of standard, 固定費 left out (it is 粗利益 − 経常利益). US GAAP has none: its
// statements are not tagged line by line.
const std::array<ItemElements, 9>& StandardItems(FilingStandard standard);
FilingTaxonomy StandardTaxonomy(FilingStandard standard);

// The item name a standard gives the item: IFRS has no 経常利益, its 税引前利益 stands there.
std::string_view StandardItemName(FilingStandard standard, ItemIndex item);

// "日本基準", "IFRS", "米国基準".
std::string_view StandardName(FilingStandard standard);

// The document and entity information facts the mapping reads.
bool IsDeiElement(std::string_view name);

// Looks up a monetary value of the basis and period being mapped.
class PeriodValues {
  public:
    virtual ~PeriodValues() = default;
    virtual std::optional<std::string_view> Duration(const FilingElement& element) const = 0;
};

// A line of the filing's own income statement (presentation and calculation linkbases of
// the basis's role), for when the standard's elements leave it unfound.
struct StatementLine {
    FilingElement element;
    std::string_view value;
};
// 売上高: the first monetary line of the income statement.
std::optional<StatementLine> FirstIncomeLine(const FilingLinkbases& linkbases, bool consolidated,
                                             const PeriodValues& values);
// 売上原価: the line the calculation subtracts from sales in the total that holds sales
// (that total is 粗利益); grossProfit names that total when it is known already.
std::optional<StatementLine> SubtractedFromSales(const FilingLinkbases& linkbases,
                                                 bool consolidated, const FilingElement& sales,
                                                 const PeriodValues& values,
                                                 std::optional<StatementLine>* grossProfit);

// The filer's own label of an element, empty when the linkbases give none.
std::string_view FilerLabel(const FilingLinkbases& linkbases, const FilingElement& element);

}  // namespace quorvex
