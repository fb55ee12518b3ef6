// The CSV line reader against a plain reference: the text up to the first 0x1A, split at
// LF, a CR dropped only where an LF follows it, no line after a final LF or before the mark.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch/CsvText.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::vector<std::string> ReferenceLines(std::string_view data) {
    const std::string_view text = data.substr(0, data.find('\x1A'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        std::string_view line = text.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = lf + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in{std::string(bytes)};
    quorvex::CsvLineReader reader(in);
    std::vector<std::string> lines;
    std::string line;
    quorvex::CsvLineReader::Result r;
    while ((r = reader.Next(line)) == quorvex::CsvLineReader::Result::Line) {
        lines.push_back(line);
        FUZZ_CHECK(lines.size() <= size);
    }
    FUZZ_CHECK(r == quorvex::CsvLineReader::Result::End);
    FUZZ_CHECK(line.empty());
    // Once ended, it stays ended.
    FUZZ_CHECK(reader.Next(line) == quorvex::CsvLineReader::Result::End);
    FUZZ_CHECK(lines == ReferenceLines(bytes));
    return 0;
}
