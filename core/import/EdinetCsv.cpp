#include "core/import/EdinetCsv.h"

#include <array>
#include <charconv>

#include "core/import/FilingChecks.h"
#include "core/model/Messages.h"

namespace quorvex {
namespace {

constexpr std::array<std::string_view, 9> kColumns = {"要素ID",     "項目名",     "コンテキストID",
                                                      "相対年度",   "連結・個別", "期間・時点",
                                                      "ユニットID", "単位",       "値"};
constexpr std::size_t kElementColumn = 0, kContextColumn = 2, kUnitColumn = 6, kValueColumn = 8;
// The mark for "no value" in the download.
constexpr std::string_view kNone = "－";

bool Consume(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

// A filer's prefix: "<form>_<EDINET code>-<number>", as "jpcrp030000-asr_E01737-000".
bool IsFilerPrefix(std::string_view prefix) {
    const auto us = prefix.rfind('_');
    if (us == std::string_view::npos) return false;
    const std::string_view code = prefix.substr(us + 1);
    if (code.size() != 10 || code[0] < 'A' || code[0] > 'Z' || code[6] != '-') return false;
    for (std::size_t i = 1; i < code.size(); ++i) {
        if (i != 6 && (code[i] < '0' || code[i] > '9')) return false;
    }
    return true;
}

bool ElementOf(std::string_view id, FilingElement& element) {
    const auto colon = id.find(':');
    if (colon == std::string_view::npos || colon + 1 == id.size()) return false;
    const std::string_view prefix = id.substr(0, colon);
    struct Known {
        std::string_view prefix;
        FilingTaxonomy taxonomy;
    };
    static constexpr std::array<Known, 4> kKnown = {{{"jppfs_cor", FilingTaxonomy::Jppfs},
                                                     {"jpigp_cor", FilingTaxonomy::Jpigp},
                                                     {"jpdei_cor", FilingTaxonomy::Jpdei},
                                                     {"jpcrp_cor", FilingTaxonomy::Jpcrp}}};
    bool found = false;
    for (const Known& k : kKnown) {
        if (prefix == k.prefix) {
            element.taxonomy = k.taxonomy;
            found = true;
        }
    }
    if (!found && !IsFilerPrefix(prefix)) return false;
    if (!found) element.taxonomy = FilingTaxonomy::Filer;
    element.name = std::string(id.substr(colon + 1));
    return true;
}

}  // namespace

bool ParseCsvContextId(std::string_view id, CsvContextId& out) {
    CsvContextId c;
    if (Consume(id, "FilingDate")) {
        c.period = CsvContextId::Period::FilingDate;
    } else if (Consume(id, "CurrentYear")) {
        c.period = CsvContextId::Period::CurrentYear;
    } else if (Consume(id, "Prior1Year")) {
        c.period = CsvContextId::Period::PriorYear;
    } else if (Consume(id, "Prior1Interim")) {
        c.period = CsvContextId::Period::PriorInterim;
    } else if (Consume(id, "Interim")) {
        c.period = CsvContextId::Period::Interim;
    } else {
        return false;
    }
    if (Consume(id, "Instant")) {
        c.instant = true;
    } else if (!Consume(id, "Duration")) {
        return false;
    }
    if (c.period == CsvContextId::Period::FilingDate && !c.instant) return false;
    c.nonConsolidated = Consume(id, "_NonConsolidatedMember");
    if (!id.empty()) return false;
    out = c;
    return true;
}

std::optional<FilingContext> CsvContext(std::string_view id, const CsvDei& dei) {
    CsvContextId c;
    if (!ParseCsvContextId(id, c)) return std::nullopt;
    const auto date = [&dei](std::string_view name) -> std::optional<FilingDate> {
        const auto it = dei.dates.find(name);
        return it == dei.dates.end() ? std::nullopt : std::optional(it->second);
    };
    std::optional<FilingDate> start, end;
    using P = CsvContextId::Period;
    const bool halfYear = dei.periodType == "HY";
    switch (c.period) {
        case P::FilingDate:
            return std::nullopt;
        case P::CurrentYear:
            start = date("CurrentFiscalYearStartDateDEI");
            end = date("CurrentFiscalYearEndDateDEI");
            break;
        case P::PriorYear:
            start = date("PreviousFiscalYearStartDateDEI");
            end = date("PreviousFiscalYearEndDateDEI");
            break;
        case P::Interim:
            if (!halfYear) return std::nullopt;
            start = date("CurrentFiscalYearStartDateDEI");
            end = date("CurrentPeriodEndDateDEI");
            break;
        case P::PriorInterim:
            if (!halfYear) return std::nullopt;
            start = date("PreviousFiscalYearStartDateDEI");
            end = date("ComparativePeriodEndDateDEI");
            break;
    }
    if (!end || (!c.instant && (!start || *start > *end))) return std::nullopt;
    FilingContext context;
    context.id = std::string(id);
    context.instant = c.instant;
    context.end = *end;
    if (!c.instant) context.start = *start;
    context.nonConsolidated = c.nonConsolidated;
    return context;
}

void EdinetCsvReader::Refuse(int messageId, std::string detail) {
    if (problem_.messageId == 0) problem_ = {messageId, std::move(detail)};
}

bool EdinetCsvReader::Feed(std::string_view utf8) {
    for (const char ch : utf8) {
        if (problem_.messageId != 0) return false;
        switch (state_) {
            case State::FieldStart:
                if (ch == '"') {
                    state_ = State::Quoted;
                    continue;
                }
                state_ = State::Unquoted;
                [[fallthrough]];
            case State::Unquoted:
                if (ch == '\t') {
                    EndField();
                } else if (ch == '\n') {
                    EndRecord();
                } else if (ch != '\r') {
                    field_ += ch;
                }
                break;
            case State::Quoted:
                if (ch == '"') {
                    state_ = State::QuoteInQuoted;
                } else {
                    field_ += ch;
                }
                break;
            case State::QuoteInQuoted:
                if (ch == '"') {  // "" inside quotes
                    field_ += ch;
                    state_ = State::Quoted;
                } else if (ch == '\t') {
                    EndField();
                } else if (ch == '\n') {
                    EndRecord();
                } else if (ch != '\r') {
                    Refuse(kMsgImportBadCsv, std::to_string(record_ + 1) + "行\n");
                }
                break;
        }
        if (field_.size() > maxFieldBytes_) Refuse(kMsgImportTokenTooLarge, {});
    }
    return problem_.messageId == 0;
}

void EdinetCsvReader::EndField() {
    fields_.push_back(std::move(field_));
    field_.clear();
    state_ = State::FieldStart;
    if (fields_.size() > kColumns.size()) {
        Refuse(kMsgImportBadCsv, std::to_string(record_ + 1) + "行\n");
    }
}

void EdinetCsvReader::EndRecord() {
    EndField();
    if (problem_.messageId != 0) return;
    std::vector<std::string> fields = std::move(fields_);
    fields_.clear();
    ++record_;
    if (fields.size() == 1 && fields[0].empty()) return;  // an empty line
    if (record_ == 1) {
        bool header = fields.size() == kColumns.size();
        for (std::size_t i = 0; header && i < kColumns.size(); ++i) {
            // The first column may still carry the byte-order mark.
            std::string_view name = fields[i];
            if (i == 0) Consume(name, "\uFEFF");
            header = name == kColumns[i];
        }
        if (!header) Refuse(kMsgImportNotFiling, {});
        return;
    }
    if (fields.size() != kColumns.size()) {
        Refuse(kMsgImportBadCsv, std::to_string(record_) + "行\n");
        return;
    }
    Row(fields);
}

void EdinetCsvReader::Row(const std::vector<std::string>& fields) {
    FilingFact fact;
    const std::string& value = fields[kValueColumn];
    if (!ElementOf(fields[kElementColumn], fact.element) || value.empty() || value == kNone) {
        return;
    }
    fact.numeric = !fields[kUnitColumn].empty();
    if (fact.element.taxonomy == FilingTaxonomy::Jpdei) {
        if (fact.element.name == "TypeOfCurrentPeriodDEI") dei_.periodType = value;
        if (fact.element.name.ends_with("DateDEI")) {
            FilingDate d;
            if (!ParseCalendarDate(value, d)) {
                Refuse(kMsgImportBadDate,
                       QuotedValue(fields[kElementColumn]) + ": " + QuotedValue(value) + "\n");
                return;
            }
            const auto [it, added] = dei_.dates.emplace(fact.element.name, d);
            if (!added && it->second != d) {
                Refuse(kMsgImportConflict, QuotedValue(fields[kElementColumn]) + "\n");
                return;
            }
        }
    }
    if (!IsMappedFact(fact.element, fact.numeric)) return;
    if (facts_.size() >= maxKept_) {
        Refuse(kMsgImportTooManyFacts, {});
        return;
    }
    fact.context = fields[kContextColumn];
    fact.value = value;
    facts_.push_back(std::move(fact));
}

FilingProblem EdinetCsvReader::Finish(FilingInstance& out) {
    if (problem_.messageId == 0 && state_ == State::Quoted) {
        Refuse(kMsgImportBadCsv, std::to_string(record_ + 1) + "行\n");
    } else if (problem_.messageId == 0 && (!field_.empty() || !fields_.empty())) {
        EndRecord();
    }
    if (problem_.messageId == 0 && record_ == 0) Refuse(kMsgImportNotFiling, {});
    if (problem_.messageId != 0) return problem_;
    std::map<std::string, bool, std::less<>> ids;
    for (const FilingFact& f : facts_) ids.emplace(f.context, true);
    for (const auto& [id, unused] : ids) {
        if (auto c = CsvContext(id, dei_)) out.contexts.push_back(std::move(*c));
    }
    for (FilingFact& f : facts_) out.facts.push_back(std::move(f));
    facts_.clear();
    return {};
}

}  // namespace quorvex
