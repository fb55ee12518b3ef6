#include "core/import/FilingFigures.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <unordered_map>

#include "core/model/Messages.h"

namespace quorvex {
namespace {

// The taxonomy elements behind the items. An item is the sum of its elements; an optional
// element counts as 0 when the filing does not have it. 固定費 has no element: it is
// 粗利益 − 経常利益, so that the diagram's gross profit is fixed costs plus ordinary profit.
struct Element {
    std::string_view name;
    ItemIndex item;
    bool instant;   // balance-sheet element: read at the fiscal year's last day
    bool required;  // a year without it refuses the filing
};
constexpr std::array<Element, 10> kElements = {{
    {"CurrentAssets", 0, true, true},
    {"NoncurrentAssets", 1, true, true},
    {"DeferredAssets", 1, true, false},
    {"CurrentLiabilities", 2, true, true},
    {"NoncurrentLiabilities", 3, true, true},
    {"NetAssets", 4, true, true},
    {"NetSales", 5, false, true},
    {"CostOfSales", 6, false, true},
    {"GrossProfit", 7, false, true},
    {"OrdinaryIncome", 9, false, true},
}};
constexpr ItemIndex kFixedCosts = 8;

const Element* FindElement(std::string_view name) {
    for (const Element& e : kElements) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

// "粗利益(GrossProfit)"
std::string ElementLabel(const Element& e) {
    return std::string(kCanonicalNames[static_cast<std::size_t>(e.item)]) + "(" +
           std::string(e.name) + ")";
}

// A whole number as XBRL writes it: optional sign, digits, optionally a fraction of zeros.
std::optional<std::int64_t> WholeYen(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (const auto dot = text.find('.'); dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        if (fraction.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
        text = text.substr(0, dot);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return negative ? -v : v;
}

// Where a fact belongs: its element and its period.
struct FactKey {
    const Element* element;
    bool instant;
    FilingDate start, end;
    auto operator<=>(const FactKey&) const = default;
};

}  // namespace

bool ParseFilingDate(std::string_view text, FilingDate& date) {
    if (text.size() < 10 || (text.size() > 10 && text[10] != 'T')) return false;
    if (text[4] != '-' || text[7] != '-') return false;
    auto number = [&](std::size_t at, std::size_t len, int& out) {
        const char* first = text.data() + at;
        const auto [end, ec] = std::from_chars(first, first + len, out);
        return ec == std::errc() && end == first + len && first[0] != '-' && first[0] != '+';
    };
    FilingDate d;
    if (!number(0, 4, d.year) || !number(5, 2, d.month) || !number(8, 2, d.day)) return false;
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31) return false;
    date = d;
    return true;
}

std::int64_t DayNumber(FilingDate date) {
    // Days from civil: the year counted from March, so the leap day comes last.
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (date.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool IsMappedFact(const FilingElement& element, bool /*numeric*/) {
    return element.taxonomy == FilingTaxonomy::Jppfs && FindElement(element.name) != nullptr;
}

std::string FilingPeriodName(FilingDate end) {
    return std::to_string(end.year) + "年" + std::to_string(end.month) + "月期";
}

MappedFiling MapFiling(const FilingInstance& instance, FilingScope scope) {
    MappedFiling out;
    std::unordered_map<std::string_view, const FilingContext*> contexts;
    for (const FilingContext& c : instance.contexts) contexts.emplace(c.id, &c);

    // The first fact of an element in a period counts; XBRL allows only equal duplicates.
    std::map<FactKey, std::string_view> values[2];  // [nonConsolidated]
    for (const FilingFact& f : instance.facts) {
        if (f.element.taxonomy != FilingTaxonomy::Jppfs) continue;
        const Element* e = FindElement(f.element.name);
        const auto it = contexts.find(f.context);
        if (e == nullptr || it == contexts.end() || it->second->instant != e->instant) continue;
        const FilingContext& c = *it->second;
        values[c.nonConsolidated ? 1 : 0].emplace(
            FactKey{e, c.instant, c.instant ? FilingDate{} : c.start, c.end}, f.value);
    }
    out.nonConsolidated = scope == FilingScope::NonConsolidated || values[0].empty();
    const auto& chosen = values[out.nonConsolidated ? 1 : 0];

    // A fiscal year is a duration with profit-and-loss figures; of several durations that
    // end on the same day (a quarter and the year to date) the longest is the year.
    std::map<FilingDate, FilingDate> years;  // end -> start
    for (const auto& [key, value] : chosen) {
        if (key.instant) continue;
        const auto [it, added] = years.emplace(key.end, key.start);
        if (!added && key.start < it->second) it->second = key.start;
    }
    if (chosen.empty()) {
        if (scope == FilingScope::NonConsolidated && !values[0].empty()) {
            out.problem.messageId = kMsgImportNoNonConsolidated;
            return out;
        }
        // Nothing of the taxonomy at all: another accounting standard or another format.
        out.problem.messageId = kMsgImportMissingItems;
        for (const Element& e : kElements) {
            if (!e.required) continue;
            if (!out.problem.detail.empty()) out.problem.detail += "、";
            out.problem.detail += ElementLabel(e);
        }
        out.problem.detail += "\n";
        return out;
    }
    // Balance-sheet figures only: the latest year is reported with what it lacks.
    if (years.empty()) {
        FilingDate latest;
        for (const auto& entry : chosen) latest = std::max(latest, entry.first.end);
        years.emplace(latest, FilingDate{});
    }

    std::string missing, invalid;
    for (const auto& [end, start] : years) {
        ImportedPeriod p;
        p.end = end;
        p.name = FilingPeriodName(end);
        std::array<std::int64_t, kItemCount> sums{};
        std::string lacking;
        for (const Element& e : kElements) {
            const auto it =
                chosen.find(FactKey{&e, e.instant, e.instant ? FilingDate{} : start, end});
            if (it == chosen.end()) {
                if (e.required) lacking += (lacking.empty() ? "" : "、") + ElementLabel(e);
                continue;
            }
            const auto v = WholeYen(it->second);
            auto& sum = sums[static_cast<std::size_t>(e.item)];
            if (!v || __builtin_add_overflow(sum, *v, &sum)) {
                invalid += p.name + ": " + ElementLabel(e) + " " + std::string(it->second) + "\n";
            }
        }
        if (!lacking.empty()) missing += p.name + ": " + lacking + "\n";
        if (__builtin_sub_overflow(sums[7], sums[9], &sums[kFixedCosts])) {
            invalid += p.name + ": " + std::string(kCanonicalNames[kFixedCosts]) + "\n";
        }
        for (int i = 0; i < kItemCount; ++i)
            p.amounts[static_cast<std::size_t>(i)] =
                std::to_string(sums[static_cast<std::size_t>(i)]);
        out.periods.push_back(std::move(p));
    }
    if (!missing.empty() || !invalid.empty()) {
        out.periods.clear();
        out.problem = missing.empty() ? FilingProblem{kMsgImportBadAmount, invalid}
                                      : FilingProblem{kMsgImportMissingItems, missing};
    }
    return out;
}

std::vector<ImportedPeriod> MergePeriods(const std::vector<std::vector<ImportedPeriod>>& filings) {
    std::map<std::pair<int, int>, const ImportedPeriod*> byMonth;
    for (const auto& filing : filings) {
        for (const ImportedPeriod& p : filing) byMonth[{p.end.year, p.end.month}] = &p;
    }
    std::vector<ImportedPeriod> out;
    out.reserve(byMonth.size());
    for (const auto& [key, p] : byMonth) out.push_back(*p);
    return out;
}

std::string ImportCsvText(const std::vector<ImportedPeriod>& periods) {
    std::string text = "期";
    for (std::string_view name : kCanonicalNames) text.append(",").append(name);
    text += '\n';
    for (const ImportedPeriod& p : periods) {
        text += p.name;
        for (const std::string& a : p.amounts) text.append(",").append(a);
        text += '\n';
    }
    return text;
}

}  // namespace quorvex
