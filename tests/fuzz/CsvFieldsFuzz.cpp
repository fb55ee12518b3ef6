// Field splitting against a plain reference. The first byte picks the separator (comma or
// tab), the rest is the line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch/CsvText.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char separator = (data[0] & 1) ? '\t' : ',';
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = text.find(separator, start);
        fields.push_back(text.substr(start, pos == std::string_view::npos ? pos : pos - start));
        if (pos == std::string_view::npos) break;
        start = pos + 1;
    }
    FUZZ_CHECK(quorvex::CountChar(text, separator) + 1 == fields.size());
    const int count = static_cast<int>(fields.size());
    for (int n = -1; n <= count + 2; ++n) {
        const std::string got = quorvex::SplitFields(text, n, separator);
        if (n >= 1 && n <= count) {
            FUZZ_CHECK(got == fields[static_cast<std::size_t>(n - 1)]);
        } else {
            FUZZ_CHECK(got.empty());
        }
    }
    return 0;
}
