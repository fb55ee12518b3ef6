#pragma once
// From the facts of a filing's XBRL instance to the ten amounts of each fiscal year, and
// from several filings to one batch CSV. Toolkit-free: the reader (engine/import) hands
// over only the contexts and facts it kept (core/import/FilingInstance.h).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/FilingElements.h"
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
    FilingStandard standard = FilingStandard::JapanGaap;
    bool nonConsolidated = false;
    int months = 0;  // the income statement's length
    // Where each amount came from: the element(s), or the rule; a fallback says so ("※").
    std::array<std::string, kItemCount> sources;
};

// The item names of the period's standard (税引前利益 in the place of 経常利益 for IFRS).
std::array<std::string, kItemCount> PeriodItemNames(const ImportedPeriod& period);

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

// Every period the report holds, of the standard its DEI states, with all ten amounts:
// consolidated unless the filer prepares none or scope asks for the parent's statements.
// A filer with consolidated statements the filing does not let us read is refused, never
// given the parent's figures unasked. A period that cannot be completed is left out and
// named in a note; when none can be, the filing is refused naming what is missing.
MappedFiling MapFiling(const FilingInstance& instance, FilingScope scope);

// The periods of all filings, oldest first; a period of one company found in several
// filings (same name and last day) is taken from the last of them.
std::vector<ImportedPeriod> MergePeriods(const std::vector<std::vector<ImportedPeriod>>& filings);

// Header "期,流動資産,…,経常利益" and one record per period, lines ending in LF. The last
// column is 税引前利益 when every period is IFRS, "経常利益・税引前利益" when they are mixed.
std::string ImportCsvText(const std::vector<ImportedPeriod>& periods);

// "任天堂 2024年3月期": the company's short name before each period's name (none without it).
void NamePeriodsByCompany(std::vector<ImportedPeriod>& periods);

// The lines of --explain for a period: company, standard, basis, then each item's source.
std::string ExplainText(const ImportedPeriod& period);

}  // namespace quorvex
