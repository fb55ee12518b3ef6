// Output files: PDF, messages of failed writes, the output and work folders, the clipboard.
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
    // The window's figure size at the time of the copy may differ from the bitmap's (after
    // a batch run the bitmap has the last period's size). Files are scaled to the figure
    // size, the clipboard copy never is: the call takes no size.
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
        ASSERT_TRUE(CopyDiagramToClipboard(bitmap, kOutTypeBs, messages)) << c.what;
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
