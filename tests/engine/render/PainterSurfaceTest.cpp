// The QPainter back end, pixel by pixel.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QSet>
#include <limits>

#include "engine/render/DiagramBitmap.h"
#include "engine/render/Diagrams.h"
#include "engine/render/PainterSurface.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

constexpr QRgb kBackground = 0xFF123456;

QImage Canvas(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kBackground);
    return image;
}

// Distinct colours whose red and blue differ, so a swap shows.
constexpr std::array<Colour, 10> kColours = {0x00102030, 0x00405060, 0x00708090, 0x00A0B0C0,
                                             0x00D0E0F0, 0x00112233, 0x00445566, 0x00778899,
                                             0x00AABBCC, 0x00DDEEFF};

// Each block's interior and its first and last rows and columns carry its colour.
void ExpectBlocks(const QImage& image, const std::array<PixelRect, 5>& blocks, int first) {
    for (int i = 0; i < 5; ++i) {
        const PixelRect b = blocks[i];
        if (b.IsEmpty()) continue;
        const QRgb want = ToQRgb(kColours[first + i]);
        const int l = std::max(b.left, 0), t = std::max(b.top, 0);
        const int r = std::min(b.right, image.width()) - 1;
        const int bt = std::min(b.bottom, image.height()) - 1;
        if (l > r || t > bt) continue;  // wholly outside the bitmap
        for (int x = l; x <= r; ++x) {
            ASSERT_EQ(image.pixel(x, t), want) << "block " << i << " top row x " << x;
            ASSERT_EQ(image.pixel(x, bt), want) << "block " << i << " bottom row x " << x;
        }
        for (int y = t; y <= bt; ++y) {
            ASSERT_EQ(image.pixel(l, y), want) << "block " << i << " left column y " << y;
            ASSERT_EQ(image.pixel(r, y), want) << "block " << i << " right column y " << y;
        }
        EXPECT_EQ(image.pixel((l + r) / 2, (t + bt) / 2), want) << "block " << i;
    }
}

StatementData Coloured(const CompositionRatios& ratios) {
    StatementData data = test::DataWithRatios(ratios);
    for (int i = 0; i < kItemCount; ++i) data.items[i].colour = kColours[i];
    return data;
}

DiagramOptions PlainFields() {
    DiagramOptions o;
    o.Futosa = 0;
    o.CenterLine = kCentreLineNone;
    o.DrawName = 0;
    o.DrawRitu = 0;
    return o;
}

TEST(PainterSurface, ColoursAreNotSwapped) {
    QImage image = Canvas(4, 4);
    PainterSurface s(image);
    s.Fill({0, 0, 4, 4}, 0x000000FF);
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));
    s.Fill({0, 0, 4, 4}, 0x00FF0000);
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 255));
    s.Fill({0, 0, 4, 4}, 0x0000FF00);
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 255, 0));
}

TEST(PainterSurface, FillIsExactAndClipped) {
    QImage image = Canvas(10, 10);
    PainterSurface s(image);
    s.Fill({2, 3, 5, 7}, 0x00FFFFFF);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 3 && y < 7;
            ASSERT_EQ(image.pixel(x, y), inside ? 0xFFFFFFFFu : kBackground) << x << "," << y;
        }
    }
    // Inverted, empty and far-away rectangles leave everything alone.
    QImage before = image.copy();
    const std::int32_t max = std::numeric_limits<std::int32_t>::max();
    const std::int32_t min = std::numeric_limits<std::int32_t>::min();
    s.Fill({5, 7, 2, 3}, 0);
    s.Fill({2, 3, 2, 7}, 0);
    s.Fill({min, 10, max, max}, 0);
    s.Rectangle({0, 9, 10, 2}, 0, 3, 0);
    EXPECT_EQ(image, before);
    s.Fill({min, min, max, max}, 0);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(9, 9), qRgb(0, 0, 0));
}

TEST(PainterSurface, BorderIsCentredOnTheEdges) {
    // Block (4, 4, 12, 12): a border of width w covers 4 - w/2 <= x < 4 - w/2 + w on the left
    // and 12 + w/2 - w <= x < 12 + w/2 on the right, likewise top and bottom.
    for (int w : {1, 2, 3, 4}) {
        QImage image = Canvas(16, 16);
        {
            PainterSurface s(image);
            s.Rectangle({4, 4, 12, 12}, 0x000000FF, w, 0x00FF0000);
        }
        const int outerLo = 4 - w / 2, outerHi = 12 + w / 2;  // exclusive
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool outside = x < outerLo || x >= outerHi || y < outerLo || y >= outerHi;
                const bool border = !outside && (x < outerLo + w || x >= outerHi - w ||
                                                 y < outerLo + w || y >= outerHi - w);
                const QRgb want = outside  ? kBackground
                                  : border ? qRgb(255, 0, 0)
                                           : qRgb(0, 0, 255);
                ASSERT_EQ(image.pixel(x, y), want) << "w " << w << " at " << x << "," << y;
            }
        }
    }
}

TEST(PainterSurface, BsBlocksWithLineWidthZero) {
    struct Case {
        int w, h;
        CompositionRatios ratios;
    };
    const Case cases[] = {
        {400, 300, {60, 40, 30, 20, 50, 0, 0, 0, 0, 0}},
        {400, 300, test::SampleData().ratios},
        {401, 299, {50, 50, 75, 37.5, -12.5, 0, 0, 0, 0, 0}},
        {400, 300, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {3, 2, {50, 50, 50, 50, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        DiagramBitmap bitmap;
        ASSERT_TRUE(PrepareDiagramBitmap(bitmap, c.w, c.h));
        ASSERT_TRUE(DrawBsDiagram(bitmap, Coloured(c.ratios), PlainFields()));
        ExpectBlocks(bitmap.image(), ComputeBsGeometry(c.w, c.h, c.ratios).blocks, 0);
    }
}

TEST(PainterSurface, PlBlocksWithLineWidthZero) {
    struct Case {
        int w, h;
        CompositionRatios ratios;
    };
    const Case cases[] = {
        {600, 300, {0, 0, 0, 0, 0, 100, 60, 40, 30, 10}},
        {400, 300, test::SampleData().ratios},
        {600, 300, {0, 0, 0, 0, 0, 100, 60, 40, 50, -10}},
        {600, 300, {0, 0, 0, 0, 0, 100, 120, -20, 10, -30}},
    };
    for (const Case& c : cases) {
        DiagramBitmap bitmap;
        ASSERT_TRUE(PrepareDiagramBitmap(bitmap, c.w, c.h));
        ASSERT_TRUE(DrawPlDiagram(bitmap, Coloured(c.ratios), PlainFields()));
        ExpectBlocks(bitmap.image(), ComputePlGeometry(c.w, c.h, c.ratios).blocks, 5);
    }
}

TEST(PainterSurface, CentreLinePixels) {
    // Line width 0 gives a 3-pixel line centred on row 180 and column 200; width 1 gives 4
    // pixels, centred on the pixel edge (rows 178..181).
    struct Case {
        int lineWidth, mode, firstRow, lastRow, rightRowFirst;
    };
    const Case cases[] = {{0, 1, 179, 181, 89}, {1, 1, 178, 181, 88}, {0, 2, 179, 181, 149}};
    for (const Case& c : cases) {
        DiagramOptions o = PlainFields();
        o.Futosa = c.lineWidth;
        o.CenterLine = c.mode;
        DiagramBitmap bitmap;
        ASSERT_TRUE(PrepareDiagramBitmap(bitmap, 400, 300));
        ASSERT_TRUE(DrawBsDiagram(bitmap, Coloured({60, 40, 30, 20, 50}), o));
        const QImage& img = bitmap.image();
        const QRgb red = qRgb(255, 0, 0);
        const int width = c.lineWidth + 3;
        for (int x : {0, 50, 150}) {
            EXPECT_NE(img.pixel(x, c.firstRow - 1), red) << x;
            for (int y = c.firstRow; y <= c.lastRow; ++y) EXPECT_EQ(img.pixel(x, y), red) << x;
            EXPECT_NE(img.pixel(x, c.lastRow + 1), red) << x;
        }
        for (int x : {250, 399}) {
            EXPECT_NE(img.pixel(x, c.rightRowFirst - 1), red);
            EXPECT_EQ(img.pixel(x, c.rightRowFirst), red);
            EXPECT_EQ(img.pixel(x, c.rightRowFirst + width - 1), red);
            EXPECT_NE(img.pixel(x, c.rightRowFirst + width), red);
        }
        // The vertical part: columns like the rows, around 200.
        const int y = 165;
        const int firstColumn = 200 - width / 2;
        EXPECT_NE(img.pixel(firstColumn - 1, y), red);
        EXPECT_EQ(img.pixel(firstColumn, y), red);
        EXPECT_EQ(img.pixel(firstColumn + width - 1, y), red);
        EXPECT_NE(img.pixel(firstColumn + width, y), red);
        // Round, joined corners: the outer corner pixel is filled.
        EXPECT_EQ(img.pixel(200, 180), red);
    }
}

TEST(PainterSurface, NoAntialiasingOfBlocksAndLines) {
    DiagramOptions o = PlainFields();
    o.Futosa = 3;
    o.CenterLine = kCentreLineLower;
    DiagramBitmap bitmap;
    ASSERT_TRUE(PrepareDiagramBitmap(bitmap, 400, 300));
    const StatementData data = Coloured({60, 40, 30, 20, 50});
    ASSERT_TRUE(DrawBsDiagram(bitmap, data, o));
    QSet<QRgb> allowed = {qRgb(255, 0, 0)};
    for (int i = 0; i < 5; ++i) {
        allowed.insert(ToQRgb(kColours[i]));
        allowed.insert(ToQRgb(BorderColour(kColours[i])));
    }
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            ASSERT_TRUE(allowed.contains(bitmap.image().pixel(x, y))) << x << "," << y;
        }
    }
}

TEST(PainterSurface, FontIsTheFirstInstalledJapaneseFace) {
    const QStringList installed = QFontDatabase::families();
    QString expected;
    for (const char* face : {"MS UI Gothic", "IPAPGothic", "Noto Sans CJK JP", "IPAGothic"}) {
        if (installed.contains(QString::fromLatin1(face), Qt::CaseInsensitive)) {
            expected = QString::fromLatin1(face);
            break;
        }
    }
    if (expected.isEmpty()) GTEST_SKIP() << "no Japanese font installed";
    EXPECT_EQ(ResolveFontFamily("MS UI Gothic").toLower(), expected.toLower());
    EXPECT_EQ(ResolveFontFamily("").toLower(), expected.toLower());
    EXPECT_EQ(ResolveFontFamily("No Such Face Anywhere").toLower(), expected.toLower());

    QImage image = Canvas(10, 10);
    PainterSurface s(image);
    CreateDiagramFont(kDiagramFace, 10, false, s);
    EXPECT_EQ(s.MeasureText("").width, 0);
    // The font really used is the chosen one at 13 px, with no silent substitution.
    QFont f(ResolveFontFamily(kDiagramFace));
    f.setPixelSize(13);
    const QFontInfo info(f);
    EXPECT_EQ(info.family().toLower(), expected.toLower());
    EXPECT_EQ(info.pixelSize(), 13);
}

TEST(PainterSurface, TextIsClippedAndAmpersandIsDrawn) {
    QImage image = Canvas(60, 40);
    TextSize size;
    {
        PainterSurface s(image);
        CreateDiagramFont(kDiagramFace, 20, false, s);
        size = s.MeasureText("&");
        EXPECT_GT(size.width, 0);
        EXPECT_EQ(size.height, s.MeasureText("固定負債").height);
        // A lone "&" would be a hidden mnemonic prefix elsewhere; here it must show.
        s.DrawText("&", {10, 5, 10 + size.width + 8, 5 + size.height});
    }
    int inked = 0, outside = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            if (image.pixel(x, y) == kBackground) continue;
            ++inked;
            if (y < 5 || y >= 5 + size.height || x < 10 || x >= 18 + size.width) ++outside;
        }
    }
    EXPECT_GT(inked, 10);
    EXPECT_EQ(outside, 0);
}

TEST(PainterSurface, SecondLineStartsOneLineHeightBelow) {
    QImage one = Canvas(100, 100), two = Canvas(100, 100);
    int lineHeight = 0;
    {
        PainterSurface s(one);
        CreateDiagramFont(kDiagramFace, 10, false, s);
        lineHeight = s.MeasureText("A").height;
        s.DrawText("\nX", {0, 0, 100, 100});
    }
    {
        PainterSurface s(two);
        CreateDiagramFont(kDiagramFace, 10, false, s);
        s.DrawText("X", {0, lineHeight, 100, 100});
    }
    EXPECT_EQ(one, two);
    EXPECT_NE(one, Canvas(100, 100));
}

}  // namespace
}  // namespace quorvex
