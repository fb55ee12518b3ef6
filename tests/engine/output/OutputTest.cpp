#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <thread>

#include "core/model/StatementData.h"
#include "core/output/Jpg2Pdf.h"
#include "engine/output/ClipboardImage.h"
#include "engine/output/ImageEncoding.h"
#include "engine/output/OutputFiles.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::RecordingMessageSink;

// Flat blocks in the default item colours with dark borders: a few colours only, like a
// diagram without text.
QImage FlatDiagram(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int i = 0; i < 5; ++i) {
        const Colour c = DefaultItemColours[i];
        const QRect block(i * width / 5, i * height / 10, width / 5, height - i * height / 10);
        p.fillRect(block, QColor(RedOf(c), GreenOf(c), BlueOf(c)));
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(block.adjusted(1, 1, -1, -1));
    }
    return image;
}

// The flat diagram with a band of thousands of colours across it.
QImage ManyColourDiagram(int width, int height) {
    QImage image = FlatDiagram(width, height);
    for (int y = 0; y < height / 4; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, (y * 7) % 256, 128));
    }
    return image;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

int MaxChannelDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

class Output : public ::testing::Test {
  protected:
    QString home = QString::fromStdString(test::TestHome());
    QString desktop = home + "/Desktop";
    RecordingMessageSink messages;
};

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
        {"5", kOutTypeBs, 7, ""},
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
TEST_F(Output, PdfRendersAtTheDiagramSize) {
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const QImage bitmap = FlatDiagram(321, 123);
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(WriteDiagramFile(bitmap, 321, 123, PeriodLabel{"7"}, kOutTypeBs, kOutPdf, desktop,
                                 messages));
    ::testing::internal::GetCapturedStdout();
    QProcess render;
    render.start(pdftoppm,
                 {"-r", "72", "-png", "-singlefile", desktop + "/第7期_BS.pdf", home + "/page"});
    ASSERT_TRUE(render.waitForFinished(30000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    const QImage page(home + "/page.png");
    ASSERT_EQ(page.size(), QSize(321, 123));
    // Away from edges the page shows the diagram's colours (JPEG-close).
    EXPECT_LE(std::abs(qRed(page.pixel(100, 100)) - qRed(bitmap.pixel(100, 100))), 8);
    EXPECT_LE(std::abs(qBlue(page.pixel(300, 110)) - qBlue(bitmap.pixel(300, 110))), 8);
}

TEST_F(Output, HeadlessPdfOutputPrintsNothing) {
    ::testing::internal::CaptureStdout();
    WriteDiagramOptions options;
    options.printPdfSuccess = false;
    EXPECT_TRUE(WriteDiagramFile(FlatDiagram(40, 30), 40, 30, PeriodLabel{"1"}, kOutTypePl, kOutPdf,
                                 desktop, messages, nullptr, options));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(QFile::exists(desktop + "/第1期_PL.pdf"));
}

TEST_F(Output, EmptyPeriodWritesNothing) {
    for (const bool interactive : {true, false}) {
        messages.messages.clear();
        WriteDiagramOptions options;
        options.showEmptyPeriodMessage = interactive;
        QString name = "stale";
        EXPECT_FALSE(WriteDiagramFile(FlatDiagram(40, 30), 40, 30, PeriodLabel{""}, kOutTypeBs,
                                      kOutPng, desktop, messages, &name, options));
        EXPECT_TRUE(name.isEmpty());
        EXPECT_EQ(messages.Ids(), interactive ? std::vector<int>{kMsgNoText} : std::vector<int>{});
    }
    EXPECT_TRUE(Entries(desktop).isEmpty());
}

TEST_F(Output, UnwritableFolderGivesTheRightMessageAndNoFile) {
    struct Case {
        int outSaki;
        int id;
        std::string prefix;
    };
    const Case cases[] = {
        {kOutJpeg, kMsgWriteFailed, "第5期_BS.jpeg\n"},
        {kOutTiff, kMsgWriteFailed, "第5期_BS.tiff\n"},
        {kOutPdf, kMsgPdfFailed, "[File Create]\n"},
    };
    const QString readOnly = desktop + "/readonly";
    ASSERT_TRUE(QDir().mkdir(readOnly));
    chmod(QFile::encodeName(readOnly).constData(), 0555);
    // The superuser writes into read-only folders anyway; then only the missing one counts.
    const bool enforced = access(QFile::encodeName(readOnly).constData(), W_OK) != 0;
    for (const QString& folder : {desktop + "/missing", readOnly}) {
        if (folder == readOnly && !enforced) continue;
        for (const auto& c : cases) {
            SCOPED_TRACE(folder.toStdString() + " " + std::to_string(c.outSaki));
            messages.messages.clear();
            ::testing::internal::CaptureStdout();
            EXPECT_FALSE(WriteDiagramFile(FlatDiagram(40, 30), 40, 30, PeriodLabel{"5"}, kOutTypeBs,
                                          c.outSaki, folder, messages));
            EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].id, c.id);
            EXPECT_EQ(messages.messages[0].prefix, c.prefix);
            EXPECT_EQ(messages.messages[0].kind, MessageKind::Error);
        }
    }
    EXPECT_TRUE(Entries(readOnly).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(desktop + "/missing"));
    EXPECT_EQ(messages.messages.back().Text(), "[File Create]\nＰＤＦの作成に失敗しました");
}

TEST_F(Output, FailedWriteLeavesTheExistingFileUntouched) {
    struct Case {
        QString name;
        int id;
        std::string text;
    };
    const Case cases[] = {
        {"第5期_BS.png", kMsgWriteFailed, "第5期_BS.png\nファイルの書き込みに失敗しました"},
        {"第5期_BS.pdf", kMsgPdfFailed, "[File Write]\nＰＤＦの作成に失敗しました"},
    };
    const QByteArray big(64 * 1024, 'x');
    for (const CommitMode mode : {CommitMode::Durable, CommitMode::Deferred}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name.toStdString() + (mode == CommitMode::Durable ? " durable" : ""));
            const QString path = desktop + "/" + c.name;
            WriteFile(path, "earlier output");
            messages.messages.clear();
            bool ok = true;
            {
                const test::FileSizeLimit limit(4096);
                ok = CommitFile(path, big, messages, mode);
            }
            EXPECT_FALSE(ok);
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].id, c.id);
            EXPECT_EQ(messages.messages[0].Text(), c.text);
            EXPECT_EQ(ReadFile(path), "earlier output");
            // A successful commit replaces it.
            EXPECT_TRUE(CommitFile(path, big, messages, mode));
            EXPECT_EQ(ReadFile(path), big);
        }
    }
    EXPECT_EQ(Entries(desktop), (QStringList{"第5期_BS.pdf", "第5期_BS.png"}));
    EXPECT_TRUE(SyncOutputFolder(desktop));
}

TEST_F(Output, CommitRefusesWhatCannotBecomeTheFile) {
    // A folder in the file's place, and a name with a NUL character (say, from a period
    // field of a CSV) that the system call would cut short and write under another name.
    struct Case {
        const char* what;
        QString name;
        bool folderThere;
        int id;
        std::string prefix;
    };
    const QString nul = QStringLiteral("5") + QChar(u'\0') + QStringLiteral("x");
    const Case cases[] = {
        {"folder, image", "第5期_BS.png", true, kMsgWriteFailed, "第5期_BS.png\n"},
        {"folder, PDF", "第5期_BS.pdf", true, kMsgPdfFailed, "[File Create]\n"},
        {"NUL, image", nul + "_BS.png", false, kMsgWriteFailed, ""},
        {"NUL, PDF", nul + "_BS.pdf", false, kMsgPdfFailed, "[File Create]\n"},
        // A period "../x" must not write beside the output folder.
        {"parent, image", "../x_BS.png", false, kMsgWriteFailed, "x_BS.png\n"},
        {"parent, PDF", "../x_BS.pdf", false, kMsgPdfFailed, "[File Create]\n"},
    };
    const QString folder = desktop + "/BS_PL";
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const CommitMode mode : {CommitMode::Durable, CommitMode::Deferred}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (mode == CommitMode::Durable ? " durable" : ""));
            const QString path = folder + "/" + c.name;
            if (c.folderThere) {
                ASSERT_TRUE(QDir().mkpath(path));
            }
            messages.messages.clear();
            EXPECT_FALSE(CommitFile(path, QByteArray("bytes"), messages, mode));
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].id, c.id);
            if (!c.prefix.empty()) {
                EXPECT_EQ(messages.messages[0].prefix, c.prefix);
            }
            EXPECT_EQ(QFileInfo(path).isDir(), c.folderThere);
            if (c.folderThere) {
                EXPECT_TRUE(Entries(path).isEmpty());
            }
        }
        // Nothing else appeared: no file under a cut-short name, no temporary file.
        EXPECT_EQ(Entries(folder), (QStringList{"第5期_BS.pdf", "第5期_BS.png"}));
        EXPECT_FALSE(QFileInfo::exists(desktop + "/x_BS.png"));
        EXPECT_FALSE(QFileInfo::exists(desktop + "/x_BS.pdf"));
    }
}

TEST_F(Output, SaveBitmapImageReportsAnEncoderThatCannotWrite) {
    const QString path = desktop + "/第3期_PL.bmp";
    WriteFile(path, "old");
    bool ok = true;
    {
        const test::FileSizeLimit limit(1024);
        ok = SaveBitmapImage(FlatDiagram(400, 300), 400, 300, path, "bmp", messages);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgWriteFailed});
    EXPECT_EQ(ReadFile(path), "old");
}

TEST_F(Output, OutputFolderOnTheDesktop) {
    QString folder;
    ASSERT_TRUE(EnsureOutputFolder(folder, messages));
    EXPECT_EQ(folder, desktop + "/BS_PL");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    ASSERT_TRUE(EnsureOutputFolder(folder, messages));  // present: fine
    EXPECT_TRUE(messages.messages.empty());

    // A plain file named BS_PL counts as present; the write into it then fails.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    WriteFile(desktop + "/BS_PL", "not a folder");
    ASSERT_TRUE(EnsureOutputFolder(folder, messages));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(WriteDiagramFile(FlatDiagram(40, 30), 40, 30, PeriodLabel{"5"}, kOutTypeBs,
                                  kOutJpeg, folder, messages));
    EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgWriteFailed});
    EXPECT_EQ(ReadFile(desktop + "/BS_PL"), "not a folder");

    // A missing desktop folder (a server, a minimal installation) is made first.
    messages.messages.clear();
    ASSERT_TRUE(QDir(desktop).removeRecursively());
    ASSERT_TRUE(EnsureOutputFolder(folder, messages));
    EXPECT_EQ(folder, desktop + "/BS_PL");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(messages.messages.empty());

    // A desktop that cannot be made (a plain file in its place) is the failed creation.
    ASSERT_TRUE(QDir(desktop).removeRecursively());
    WriteFile(desktop, "not a folder");
    EXPECT_FALSE(EnsureOutputFolder(folder, messages));
    EXPECT_TRUE(folder.isEmpty());
    EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgDesktopFolder});
    EXPECT_EQ(ReadFile(desktop), "not a folder");
}

// Inside the output folder a name reaches a real subfolder but never leaves the folder,
// and a message names the file as the summary does, quoted.
TEST_F(Output, CommitsStayInTheOutputFolderAndMessagesNameTheFileInIt) {
    const QString folder = desktop + "/BS_PL";
    const QString elsewhere = home + "/elsewhere";
    ASSERT_TRUE(QDir().mkpath(folder + "/a"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, folder + "/sub"));
    ASSERT_TRUE(QFile::link(home + "/outside.png", folder + "/link_BS.png"));
    WriteFile(home + "/outside.png", "outside");
    const QString nul = QStringLiteral("n") + QChar(u'\0') + QStringLiteral("ul_BS.png");
    const QString longName = QString(300, QChar(u'期')) + QStringLiteral("_BS.png");
    struct Case {
        QString name;
        bool ok;
        int id;
        std::string prefix;
    };
    const Case cases[] = {
        {"a/b_BS.png", true, 0, ""},
        {"link_BS.png", true, 0, ""},
        {"sub/b_BS.png", false, kMsgWriteFailed, "sub/b_BS.png\n"},
        {"sub/b_BS.pdf", false, kMsgPdfFailed, "[File Create]\n"},
        {"missing/b_BS.png", false, kMsgWriteFailed, "missing/b_BS.png\n"},
        {nul, false, kMsgWriteFailed, "n\uFFFDul_BS.png\n"},
        {longName, false, kMsgWriteFailed, QuoteField(longName.toStdString()) + "\n"},
    };
    for (const CommitMode mode : {CommitMode::Durable, CommitMode::Deferred}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name.left(40).toStdString());
            messages.messages.clear();
            EXPECT_EQ(CommitFileIn(folder, c.name, QByteArray("bytes"), messages, mode), c.ok);
            if (c.ok) {
                EXPECT_TRUE(messages.messages.empty());
                EXPECT_EQ(ReadFile(folder + "/" + c.name), "bytes");
                continue;
            }
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].id, c.id);
            EXPECT_EQ(messages.messages[0].prefix, c.prefix);
        }
    }
    EXPECT_TRUE(Entries(elsewhere).isEmpty());
    EXPECT_EQ(ReadFile(home + "/outside.png"), "outside");
    EXPECT_FALSE(QFileInfo(folder + "/link_BS.png").isSymLink());
    EXPECT_EQ(QuoteField(longName.toStdString()).size(), 200u * 3 + 3);  // 200 kanji, "…"

    // The window's own output reaches a real subfolder too, and names the file the same way.
    messages.messages.clear();
    QString written;
    EXPECT_TRUE(WriteDiagramFile(FlatDiagram(40, 30), 40, 30, PeriodLabel{"a/c"}, kOutTypePl,
                                 kOutPng, folder, messages, &written));
    EXPECT_EQ(written, "a/c_PL.png");
    EXPECT_FALSE(WriteDiagramFile(FlatDiagram(40, 30), 40, 30, PeriodLabel{"sub/c"}, kOutTypePl,
                                  kOutPng, folder, messages));
    EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgWriteFailed});
    EXPECT_EQ(messages.messages[0].prefix, "sub/c_PL.png\n");
    EXPECT_FALSE(WriteDiagramFile(FlatDiagram(40, 30), 40, 30, PeriodLabel{"sub/c"}, kOutTypePl,
                                  kOutPdf, folder, messages, nullptr, {true, false}));
    EXPECT_EQ(messages.messages.back().id, kMsgPdfFailed);
    EXPECT_TRUE(Entries(elsewhere).isEmpty());
}

TEST_F(Output, WorkFolderIsPrivate) {
    const QString runtime = home + "/run";
    const QString expected = runtime + "/Quorvex";
    QString work;
    ASSERT_TRUE(GetWorkFolder(work, messages));
    EXPECT_EQ(work, expected);
    struct stat st {};
    ASSERT_EQ(lstat(QFile::encodeName(work).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    // An existing folder that is too open is closed.
    chmod(QFile::encodeName(work).constData(), 0777);
    ASSERT_TRUE(GetWorkFolder(work, messages));
    ASSERT_EQ(lstat(QFile::encodeName(work).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_TRUE(messages.messages.empty());

    // Without XDG_RUNTIME_DIR: a per-user folder in the temporary folder (TMPDIR = HOME).
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const bool fallback = GetWorkFolder(work, messages);
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    EXPECT_TRUE(fallback);
    EXPECT_EQ(work, QDir::tempPath() + "/Quorvex-" + QString::number(geteuid()));
}

TEST_F(Output, WorkFolderRefusesWhatIsNotOurOwnDirectory) {
    const QString path = home + "/run/Quorvex";
    const QByteArray native = QFile::encodeName(path);
    const QString elsewhere = home + "/elsewhere";
    ASSERT_TRUE(QDir().mkdir(elsewhere));
    enum Plant { Symlink, File, Foreign };
    for (const Plant plant : {Symlink, File, Foreign}) {
        SCOPED_TRACE(plant);
        QFile::remove(path);
        QDir(path).removeRecursively();
        if (plant == Symlink) {
            ASSERT_EQ(symlink(QFile::encodeName(elsewhere).constData(), native.constData()), 0);
        }
        if (plant == File) WriteFile(path, "x");
        if (plant == Foreign) {
            ASSERT_TRUE(QDir().mkdir(path));
            if (geteuid() != 0) continue;  // only the superuser can give a folder away
            ASSERT_EQ(chown(native.constData(), 65534, 65534), 0);
        }
        messages.messages.clear();
        QString work = "stale";
        EXPECT_FALSE(GetWorkFolder(work, messages));
        EXPECT_TRUE(work.isEmpty());
        EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgWorkFolder});
        // A PDF output stops there: nothing in the folder the link points to, no PDF.
        messages.messages.clear();
        EXPECT_FALSE(WriteDiagramFile(FlatDiagram(40, 30), 40, 30, PeriodLabel{"5"}, kOutTypeBs,
                                      kOutPdf, desktop, messages));
        EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgWorkFolder});
    }
    EXPECT_TRUE(Entries(elsewhere).isEmpty());
    EXPECT_TRUE(Entries(desktop).isEmpty());
}

TEST_F(Output, ClipboardGetsACopyAndTheKindsMessage) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QImage bs = FlatDiagram(120, 90);
    QImage pl = FlatDiagram(120, 90);
    pl.fill(Qt::blue);
    ASSERT_TRUE(CopyDiagramToClipboard(bs, kOutTypeBs, messages));
    ASSERT_TRUE(CopyDiagramToClipboard(pl, kOutTypePl, messages));
    EXPECT_EQ(clipboard->image().convertToFormat(QImage::Format_RGB32), pl);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].Text(), "貸借対照表をクリップボードに保存しました");
    EXPECT_EQ(messages.messages[1].Text(), "損益計算書をクリップボードに保存しました");
    EXPECT_EQ(messages.messages[1].kind, MessageKind::Information);

    // No bitmap: nothing happens, nothing is said.
    messages.messages.clear();
    EXPECT_FALSE(CopyDiagramToClipboard(QImage(), kOutTypeBs, messages));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(clipboard->image().convertToFormat(QImage::Format_RGB32), pl);
}

TEST_F(Output, ClipboardCopyKeepsTheBitmapsOwnSize) {
    // The window passes its figure size; after a batch run the bitmap has the last period's
    // size. Files are scaled to the figure size, the clipboard copy never is.
    struct Case {
        const char* what;
        int bitmapWidth, bitmapHeight, figureWidth, figureHeight;
    };
    const Case cases[] = {
        {"same size", 120, 90, 120, 90},
        {"figure larger after a batch run", 120, 90, 400, 300},
        {"figure smaller", 400, 300, 40, 30},
        {"figure of no size (minimised window)", 120, 90, 0, 0},
    };
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const Case& c : cases) {
        const QImage bitmap = FlatDiagram(c.bitmapWidth, c.bitmapHeight);
        messages.messages.clear();
        ASSERT_TRUE(
            CopyDiagramToClipboard(bitmap, c.figureWidth, c.figureHeight, kOutTypeBs, messages))
            << c.what;
        EXPECT_EQ(clipboard->image().convertToFormat(QImage::Format_RGB32), bitmap) << c.what;
        EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgClipboardSaved}) << c.what;
    }
}

TEST_F(Output, FolderWindowNeedsAFolder) {
    EXPECT_FALSE(OpenFolderWindow("no-separator", messages));
    EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgExplorer});
}

}  // namespace
}  // namespace quorvex
