#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/TextLines.h"

namespace quorvex {
namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    for (const std::string_view line : TextLines(text)) out.emplace_back(line);
    return out;
}

TEST(TextLines, SplitAtEachLineFeed) {
    struct Case {
        const char* name;
        std::string_view text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"empty text", "", {}},
        {"one line without LF", "a", {"a"}},
        {"a final LF adds no empty line", "a\n", {"a"}},
        {"empty lines count", "\n\nb\n", {"", "", "b"}},
        {"a last line without LF", "a\nb", {"a", "b"}},
        {"CR stays with its line", "a\r\nb\r\n", {"a\r", "b\r"}},
        {"a lone CR is no line end", "a\rb", {"a\rb"}},
        {"NUL is an ordinary byte", std::string_view("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Lines(c.text), c.lines) << c.name;
}

TEST(TextLines, IteratorsOfOneTextCompareByPlace) {
    const TextLines lines("x\ny\n");
    auto it = lines.begin();
    EXPECT_NE(it, lines.end());
    auto copy = it++;
    EXPECT_EQ(*copy, "x");
    EXPECT_EQ(*it, "y");
    EXPECT_NE(copy, it);
    ++it;
    EXPECT_EQ(it, lines.end());
    EXPECT_EQ(std::vector<std::string_view>(lines.begin(), lines.end()).size(), 2u);
}

TEST(TextLines, TableRowsSkipEmptyAndCommentLines) {
    struct Case {
        std::string_view line;
        bool row;
        std::string_view withoutCr;
    };
    const Case cases[] = {
        {"", false, ""},          {"\r", false, ""},      {"# note", false, "# note"},
        {"#", false, "#"},        {" #", true, " #"},     {"1\tx", true, "1\tx"},
        {"1\tx\r", true, "1\tx"}, {"a\r\r", true, "a\r"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsTableRow(c.line), c.row) << c.line;
        EXPECT_EQ(WithoutCr(c.line), c.withoutCr) << c.line;
    }
}

}  // namespace
}  // namespace quorvex
