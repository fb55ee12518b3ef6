// From the kept facts of one filing to its periods: the standard and basis its DEI states,
// the periods it holds, each item through the standard's table and its fallbacks.
#include <charconv>
#include <map>
#include <tuple>
#include <unordered_map>

#include "core/import/FilingFigures.h"
#include "core/import/FilingPeriods.h"
#include "core/model/Messages.h"

namespace quorvex {
namespace {

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

// The catalogue text with each "%s" replaced by the next argument.
std::string Filled(int id, std::initializer_list<std::string_view> args) {
    std::string text = MessageText(id);
    std::size_t at = 0;
    for (std::string_view a : args) {
        at = text.find("%s", at);
        if (at == std::string::npos) break;
        text.replace(at, 2, a);
        at += a.size();
    }
    return text;
}

// Where a fact belongs: its element and its period (an instant has no start).
using FactKey = std::tuple<FilingElement, bool, FilingDate, FilingDate>;
using FactMap = std::map<FactKey, std::string_view>;

class Values final : public PeriodValues {
  public:
    Values(const FactMap& facts, FilingDate start, FilingDate end)
        : facts_(facts), start_(start), end_(end) {}
    std::optional<std::string_view> Duration(const FilingElement& e) const override {
        return Find(e, false);
    }
    std::optional<std::string_view> Find(const FilingElement& e, bool instant) const {
        const auto it = facts_.find({e, instant, instant ? FilingDate{} : start_, end_});
        if (it == facts_.end()) return std::nullopt;
        return it->second;
    }

  private:
    const FactMap& facts_;
    FilingDate start_, end_;
};

// One period being mapped.
struct PeriodMapping {
    std::array<std::optional<std::int64_t>, kItemCount> amounts;
    std::array<std::string, kItemCount> sources;
    std::string lacking, invalid;
};

constexpr std::string_view kFallback = " ※代替";

// "売上高(NetSales)": the item and the first element the standard names for it.
std::string ItemLabel(FilingStandard standard, const ItemElements& item) {
    return std::string(StandardItemName(standard, item.item)) + "(" +
           std::string(item.alternatives[0]) + ")";
}

std::string LineText(const FilingLinkbases& linkbases, const StatementLine& line) {
    const std::string_view label = FilerLabel(linkbases, line.element);
    return line.element.name + (label.empty() ? "" : "「" + std::string(label) + "」");
}

PeriodMapping MapPeriod(const FilingInstance& instance, FilingStandard standard, bool consolidated,
                        const Values& values, const std::string& periodName) {
    PeriodMapping m;
    const FilingTaxonomy taxonomy = StandardTaxonomy(standard);
    auto set = [&](ItemIndex i, std::string_view text, std::string source) {
        const auto v = WholeYen(text);
        if (!v) {
            m.invalid += periodName + ": " + std::string(StandardItemName(standard, i)) + "(" +
                         source.substr(0, source.find(' ')) + ") " + std::string(text) + "\n";
            return;
        }
        m.amounts[static_cast<std::size_t>(i)] = *v;
        m.sources[static_cast<std::size_t>(i)] = std::move(source);
    };
    std::optional<FilingElement> salesElement;
    for (const ItemElements& item : StandardItems(standard)) {
        for (std::size_t a = 0; a < item.alternatives.size() && !item.alternatives[a].empty();
             ++a) {
            const FilingElement e{taxonomy, std::string(item.alternatives[a])};
            const auto v = values.Find(e, item.instant);
            if (!v) continue;
            std::string source = e.name;
            if (a > 0)
                source +=
                    std::string(kFallback) + "(" + std::string(item.alternatives[0]) + " なし)";
            set(item.item, *v, std::move(source));
            if (item.item == 5) salesElement = e;
            break;
        }
        if (!item.addend.empty() && m.amounts[static_cast<std::size_t>(item.item)]) {
            const FilingElement e{taxonomy, std::string(item.addend)};
            if (const auto v = values.Find(e, item.instant)) {
                auto& sum = m.amounts[static_cast<std::size_t>(item.item)];
                const auto add = WholeYen(*v);
                if (!add || __builtin_add_overflow(*sum, *add, &*sum)) {
                    m.invalid += periodName + ": " + e.name + " " + std::string(*v) + "\n";
                }
                m.sources[static_cast<std::size_t>(item.item)] += " + " + e.name;
            }
        }
    }
    auto& sales = m.amounts[5];
    auto& cost = m.amounts[6];
    auto& gross = m.amounts[7];
    const FilingLinkbases& lb = instance.linkbases;
    // Sales from the filer's own statement: companies put their revenue in their own elements.
    if (!sales && lb.present) {
        if (const auto line = FirstIncomeLine(lb, consolidated, values)) {
            set(5, line->value,
                LineText(lb, *line) + std::string(kFallback) + "(損益計算書の最初の行)");
            if (sales) salesElement = line->element;
        }
    }
    if (sales && !cost && lb.present) {
        std::optional<StatementLine> total;
        if (gross)
            total = StatementLine{
                {taxonomy, std::string(StandardItems(standard)[7].alternatives[0])}, {}};
        if (const auto line =
                SubtractedFromSales(lb, consolidated, *salesElement, values, &total)) {
            set(6, line->value,
                LineText(lb, *line) + std::string(kFallback) + "(売上高から差し引かれる行)");
            if (!gross && total) {
                set(7, total->value,
                    LineText(lb, *total) + std::string(kFallback) + "(売上高を含む合計)");
            }
        }
    }
    std::int64_t derived = 0;
    if (sales && !cost && gross) {
        if (!__builtin_sub_overflow(*sales, *gross, &derived)) {
            cost = derived;
            m.sources[6] = "売上高 − 粗利益" + std::string(kFallback);
        }
    } else if (sales && !cost && !gross && standard == FilingStandard::JapanGaap) {
        // No cost-of-sales line at all (holding and service companies): all of sales is
        // gross profit, exactly as the statement reads.
        cost = 0;
        m.sources[6] = "0" + std::string(kFallback) + "(売上原価の行なし)";
        gross = *sales;
        m.sources[7] = "売上高" + std::string(kFallback) + "(売上原価の行なし)";
    }
    if (sales && cost && !gross && !__builtin_sub_overflow(*sales, *cost, &derived)) {
        gross = derived;
        m.sources[7] = "売上高 − 売上原価" + std::string(kFallback);
    }
    for (const ItemElements& item : StandardItems(standard)) {
        if (!m.amounts[static_cast<std::size_t>(item.item)]) {
            m.lacking += (m.lacking.empty() ? "" : "、") + ItemLabel(standard, item);
        }
    }
    if (m.lacking.empty() && m.invalid.empty()) {
        if (__builtin_sub_overflow(*gross, *m.amounts[9], &derived)) {
            m.invalid += periodName + ": " + std::string(kCanonicalNames[8]) + "\n";
        }
        m.amounts[8] = derived;
        m.sources[8] = "粗利益 − " + std::string(StandardItemName(standard, 9));
    }
    return m;
}

FilingProblem Problem(int id, std::string detail = {}) {
    return {id, std::move(detail)};
}

}  // namespace

MappedFiling MapFiling(const FilingInstance& instance, FilingScope scope) {
    MappedFiling out;
    const FilingDei dei = ReadDei(instance);
    std::unordered_map<std::string_view, const FilingContext*> contexts;
    for (const FilingContext& c : instance.contexts) contexts.emplace(c.id, &c);

    // The monetary facts of both bases; the first fact of an element in a period counts
    // (XBRL allows only equal duplicates).
    FactMap facts[2];             // [nonConsolidated]
    bool hasTaxonomy[2][2] = {};  // [nonConsolidated][jpigp]
    for (const FilingFact& f : instance.facts) {
        if (!f.numeric || f.element.taxonomy == FilingTaxonomy::Jpdei) continue;
        const auto it = contexts.find(f.context);
        if (it == contexts.end()) continue;
        const FilingContext& c = *it->second;
        const int basis = c.nonConsolidated ? 1 : 0;
        facts[basis].emplace(
            FactKey{f.element, c.instant, c.instant ? FilingDate{} : c.start, c.end}, f.value);
        if (f.element.taxonomy == FilingTaxonomy::Jppfs) hasTaxonomy[basis][0] = true;
        if (f.element.taxonomy == FilingTaxonomy::Jpigp) hasTaxonomy[basis][1] = true;
    }

    // Which standard and which basis: as the filing states, never by what happens to be there.
    FilingStandard standard =
        dei.standard.value_or(hasTaxonomy[0][1] ? FilingStandard::Ifrs : FilingStandard::JapanGaap);
    int basis = 0;
    std::string basisNote;  // the note id's text, filled once the periods are known
    int basisNoteId = 0;
    if (scope == FilingScope::NonConsolidated) {
        // The parent's statements are Japanese GAAP whatever the group reports in.
        standard = FilingStandard::JapanGaap;
        basis = 1;
        if (!hasTaxonomy[1][0] && dei.consolidated == false && hasTaxonomy[0][0]) basis = 0;
        if (!hasTaxonomy[basis][0]) {
            out.problem = Problem(kMsgImportNoNonConsolidated);
            return out;
        }
        if (dei.consolidated != false) basisNoteId = kMsgImportNoteNonConsolidated;
    } else if (dei.consolidated == false) {
        standard = FilingStandard::JapanGaap;
        basis = hasTaxonomy[0][0] || !hasTaxonomy[1][0] ? 0 : 1;
    } else if (standard == FilingStandard::UsGaap) {
        out.problem = Problem(kMsgImportUsGaap);
        return out;
    } else if (!hasTaxonomy[0][standard == FilingStandard::Ifrs ? 1 : 0]) {
        // Old filings without a DEI stating consolidation: their parent-only figures are
        // taken as before, and said to be.
        if (!dei.consolidated.has_value() && standard == FilingStandard::JapanGaap &&
            !hasTaxonomy[0][1] && hasTaxonomy[1][0]) {
            basis = 1;
            basisNoteId = kMsgImportNoteOnlyNonConsolidated;
        } else if (!hasTaxonomy[0][0] && !hasTaxonomy[0][1] && !hasTaxonomy[1][0]) {
            // Nothing of the statements at all.
            std::string detail;
            for (const ItemElements& item : StandardItems(standard)) {
                detail += (detail.empty() ? "" : "、") + ItemLabel(standard, item);
            }
            out.problem = Problem(kMsgImportMissingItems, detail + "\n");
            return out;
        } else {
            out.problem = Problem(kMsgImportNoConsolidated);
            return out;
        }
    }
    // A company without consolidated statements has only its own: 単体 either way.
    out.nonConsolidated = basis == 1 || dei.consolidated == false;
    const FactMap& chosen = facts[basis];
    const FilingTaxonomy taxonomy = StandardTaxonomy(standard);

    // The periods: durations of the income statement, the longest of those ending on one day
    // (a quarter and the year to date end together). A half-year or quarterly report holds
    // one: the one ending on its current period's last day.
    std::map<FilingDate, FilingDate> durations;  // end -> start
    FilingDate latestInstant;
    for (const auto& [key, value] : chosen) {
        const auto& [element, instant, start, end] = key;
        if (element.taxonomy != taxonomy) continue;
        if (instant) {
            latestInstant = std::max(latestInstant, end);
            continue;
        }
        bool income = false;
        for (const ItemElements& item : StandardItems(standard)) {
            for (std::string_view n : item.alternatives)
                income = income || (!n.empty() && n == element.name);
        }
        if (!income) continue;
        if (dei.kind != PeriodKind::Year && dei.periodEnd && end != *dei.periodEnd) continue;
        const auto [it, added] = durations.emplace(end, start);
        if (!added && start < it->second) it->second = start;
    }
    if (durations.empty()) {
        // Balance-sheet figures only: the latest period is reported with what it lacks.
        durations.emplace(dei.periodEnd.value_or(latestInstant), FilingDate{});
    }

    std::string missing, invalid, leftOut;
    std::vector<std::string> notes;
    for (const auto& [end, start] : durations) {
        ImportedPeriod p;
        p.end = end;
        p.name = PeriodName(end, dei.kind, dei.quarter);
        p.company = dei.company;
        p.standard = standard;
        p.nonConsolidated = out.nonConsolidated;
        const Values values(chosen, start, end);
        PeriodMapping m = MapPeriod(instance, standard, basis == 0, values, p.name);
        invalid += m.invalid;
        if (!m.lacking.empty()) {
            missing += p.name + ": " + m.lacking + "\n";
            notes.push_back(Filled(kMsgImportNoteLeftOut, {p.name, m.lacking}));
            continue;
        }
        for (std::size_t i = 0; i < kItemCount; ++i) p.amounts[i] = std::to_string(*m.amounts[i]);
        p.sources = std::move(m.sources);
        p.months = start == FilingDate{} ? 0 : MonthsOf(start, end);
        if (p.months != 0 && p.months != UsualMonths(dei.kind, dei.quarter)) {
            notes.push_back(
                Filled(kMsgImportNoteMonths, {p.name, std::to_string(p.months),
                                              std::to_string(UsualMonths(dei.kind, dei.quarter))}));
        }
        out.periods.push_back(std::move(p));
    }
    if (!invalid.empty()) {
        out.periods.clear();
        out.problem = Problem(kMsgImportBadAmount, invalid);
        return out;
    }
    if (out.periods.empty()) {
        // A balance sheet without the current/non-current split: banks, insurers, brokers.
        const bool otherFormat =
            !dei.industry.empty() && dei.industry != "CTE" &&
            missing.find(ItemLabel(standard, StandardItems(standard)[0])) != std::string::npos;
        const bool consolidatedLines = basis == 0 && standard == FilingStandard::Ifrs;
        out.problem = Problem(otherFormat         ? kMsgImportIndustryFormat
                              : consolidatedLines ? kMsgImportConsolidatedItems
                                                  : kMsgImportMissingItems,
                              missing);
        return out;
    }
    if (basisNoteId != 0) {
        std::string names;
        for (const ImportedPeriod& p : out.periods) names += (names.empty() ? "" : "、") + p.name;
        notes.insert(notes.begin(), Filled(basisNoteId, {names}));
    }
    out.notes = std::move(notes);
    return out;
}

}  // namespace quorvex
