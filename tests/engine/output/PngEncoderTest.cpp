#include <gtest/gtest.h>
#include <png.h>

#include <QRandomGenerator>
#include <csetjmp>
#include <vector>

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
        // Widths around the four pixels the RGB rows are converted in at a time.
        {"257 colours, 7 wide", Colours(257, 7, 40), 8, kRgb},
        {"257 colours, 1 wide", Colours(257, 1, 300), 8, kRgb},
        {"300 colours, 5 wide", Colours(300, 5, 70), 8, kRgb},
        // Few colours in every eighth row, the 257th elsewhere: the sampled rows prove nothing.
        {"257th colour off the sampled rows",
         [] {
             QImage image = Colours(200, 40, 40);
             for (int x = 0; x < 40; ++x) image.setPixel(x, 3, 0xFF000000u | (0x0A0000u + x));
             for (int x = 0; x < 40; ++x) image.setPixel(x, 5, 0xFF000000u | (0x0B0000u + x));
             return image;
         }(),
         8, kRgb},
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

// The file as the program wrote it before: libpng, zlib level 3, no row filter, 8-bit RGB
// (every diagram with texts has more than 256 colours), the pHYs chunk.
QByteArray EncodedBefore(const QImage& image) {
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> row(static_cast<std::size_t>(image.width()) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            static_cast<QByteArray*>(png_get_io_ptr(p))
                ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
        },
        nullptr);
    png_set_compression_level(png, 3);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, image.width(), image.height(), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            row[3 * x] = static_cast<png_byte>(qRed(c));
            row[3 * x + 1] = static_cast<png_byte>(qGreen(c));
            row[3 * x + 2] = static_cast<png_byte>(qBlue(c));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// The encoder may not cost the user disk space: the diagrams with texts together are no
// larger than the files written before, none more than 3 % larger; the same pixels and the
// same pHYs chunk.
TEST(EncodePng, NoLargerThanBefore) {
    struct Case {
        const char* name;
        QImage image;
    };
    const Case cases[] = {
        {"BS with texts", Diagram(true, 400, 300)},
        {"PL with texts", Diagram(true, 400, 300, true)},
        {"large BS with texts", Diagram(true, 1200, 900)},
        {"large PL with texts", Diagram(true, 1200, 900, true)},
        {"small PL with texts", Diagram(true, 160, 120, true)},
        {"small BS with texts", Diagram(true, 160, 120)},
    };
    qsizetype now = 0, then = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = c.image;
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        const auto file = EncodePng(image);
        const QByteArray before = EncodedBefore(image);
        ASSERT_TRUE(file && !before.isEmpty());
        EXPECT_LE(file->size(), before.size() * 103 / 100);
        now += file->size();
        then += before.size();
        EXPECT_EQ(QImage::fromData(*file, "PNG").convertToFormat(QImage::Format_RGB32),
                  QImage::fromData(before, "PNG").convertToFormat(QImage::Format_RGB32));
        // pHYs, 9 bytes: 3780 px/m both ways, unit metre.
        const QByteArray phys = QByteArray::fromHex(
            "00000009"
            "70485973"
            "00000ec4"
            "00000ec4"
            "01");
        EXPECT_TRUE(file->contains(phys));
        EXPECT_TRUE(before.contains(phys));
    }
    EXPECT_LE(now, then);
}

TEST(EncodePng, RefusesWhatItCannotRead) {
    EXPECT_FALSE(EncodePng(QImage()));
    EXPECT_FALSE(EncodePng(Colours(4, 8, 8).convertToFormat(QImage::Format_RGB888)));
}

}  // namespace
}  // namespace quorvex
