#include <gtest/gtest.h>

#include <algorithm>

#include "core/model/Indicators.h"
#include "engine/render/Diagrams.h"
#include "engine/render/SharedScale.h"
#include "tests/engine/render/RecordingSurface.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

using test::RecordingSurface;
constexpr Colour kLineGrey = 0x00404040;

// A period with sales 2000 and the cost, gross profit, fixed costs and profit given.
StatementData Period(const char* cost, const char* gross, const char* fixed, const char* profit) {
    StatementData data = test::SampleData();
    const char* amounts[] = {"2000", cost, gross, fixed, profit};
    for (int k = 0; k < 5; ++k) data.items[std::size_t(kPlFirst + k)].amount = amounts[k];
    ComputePlRatios(data);
    return data;
}

// The union of the grey dashes, and whether they tile it from the left with 4-pixel gaps.
struct Drawn {
    bool any = false;
    PixelRect band{};
    std::vector<PixelRect> dashes;
    std::vector<RecordingSurface::Call> texts;
};

Drawn DrawnLine(const RecordingSurface& surface) {
    Drawn d;
    for (const auto& call : surface.Of(RecordingSurface::Call::kFill)) {
        if (call.colour != kLineGrey) continue;
        d.dashes.push_back(call.rect);
        if (!d.any) d.band = call.rect;
        d.any = true;
        d.band.left = std::min(d.band.left, call.rect.left);
        d.band.right = std::max(d.band.right, call.rect.right);
    }
    for (const auto& call : surface.Of(RecordingSurface::Call::kDrawText)) {
        if (call.text.starts_with("損益分岐点")) d.texts.push_back(call);
    }
    return d;
}

TEST(BreakEvenLine, BandAndTextForProfitLossNoFixedCostsAndNoMarginalProfit) {
    struct Case {
        const char* what;
        StatementData data;
        bool drawn;
        PixelRect band;  // at 400 x 300: the sales block is 0..133 wide
        std::string text;
        PixelRect textRect;
    };
    const Case cases[] = {
        // 400 / 0.25 = 1600 of 2000: 80 %, 240 of 300 rows from the bottom, row 60.
        {"profit",
         Period("1500", "500", "400", "100"),
         true,
         {0, 59, 133, 61},
         "損益分岐点 80.0%",
         {0, 41, 133, 57}},
        // 2400 of 2000: the line at the top, the text below it and saying so.
        {"loss",
         Period("1500", "500", "600", "-100"),
         true,
         {0, 0, 133, 2},
         "損益分岐点 120.0%\n(売上高が届かず赤字)",
         {0, 4, 133, 36}},
        // No fixed costs: break-even at nothing, the whole block is safety margin.
        {"no fixed costs",
         Period("1500", "500", "0", "500"),
         true,
         {0, 298, 133, 300},
         "損益分岐点 0.0%",
         {0, 280, 133, 296}},
        // No marginal profit: no break-even point, nothing drawn.
        {"no marginal profit", Period("2000", "0", "400", "-400"), false, {}, "", {}},
    };
    DiagramOptions options;
    options.BreakEven = 1;
    for (const Case& c : cases) {
        RecordingSurface surface;
        DrawPlDiagram(surface, 400, 300, c.data, options);
        const Drawn d = DrawnLine(surface);
        ASSERT_EQ(d.any, c.drawn) << c.what;
        if (!c.drawn) {
            EXPECT_TRUE(d.texts.empty()) << c.what;
            continue;
        }
        EXPECT_EQ(d.band, c.band) << c.what;
        // Dashes of 8 with gaps of 4, the last cut at the block's edge.
        EXPECT_EQ(d.dashes.size(), 12u) << c.what;
        EXPECT_EQ(d.dashes[1].left - d.dashes[0].right, 4) << c.what;
        EXPECT_EQ(d.dashes.back().right, 133) << c.what;
        ASSERT_EQ(d.texts.size(), 1u) << c.what;
        EXPECT_EQ(d.texts[0].text, c.text) << c.what;
        EXPECT_EQ(d.texts[0].rect, c.textRect) << c.what;
    }
}

TEST(BreakEvenLine, OffByDefaultLeavesTheDiagramsCallsAsTheyWere) {
    const StatementData data = Period("1500", "500", "400", "100");
    RecordingSurface plain, off;
    DiagramOptions options;
    DrawPlDiagram(plain, 400, 300, data, options);
    options.BreakEven = 0;
    DrawPlDiagram(off, 400, 300, data, options);
    EXPECT_FALSE(DrawnLine(plain).any);
    ASSERT_EQ(plain.calls.size(), off.calls.size());
    options.BreakEven = 1;
    RecordingSurface on;
    DrawPlDiagram(on, 400, 300, data, options);
    // The same drawing with 12 dashes and one text more, after everything else.
    ASSERT_EQ(on.calls.size(), plain.calls.size() + 13);
}

TEST(BreakEvenLine, FollowsTheSharedScale) {
    // Sales 2000 drawn at half the figure: the line at 80 % of the scaled 150 rows.
    const StatementData data = Period("1500", "500", "400", "100");
    DiagramScale scale;
    scale.mode = ScaleMode::Shared;
    scale.pixels = 150;
    scale.amount = 2000;
    DiagramOptions options;
    options.BreakEven = 1;
    RecordingSurface surface;
    DrawScaledDiagram(surface, {0, 0, 400, 300}, DiagramKind::ProfitAndLoss, data, options, scale);
    const auto viewports = surface.Of(RecordingSurface::Call::kViewport);
    ASSERT_FALSE(viewports.empty());
    EXPECT_EQ(viewports.front().rect, (PixelRect{0, 150, 400, 300}));
    // In the viewport's own rows: 150 - trunc(150 x 0.8) = 30.
    EXPECT_EQ(DrawnLine(surface).band, (PixelRect{0, 29, 133, 31}));
}

}  // namespace
}  // namespace quorvex
