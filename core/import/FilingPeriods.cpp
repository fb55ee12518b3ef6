#include "core/import/FilingPeriods.h"

#include <cmath>

#include "core/import/FilingFigures.h"

namespace quorvex {
namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

FilingDei ReadDei(const FilingInstance& instance) {
    FilingDei dei;
    std::string industryConsolidated, industry;
    for (const FilingFact& f : instance.facts) {
        if (f.element.taxonomy != FilingTaxonomy::Jpdei) continue;
        const std::string_view name = f.element.name, value = Trimmed(f.value);
        if (name == "FilerNameInJapaneseDEI") {
            dei.company = value;
        } else if (name == "AccountingStandardsDEI") {
            const std::string v = Upper(value);
            if (v == "JAPAN GAAP") dei.standard = FilingStandard::JapanGaap;
            if (v == "IFRS") dei.standard = FilingStandard::Ifrs;
            if (v == "US GAAP") dei.standard = FilingStandard::UsGaap;
        } else if (name == "WhetherConsolidatedFinancialStatementsArePreparedDEI") {
            if (value == "true") dei.consolidated = true;
            if (value == "false") dei.consolidated = false;
        } else if (name == "TypeOfCurrentPeriodDEI") {
            const std::string v = Upper(value);
            if (v == "HY") dei.kind = PeriodKind::HalfYear;
            if (v.size() == 2 && v[0] == 'Q' && v[1] >= '1' && v[1] <= '4') {
                dei.kind = PeriodKind::Quarter;
                dei.quarter = v[1] - '0';
            }
        } else if (name == "CurrentPeriodEndDateDEI") {
            if (FilingDate d; ParseFilingDate(value, d)) dei.periodEnd = d;
        } else if (name.starts_with("IndustryCodeWhenConsolidated")) {
            industryConsolidated = Upper(value);
        } else if (name.starts_with("IndustryCodeWhenFinancial")) {
            industry = Upper(value);
        }
    }
    dei.industry =
        dei.consolidated == false || industryConsolidated.empty() ? industry : industryConsolidated;
    return dei;
}

std::string PeriodName(FilingDate end, PeriodKind kind, int quarter) {
    const std::string month = std::to_string(end.year) + "年" + std::to_string(end.month) + "月";
    switch (kind) {
        case PeriodKind::Year:
            break;
        case PeriodKind::HalfYear:
            return month + "中間期";
        case PeriodKind::Quarter:
            return month + "第" + std::to_string(quarter) + "四半期";
    }
    return month + "期";
}

int MonthsOf(FilingDate start, FilingDate end) {
    const double days = static_cast<double>(DayNumber(end) - DayNumber(start) + 1);
    return static_cast<int>(std::lround(days / (365.2425 / 12)));
}

int UsualMonths(PeriodKind kind, int quarter) {
    switch (kind) {
        case PeriodKind::Year:
            break;
        case PeriodKind::HalfYear:
            return 6;
        case PeriodKind::Quarter:
            return 3 * quarter;  // the income statement runs from the year's start
    }
    return 12;
}

std::string ShortCompanyName(std::string_view name) {
    name = Trimmed(name);
    for (std::string_view form : {"株式会社", "（株）", "(株)"}) {
        if (name.starts_with(form)) name.remove_prefix(form.size());
        if (name.ends_with(form)) name.remove_suffix(form.size());
    }
    constexpr std::string_view kIdeographicSpace = "\u3000";
    while (name.starts_with(kIdeographicSpace)) name.remove_prefix(kIdeographicSpace.size());
    while (name.ends_with(kIdeographicSpace)) name.remove_suffix(kIdeographicSpace.size());
    return std::string(Trimmed(name));
}

}  // namespace quorvex
