#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>

#include "engine/output/JpegEncoder.h"
#include "engine/render/PeriodRender.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

// What the program wrote before it encoded JPEG itself: Qt's writer at quality 100, 96 dpi.
QByteArray QtJpeg(QImage image) {
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    EXPECT_TRUE(writer.write(image));
    return out;
}

QImage Diagram(int width, int height, bool pl) {
    DiagramOptions options;
    options.DrawName = 1;
    options.DrawRitu = 1;
    DiagramBitmap bs, plBitmap;
    EXPECT_TRUE(RenderPeriodDiagrams(test::SampleData(), options, width, height, bs, plBitmap));
    return pl ? plBitmap.image() : bs.image();
}

QImage Noise(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return image;
}

// Same bytes as Qt's writer, so every decoder reads the same pixels as from older files:
// diagrams at sizes that do and do not fill whole 16 x 16 blocks, busy pictures, both
// 32-bit formats.
TEST(EncodeJpeg, WritesTheBytesQtsWriterWrote) {
    struct Case {
        const char* name;
        QImage image;
    };
    const Case cases[] = {
        {"BS 400x300", Diagram(400, 300, false)},
        {"PL 400x300", Diagram(400, 300, true)},
        {"BS 201x157", Diagram(201, 157, false)},
        {"PL 1920x1080", Diagram(1920, 1080, true)},
        {"noise 33x17", Noise(33, 17)},
        {"noise ARGB32", Noise(64, 48).convertToFormat(QImage::Format_ARGB32)},
        {"one pixel", Noise(1, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bytes = EncodeJpeg(c.image);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(*bytes, QtJpeg(c.image));
        const QImage decoded = QImage::fromData(*bytes, "JPEG");
        EXPECT_EQ(decoded.size(), c.image.size());
        EXPECT_EQ(decoded.dotsPerMeterX(), 3779);  // 96 dpi, rounded down on reading
    }
}

TEST(EncodeJpeg, RefusesWhatItCannotRead) {
    EXPECT_FALSE(EncodeJpeg(QImage()));
    EXPECT_FALSE(EncodeJpeg(Noise(8, 8).convertToFormat(QImage::Format_RGB888)));
    EXPECT_FALSE(EncodeJpeg(Noise(8, 8).convertToFormat(QImage::Format_Indexed8)));
}

}  // namespace
}  // namespace quorvex
