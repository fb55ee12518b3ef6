#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "engine/output/PngEncoder.h"
#include "engine/render/PeriodRender.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

QImage Diagram(bool texts, int width = 401, int height = 300, bool plDiagram = false) {
    DiagramOptions options;
    options.DrawName = texts ? 1 : 0;
    options.DrawRitu = texts ? 1 : 0;
    DiagramBitmap bs, pl;
    EXPECT_TRUE(RenderPeriodDiagrams(test::SampleData(), options, width, height, bs, pl));
    return plDiagram ? pl.image() : bs.image();
}

// `colours` distinct colours in a scattered order, `width` not a multiple of a byte's pixels.
QImage Colours(int colours, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(3);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint32 k = (y * width + x) < colours ? quint32(y * width + x)
                                                        : random.bounded(quint32(colours));
            row[x] = 0xFF000000u | (k * 0x010305u + 0x203040u);
        }
    }
    return image;
}

// Bit depth and colour type from the IHDR chunk, which always comes first.
std::pair<int, int> DepthAndType(const QByteArray& png) {
    return {static_cast<unsigned char>(png[24]), static_cast<unsigned char>(png[25])};
}

// Whatever the picture, the file decodes to its very pixels; an exact palette, packed as tight
// as the number of colours allows, whenever there are no more than 256 colours.
TEST(EncodePng, LosslessRgbOrExactPalette) {
    constexpr int kRgb = 2, kPalette = 3;
    struct Case {
        const char* name;
        QImage image;
        int depth, type;
    };
    const Case cases[] = {
        {"diagram with texts", Diagram(true), 8, kRgb},
        {"diagram without texts", Diagram(false), 4, kPalette},
        {"one colour", Colours(1, 9, 3), 1, kPalette},
        {"2 colours", Colours(2, 9, 5), 1, kPalette},
        {"3 colours", Colours(3, 7, 5), 2, kPalette},
        {"16 colours", Colours(16, 33, 9), 4, kPalette},
        {"17 colours", Colours(17, 33, 9), 8, kPalette},
        {"256 colours", Colours(256, 40, 40), 8, kPalette},
        {"257 colours", Colours(257, 40, 40), 8, kRgb},
        {"ARGB32", Colours(5, 10, 10).convertToFormat(QImage::Format_ARGB32), 4, kPalette},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto png = EncodePng(c.image);
        ASSERT_TRUE(png);
        EXPECT_EQ(DepthAndType(*png), std::make_pair(c.depth, c.type));
        const QImage back = QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(back, c.image.convertToFormat(QImage::Format_RGB32));
        // Without the palette: 8-bit RGB, the same pixels.
        PngSettings noPalette;
        noPalette.exactPalette = false;
        const auto rgb = EncodePng(c.image, noPalette);
        ASSERT_TRUE(rgb);
        EXPECT_EQ(DepthAndType(*rgb), std::make_pair(8, kRgb));
        EXPECT_EQ(QImage::fromData(*rgb, "PNG").convertToFormat(QImage::Format_RGB32),
                  c.image.convertToFormat(QImage::Format_RGB32));
    }
}

// The encoder may not cost the user disk space: no diagram file larger than the program
// made before, 8-bit RGB at zlib level 2 without a row filter.
TEST(EncodePng, NoLargerThanBefore) {
    struct Case {
        const char* name;
        QImage image;
    };
    const Case cases[] = {
        {"BS with texts", Diagram(true, 400, 300)},
        {"PL with texts", Diagram(true, 400, 300, true)},
        {"BS without texts", Diagram(false, 400, 300)},
        {"large BS with texts", Diagram(true, 1200, 900)},
        {"small PL with texts", Diagram(true, 160, 120, true)},
    };
    PngSettings before;
    before.zlibLevel = 2;
    before.exactPalette = false;
    for (const Case& c : cases) {
        const auto now = EncodePng(c.image);
        const auto then = EncodePng(c.image, before);
        ASSERT_TRUE(now && then) << c.name;
        EXPECT_LE(now->size(), then->size()) << c.name;
    }
}

TEST(EncodePng, RefusesWhatItCannotRead) {
    EXPECT_FALSE(EncodePng(QImage()));
    EXPECT_FALSE(EncodePng(Colours(4, 8, 8).convertToFormat(QImage::Format_RGB888)));
}

}  // namespace
}  // namespace quorvex
