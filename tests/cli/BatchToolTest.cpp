// The headless tool end to end: options, settings, exit status, stdout and stderr.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QProcess>
#include <functional>

#include "engine/settings/SettingsStore.h"
#include "tests/cli/ToolRun.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex {
namespace {

using test::FileNames;
using test::FolderContents;
using test::PeriodsCsv;
using test::ReadBytes;
using test::TestPath;
using test::WriteTestFile;

using test::RunTool;
using test::ToolRun;

// stderr without the consistency warnings: the test CSVs' amounts do not add up.
std::string WithoutWarnings(const std::string& err) {
    std::string out;
    std::size_t start = 0;
    while (start < err.size()) {
        const std::size_t end = std::min(err.find('\n', start), err.size() - 1) + 1;
        const std::string_view line(err.data() + start, end - start);
        if (!line.starts_with("警告: ")) out += line;
        start = end;
    }
    return out;
}

TEST(BatchTool, WritesFilesAndPrintsTheSummaryPath) {
    const QString csv = WriteTestFile("t.csv", PeriodsCsv(3));
    const QString out = TestPath("out");
    const ToolRun r = RunTool({"-q", "-o", out, "-t", "gif", "--size", "64x48", csv});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, (out + "/t_Out.csv\n").toStdString());
    EXPECT_EQ(WithoutWarnings(r.err), "");  // the offer to show the folder is declined silently
    EXPECT_EQ(FileNames(out).size(), 7u);
    EXPECT_EQ(QImage(out + "/第2期_PL.gif").size(), QSize(64, 48));

    // Without -o: the desktop folder.
    const ToolRun d = RunTool({"-q", csv});
    EXPECT_EQ(d.exitCode, 0) << d.err;
    EXPECT_EQ(FileNames(TestPath("Desktop/BS_PL")).size(), 7u);
}

TEST(BatchTool, StoredSettingsUnlessDefaults) {
    StoredSettings stored = DefaultSettings();
    stored.output.OutSaki = kOutPng;
    stored.output.Separate = kSeparateComma;
    ASSERT_TRUE(SaveSettings(stored));
    const QString csv = WriteTestFile("s.csv", PeriodsCsv(1));

    EXPECT_EQ(RunTool({"-q", "-o", TestPath("a"), csv}).exitCode, 0);
    EXPECT_EQ(FileNames(TestPath("a")),
              (std::vector<QString>{"s_Out.tsv", "第1期_BS.png", "第1期_PL.png"}));
    EXPECT_EQ(RunTool({"-q", "--defaults", "-o", TestPath("b"), csv}).exitCode, 0);
    EXPECT_EQ(FileNames(TestPath("b")),
              (std::vector<QString>{"s_Out.csv", "第1期_BS.jpeg", "第1期_PL.jpeg"}));
    // A stored clipboard target falls back to JPEG.
    stored.output.OutSaki = kOutClipboard;
    ASSERT_TRUE(SaveSettings(stored));
    EXPECT_EQ(RunTool({"-q", "-o", TestPath("c"), "-s", "kanji", csv}).exitCode, 0);
    EXPECT_EQ(FileNames(TestPath("c")),
              (std::vector<QString>{"s_Out.csv", "第1期_BS.jpeg", "第1期_PL.jpeg"}));
}

TEST(BatchTool, DiagramOptionsAndColoursChangeThePictures) {
    const QString csv = WriteTestFile("o.csv", PeriodsCsv(1));
    const QString colours =
        WriteTestFile("c.col", "255\n255\n255\n255\n255\n255\n255\n255\n255\n255\n");
    const QStringList common = {"-q", "--defaults", "-t", "bmp", "--size", "100x80"};
    ASSERT_EQ(RunTool(common + QStringList{"-o", TestPath("base"), csv}).exitCode, 0);
    const std::string base = ReadBytes(TestPath("base/第1期_BS.bmp"));
    const QStringList variants[] = {
        {"--colours", colours},
        {"--no-names"},
        {"--no-ratios"},
        {"--line-width", "5"},
        {"--centre-line", "none"},
        {"--font-size", "20"},
        {"--ratio-position", "right"},
        {"--decimals", "4"},
    };
    int n = 0;
    for (const auto& v : variants) {
        const QString folder = TestPath(QString("v%1").arg(n++));
        const ToolRun r = RunTool(common + v + QStringList{"-o", folder, csv});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(ReadBytes(folder + "/第1期_BS.bmp"), base) << v.join(' ').toStdString();
    }
}

TEST(BatchTool, JobsGiveByteIdenticalFiles) {
    const QString csv = WriteTestFile("j.csv", PeriodsCsv(25));
    for (const char* type : {"png", "jpeg"}) {
        const QString one = TestPath(QString("%1-j1").arg(type));
        const QString four = TestPath(QString("%1-j4").arg(type));
        ASSERT_EQ(RunTool({"-q", "-j", "1", "-t", type, "-o", one, csv}).exitCode, 0);
        ASSERT_EQ(RunTool({"-q", "-j", "4", "-t", type, "-o", four, csv}).exitCode, 0);
        const auto files = FolderContents(one);
        EXPECT_EQ(files.size(), 51u);
        EXPECT_EQ(files, FolderContents(four)) << type;
    }
}

TEST(BatchTool, VectorFilesAreNamedAsTheOthersAndIdenticalForEveryJobs) {
    const QString csv = WriteTestFile("v.csv", PeriodsCsv(12));
    struct Case {
        QStringList type;
        const char* extension;
        std::string start;  // the file's first bytes
    };
    const Case cases[] = {
        {{"-t", "svg"}, "svg", "<?xml"},
        {{"-t", "pdf", "--vector"}, "pdf", "%PDF-"},
    };
    for (const auto& c : cases) {
        const QString one = TestPath(QString("%1-j1").arg(c.extension));
        const QString four = TestPath(QString("%1-j4").arg(c.extension));
        const ToolRun r = RunTool(QStringList{"-q", "-j", "1", "-o", one, csv} + c.type);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ASSERT_EQ(RunTool(QStringList{"-q", "-j", "4", "-o", four, csv} + c.type).exitCode, 0);
        const auto files = FolderContents(one);
        EXPECT_EQ(files.size(), 25u);
        EXPECT_EQ(files, FolderContents(four)) << c.extension;
        const QString bs = QString("第5期_BS.%1").arg(c.extension);
        EXPECT_TRUE(ReadBytes(one + "/" + bs).starts_with(c.start)) << c.extension;
        const std::string line = (bs + "," + QString("第5期_PL.%1").arg(c.extension)).toStdString();
        EXPECT_NE(ReadBytes(one + "/v_Out.csv").find(line), std::string::npos) << line;
    }
    // The picture PDF stays the default for -t pdf.
    const QString jpegPage = TestPath("pdf-page");
    ASSERT_EQ(RunTool({"-q", "-t", "pdf", "-o", jpegPage, csv}).exitCode, 0);
    EXPECT_NE(ReadBytes(jpegPage + "/第5期_BS.pdf").find("/DCTDecode"), std::string::npos);
    EXPECT_EQ(ReadBytes(TestPath("pdf-j1") + "/第5期_BS.pdf").find("/DCTDecode"),
              std::string::npos);
}

TEST(BatchTool, RunFailuresExitWithOneAndTheMessageOnStderr) {
    struct Case {
        std::string csv;
        std::string err;
    };
    const Case cases[] = {
        {std::string(test::kHeaderLine) + "\n", "ファイルの中にセット可能なデータがありません\n"},
        {"期,a\n1,2\n", "項目数:1\n項目数が10個ありません\n"},
        {PeriodsCsv(2) + "\n", "期と金額数:1\n期と金額数が合せて11個ありません\n"},
        {std::string(10'000'000, '\x82') + "\n1\n", "項目数:0\n項目数が10個ありません\n"},
        {std::string(5001, '\n'), "項目数:0\n項目数が10個ありません\n"},
    };
    for (const auto& c : cases) {
        const ToolRun r = RunTool({"-q", "-o", TestPath("f"), WriteTestFile("f.csv", c.csv)});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(WithoutWarnings(r.err), c.err);
    }
    const ToolRun missing = RunTool({"-q", TestPath("none.csv")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "ファイルのオープン失敗しました\n");
}

TEST(BatchTool, ThreadsTheSystemRefusesNeverEndTheProcess) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer needs an unlimited address space";
#else
    // 600 MB of address space hold the tool but not 256 thread stacks: the run goes on
    // with the threads it got, or, when memory runs out too, ends as a failed run with the
    // failing step's message (if it has one); it never aborts, and no library talks.
    const QString csv = WriteTestFile("l.csv", PeriodsCsv(3));
    const auto limit = [] {
        const rlimit r{600ul << 20, 600ul << 20};
        setrlimit(RLIMIT_AS, &r);
    };
    for (const char* jobs : {"256", "64"}) {
        const QString out = TestPath(QString("l%1").arg(jobs));
        const ToolRun r =
            RunTool({"-q", "--defaults", "-t", "png", "-j", jobs, "-o", out, csv}, limit);
        ASSERT_TRUE(r.exitCode == 0 || r.exitCode == 1) << r.exitCode << r.err;
        if (r.exitCode == 0) {
            EXPECT_EQ(FileNames(out).size(), 7u);
        }
        EXPECT_EQ(r.err.find("terminate"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("libpng"), std::string::npos) << r.err;
    }
#endif
}

TEST(BatchTool, UsageErrorsExitWithTwo) {
    const QString csv = WriteTestFile("u.csv", PeriodsCsv(1));
    const QStringList cases[] = {
        {},
        {csv, csv},
        {"--bogus", csv},
        {"-t", "clipboard", csv},
        {"-t", "JPG", csv},
        {"-t", "SVG", csv},
        {"--vector", csv},
        {"-t", "svg", "--vector", csv},
        {"-t", "png", "--vector", csv},
        {"-s", "tab", csv},
        {"--size", "400", csv},
        {"--size", "10x300", csv},
        {"--size", "400x300x2", csv},
        {"--decimals", "6", csv},
        {"--decimals", "-1", csv},
        {"--font-size", "4", csv},
        {"--line-width", "21", csv},
        {"--centre-line", "middle", csv},
        {"--ratio-position", "left", csv},
        {"--names", "--no-names", csv},
        {"-j", "0", csv},
        {"-j", "two", csv},
        {"--colours", TestPath("missing.col"), csv},
        {"-o"},
        {"-o", "", csv},
    };
    for (const auto& args : cases) {
        const ToolRun r = RunTool(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("quorvex-batch: ")) << r.err;
    }
    EXPECT_FALSE(QFileInfo::exists(TestPath("Desktop/BS_PL")));

    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--output-dir"), std::string::npos);
    const ToolRun version = RunTool({"-v"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.starts_with("quorvex-batch ")) << version.out;
}

}  // namespace
}  // namespace quorvex
