#pragma once
// From the facts of a filing's XBRL instance to the ten amounts of each fiscal year, and
// from several filings to one batch CSV. Toolkit-free: the reader (engine/import) hands
// over only the contexts and facts it kept.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/StatementData.h"

namespace quorvex {

struct FilingDate {
    int year = 0, month = 0, day = 0;
    auto operator<=>(const FilingDate&) const = default;
};
// "2024-03-31", optionally followed by a time ("2024-03-31T00:00:00"); false otherwise.
bool ParseFilingDate(std::string_view text, FilingDate& date);
// Days since 1970-01-01 (proleptic Gregorian calendar).
std::int64_t DayNumber(FilingDate date);

// A context without dimensions other than the consolidated/non-consolidated axis; the
// reader drops every other context.
struct FilingContext {
    std::string id;
    bool instant = false;
    FilingDate start, end;  // an instant has only end
    bool nonConsolidated = false;
};

// A fact of the Japanese-GAAP financial-statement taxonomy, by its local name.
struct FilingFact {
    std::string element;
    std::string context;
    std::string value;  // trimmed, as written
};

struct FilingInstance {
    std::vector<FilingContext> contexts;
    std::vector<FilingFact> facts;
};

// The elements the mapping reads; the reader keeps facts of no others.
bool IsMappedElement(std::string_view localName);

enum class FilingScope { Preferred, NonConsolidated };

struct ImportedPeriod {
    std::string name;  // "2024年3月期"
    FilingDate end;
    std::array<std::string, kItemCount> amounts;  // whole yen, ItemIndex order
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
