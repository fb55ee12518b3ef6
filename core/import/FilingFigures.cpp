#include "core/import/FilingFigures.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <tuple>

#include "core/import/FilingPeriods.h"

namespace quorvex {

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

std::string FilingPeriodName(FilingDate end) {
    return PeriodName(end, PeriodKind::Year, 0);
}

std::array<std::string, kItemCount> PeriodItemNames(const ImportedPeriod& period) {
    std::array<std::string, kItemCount> names;
    for (int i = 0; i < kItemCount; ++i) {
        names[static_cast<std::size_t>(i)] = StandardItemName(period.standard, i);
    }
    return names;
}

std::vector<ImportedPeriod> MergePeriods(const std::vector<std::vector<ImportedPeriod>>& filings) {
    // By last day first, so that the result is oldest first; a company's period is the
    // same period when its name is (a fiscal year, a half year, a quarter).
    std::map<std::tuple<int, int, std::string_view, std::string_view>, const ImportedPeriod*>
        byMonth;
    for (const auto& filing : filings) {
        for (const ImportedPeriod& p : filing) {
            byMonth[{p.end.year, p.end.month, p.company, p.name}] = &p;
        }
    }
    std::vector<ImportedPeriod> out;
    out.reserve(byMonth.size());
    for (const auto& [key, p] : byMonth) out.push_back(*p);
    return out;
}

std::string ImportCsvText(const std::vector<ImportedPeriod>& periods) {
    std::string text = "期";
    bool ifrs = false, other = false;
    for (const ImportedPeriod& p : periods)
        (p.standard == FilingStandard::Ifrs ? ifrs : other) = true;
    for (int i = 0; i < kItemCount; ++i) {
        std::string name(kCanonicalNames[static_cast<std::size_t>(i)]);
        const std::string ifrsName(StandardItemName(FilingStandard::Ifrs, i));
        if (ifrs && name != ifrsName) name = other ? name + "・" + ifrsName : ifrsName;
        text.append(",").append(name);
    }
    text += '\n';
    for (const ImportedPeriod& p : periods) {
        text += p.name;
        for (const std::string& a : p.amounts) text.append(",").append(a);
        text += '\n';
    }
    return text;
}

void NamePeriodsByCompany(std::vector<ImportedPeriod>& periods) {
    for (ImportedPeriod& p : periods) {
        const std::string company = ShortCompanyName(p.company);
        if (!company.empty()) p.name = company + " " + p.name;
    }
}

std::string ExplainText(const ImportedPeriod& period) {
    std::string text = (period.company.empty() ? std::string() : period.company + " ") +
                       period.name + ": " + std::string(StandardName(period.standard)) + "、" +
                       (period.nonConsolidated ? "単体" : "連結");
    if (period.months != 0) text += "、" + std::to_string(period.months) + "か月";
    text += "\n";
    const auto names = PeriodItemNames(period);
    for (std::size_t i = 0; i < kItemCount; ++i) {
        text += "  " + names[i] + " = " + period.sources[i] + " (" + period.amounts[i] + ")\n";
    }
    return text;
}

}  // namespace quorvex
