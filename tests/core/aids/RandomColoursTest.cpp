// The fixed random sequence of the random-colour button.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/aids/RandomColours.h"

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

}  // namespace
}  // namespace quorvex
