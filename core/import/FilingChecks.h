#pragma once
// Checks every reader applies to what it hands to the mapping, whatever the filing's form:
// strict calendar dates, conflicting facts and contexts, and the bounded text of the
// messages that quote a filing's own values.

#include <string>
#include <string_view>

#include "core/import/FilingFigures.h"
#include "core/import/FilingInstance.h"

namespace quorvex {

// An xs:date or xs:dateTime as XBRL writes a period: "YYYY-MM-DD", optionally
// "Thh:mm:ss[.fff]" and a zone ("Z", "+09:00"). The day must exist in the proleptic
// Gregorian calendar and the year must not be 0000; false otherwise.
bool ParseCalendarDate(std::string_view text, FilingDate& date);

// Two facts of one element in one context with different values, or two contexts with
// one id and different periods, end the import: the problem names the element (or "コン
// テキスト"), the context and both values. Equal duplicates are dropped. Control
// characters in fact values become U+FFFD, so no value can start a line of a message.
FilingProblem CheckFilingInstance(FilingInstance& instance);

// A text from a filing as a message quotes it: at most kQuotedCharacters characters, then
// "…"; C0 and C1 control characters (line breaks included) and invalid UTF-8 become U+FFFD.
std::string QuotedValue(std::string_view utf8);

// The detail of a problem as it is shown: every line bounded as QuotedValue bounds a
// value, and of a list of many lines (one per period) the first kShownPeriods, then
// "ほか N期".
inline constexpr std::size_t kShownPeriods = 20;
std::string BoundedDetail(std::string_view detail);

}  // namespace quorvex
