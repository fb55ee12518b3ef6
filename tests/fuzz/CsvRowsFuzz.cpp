// EDINET's CSV rows: the same text fed whole or in pieces gives the same facts and
// contexts, never more than kept, every context of the documented forms.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/import/EdinetCsv.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

quorvex::FilingInstance Read(std::string_view text, std::size_t piece, int& message) {
    quorvex::EdinetCsvReader reader(32, 512);
    for (std::size_t at = 0; at < text.size(); at += piece) {
        if (!reader.Feed(text.substr(at, piece))) break;
    }
    quorvex::FilingInstance out;
    message = reader.Finish(out).messageId;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int whole = 0, pieces = 0;
    const auto a = Read(text, text.size() + 1, whole);
    const auto b = Read(text, 3, pieces);
    FUZZ_CHECK(whole == pieces);
    FUZZ_CHECK(a.facts.size() == b.facts.size() && a.contexts.size() == b.contexts.size());
    FUZZ_CHECK(a.facts.size() <= 32);
    for (const auto& c : a.contexts) {
        quorvex::CsvContextId id;
        FUZZ_CHECK(quorvex::ParseCsvContextId(c.id, id));
        FUZZ_CHECK(c.instant || c.start <= c.end);
    }
    return 0;
}
