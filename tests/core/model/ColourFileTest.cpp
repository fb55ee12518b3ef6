#include <gtest/gtest.h>

#include "core/model/ColourFile.h"

namespace quorvex {
namespace {

TEST(ReadColourFileText, LenientReading) {
    using C = std::array<Colour, kItemCount>;
    const C start = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    struct Case {
        std::string text;
        C colours;
    };
    const Case cases[] = {
        {"15459068\r\n11789051\r\n16576989\r\n14545121\r\n15785446\r\n15459068\r\n11789051\r\n"
         "16576989\r\n14545121\r\n15785446\r\n",
         DefaultItemColours},
        {"100\n200\n300", {100, 200, 300, 4, 5, 6, 7, 8, 9, 10}},
        {"1\n1\n\n1\n", {1, 1, 0, 1, 5, 6, 7, 8, 9, 10}},  // a blank line is black
        {"0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n11\n12\n", {}},
        {" 16777215x\n-1\nabc\n", {16777215, 0xFFFFFFFF, 0, 4, 5, 6, 7, 8, 9, 10}},
        {"", start},
        {"7\x1A\n8\n", {7, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const auto& c : cases) {
        C colours = start;
        ReadColourFileText(c.text, colours);
        EXPECT_EQ(colours, c.colours) << c.text;
    }
}

}  // namespace
}  // namespace quorvex
