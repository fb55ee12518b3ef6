// The encoding scan: line count and the UTF-8/CP932 decision against the line reader and an
// independent UTF-8 check, and decoding or encoding either way always gives well-formed
// text. The first byte picks the line limit of the scan.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "core/batch/CsvText.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// Well-formed UTF-8 by decoding: shortest form, no surrogates, at most U+10FFFF.
bool ReferenceUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) return false;
        std::uint32_t cp = len == 1 ? c : c & (0x7Fu >> len);
        for (int k = 1; k < len; ++k) {
            const auto t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        static constexpr std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(len);
    }
    return true;
}

const quorvex::Cp932Codec& Codec() {
    static const quorvex::Cp932Codec codec;
    return codec;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t maxLines = data[0] % 8;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    FUZZ_CHECK(quorvex::IsValidUtf8(bytes) == ReferenceUtf8(bytes));

    std::istringstream scanIn(bytes);
    const quorvex::CsvScan scan = quorvex::ScanCsv(scanIn, maxLines);
    FUZZ_CHECK(!scan.readError);

    // The same lines through the reader: the scan counts up to maxLines + 1 of them and calls
    // the file UTF-8 only when every counted line is.
    std::istringstream in(bytes);
    quorvex::CsvLineReader reader(in);
    std::string line;
    std::size_t lines = 0;
    bool utf8 = true;
    bool bom = false;
    const quorvex::Cp932Codec& codec = Codec();
    while (lines <= maxLines && reader.Next(line) == quorvex::CsvLineReader::Result::Line) {
        if (lines == 0) bom = line.starts_with(quorvex::kUtf8Bom);
        utf8 = utf8 && ReferenceUtf8(line);
        ++lines;
        const std::string decoded = quorvex::DecodeLine(line, quorvex::TextEncoding::Cp932, codec);
        FUZZ_CHECK(ReferenceUtf8(decoded));
        // Encoding text that came from CP932 gives CP932 again, never longer than twice the
        // original (every character is one or two bytes, a replacement one "?").
        const std::string encoded =
            quorvex::EncodeTextFile(decoded, quorvex::TextEncoding::Cp932, codec);
        FUZZ_CHECK(encoded.size() <= 2 * line.size() + 1);
        FUZZ_CHECK(encoded.find('\n') == std::string::npos);
    }
    FUZZ_CHECK(scan.lines == lines);
    const auto expected = !utf8 ? quorvex::TextEncoding::Cp932
                          : bom ? quorvex::TextEncoding::Utf8WithBom
                                : quorvex::TextEncoding::Utf8;
    FUZZ_CHECK(scan.encoding == expected);

    // Any text at all, also one that is not UTF-8, encodes without failing.
    const std::string anyEncoded =
        quorvex::EncodeTextFile(bytes, quorvex::TextEncoding::Cp932, codec);
    FUZZ_CHECK(anyEncoded.size() <= 2 * bytes.size());
    return 0;
}
