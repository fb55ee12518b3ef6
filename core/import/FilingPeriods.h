#pragma once
// What a filing says of itself (its document and entity information) and the names of the
// periods a report holds: fiscal years, the half year, a quarter.

#include <optional>
#include <string>
#include <string_view>

#include "core/import/FilingElements.h"
#include "core/import/FilingInstance.h"

namespace quorvex {

enum class PeriodKind { Year, HalfYear, Quarter };

struct FilingDei {
    std::string company;                     // FilerNameInJapaneseDEI
    std::optional<FilingStandard> standard;  // AccountingStandardsDEI
    std::optional<bool> consolidated;        // WhetherConsolidatedFinancialStatementsArePreparedDEI
    PeriodKind kind = PeriodKind::Year;      // TypeOfCurrentPeriodDEI
    int quarter = 0;                         // 1–4 for a quarterly report
    std::optional<FilingDate> periodEnd;     // CurrentPeriodEndDateDEI
    std::string industry;                    // the industry format code, "CTE" for the general
};

// The DEI facts of the instance; what a filing does not state stays unset.
FilingDei ReadDei(const FilingInstance& instance);

// "2024年3月期", "2025年9月中間期", "2023年6月第1四半期".
std::string PeriodName(FilingDate end, PeriodKind kind, int quarter);

// Whole months from start to end inclusive (a year is 12, Apr–Dec is 9).
int MonthsOf(FilingDate start, FilingDate end);
// The length an income statement of the kind normally has.
int UsualMonths(PeriodKind kind, int quarter);

// "任天堂" for "任天堂株式会社": the name without the legal form, for period names.
std::string ShortCompanyName(std::string_view name);

}  // namespace quorvex
