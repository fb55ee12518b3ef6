// The fixed random sequence and the colour file text, as written and as read.
#include <gtest/gtest.h>

#include <tuple>

#include "aids/ColourFile.h"

namespace quorvex {
namespace {

using Rgb = std::tuple<int, int, int>;
Rgb RgbOf(Colour c) {
    return {RedOf(c), GreenOf(c), BlueOf(c)};
}

TEST(RandGenerator, FollowsTheClassicSequence) {
    RandGenerator rand;
    EXPECT_EQ(rand.Next(), 41);
    EXPECT_EQ(rand.Next(), 18467);
    EXPECT_EQ(rand.Next(), 6334);
}

TEST(RandomItemColour, FirstTwoClicksGiveTheFixedSets) {
    RandGenerator rand;
    const std::vector<Rgb> first = {
        {240, 255, 200}, {255, 216, 200}, {232, 248, 255}, {240, 224, 255}, {255, 200, 224},
        {255, 216, 200}, {216, 200, 255}, {255, 192, 192}, {224, 255, 208}, {255, 224, 224}};
    for (const Rgb& expected : first) EXPECT_EQ(RgbOf(RandomItemColour(rand)), expected);
    EXPECT_EQ(RgbOf(RandomItemColour(rand)), Rgb(255, 224, 232));
    EXPECT_EQ(RgbOf(RandomItemColour(rand)), Rgb(240, 255, 208));
    EXPECT_EQ(RgbOf(RandomItemColour(rand)), Rgb(208, 216, 255));
}

TEST(RandomItemColour, AlwaysLightWithOneFullChannel) {
    RandGenerator rand;
    for (int n = 0; n < 2000; ++n) {
        const Colour c = RandomItemColour(rand);
        ASSERT_EQ(c >> 24, 0u);
        int full = 0;
        for (const int v : {RedOf(c), GreenOf(c), BlueOf(c)}) {
            if (v == 255) {
                ++full;
            } else {
                EXPECT_TRUE(v >= 192 && v <= 248 && v % 8 == 0) << v;
            }
        }
        EXPECT_GE(full, 1);
    }
}

TEST(ColourFileText, DefaultsAsWrittenAndReadBack) {
    std::array<Colour, kItemCount> colours;
    std::copy(DefaultItemColours.begin(), DefaultItemColours.end(), colours.begin());
    const std::string text = ColourFileText(colours);
    EXPECT_EQ(text,
              "15459068\r\n11789051\r\n16576989\r\n14545121\r\n15785446\r\n"
              "15459068\r\n11789051\r\n16576989\r\n14545121\r\n15785446\r\n");
    EXPECT_EQ(ReadColourFileText(text), std::vector<Colour>(colours.begin(), colours.end()));
}

TEST(ColourFileText, ExtremeValuesRoundTrip) {
    std::array<Colour, kItemCount> colours{};
    colours[0] = 0xFFFFFFFFu;
    colours[1] = 0x00FFFFFFu;
    colours[2] = 0x80000000u;
    const std::string text = ColourFileText(colours);
    EXPECT_EQ(text.substr(0, 24), "-1\r\n16777215\r\n-214748364");
    EXPECT_EQ(ReadColourFileText(text), std::vector<Colour>(colours.begin(), colours.end()));
}

struct ReadCase {
    const char* what;
    std::string text;
    std::vector<Colour> expected;
};

TEST(ReadColourFileText, IsLenient) {
    const std::vector<ReadCase> cases = {
        {"three lines", "1\n2\n3\n", {1, 2, 3}},
        {"twelve lines: the last two are ignored",
         "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"a blank third line is black", "1\r\n2\r\n\r\n4\r\n", {1, 2, 0, 4}},
        {"-1 is all bits set", "-1\n", {0xFFFFFFFFu}},
        {"16777215 is white", "16777215", {0x00FFFFFFu}},
        {"blanks, sign, stop at the first other character", "  +42xyz\r\n\t7 8\n", {42, 7}},
        {"no digits gives black", "abc\n", {0}},
        {"beyond 32 bits saturates", "99999999999\n-99999999999\n", {0x7FFFFFFFu, 0x80000000u}},
        {"an empty file reads nothing", "", {}},
        {"a lone line end is one blank line", "\n", {0}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadColourFileText(c.text), c.expected) << c.what;
}

}  // namespace
}  // namespace quorvex
