#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "core/batch/CsvText.h"

namespace quorvex {
namespace {

TEST(SplitFields, FieldsEmptyFieldsAndFieldsBeyondTheLast) {
    struct Case {
        const char* text;
        int n;
        char sep;
        const char* field;
    };
    const Case cases[] = {
        {"a,,b", 1, ',', "a"},
        {"a,,b", 2, ',', ""},
        {"a,,b", 3, ',', "b"},
        {"a,,b", 4, ',', ""},
        {"abc", 1, ',', "abc"},
        {"abc", 2, ',', ""},
        {"", 1, ',', ""},
        {"a,", 2, ',', ""},
        {",a", 1, ',', ""},
        {"a\tb,c", 1, ',', "a\tb"},
        {"a\tb", 2, '\t', "b"},
        {" 9876543210", 1, ',', " 9876543210"},
        {"\"1,000\"", 1, ',', "\"1"},
        {"\"1,000\"", 2, ',', "000\""},
        {"x\r", 1, ',', "x\r"},
        {"a,b", 0, ',', ""},
        {"第1期,流動資産", 2, ',', "流動資産"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitFields(c.text, c.n, c.sep), c.field) << c.text << " field " << c.n;
    }
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::istringstream in(bytes);
    CsvLineReader reader(in);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line) == CsvLineReader::Result::Line) lines.push_back(line);
    return lines;
}

TEST(CsvLineReader, LineEndsBlankLinesAndTheEndOfFileMark) {
    using V = std::vector<std::string>;
    struct Case {
        std::string bytes;
        V lines;
    };
    const Case cases[] = {
        {"", V{}},
        {"a", V{"a"}},
        {"a\n", V{"a"}},
        {"a\nb", V{"a", "b"}},
        {"a\r\nb\r\n", V{"a", "b"}},
        {"a\n\n", V{"a", ""}},  // a blank last line is a record
        {"\n", V{""}},
        {"a\rb\n", V{"a\rb"}},  // a lone CR is an ordinary character
        {"a\r\r\n", V{"a\r"}},
        {"a\r", V{"a\r"}},
        {"a\nb\x1A"
         "c\nd\n",
         V{"a", "b"}},
        {"a\n\x1A\n", V{"a"}},
        {"\x1A"
         "a\n",
         V{}},
        {std::string("a\0b\n", 4), V{std::string("a\0b", 3)}},
    };
    for (const auto& c : cases) EXPECT_EQ(Lines(c.bytes), c.lines) << c.bytes;
}

TEST(CsvLineReader, LongLinesHaveNoLimit) {
    const std::string longLine(3'000'000, 'x');
    const auto lines = Lines(longLine + "\r\nb");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), longLine.size());
}

TEST(ScanCsv, CountsLinesAndChoosesTheEncoding) {
    struct Case {
        std::string bytes;
        std::size_t lines;
        TextEncoding encoding;
    };
    const std::string sjis = "\x8A\xFA,\x97\xAC\x93\xAE\x8E\x91\x8E\x59";  // 期,流動資産
    const Case cases[] = {
        {"", 0, TextEncoding::Utf8},
        {"a\nb\n", 2, TextEncoding::Utf8},
        {"期,流動資産\n1,2\n", 2, TextEncoding::Utf8},
        {"\xEF\xBB\xBF期,a\n1\n", 2, TextEncoding::Utf8WithBom},
        {sjis + "\r\n1\r\n", 2, TextEncoding::Cp932},
        // One CP932 line among UTF-8 ones makes the whole file CP932.
        {"期\n" + sjis + "\n", 2, TextEncoding::Cp932},
        {"\xEF\xBB\xBF" + sjis + "\n", 1, TextEncoding::Cp932},
        {"\xC0\x80\n", 1, TextEncoding::Cp932},      // overlong
        {"\xED\xA0\x80\n", 1, TextEncoding::Cp932},  // surrogate
        {"a\n\x1A\x82", 1, TextEncoding::Utf8},      // nothing after the mark is read
    };
    for (const auto& c : cases) {
        std::istringstream in(c.bytes);
        const CsvScan scan = ScanCsv(in, 5001);
        EXPECT_EQ(scan.lines, c.lines) << c.bytes;
        EXPECT_EQ(scan.encoding, c.encoding) << c.bytes;
        EXPECT_FALSE(scan.readError);
    }
}

TEST(ScanCsv, StopsCountingPastTheLimit) {
    std::string many;
    for (int i = 0; i < 100; ++i) many += "\n";
    std::istringstream in(many);
    EXPECT_EQ(ScanCsv(in, 10).lines, 11u);
}

TEST(Cp932Codec, DecodesEncodesAndReplaces) {
    const Cp932Codec codec;
    EXPECT_EQ(codec.Decode("\x8A\xFA,\x97\xAC\x93\xAE\x8E\x91\x8E\x59"), "期,流動資産");
    EXPECT_EQ(codec.Encode("期,流動資産"), "\x8A\xFA,\x97\xAC\x93\xAE\x8E\x91\x8E\x59");
    EXPECT_EQ(codec.Decode("\x81\x7F"), "\xEF\xBF\xBD\x7F");  // 0x7F is no trail byte
    EXPECT_EQ(codec.Decode("a\x82"), "a\xEF\xBF\xBD");        // cut-off lead byte
    EXPECT_EQ(codec.Encode("a\xEF\xBF\xBD"
                           "b"),
              "a?b");                                  // U+FFFD has no CP932 form
    EXPECT_EQ(codec.Encode("\xF0\x9F\x98\x80"), "?");  // nor has an emoji
    EXPECT_EQ(codec.Encode("▲"), "\x81\xA3");

    // Half-width katakana grow from one byte to three: the output buffer fills many times.
    std::string narrow, wide;
    for (int i = 0; i < 200000; ++i) {
        narrow += "\xB1,";  // ｱ
        wide += "ｱ,";
    }
    EXPECT_EQ(codec.Decode(narrow), wide);
    EXPECT_EQ(codec.Encode(wide), narrow);
}

TEST(EncodeTextFile, CrLfAndTheInputsEncoding) {
    const Cp932Codec codec;
    EXPECT_EQ(EncodeTextFile("期\na\n", TextEncoding::Utf8, codec), "期\r\na\r\n");
    EXPECT_EQ(EncodeTextFile("期\n", TextEncoding::Utf8WithBom, codec), "\xEF\xBB\xBF期\r\n");
    EXPECT_EQ(EncodeTextFile("期\n", TextEncoding::Cp932, codec), "\x8A\xFA\r\n");
    EXPECT_EQ(DecodeLine("\x8A\xFA", TextEncoding::Cp932, codec), "期");
    EXPECT_EQ(DecodeLine("\x8A\xFA", TextEncoding::Utf8, codec), "\x8A\xFA");
}

}  // namespace
}  // namespace quorvex
