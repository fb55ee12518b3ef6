#pragma once
// From the facts of a filing's XBRL instance to the ten amounts of each fiscal year, and
// from several filings to one batch CSV. Toolkit-free: the reader (engine/import) hands
// over only the contexts and facts it kept (core/import/FilingInstance.h).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/FilingInstance.h"
#include "core/model/StatementData.h"

namespace quorvex {

// "2024-03-31", optionally followed by a time ("2024-03-31T00:00:00"); false otherwise.
bool ParseFilingDate(std::string_view text, FilingDate& date);
// Days since 1970-01-01 (proleptic Gregorian calendar).
std::int64_t DayNumber(FilingDate date);

enum class FilingScope { Preferred, NonConsolidated };

struct ImportedPeriod {
    std::string name;  // "2024年3月期"
    FilingDate end;
    std::array<std::string, kItemCount> amounts;  // whole yen, ItemIndex order
    std::string company;                          // the filer's name, when the filing gives it
};

// "2024年3月期": year and month of the fiscal year's last day.
std::string FilingPeriodName(FilingDate end);

// Why a filing gave no periods: a catalogue message and the detail text shown before it.
struct FilingProblem {
    int messageId = 0;
    std::string detail;
};

struct MappedFiling {
    std::vector<ImportedPeriod> periods;  // oldest first
    bool nonConsolidated = false;         // which figures were taken
    FilingProblem problem;                // messageId 0 when periods were found
    std::vector<std::string> notes;       // what the user should know of the periods taken
};

// Every fiscal year of the chosen figures (consolidated when the filing has them, else
// non-consolidated; or non-consolidated only) with all ten amounts; a year that lacks a
// required element refuses the whole filing, naming what is missing.
MappedFiling MapFiling(const FilingInstance& instance, FilingScope scope);

// The periods of all filings, oldest first; a period (year and month) found in several
// filings is taken from the last of them.
std::vector<ImportedPeriod> MergePeriods(const std::vector<std::vector<ImportedPeriod>>& filings);

// Header "期,流動資産,…,経常利益" and one record per period, lines ending in LF.
std::string ImportCsvText(const std::vector<ImportedPeriod>& periods);

}  // namespace quorvex
