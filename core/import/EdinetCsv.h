#pragma once
// EDINET's CSV download (XBRL_TO_CSV): one fact a row, tab-separated and quoted, columns
// 要素ID, 項目名, コンテキストID, 相対年度, 連結・個別, 期間・時点, ユニットID, 単位, 値. The file
// has no context definitions: a context's period comes from its ID's documented form and
// the DEI rows of the same file. Toolkit-free; the engine decodes the UTF-16 and feeds the
// text here as UTF-8.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/FilingFigures.h"
#include "core/import/FilingInstance.h"

namespace quorvex {

// The context IDs whose period the DEI rows give: "CurrentYearInstant",
// "Prior1YearDuration", "InterimDuration", "Prior1InterimInstant", "FilingDateInstant",
// each optionally followed by "_NonConsolidatedMember". False for every other shape (other
// members, earlier years, quarters), which is ignored rather than guessed at.
struct CsvContextId {
    enum class Period { FilingDate, CurrentYear, PriorYear, Interim, PriorInterim } period;
    bool instant = false;
    bool nonConsolidated = false;
};
bool ParseCsvContextId(std::string_view id, CsvContextId& out);

// The DEI dates of a filing, by element local name ("CurrentFiscalYearStartDateDEI", …),
// and its TypeOfCurrentPeriodDEI ("FY", "HY").
struct CsvDei {
    std::map<std::string, FilingDate, std::less<>> dates;
    std::string periodType;
};
// The context's period, when the DEI dates give it (the interim contexts only in a
// half-year filing; the filing date is not among the DEI dates).
std::optional<FilingContext> CsvContext(std::string_view id, const CsvDei& dei);

// Reads the rows as they arrive, keeping only the facts IsMappedFact asks for and the DEI
// dates; Finish adds the contexts the kept facts refer to.
class EdinetCsvReader {
  public:
    EdinetCsvReader(std::size_t maxKept, std::size_t maxFieldBytes)
        : maxKept_(maxKept), maxFieldBytes_(maxFieldBytes) {}
    // False once the text is refused (problem() says why); later calls do nothing.
    bool Feed(std::string_view utf8);
    FilingProblem Finish(FilingInstance& out);
    const FilingProblem& problem() const { return problem_; }

  private:
    void EndField();
    void EndRecord();
    void Row(const std::vector<std::string>& fields);
    void Refuse(int messageId, std::string detail);

    std::size_t maxKept_, maxFieldBytes_;
    FilingProblem problem_;
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted } state_ = State::FieldStart;
    std::string field_;
    std::vector<std::string> fields_;
    std::size_t record_ = 0;  // records ended, the header included
    CsvDei dei_;
    std::vector<FilingFact> facts_;
};

}  // namespace quorvex
