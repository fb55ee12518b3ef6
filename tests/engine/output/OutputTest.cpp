// Encoding the diagrams: formats, sizes, colours, thread safety.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QClipboard>
#include <QProcess>
#include <filesystem>
#include <thread>

#include "tests/engine/output/OutputFixture.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::Entries;
using test::FlatDiagram;
using test::ManyColourDiagram;
using test::MaxChannelDifference;
using test::Output;
using test::ReadFile;
using test::RecordingMessageSink;
using test::WriteFile;

TEST(DiagramFileName, NameTable) {
    struct Case {
        const char* period;
        int outType, outSaki;
        const char* name;
    };
    const Case cases[] = {
        {"5", kOutTypeBs, kOutJpeg, "第5期_BS.jpeg"},
        {"12", kOutTypePl, kOutPdf, "第12期_PL.pdf"},
        {"第5期", kOutTypeBs, kOutPng, "第5期_BS.png"},
        {"2014年度", kOutTypePl, kOutTiff, "2014年度_PL.tiff"},
        {"５", kOutTypeBs, kOutBmp, "５_BS.bmp"},
        {" 5", kOutTypePl, kOutGif, " 5_PL.gif"},
        {"007", kOutTypePl, kOutJpeg, "第007期_PL.jpeg"},
        {"5 ", kOutTypeBs, kOutJpeg, "5 _BS.jpeg"},
        {"-1", kOutTypeBs, kOutJpeg, "-1_BS.jpeg"},
        {"5", kOutTypeBs, kOutClipboard, ""},
        {"5", kOutTypeBs, kOutSvg, "第5期_BS.svg"},
        {"5", kOutTypePl, kOutPdfVector, "第5期_PL.pdf"},
        {"5", kOutTypeBs, 9, ""},
        {"5", kOutTypeBs, -1, ""},
        {"", kOutTypeBs, kOutJpeg, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DiagramFileName(PeriodLabel{c.period}, c.outType, c.outSaki),
                  QString::fromUtf8(c.name))
            << c.period << " " << c.outSaki;
    }
}

TEST(ImageEncoder, MimeLookup) {
    EXPECT_EQ(MimeTypeOfExtension("JPEG"), "image/jpeg");
    EXPECT_EQ(MimeTypeOfExtension("Tiff"), "image/tiff");
    EXPECT_EQ(FindImageEncoder("image/jpeg"), ImageEncoder::Jpeg);
    EXPECT_EQ(FindImageEncoder("image/bmp"), ImageEncoder::Bmp);
    EXPECT_EQ(FindImageEncoder("image/gif"), ImageEncoder::Gif);
    EXPECT_EQ(FindImageEncoder("image/png"), ImageEncoder::Png);
    EXPECT_EQ(FindImageEncoder("image/tiff"), ImageEncoder::Tiff);
    for (const char* none : {"image/", "image/JPEG", "image/jpg", "image/tif", "image/pdf",
                             "image/jpeg ", "jpeg", ""}) {
        EXPECT_FALSE(FindImageEncoder(none)) << none;
    }
}

TEST_F(Output, EachImageFormatReadsBackAtTheRequestedSize) {
    struct Case {
        int outSaki;
        const char* qtFormat;
        bool lossless;
    };
    const Case cases[] = {
        {kOutJpeg, "jpeg", false}, {kOutBmp, "bmp", true},   {kOutGif, "gif", true},
        {kOutPng, "png", true},    {kOutTiff, "tiff", true},
    };
    const QImage bitmap = FlatDiagram(400, 300);
    for (const auto& c : cases) {
        for (const QSize size : {QSize(400, 300), QSize(173, 411)}) {
            SCOPED_TRACE(std::string(c.qtFormat) + " " + std::to_string(size.width()));
            const QString path = desktop + "/out." + ImageExtension(c.outSaki);
            ASSERT_TRUE(SaveBitmapImage(bitmap, size.width(), size.height(), path,
                                        ImageExtension(c.outSaki), messages));
            QImageReader reader(path);
            EXPECT_EQ(reader.format(), c.qtFormat);
            const QImage back = reader.read();
            ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
            EXPECT_EQ(back.size(), size);
            if (size != bitmap.size()) continue;
            // At equal size the canvas is the diagram pixel for pixel.
            if (c.lossless) {
                EXPECT_EQ(MaxChannelDifference(back, bitmap), 0);
            } else {
                EXPECT_LE(MaxChannelDifference(back, bitmap), 48);  // quality 100, edges only
            }
        }
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Output, GifWithManyColoursKeepsTheDominantColoursExactly) {
    const QImage bitmap = ManyColourDiagram(400, 300);
    const QString path = desktop + "/many.gif";
    ASSERT_TRUE(SaveBitmapImage(bitmap, 400, 300, path, "gif", messages));
    const QImage back(path);
    ASSERT_EQ(back.size(), bitmap.size());
    for (const QPoint p : {QPoint(40, 200), QPoint(120, 250), QPoint(200, 290), QPoint(0, 299)}) {
        EXPECT_EQ(back.pixel(p), bitmap.pixel(p)) << p.x() << "," << p.y();
    }
    // The same picture encodes to the same bytes every time.
    EXPECT_EQ(EncodeDiagram(bitmap, 400, 300, kOutGif).bytes, ReadFile(path));
}

TEST_F(Output, GifMapsRareColoursToTheirNearestEntry) {
    // 256 frequent colours (a 16 x 16 grid of blocks) and one rare pixel per block that is
    // one step of blue away from its block's colour.
    QImage bitmap(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int block = (y / 16) * 16 + x / 16;
            bitmap.setPixel(x, y, qRgb(block, 255 - block, (block * 37) % 200));
        }
    }
    for (int block = 0; block < 256; ++block) {
        const QPoint rare((block % 16) * 16 + 5, (block / 16) * 16 + 5);
        bitmap.setPixel(rare, bitmap.pixel(rare) + 1);
    }
    const EncodedDiagram gif = EncodeDiagram(bitmap, 256, 256, kOutGif);
    ASSERT_TRUE(gif.ok);
    const QImage back = QImage::fromData(gif.bytes).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(back.size(), bitmap.size());
    EXPECT_EQ(MaxChannelDifference(back, bitmap), 1);
    EXPECT_EQ(back.pixel(5, 5), bitmap.pixel(0, 0));
}

TEST_F(Output, UnknownExtensionWritesNothingAndSaysNothing) {
    for (const char* extension : {"", "pdf", "webp", "jpg", "clipboard"}) {
        const QString path = desktop + "/x." + extension;
        EXPECT_FALSE(SaveBitmapImage(FlatDiagram(40, 30), 40, 30, path, extension, messages));
        EXPECT_FALSE(QFile::exists(path)) << extension;
    }
    for (const int outSaki : {int{kOutClipboard}, -1, 7}) {
        const EncodedDiagram e = EncodeDiagram(FlatDiagram(40, 30), 40, 30, outSaki);
        EXPECT_FALSE(e.ok);
        EXPECT_EQ(e.messageId, 0);
    }
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(Entries(desktop).isEmpty());
}

TEST_F(Output, NoPixelsGiveTheMemoryMessage) {
    struct Case {
        QImage bitmap;
        int width, height;
    };
    const Case cases[] = {
        {QImage(), 40, 30}, {FlatDiagram(40, 30), 0, 30}, {FlatDiagram(40, 30), 40, -1}};
    for (const auto& c : cases) {
        messages.messages.clear();
        EXPECT_FALSE(
            SaveBitmapImage(c.bitmap, c.width, c.height, desktop + "/a.png", "png", messages));
        EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgMemory});
        EXPECT_EQ(EncodeDiagram(c.bitmap, c.width, c.height, kOutPdf).messageId, kMsgMemory);
    }
    EXPECT_TRUE(Entries(desktop).isEmpty());
}

TEST_F(Output, BatchEncodingIsByteIdenticalToTheWindowPath) {
    QString folder;
    ASSERT_TRUE(EnsureOutputFolder(folder, messages));
    const QImage bitmap = FlatDiagram(400, 300);
    for (int outSaki = kOutJpeg; outSaki <= kOutPdf; ++outSaki) {
        SCOPED_TRACE(outSaki);
        QString name;
        ::testing::internal::CaptureStdout();
        ASSERT_TRUE(WriteDiagramFile(bitmap, 400, 300, PeriodLabel{"5"}, kOutTypeBs, outSaki,
                                     folder, messages, &name));
        const std::string printed = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(name, DiagramFileName(PeriodLabel{"5"}, kOutTypeBs, outSaki));
        EXPECT_EQ(printed, outSaki == kOutPdf ? "\nSuccess!\n" : "");
        const EncodedDiagram encoded = EncodeDiagram(bitmap, 400, 300, outSaki);
        ASSERT_TRUE(encoded.ok);
        EXPECT_EQ(encoded.bytes, ReadFile(folder + "/" + name));
    }
    // The PDF embeds the work folder's temp.jpeg, which stays.
    QString work;
    ASSERT_TRUE(GetWorkFolder(work, messages));
    const QByteArray jpeg = ReadFile(work + "/temp.jpeg");
    EXPECT_EQ(jpeg, EncodeDiagram(bitmap, 400, 300, kOutJpeg).bytes);
    EXPECT_TRUE(ReadFile(folder + "/第5期_BS.pdf").contains(jpeg));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Entries(folder).size(), 6);
}

TEST_F(Output, FilesSay96DpiWhateverTheScreen) {
    QImage screen72 = FlatDiagram(40, 30);
    screen72.setDotsPerMeterX(2835);
    screen72.setDotsPerMeterY(2835);
    QImage screen192 = FlatDiagram(40, 30);
    screen192.setDotsPerMeterX(7559);
    screen192.setDotsPerMeterY(7559);
    for (int outSaki = kOutJpeg; outSaki <= kOutPdf; ++outSaki) {
        const QByteArray bytes = EncodeDiagram(screen72, 40, 30, outSaki).bytes;
        EXPECT_EQ(bytes, EncodeDiagram(screen192, 40, 30, outSaki).bytes) << outSaki;
        if (outSaki == kOutPng) {
            // A reader takes 96 dpi for a PNG without a pHYs chunk: look for the chunk.
            EXPECT_TRUE(bytes.contains(QByteArray("pHYs\0\0\x0e\xc4\0\0\x0e\xc4\x01", 13)));
        }
        if (outSaki == kOutJpeg || outSaki == kOutBmp || outSaki == kOutTiff ||
            outSaki == kOutPng) {
            // JPEG stores dots per inch; reading it back rounds 3779.5 down.
            EXPECT_NEAR(QImage::fromData(bytes).dotsPerMeterX(), 3780, 1) << outSaki;
        }
    }
}

TEST_F(Output, EncodingOnSeveralThreadsGivesTheSameBytes) {
    const QImage bitmap = ManyColourDiagram(200, 150);
    std::vector<QByteArray> expected;
    for (int outSaki = kOutJpeg; outSaki <= kOutPdf; ++outSaki) {
        expected.push_back(EncodeDiagram(bitmap, 200, 150, outSaki).bytes);
    }
    std::vector<std::vector<QByteArray>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) {
        threads.emplace_back([&bitmap, &result] {
            for (int round = 0; round < 3; ++round) {
                for (int outSaki = kOutJpeg; outSaki <= kOutPdf; ++outSaki) {
                    result.push_back(EncodeDiagram(bitmap, 200, 150, outSaki).bytes);
                }
            }
        });
    }
    for (auto& t : threads) t.join();
    for (const auto& result : results) {
        ASSERT_EQ(result.size(), 3 * expected.size());
        for (std::size_t i = 0; i < result.size(); ++i) {
            EXPECT_EQ(result[i], expected[i % expected.size()]) << "target " << i % expected.size();
        }
    }
}

// A standard reader opens the PDF and renders a page of the diagram's size (72 dpi: one
// pixel per point).

}  // namespace
}  // namespace quorvex
