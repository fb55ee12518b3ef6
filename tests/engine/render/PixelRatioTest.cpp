// The diagrams at a screen's pixel ratio: device sizes, the scaling surface, ratio-1
// identity and sharp block edges at integer ratios.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "engine/render/Diagrams.h"
#include "engine/render/PainterSurface.h"
#include "engine/render/PeriodRender.h"
#include "engine/render/PixelRatio.h"
#include "tests/engine/render/RecordingSurface.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex::test {
namespace {

TEST(DevicePixels, RoundsUpAndIgnoresNonsense) {
    struct Case {
        int logical;
        double ratio;
        int device;
    };
    const Case cases[] = {
        {300, 1.0, 300},  {300, 1.5, 450},  {301, 1.5, 452}, {300, 1.1, 330},
        {400, 1.25, 500}, {401, 1.25, 502}, {7, 3.0, 21},    {0, 2.0, 0},
        {-4, 2.0, -4},    {5, 0.5, 5},      {5, NAN, 5},     {5, INFINITY, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DevicePixels(c.logical, c.ratio), c.device) << c.logical << " x " << c.ratio;
    }
}

// Pen widths and font sizes are scaled; the diagram gets its own request back, so a font
// restored by the diagram is not scaled twice.
TEST(RatioSurface, ScalesWidthsAndFontsOnly) {
    RecordingSurface inner;
    RatioSurface surface(inner, 1.5);
    FontRequest font;
    font.face = "x";
    font.pixelSize = 13;
    const FontRequest before = surface.SelectFont(font);
    EXPECT_EQ(before.pixelSize, 0);
    surface.Rectangle({1, 2, 30, 40}, 0x10, 2, 0x20);
    surface.Rectangle({1, 2, 30, 40}, 0x10, 0, 0x20);
    const DiagramPoint points[] = {{0, 5}, {9, 5}};
    surface.Polyline(points, 0xFF, 5);
    surface.Fill({3, 4, 5, 6}, 0x30);
    EXPECT_EQ(surface.SelectFont(before).pixelSize, 13);

    const auto fonts = inner.Of(RecordingSurface::Call::kSelectFont);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].font.pixelSize, 20);  // 19.5 rounded
    EXPECT_EQ(fonts[1].font.pixelSize, 0);
    const auto rects = inner.Of(RecordingSurface::Call::kRectangle);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].width, 3);
    EXPECT_EQ(rects[0].rect, (PixelRect{1, 2, 30, 40}));
    EXPECT_EQ(rects[1].width, 0);
    EXPECT_EQ(inner.Of(RecordingSurface::Call::kPolyline).at(0).width, 8);  // 7.5 rounded
    EXPECT_EQ(inner.Of(RecordingSurface::Call::kFill).at(0).rect, (PixelRect{3, 4, 5, 6}));
}

DiagramOptions WithTexts() {
    DiagramOptions options;
    options.DrawName = 1;
    options.DrawRitu = 1;
    return options;
}

// At ratio 1 the bitmap is byte for byte the figure-size drawing, on either scale.
TEST(DrawDiagramAtRatio, RatioOneIsTheFigureSizeDrawing) {
    const StatementData data = SampleData();
    for (const DiagramKind kind : {DiagramKind::BalanceSheet, DiagramKind::ProfitAndLoss}) {
        for (const bool shared : {false, true}) {
            const DiagramScale scale = shared ? PeriodScale(data, 300) : DiagramScale{};
            DiagramBitmap expected, got;
            ASSERT_TRUE(PrepareDiagramBitmap(expected, 400, 300));
            ASSERT_TRUE(DrawScaledDiagram(expected, kind, data, WithTexts(), scale));
            ASSERT_TRUE(DrawDiagramAtRatio(got, kind, 400, 300, 1.0, data, WithTexts(), scale));
            EXPECT_EQ(got.image().devicePixelRatio(), 1.0);
            EXPECT_TRUE(got.image() == expected.image()) << int(kind) << shared;
        }
    }
}

std::set<QRgb> ColoursOf(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) colours.insert(row[x] | 0xFF000000u);
    }
    return colours;
}

// Without texts every pixel is a block, border or centre-line colour: no edge is smeared.
// The blocks are those of the geometry at the device size.
TEST(DrawDiagramAtRatio, IntegerRatiosKeepEdgesSharp) {
    const StatementData data = SampleData();
    DiagramOptions options;  // borders 2
    options.CenterLine = 0;
    options.DrawName = 0;
    options.DrawRitu = 0;
    std::set<QRgb> allowed = {qRgb(255, 0, 0) | 0xFF000000u, qRgb(128, 128, 128) | 0xFF000000u};
    for (int i = 0; i < kItemCount; ++i) {
        allowed.insert(ToQRgb(data.items[i].colour) | 0xFF000000u);
        allowed.insert(ToQRgb(BorderColour(data.items[i].colour)) | 0xFF000000u);
    }
    for (const double ratio : {2.0, 3.0}) {
        for (const DiagramKind kind : {DiagramKind::BalanceSheet, DiagramKind::ProfitAndLoss}) {
            DiagramBitmap bitmap;
            ASSERT_TRUE(DrawDiagramAtRatio(bitmap, kind, 401, 301, ratio, data, options, {}));
            const QImage& image = bitmap.image();
            EXPECT_EQ(image.width(), int(401 * ratio));
            EXPECT_EQ(image.height(), int(301 * ratio));
            EXPECT_EQ(image.devicePixelRatio(), ratio);
            for (const QRgb c : ColoursOf(image)) {
                EXPECT_TRUE(allowed.count(c)) << std::hex << c << " at ratio " << ratio;
            }
            if (kind != DiagramKind::BalanceSheet) continue;
            // The edge between current and fixed assets lies where the device geometry puts
            // it, its border band 2 x ratio rows wide, full colours on both sides.
            const BsGeometry g = ComputeBsGeometry(image.width(), image.height(), data.ratios);
            const int x = g.half / 2;
            const int half = int(ratio);
            const auto at = [&](int y) { return image.pixel(x, y) | 0xFF000000u; };
            const auto rgb = [](Colour c) { return ToQRgb(c) | 0xFF000000u; };
            EXPECT_EQ(at(g.ca - half - 1), rgb(data.items[0].colour));
            EXPECT_EQ(at(g.ca - half), rgb(BorderColour(data.items[1].colour)));
            EXPECT_EQ(at(g.ca + half - 1), rgb(BorderColour(data.items[1].colour)));
            EXPECT_EQ(at(g.ca + half), rgb(data.items[1].colour));
        }
    }
}

// Texts are drawn at the scaled font size: the text's ink is about ratio times as tall.
TEST(DrawDiagramAtRatio, TextGrowsWithTheRatio) {
    StatementData data = SampleData();
    for (auto& item : data.items) item.colour = 0x00FFFFFF;
    DiagramOptions options;
    options.Futosa = 0;
    options.CenterLine = 0;
    options.DrawName = 1;
    options.DrawRitu = 0;
    auto inkRows = [&](double ratio) {
        DiagramBitmap bitmap;
        EXPECT_TRUE(DrawDiagramAtRatio(bitmap, DiagramKind::ProfitAndLoss, 300, 200, ratio, data,
                                       options, {}));
        const QImage& image = bitmap.image();
        int top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width() / 3; ++x) {  // the sales block only
                if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        return bottom - top + 1;
    };
    const int one = inkRows(1.0);
    const int two = inkRows(2.0);
    ASSERT_GT(one, 3);
    EXPECT_NEAR(two, 2 * one, 3);
}

}  // namespace
}  // namespace quorvex::test
