// The headless tool end to end: options, settings, exit status, stdout and stderr.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFile>
#include <QProcess>
#include <functional>

#include "core/model/NumberText.h"
#include "engine/render/PeriodRender.h"
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

// Totals 100, 200, 400 (balance sheet) and 50, 100, 200 (sales).
std::string ProportionalCsv() {
    return std::string(test::kHeaderLine) + "\n1,50,50,30,20,50,50,30,20,10,10\n" +
           "2,100,100,60,40,100,100,60,40,20,20\n3,200,200,120,80,200,200,120,80,40,40\n";
}

TEST(BatchTool, SharedScaleFilesAreRatioDiagramsUnderWhiteRows) {
    const QString csv = WriteTestFile("p.csv", ProportionalCsv());
    const QString out = TestPath("shared");
    const ToolRun r = RunTool({"-q", "--defaults", "--scale", "shared", "--no-names", "--no-ratios",
                               "--line-width", "0", "-t", "png", "-o", out, csv});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    DiagramOptions options;
    options.DrawName = 0;
    options.DrawRitu = 0;
    options.Futosa = 0;
    struct Case {
        const char* file;
        const char* amounts;
        bool bs;
        int h;  // of 300
    };
    const Case cases[] = {
        {"第1期_BS.png", "50,50,30,20,50,50,30,20,10,10", true, 75},
        {"第2期_BS.png", "100,100,60,40,100,100,60,40,20,20", true, 150},
        {"第3期_BS.png", "200,200,120,80,200,200,120,80,40,40", true, 300},
        {"第1期_PL.png", "50,50,30,20,50,50,30,20,10,10", false, 37},
        {"第2期_PL.png", "100,100,60,40,100,100,60,40,20,20", false, 75},
        {"第3期_PL.png", "200,200,120,80,200,200,120,80,40,40", false, 150},
    };
    for (const Case& c : cases) {
        const QImage image =
            QImage(out + "/" + QString::fromUtf8(c.file)).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(400, 300)) << c.file;
        for (int y = 0; y < 300 - c.h; ++y) {
            for (int x = 0; x < 400; ++x)
                ASSERT_EQ(image.pixel(x, y), 0xFFFFFFFFu) << c.file << " " << x << "," << y;
        }
        StatementData data;
        const QStringList amounts = QString::fromLatin1(c.amounts).split(',');
        for (int k = 0; k < kItemCount; ++k) {
            data.items[k].amount = amounts[k].toStdString();
            data.items[k].colour = DefaultItemColours[k];
        }
        ComputeBsRatios(data);
        ComputePlRatios(data);
        DiagramBitmap bs, pl;
        ASSERT_TRUE(RenderPeriodDiagrams(data, options, 400, c.h, bs, pl));
        EXPECT_EQ(image.copy(0, 300 - c.h, 400, c.h), (c.bs ? bs : pl).image()) << c.file;
    }
}

TEST(BatchTool, ScaleOptionsAndTheStoredValue) {
    StoredSettings stored = DefaultSettings();
    stored.output.OutSaki = kOutPng;
    stored.diagram.HireiShukushaku = 1;
    ASSERT_TRUE(SaveSettings(stored));
    const QString csv = WriteTestFile("p.csv", ProportionalCsv());
    // Whether period 1's balance sheet has white rows on top: drawn on the shared scale.
    const auto shared = [&](const QStringList& options, const QString& folder) {
        const ToolRun r = RunTool(QStringList{"-q", "-t", "png", "-o", TestPath(folder)} + options +
                                  QStringList{csv});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QImage(TestPath(folder) + "/第1期_BS.png").pixel(200, 10) == 0xFFFFFFFFu;
    };
    EXPECT_TRUE(shared({}, "stored"));
    EXPECT_FALSE(shared({"--defaults"}, "defaults"));
    EXPECT_FALSE(shared({"--scale", "ratio"}, "ratio"));
    EXPECT_TRUE(shared({"--defaults", "--scale", "shared"}, "shared"));
    EXPECT_TRUE(shared({"--defaults", "--scale-basis", "1000"}, "basis"));

    // A basis below a total: a warning naming the period, the run still succeeds.
    const ToolRun b =
        RunTool({"-q", "--defaults", "--scale-basis", "300", "-o", TestPath("low"), csv});
    EXPECT_EQ(b.exitCode, 0);
    EXPECT_EQ(b.err, "期:3\n合計が基準額を超えるため、図の高さいっぱいに描きます\n");
    for (const QStringList& args :
         {QStringList{"--scale", "both", csv}, QStringList{"--scale-basis", "0", csv},
          QStringList{"--scale-basis", "-5", csv}, QStringList{"--scale-basis", "inf", csv},
          QStringList{"--scale-basis", "1億", csv},
          QStringList{"--scale", "ratio", "--scale-basis", "10", csv},
          QStringList{"--title", "x", csv}, QStringList{"--sheet", TestPath("s.jpeg"), csv}}) {
        const ToolRun r = RunTool(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.starts_with("quorvex-batch: ")) << r.err;
    }
}

TEST(BatchTool, ComparisonSheet) {
    const QString csv = WriteTestFile("p.csv", ProportionalCsv());
    const QString sheet = TestPath("sheet.png");
    const ToolRun r =
        RunTool({"--defaults", "--size", "200x150", "--sheet", sheet, "--title", "三期", csv});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, (sheet + "\n").toStdString());
    EXPECT_FALSE(QImage(sheet).isNull());
    EXPECT_FALSE(QFileInfo::exists(TestPath("Desktop/BS_PL")));  // no diagram files

    // The same sheet as vector files, chosen by the extension; the texts stay texts.
    for (const char* name : {"sheet.svg", "sheet.PDF"}) {
        const QString vector = TestPath(name);
        const ToolRun v =
            RunTool({"--defaults", "--size", "200x150", "--sheet", vector, "--title", "三期", csv});
        EXPECT_EQ(v.exitCode, 0) << name << v.err;
        QFile file(vector);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = file.readAll();
        if (QByteArray(name).endsWith("svg")) {
            EXPECT_TRUE(bytes.contains("<svg")) << name;
            EXPECT_TRUE(bytes.contains("三期")) << name;
        } else {
            EXPECT_TRUE(bytes.startsWith("%PDF-")) << name;
            EXPECT_FALSE(bytes.contains("/DCTDecode")) << name;  // no picture inside
        }
    }

    const ToolRun many =
        RunTool({"--sheet", TestPath("many.png"), WriteTestFile("m.csv", PeriodsCsv(61))});
    EXPECT_EQ(many.exitCode, 2);
    EXPECT_EQ(many.err, "比較図に描ける期は60期までです\n");
    EXPECT_FALSE(QFileInfo::exists(TestPath("many.png")));
    const ToolRun bad = RunTool({"--sheet", TestPath("bad.png"), WriteTestFile("b.csv", "x\n")});
    EXPECT_EQ(bad.exitCode, 1);
}

}  // namespace
}  // namespace quorvex
