#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <map>
#include <thread>
#include <utility>
#include <vector>

#include "engine/render/Diagrams.h"
#include "engine/render/PeriodRender.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

TEST(PrepareDiagramBitmap, SizesFormatAndFailures) {
    DiagramBitmap bitmap;
    EXPECT_TRUE(bitmap.isNull());
    ASSERT_TRUE(PrepareDiagramBitmap(bitmap, 400, 300));
    EXPECT_EQ(bitmap.width(), 400);
    EXPECT_EQ(bitmap.height(), 300);
    EXPECT_EQ(bitmap.image().format(), QImage::Format_RGB32);
    EXPECT_EQ(bitmap.image().logicalDpiY(), 96);
    EXPECT_EQ(bitmap.image().logicalDpiX(), 96);

    for (auto [w, h] : {std::pair{0, 300}, {400, 0}, {-1, 300}, {400, -5}}) {
        ASSERT_TRUE(PrepareDiagramBitmap(bitmap, 10, 10));
        EXPECT_FALSE(PrepareDiagramBitmap(bitmap, w, h)) << w << "x" << h;
        EXPECT_TRUE(bitmap.isNull());  // no usable bitmap until the next preparation
        EXPECT_FALSE(DrawBsDiagram(bitmap, test::SampleData(), DiagramOptions()));
    }
}

TEST(PrepareDiagramBitmap, CopyHandedOutKeepsItsPicture) {
    DiagramBitmap bitmap;
    ASSERT_TRUE(PrepareDiagramBitmap(bitmap, 40, 30));
    StatementData data = test::SampleData();
    ASSERT_TRUE(DrawBsDiagram(bitmap, data, DiagramOptions()));
    const QImage copy = bitmap.image();
    const QImage snapshot = copy.copy();
    for (auto& item : data.items) item.colour = 0;
    ASSERT_TRUE(PrepareDiagramBitmap(bitmap, 40, 30));
    ASSERT_TRUE(DrawBsDiagram(bitmap, data, DiagramOptions()));
    EXPECT_EQ(copy, snapshot);
    EXPECT_NE(bitmap.image(), snapshot);
}

TEST(RenderPeriodDiagrams, BothAtTheGivenSizeOrFailure) {
    DiagramBitmap bs, pl;
    const StatementData data = test::SampleData();
    ASSERT_TRUE(RenderPeriodDiagrams(data, DiagramOptions(), 321, 123, bs, pl));
    EXPECT_EQ(bs.image().size(), QSize(321, 123));
    EXPECT_EQ(pl.image().size(), QSize(321, 123));
    EXPECT_NE(bs.image(), pl.image());
    EXPECT_FALSE(RenderPeriodDiagrams(data, DiagramOptions(), 0, 123, bs, pl));
}

TEST(RenderPeriodDiagrams, SameResultFromSeveralThreadsAtOnce) {
    const StatementData data = test::SampleData();
    DiagramOptions options;
    options.DrawUnder = 0;
    DiagramBitmap bs, pl;
    ASSERT_TRUE(RenderPeriodDiagrams(data, options, 400, 300, bs, pl));

    constexpr int kThreads = 3;
    std::array<DiagramBitmap, kThreads> tbs, tpl;
    std::array<bool, kThreads> ok{};
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < 5; ++round) {
                    ok[t] = RenderPeriodDiagrams(data, options, 400, 300, tbs[t], tpl[t]);
                }
            });
        }
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(ok[t]);
        EXPECT_EQ(tbs[t].image(), bs.image()) << t;
        EXPECT_EQ(tpl[t].image(), pl.image()) << t;
    }
}

TEST(RenderPeriodDiagrams, NonFiniteRatiosDrawWithoutHarm) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CompositionRatios cases[] = {
        {inf, -inf, nan, 1e300, -1e300, nan, inf, -inf, 1e300, nan},
        {-inf, inf, -inf, inf, nan, 100, -inf, inf, -inf, inf},
        {nan, nan, nan, nan, nan, nan, nan, nan, nan, nan},
    };
    for (const auto& ratios : cases) {
        for (int lineWidth : {0, 20}) {
            DiagramOptions options;
            options.Futosa = lineWidth;
            options.CenterLine = kCentreLineLower;
            DiagramBitmap bs, pl;
            EXPECT_TRUE(
                RenderPeriodDiagrams(test::DataWithRatios(ratios), options, 200, 150, bs, pl));
        }
    }
}

TEST(DrawCentreLinePreview, ShowsTheModeInMiniature) {
    auto redPixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == qRgb(255, 0, 0);
        }
        return n;
    };
    const QImage none = DrawCentreLinePreview(kCentreLineNone, 40, 30);
    const QImage upper = DrawCentreLinePreview(kCentreLineUpper, 40, 30);
    const QImage lower = DrawCentreLinePreview(kCentreLineLower, 40, 30);
    ASSERT_EQ(upper.size(), QSize(40, 30));
    EXPECT_EQ(redPixels(none), 0);
    EXPECT_GT(redPixels(upper), 40);
    EXPECT_GT(redPixels(lower), 40);
    EXPECT_NE(upper, lower);
    EXPECT_TRUE(DrawCentreLinePreview(kCentreLineUpper, 0, 30).isNull());
}

// What the sample diagrams must show: each balance-sheet item's colour over about its share
// of its column (the borders and texts take a little), sales in a column of their own, and
// the red centre line across the width. tests/tools/sample-pictures writes the same
// pictures to look at.
TEST(SamplePictures, ShowTheItemsInTheirSharesAndTheCentreLine) {
    const StatementData data = test::SampleData();
    struct Variant {
        const char* name;
        int width, height, lineWidth, centreLine, drawUnder;
    };
    const Variant variants[] = {
        {"sample_400x300", 400, 300, 2, kCentreLineUpper, 1},
        {"sample_960x540_lower_right", 960, 540, 0, kCentreLineLower, 0},
    };
    for (const Variant& v : variants) {
        DiagramOptions options;
        options.Futosa = v.lineWidth;
        options.CenterLine = v.centreLine;
        options.DrawUnder = v.drawUnder;
        DiagramBitmap bs, pl;
        ASSERT_TRUE(RenderPeriodDiagrams(data, options, v.width, v.height, bs, pl)) << v.name;
        for (const auto& [bitmap, first] : {std::pair{&bs, kBsFirst}, std::pair{&pl, kPlFirst}}) {
            const QImage& image = bitmap->image();
            std::map<QRgb, int> counts;
            std::vector<bool> redInColumn(std::size_t(image.width()), false);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, y) & 0xFFFFFF;
                    ++counts[p];
                    if (p == 0xFF0000) redInColumn[std::size_t(x)] = true;
                }
            }
            const double columnArea = image.width() * image.height() / 2.0;
            const auto count = [&](int item) {
                const Colour c = data.items[std::size_t(item)].colour;
                return counts[qRgb(RedOf(c), GreenOf(c), BlueOf(c)) & 0xFFFFFF];
            };
            if (first == kPlFirst) {
                // Sales fill a column of their own; cost of sales and gross profit share
                // the rest, each clearly visible.
                const double area = 2 * columnArea;
                EXPECT_GT(count(kPlFirst), 0.2 * area) << v.name;
                EXPECT_GT(count(kPlFirst + 1), 0.2 * area) << v.name;
                EXPECT_GT(count(kPlFirst + 2), 0.02 * area) << v.name;
                continue;
            }
            // Assets in the left column, liabilities and equity in the right one.
            for (int i = kBsFirst; i < kBsFirst + 5; ++i) {
                const double expected = columnArea * data.ratios[std::size_t(i)] / 100.0;
                EXPECT_GT(count(i), 0.5 * expected) << v.name << " item " << i;
                EXPECT_LE(count(i), expected + image.height()) << v.name << " item " << i;
            }
            // The line runs inside the outer border from edge to edge.
            EXPECT_GE(std::count(redInColumn.begin(), redInColumn.end(), true),
                      image.width() - 2 * v.lineWidth)
                << v.name;
        }
    }
}

}  // namespace
}  // namespace quorvex
