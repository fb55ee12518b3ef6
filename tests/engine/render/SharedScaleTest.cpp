// The shared scale: totals, the scale of a set, the height of each diagram, the scaled
// drawing through the recording surface and in pixels, and the comparison sheet's layout.
#include <gtest/gtest.h>

#include <limits>

#include "core/model/NumberText.h"
#include "engine/render/ComparisonSheet.h"
#include "engine/render/Diagrams.h"
#include "engine/render/PeriodRender.h"
#include "engine/render/SharedScale.h"
#include "tests/engine/render/RecordingSurface.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

using test::RecordingSurface;
using Call = RecordingSurface::Call;

// A period with assets a0 + a1, liabilities and equity a2 + a3 + a4, sales s.
StatementData Period(std::string a0, std::string a1, std::string a2, std::string a3, std::string a4,
                     std::string s) {
    StatementData d = test::SampleData();
    const std::string amounts[] = {a0, a1, a2, a3, a4, s, "0", "0", "0", "0"};
    for (int i = 0; i < kItemCount; ++i) d.items[i].amount = amounts[i];
    ComputeBsRatios(d);
    ComputePlRatios(d);
    return d;
}

// Balanced balance sheet of total t, sales s.
StatementData Totals(double t, double s) {
    return Period(std::to_string(t / 2), std::to_string(t / 2), std::to_string(t / 2), "0",
                  std::to_string(t / 2), std::to_string(s));
}

TEST(DiagramTotals, SumsAndNonsense) {
    struct Case {
        const char* what;
        StatementData data;
        double bs, pl;
    };
    const Case cases[] = {
        {"balanced", Period("60", "40", "30", "20", "50", "250"), 100, 250},
        {"assets larger", Period("300", "0", "100", "100", "0", "0"), 300, 0},
        {"liabilities larger", Period("100", "0", "100", "100", "300", "50"), 500, 50},
        {"negative totals", Period("-100", "20", "-5", "0", "-1", "-7"), 0, 0},
        {"negative equity, positive total", Period("100", "0", "150", "0", "-50", "1"), 100, 1},
        {"infinite", Period("1e999", "0", "1", "0", "0", "1e999"), 0, 0},
        {"not a number", Period("1e999", "-1e999", "5", "0", "0", "-1e999"), 0, 0},
        {"texts", Period("abc", "", "12円", "3", "", "x"), 15, 0},
    };
    for (const Case& c : cases) {
        const DiagramTotals t = TotalsOf(c.data);
        EXPECT_EQ(t.bs, c.bs) << c.what;
        EXPECT_EQ(t.pl, c.pl) << c.what;
    }
}

TEST(SharedScale, HeightsOfASet) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, DiagramTotals>> set;  // figure height, totals
        int height;                                      // figure of the diagram asked for
        double total;
        int h;
    };
    const std::vector<std::pair<int, DiagramTotals>> three = {
        {300, {100, 50}}, {300, {200, 0}}, {300, {400, 400}}};
    const Case cases[] = {
        {"100 of 400", three, 300, 100, 75},
        {"200 of 400", three, 300, 200, 150},
        {"400 of 400", three, 300, 400, 300},
        {"sales 50", three, 300, 50, 37},
        {"zero", three, 300, 0, 0},
        {"negative", three, 300, -10, 0},
        {"not finite", three, 300, std::numeric_limits<double>::infinity(), 0},
        {"nan", three, 300, std::numeric_limits<double>::quiet_NaN(), 0},
        // M = 0 takes no part: the set's scale is still 300 px for 400.
        {"with an empty period", {{300, {0, 0}}, {300, {400, 0}}, {100, {0, 0}}}, 300, 200, 150},
        {"only empty periods", {{300, {0, 0}}}, 300, 0, 0},
        // Smallest H / M: 200 px for 400 (0.5) beats 300 px for 500 (0.6).
        {"mixed heights, the set", {{300, {500, 0}}, {200, {400, 0}}}, 300, 500, 250},
        {"mixed heights, the scale's own", {{300, {500, 0}}, {200, {400, 0}}}, 200, 400, 200},
        // Equal H / M: the first period sets the scale.
        {"tie", {{300, {600, 0}}, {100, {200, 0}}}, 100, 200, 100},
        // 3 x M / M comes out as 2.9999999999999996 in double; the largest still fills.
        {"largest fills exactly", {{3, {1.4154156731064123, 0}}}, 3, 1.4154156731064123, 3},
    };
    for (const Case& c : cases) {
        SharedScaleBuilder builder;
        for (const auto& [h, t] : c.set) builder.Add(h, t);
        EXPECT_EQ(ScaledHeight(builder.Result(), c.height, c.total), c.h) << c.what;
    }
}

TEST(SharedScale, BasisAndRatioMode) {
    struct Case {
        const char* what;
        DiagramScale scale;
        int height;
        double total;
        int h;
    };
    const Case cases[] = {
        {"ratio mode fills", DiagramScale{}, 300, 5, 300},
        {"basis half", BasisScale(1000), 300, 500, 150},
        {"basis own height", BasisScale(1000), 250, 500, 125},
        {"basis exactly", BasisScale(1000), 300, 1000, 300},
        {"total above the basis", BasisScale(1000), 300, 4000, 300},
        {"multiplication first", BasisScale(3), 300, 1, 100},
        {"basis not usable", BasisScale(-5), 300, 1, 0},
        {"basis infinite", BasisScale(std::numeric_limits<double>::infinity()), 300, 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaledHeight(c.scale, c.height, c.total), c.h) << c.what;
    }
}

DiagramScale ScaleOf(std::initializer_list<StatementData> set, int height) {
    SharedScaleBuilder builder;
    for (const StatementData& d : set) builder.Add(height, TotalsOf(d));
    return builder.Result();
}

// The calls of a diagram drawn alone at width x h.
std::vector<Call> Alone(DiagramKind kind, int width, int h, const StatementData& data,
                        const DiagramOptions& options) {
    RecordingSurface s;
    if (kind == DiagramKind::BalanceSheet) {
        DrawBsDiagram(s, width, h, data, options);
    } else {
        DrawPlDiagram(s, width, h, data, options);
    }
    return s.calls;
}

void ExpectSameCalls(const std::vector<Call>& got, const std::vector<Call>& want,
                     const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].kind, want[i].kind) << what << " call " << i;
        EXPECT_EQ(got[i].rect, want[i].rect) << what << " call " << i;
        EXPECT_EQ(got[i].points, want[i].points) << what << " call " << i;
        EXPECT_EQ(got[i].text, want[i].text) << what << " call " << i;
    }
}

TEST(DrawScaledDiagram, WhiteAboveTheDiagramAtItsHeight) {
    const StatementData small = Totals(100, 250);  // PL 250 of the set's 400
    const StatementData large = Totals(400, 0);
    const DiagramScale scale = ScaleOf({small, large}, 300);
    const DiagramOptions options;
    struct Case {
        const char* what;
        const StatementData& data;
        DiagramKind kind;
        PixelRect figure;
        int h;
    };
    const Case cases[] = {
        {"bs quarter", small, DiagramKind::BalanceSheet, {10, 20, 410, 320}, 75},
        {"pl", small, DiagramKind::ProfitAndLoss, {0, 0, 400, 300}, 187},
        {"bs full", large, DiagramKind::BalanceSheet, {0, 0, 400, 300}, 300},
        {"pl empty", large, DiagramKind::ProfitAndLoss, {5, 5, 405, 305}, 0},
    };
    for (const Case& c : cases) {
        RecordingSurface s;
        DrawScaledDiagram(s, c.figure, c.kind, c.data, options, scale);
        const int height = c.figure.bottom - c.figure.top;
        std::vector<Call> calls = s.calls;
        if (c.h < height) {
            ASSERT_FALSE(calls.empty()) << c.what;
            EXPECT_EQ(calls.front().kind, Call::kFill) << c.what;
            EXPECT_EQ(calls.front().colour, 0x00FFFFFFu) << c.what;
            EXPECT_EQ(calls.front().rect, (PixelRect{c.figure.left, c.figure.top, c.figure.right,
                                                     c.figure.bottom - c.h}))
                << c.what;
            calls.erase(calls.begin());
        }
        if (c.h == 0) {
            EXPECT_TRUE(calls.empty()) << c.what;
            continue;
        }
        ASSERT_GE(calls.size(), 2u) << c.what;
        EXPECT_EQ(calls.front().kind, Call::kViewport) << c.what;
        EXPECT_EQ(calls.front().rect, (PixelRect{c.figure.left, c.figure.bottom - c.h,
                                                 c.figure.right, c.figure.bottom}))
            << c.what;
        EXPECT_EQ(calls.back().kind, Call::kViewport) << c.what;
        EXPECT_EQ(calls.back().width, -1) << c.what;  // reset
        calls.erase(calls.begin());
        calls.pop_back();
        ExpectSameCalls(calls, Alone(c.kind, c.figure.right - c.figure.left, c.h, c.data, options),
                        c.what);
    }
}

// Every row above the bottom h is white; the bottom h rows are the diagram drawn alone.
void ExpectWhiteAboveDiagram(const QImage& scaled, const QImage& alone, const char* what) {
    const int h = alone.isNull() ? 0 : alone.height();
    const int top = scaled.height() - h;
    for (int y = 0; y < top; ++y) {
        for (int x = 0; x < scaled.width(); ++x) {
            ASSERT_EQ(scaled.pixel(x, y), 0xFFFFFFFFu) << what << " at " << x << "," << y;
        }
    }
    if (h > 0) {
        EXPECT_EQ(scaled.copy(0, top, scaled.width(), h), alone) << what;
    }
}

TEST(DrawScaledDiagram, PixelsEqualTheDiagramDrawnAlone) {
    // Names, ratios, borders and the centre line all inside the bottom rows, none above.
    const StatementData small = Period("300", "100", "150", "50", "200", "1000");
    const StatementData large = Period("1500", "500", "1000", "500", "500", "1200");
    const DiagramScale scale = ScaleOf({small, large}, 300);
    struct Case {
        const char* what;
        int lineWidth, centreLine, names;
    };
    const Case cases[] = {
        {"thin, upper line, texts", 1, kCentreLineUpper, 1},
        {"no borders", 0, kCentreLineLower, 1},
        {"wide borders, no texts", 9, kCentreLineUpper, 0},
    };
    for (const Case& c : cases) {
        DiagramOptions o;
        o.Futosa = c.lineWidth;
        o.CenterLine = c.centreLine;
        o.DrawName = c.names;
        o.DrawRitu = c.names;
        for (const StatementData* d : {&small, &large}) {
            DiagramBitmap bs, pl;
            ASSERT_TRUE(RenderPeriodDiagrams(*d, o, 400, 300, bs, pl, scale));
            const DiagramTotals t = TotalsOf(*d);
            for (const auto& [kind, bitmap, total] :
                 {std::tuple{DiagramKind::BalanceSheet, &bs, t.bs},
                  std::tuple{DiagramKind::ProfitAndLoss, &pl, t.pl}}) {
                const int h = ScaledHeight(scale, 300, total);
                DiagramBitmap alone;
                if (h > 0) {
                    ASSERT_TRUE(PrepareDiagramBitmap(alone, 400, h));
                    ASSERT_TRUE(kind == DiagramKind::BalanceSheet ? DrawBsDiagram(alone, *d, o)
                                                                  : DrawPlDiagram(alone, *d, o));
                }
                ExpectWhiteAboveDiagram(bitmap->image(), alone.image(), c.what);
            }
        }
    }
}

TEST(ComparisonSheet, CellRectangles) {
    DiagramOptions o;  // 10 pt: text 13 px, title 15 pt = 20 px
    ASSERT_EQ(SheetTextPixels(o), 13);
    ASSERT_EQ(SheetTitlePixels(o), 20);
    const int x0 = kSheetMargin + 6 * 13 + 8 + kSheetGap;  // 114
    const int yBs = kSheetMargin + 40;                     // 56
    struct Case {
        int periods, w, h;
    };
    for (const Case& c : {Case{1, 400, 300}, Case{3, 400, 300}, Case{60, 200, 150}}) {
        const auto layout = ComputeSheetLayout(c.periods, c.w, c.h, o);
        ASSERT_TRUE(layout) << c.periods;
        ASSERT_EQ(layout->bs.size(), std::size_t(c.periods));
        ASSERT_EQ(layout->pl.size(), std::size_t(c.periods));
        ASSERT_EQ(layout->label.size(), std::size_t(c.periods));
        const int yPl = yBs + c.h + kSheetGap;
        for (int i = 0; i < c.periods; ++i) {
            const int x = x0 + i * (c.w + kSheetGap);
            EXPECT_EQ(layout->bs[i], (PixelRect{x, yBs, x + c.w, yBs + c.h})) << i;
            EXPECT_EQ(layout->pl[i], (PixelRect{x, yPl, x + c.w, yPl + c.h})) << i;
            EXPECT_EQ(layout->label[i], (PixelRect{x, yPl + c.h, x + c.w, yPl + c.h + 26})) << i;
        }
        EXPECT_EQ(layout->width, x0 + c.periods * c.w + (c.periods - 1) * kSheetGap + kSheetMargin);
        EXPECT_EQ(layout->height, yPl + c.h + 26 + kSheetMargin);
        EXPECT_EQ(layout->title,
                  (PixelRect{kSheetMargin, kSheetMargin, layout->width - kSheetMargin, yBs}));
        EXPECT_EQ(layout->scaleColumn, (PixelRect{kSheetMargin, yBs, x0 - kSheetGap, yPl + c.h}));
    }
    EXPECT_EQ(60, kMaxSheetPeriods);
    EXPECT_FALSE(ComputeSheetLayout(61, 400, 300, o));
    EXPECT_FALSE(ComputeSheetLayout(0, 400, 300, o));
    EXPECT_FALSE(ComputeSheetLayout(3, 0, 300, o));
}

TEST(ComparisonSheet, ScaleBar) {
    struct Case {
        double amount;
        int pixels;
        const char* digits;
        int barPixels;
    };
    const Case cases[] = {
        {400, 300, "200", 150}, {1000, 300, "1000", 300},
        {999, 300, "500", 150}, {7955680368, 300, "5000000000", 188},
        {1.5, 100, "1", 66},
    };
    for (const Case& c : cases) {
        const DiagramScale scale{ScaleMode::Shared, c.pixels, c.amount, false};
        const auto bar = ComputeScaleBar(scale, c.pixels);
        ASSERT_TRUE(bar) << c.amount;
        EXPECT_EQ(bar->digits, c.digits) << c.amount;
        EXPECT_EQ(bar->pixels, c.barPixels) << c.amount;
    }
    EXPECT_FALSE(ComputeScaleBar(DiagramScale{ScaleMode::Shared, 300, 0.5, false}, 300));
    EXPECT_FALSE(ComputeScaleBar(DiagramScale{ScaleMode::Shared, 0, 0, false}, 300));
    EXPECT_FALSE(ComputeScaleBar(DiagramScale{}, 300));
}

// Rows of a cell with any pixel that is not white.
int DrawnRows(const QImage& image, const PixelRect& cell) {
    int rows = 0;
    for (int y = cell.top; y < cell.bottom; ++y) {
        for (int x = cell.left; x < cell.right; ++x) {
            if (image.pixel(x, y) != 0xFFFFFFFFu) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

TEST(ComparisonSheet, BalanceSheetBlocksStandInProportion) {
    SheetContent content;
    content.title = "比較";
    for (int k : {1, 2, 4}) {
        content.periods.push_back(Totals(100.0 * k, 60.0 * k));
        content.periods.back().period.text = std::to_string(k);
    }
    content.options.Futosa = 0;
    const auto layout = ComputeSheetLayout(3, 300, 240, content.options);
    ASSERT_TRUE(layout);
    content.scale = SheetScale(content.periods, 240);
    DiagramBitmap sheet;
    ASSERT_TRUE(PrepareDiagramBitmap(sheet, layout->width, layout->height));
    ASSERT_TRUE(DrawOnBitmap(sheet, [&](DiagramSurface& s, int, int) {
        DrawComparisonSheet(s, *layout, content);
        return true;
    }));
    const int unit = DrawnRows(sheet.image(), layout->bs[0]);
    EXPECT_NEAR(unit, 60, 1);
    EXPECT_NEAR(DrawnRows(sheet.image(), layout->bs[1]), 2 * unit, 1);
    EXPECT_NEAR(DrawnRows(sheet.image(), layout->bs[2]), 4 * unit, 1);
    // Sales 60 % of the balance sheet on the same scale.
    EXPECT_NEAR(DrawnRows(sheet.image(), layout->pl[2]), 144, 1);

    // The recording: one viewport per drawn diagram, the period texts and the scale note.
    RecordingSurface s;
    DrawComparisonSheet(s, *layout, content);
    int viewports = 0;
    for (const Call& c : s.Of(Call::kViewport)) viewports += c.width != -1;
    EXPECT_EQ(viewports, 6);
    std::vector<std::string> texts;
    for (const Call& c : s.Of(Call::kDrawText)) texts.push_back(c.text);
    for (const char* t : {"比較", "第1期", "第2期", "第4期", "200円"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
    }
}

}  // namespace
}  // namespace quorvex
