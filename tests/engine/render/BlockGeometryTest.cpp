#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/render/BlockGeometry.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

CompositionRatios Bs(double r0, double r1, double r2, double r3, double r4) {
    return {r0, r1, r2, r3, r4, 0, 0, 0, 0, 0};
}
CompositionRatios Pl(double r5, double r6, double r7, double r8, double r9) {
    return {0, 0, 0, 0, 0, r5, r6, r7, r8, r9};
}

// The centre of a text of size 0 in the block's text area.
std::pair<int, int> TextCentre(int index, const PixelRect& block) {
    const PixelRect r = BlockTextRect(BlockTextArea(index, block), 0, 0);
    return {(r.left + r.right) / 2, r.top};
}

TEST(BsGeometry, WorkedExample) {
    const BsGeometry g = ComputeBsGeometry(400, 300, Bs(60, 40, 30, 20, 50));
    EXPECT_EQ(g.half, 200);
    EXPECT_EQ(g.ca, 180);
    EXPECT_EQ(g.cl, 90);
    EXPECT_EQ(g.fl, 60);
    const PixelRect expected[] = {
        {0, 0, 200, 180},    {0, 180, 200, 300},   {200, 0, 400, 90},
        {200, 90, 400, 150}, {200, 150, 400, 300},
    };
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g.blocks[i], expected[i]) << i;
    EXPECT_EQ(BlockTextArea(3, g.blocks[3]), (PixelRect{200, 90, 300, 150}));
    EXPECT_EQ(BlockTextArea(4, g.blocks[4]), (PixelRect{300, 150, 400, 300}));
    EXPECT_EQ(TextCentre(3, g.blocks[3]), std::make_pair(250, 120));
    EXPECT_EQ(TextCentre(4, g.blocks[4]), std::make_pair(350, 225));
    // Blocks 0..2 use the whole block.
    EXPECT_EQ(BlockTextArea(0, g.blocks[0]), g.blocks[0]);
    EXPECT_EQ(TextCentre(0, g.blocks[0]), std::make_pair(100, 90));
}

TEST(BsGeometry, SampleDataAt400x300) {
    const BsGeometry g = ComputeBsGeometry(400, 300, test::SampleData().ratios);
    EXPECT_EQ(g.ca, 242);
    EXPECT_EQ(g.cl, 217);
    EXPECT_EQ(g.fl, 26);
    EXPECT_EQ(g.blocks[3], (PixelRect{200, 217, 400, 243}));
    EXPECT_EQ(g.blocks[4], (PixelRect{200, 243, 400, 300}));
}

TEST(PlGeometry, WorkedExample) {
    const PlGeometry g = ComputePlGeometry(600, 300, Pl(100, 60, 40, 30, 10));
    EXPECT_EQ(g.third, 200);
    EXPECT_EQ(g.two, 400);
    EXPECT_EQ(g.co, 180);
    EXPECT_EQ(g.fx, 90);
    const PixelRect expected[] = {
        {0, 0, 200, 300},     {200, 0, 600, 180},   {200, 180, 400, 300},
        {400, 180, 600, 270}, {400, 270, 600, 300},
    };
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g.blocks[i], expected[i]) << i;
    EXPECT_EQ(BlockTextArea(3, g.blocks[3]), (PixelRect{400, 180, 500, 270}));
    EXPECT_EQ(BlockTextArea(4, g.blocks[4]), (PixelRect{500, 270, 600, 300}));
    EXPECT_EQ(TextCentre(3, g.blocks[3]), std::make_pair(450, 225));
    EXPECT_EQ(TextCentre(4, g.blocks[4]), std::make_pair(550, 285));
}

TEST(PlGeometry, ColumnsOfWidth400AndSampleData) {
    const PlGeometry g = ComputePlGeometry(400, 300, test::SampleData().ratios);
    EXPECT_EQ(g.third, 133);
    EXPECT_EQ(g.two, 266);
    EXPECT_EQ(g.blocks[0].right - g.blocks[0].left, 133);
    EXPECT_EQ(g.blocks[2].right - g.blocks[2].left, 133);
    EXPECT_EQ(g.blocks[3].right - g.blocks[3].left, 134);
    EXPECT_EQ(g.co, 256);
    EXPECT_EQ(g.fx, 42);
    EXPECT_EQ(g.blocks[4], (PixelRect{266, 298, 400, 300}));
}

TEST(Geometry, ZeroNegativeAndOddCases) {
    struct Case {
        const char* what;
        int width, height;
        CompositionRatios ratios;
        bool bs;
        std::array<PixelRect, 5> blocks;
    };
    const Case cases[] = {
        {"all balance-sheet amounts empty",
         400,
         300,
         Bs(0, 0, 0, 0, 0),
         true,
         {{{0, 0, 200, 0},
           {0, 0, 200, 300},
           {200, 0, 400, 0},
           {200, 0, 400, 0},
           {200, 0, 400, 300}}}},
        {"fixed liabilities 0",
         400,
         300,
         Bs(60, 40, 30, 0, 70),
         true,
         {{{0, 0, 200, 180},
           {0, 180, 200, 300},
           {200, 0, 400, 90},
           {200, 90, 400, 90},
           {200, 90, 400, 300}}}},
        {"negative equity",
         400,
         300,
         Bs(50, 50, 75, 37.5, -12.5),
         true,
         {{{0, 0, 200, 150},
           {0, 150, 200, 300},
           {200, 0, 400, 225},
           {200, 225, 400, 337},
           {200, 337, 400, 300}}}},
        {"odd width: the right column takes the extra pixel",
         401,
         300,
         Bs(60, 40, 30, 20, 50),
         true,
         {{{0, 0, 200, 180},
           {0, 180, 200, 300},
           {200, 0, 401, 90},
           {200, 90, 401, 150},
           {200, 150, 401, 300}}}},
        {"ordinary loss",
         600,
         300,
         Pl(100, 60, 40, 50, -10),
         false,
         {{{0, 0, 200, 300},
           {200, 0, 600, 180},
           {200, 180, 400, 300},
           {400, 180, 600, 330},
           {400, 330, 600, 300}}}},
        {"gross loss",
         600,
         300,
         Pl(100, 120, -20, 10, -30),
         false,
         {{{0, 0, 200, 300},
           {200, 0, 600, 360},
           {200, 360, 400, 300},
           {400, 360, 600, 390},
           {400, 390, 600, 300}}}},
        {"cost plus gross profit 0",
         600,
         300,
         Pl(0, 0, 0, 0, 0),
         false,
         {{{0, 0, 200, 300},
           {200, 0, 600, 0},
           {200, 0, 400, 300},
           {400, 0, 600, 0},
           {400, 0, 600, 300}}}},
        // Truncation toward zero: 300 * 33.999 / 100 = 101.997 and -0.9 -> 0.
        {"truncation",
         400,
         300,
         Bs(33.999, 0, -0.3, 10, 0),
         true,
         {{{0, 0, 200, 101},
           {0, 101, 200, 300},
           {200, 0, 400, 0},
           {200, 0, 400, 30},
           {200, 30, 400, 300}}}},
    };
    for (const Case& c : cases) {
        const auto blocks = c.bs ? ComputeBsGeometry(c.width, c.height, c.ratios).blocks
                                 : ComputePlGeometry(c.width, c.height, c.ratios).blocks;
        for (int i = 0; i < 5; ++i) EXPECT_EQ(blocks[i], c.blocks[i]) << c.what << " block " << i;
    }
}

TEST(Geometry, NonFiniteAndHugeValuesSaturate) {
    const BsGeometry inf = ComputeBsGeometry(400, 300, Bs(kInf, kNaN, kInf, kInf, -kInf));
    EXPECT_EQ(inf.ca, kMax);
    EXPECT_EQ(inf.cl, kMax);
    EXPECT_EQ(inf.blocks[3].bottom, kMax);  // cl + fl does not wrap around
    EXPECT_EQ(inf.blocks[4], (PixelRect{200, kMax, 400, 300}));

    const BsGeometry nan = ComputeBsGeometry(400, 300, Bs(kNaN, kNaN, kNaN, kNaN, kNaN));
    EXPECT_EQ(nan.ca, 0);
    EXPECT_EQ(nan.cl, 0);
    EXPECT_EQ(nan.fl, 0);

    const PlGeometry neg = ComputePlGeometry(400, 300, Pl(0, -kInf, 0, -kInf, 0));
    EXPECT_EQ(neg.co, kMin);
    EXPECT_EQ(neg.blocks[3].bottom, kMin);

    const PlGeometry wide = ComputePlGeometry(kMax, kMax, Pl(100, 1e300, 0, 1e300, 0));
    EXPECT_EQ(wide.third, kMax / 3);
    EXPECT_EQ(wide.two, static_cast<std::int32_t>(2 * std::int64_t{kMax} / 3));
    EXPECT_EQ(wide.blocks[4].top, kMax);
}

TEST(BlockTextRect, CentredOrStandingOnTheBottomEdge) {
    struct Case {
        const char* what;
        PixelRect area;
        int hw, hh;
        PixelRect rect;
    };
    const Case cases[] = {
        {"fits", {200, 90, 300, 150}, 20, 8, {226, 112, 274, 128}},
        {"exactly as high as the text", {0, 0, 100, 16}, 10, 8, {36, 0, 64, 16}},
        {"one pixel lower than the text", {0, 0, 100, 15}, 10, 8, {36, -1, 64, 15}},
        {"empty block at the top edge stands above it",
         {200, 0, 400, 0},
         30,
         8,
         {266, -16, 334, 0}},
        {"inverted block below the bitmap", {300, 337, 400, 300}, 10, 8, {336, 284, 364, 300}},
        {"centre of negative coordinates truncates toward zero",
         {-3, -3, 0, 0},
         0,
         0,
         {-5, -1, 3, -1}},
    };
    for (const Case& c : cases) EXPECT_EQ(BlockTextRect(c.area, c.hw, c.hh), c.rect) << c.what;

    const PixelRect far = BlockTextRect({kMax, kMax, kMax, kMax}, 10, 8);
    EXPECT_EQ(far.right, kMax);
    EXPECT_EQ(far.bottom, kMax - 8 + 8);
}

}  // namespace
}  // namespace quorvex
