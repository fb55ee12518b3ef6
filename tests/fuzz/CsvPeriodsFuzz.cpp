// The DEI/period logic of EDINET's CSV: a context ID and DEI dates from the input; a
// context is given only for the documented forms, with real dates, start before end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/import/EdinetCsv.h"
#include "core/import/FilingChecks.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // "<id>\n<type>\n<date>\n<date>…": the dates fill the DEI names in order.
    const auto next = [&text]() {
        const auto nl = text.find('\n');
        const std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        return line;
    };
    const std::string_view id = next();
    quorvex::CsvDei dei;
    dei.periodType = std::string(next());
    static const char* const kNames[] = {
        "CurrentFiscalYearStartDateDEI", "CurrentFiscalYearEndDateDEI",
        "CurrentPeriodEndDateDEI",       "PreviousFiscalYearStartDateDEI",
        "PreviousFiscalYearEndDateDEI",  "ComparativePeriodEndDateDEI"};
    for (const char* name : kNames) {
        quorvex::FilingDate d;
        if (quorvex::ParseCalendarDate(next(), d)) dei.dates[name] = d;
    }
    const auto context = quorvex::CsvContext(id, dei);
    quorvex::CsvContextId parsed;
    if (!quorvex::ParseCsvContextId(id, parsed)) FUZZ_CHECK(!context);
    if (context) {
        FUZZ_CHECK(context->id == id);
        FUZZ_CHECK(context->instant == parsed.instant);
        FUZZ_CHECK(context->nonConsolidated == parsed.nonConsolidated);
        FUZZ_CHECK(context->instant || context->start <= context->end);
        FUZZ_CHECK(context->end.year != 0 && context->end.month >= 1 && context->end.day >= 1);
    }
    return 0;
}
