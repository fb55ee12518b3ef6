// The tool's import mode and its warnings, run as a process: what a script sees on stdout,
// stderr and in the exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QProcess>
#include <fstream>

#include "tests/cli/ToolRun.h"
#include "tests/engine/batch/BatchTestSupport.h"
#include "tests/engine/import/FilingFixtures.h"

extern char** environ;

namespace quorvex {
namespace {

using test::FileNames;
using test::kConsolidatedRows;
using test::kImportHeader;
using test::kNonConsolidatedRows;
using test::ReadFixture;
using test::RunProgram;
using test::RunTool;
using test::TestPath;
using test::ToolRun;
using test::WriteTestFile;

QString WriteBytes(const QString& name, const QByteArray& bytes) {
    return WriteTestFile(name, bytes.toStdString());
}

// The next year's filing: every date a year later, the figures of the (now prior) year
// 2024 restated.
QByteArray NextYearFiling() {
    QByteArray t = ReadFixture("two-years.xbrl");
    for (const char* y : {"2024", "2023", "2022"}) {
        t.replace(QByteArray(y) + "-0", QByteArray::number(QByteArray(y).toInt() + 1) + "-0");
    }
    // The restated 2024 figures (now the prior year): current assets 3,000 → 3,100 with
    // current liabilities moved alike, so the balance sheet still balances.
    t.replace(">2800000000</jppfs_cor:CurrentAssets>", ">3100000000</jppfs_cor:CurrentAssets>");
    t.replace(">1900000000</jppfs_cor:CurrentLiabilities>",
              ">2100000000</jppfs_cor:CurrentLiabilities>");
    t.replace(">1700000000</jppfs_cor:NetAssets>", ">1800000000</jppfs_cor:NetAssets>");
    return t;
}

TEST(ImportTool, InstanceZipAndScope) {
    const QByteArray instance = ReadFixture("two-years.xbrl");
    const QString xbrl = WriteBytes("filing.xbrl", instance);
    const QString zip = WriteBytes(
        "filing.zip", test::MakeZip({{"XBRL/PublicDoc/manifest_PublicDoc.xml", "<manifest/>"},
                                     {"XBRL/PublicDoc/jpcrp030000-asr-001.xbrl", instance}}));
    const std::string consolidated = std::string(kImportHeader) + kConsolidatedRows;
    const std::string non = std::string(kImportHeader) + kNonConsolidatedRows;
    // The parent's figures asked for are said to be.
    const std::string parentNote =
        "注意: "
        "2023年3月期、2024年3月期は親会社単体(個別)の財務諸表の数値です(連結ではありません)\n";
    struct Case {
        QStringList arguments;
        std::string out;
        std::string err;  // the start of stderr
    };
    const Case cases[] = {
        {{"--import", xbrl}, consolidated, ""},
        {{"--import", zip}, consolidated, ""},
        {{"--import", "--non-consolidated", xbrl}, non, parentNote},
        {{"--non-consolidated", "--import", zip}, non, parentNote},
        {{"--import", "--explain", xbrl},
         consolidated,
         "2023年3月期: 日本基準、連結、12か月\n  流動資産 = CurrentAssets (2800000000)\n"},
        {{"--import", "--name-periods", "company", xbrl}, consolidated, ""},  // no company name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ToolRun r = RunTool(c.arguments);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, c.out);
        EXPECT_TRUE(r.err.starts_with(c.err) && (c.err.empty() == r.err.empty())) << r.err;
    }
}

TEST(ImportTool, LaterFileOnTheLineWins) {
    const QString older = WriteBytes("2024.xbrl", ReadFixture("two-years.xbrl"));
    const QString newer = WriteBytes("2025.xbrl", NextYearFiling());
    const ToolRun r = RunTool({"--import", older, newer});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, std::string(kImportHeader) +
                         "2023年3月期,2800000000,1700000000,1900000000,900000000,1700000000,"
                         "7000000000,5300000000,1700000000,1400000000,300000000\n"
                         "2024年3月期,3100000000,1700000000,2100000000,900000000,1800000000,"
                         "7000000000,5300000000,1700000000,1400000000,300000000\n"
                         "2025年3月期,3000000000,2000000000,2000000000,1000000000,2000000000,"
                         "8000000000,6000000000,2000000000,1500000000,500000000\n");
    // The other order: the older filing is the later one on the line, its 2024 counts.
    const ToolRun back = RunTool({"--import", newer, older});
    EXPECT_NE(back.out.find("2024年3月期,3000000000,"), std::string::npos) << back.out;
}

TEST(ImportTool, RefusalsExitWithOneAndNothingOnStdout) {
    const QString good = WriteBytes("good.xbrl", ReadFixture("two-years.xbrl"));
    const QString ifrs = WriteBytes("ifrs.xbrl", ReadFixture("ifrs.xbrl"));
    const QString nozip = WriteBytes("empty.zip", test::MakeZip({{"a.txt", "x"}}));
    struct Case {
        QStringList arguments;
        int exitCode;
        std::string errStart;
    };
    const Case cases[] = {
        {{"--import", good, ifrs},
         1,
         "ifrs.xbrl\n2024年3月期: 流動負債(TotalCurrentLiabilitiesIFRS)、"},
        {{"--import", nozip}, 1, "empty.zip\nZIPファイルの中にXBRLファイル"},
        {{"--import", TestPath("missing.xbrl")}, 1, "missing.xbrl\nファイルを開けません\n"},
        {{"--import"}, 2, "quorvex-batch: 読み込むファイルを指定してください"},
        {{"--non-consolidated", good}, 2, "quorvex-batch: --non-consolidated は"},
        {{"--explain", good}, 2, "quorvex-batch: --explain は"},
        {{"--import", "--name-periods", "filer", good},
         2,
         "quorvex-batch: --name-periods には company を指定してください"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ToolRun r = RunTool(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with(c.errStart)) << r.err;
    }
}

TEST(ImportTool, PipedIntoTheBatchItDrawsEveryYear) {
    const QString zip = WriteBytes(
        "f.zip", test::MakeZip({{"XBRL/PublicDoc/f.xbrl", ReadFixture("two-years.xbrl")}}));
    const QString out = TestPath("out");
    const QString tool = QStringLiteral(QUORVEX_BATCH_TOOL);
    const ToolRun r = RunProgram(
        "/bin/sh", {"-c", QStringLiteral("'%1' --import '%2' | '%1' -q -t png -o '%3' /dev/stdin")
                              .arg(tool, zip, out)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");  // imported figures add up: no warnings
    EXPECT_EQ(FileNames(out),
              (std::vector<QString>{"2023年3月期_BS.png", "2023年3月期_PL.png",
                                    "2024年3月期_BS.png", "2024年3月期_PL.png", "stdin_Out.csv"}));
}

// One period of each warning between periods that add up.
constexpr const char* kWarnedCsv =
    "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n"
    "1,60,40,30,20,50,100,70,30,20,10\n"
    "2,60,41,30,20,50,100,70,30,20,10\n"
    "3,60,40,30,20,50,101,70,30,20,10\n"
    "4,60,40,30,20,50,100,70,30,25,10\n"
    "5,60,40,80,30,-10,100,70,30,20,10\n"
    "6,60,40,30,20,50,100,70,30,20,10\n";

TEST(ImportTool, WarningsOnStderrKeepTheRun) {
    const QString csv = WriteTestFile("w.csv", kWarnedCsv);
    const QString out = TestPath("out");
    const ToolRun r = RunTool({"-q", "-t", "bmp", "--size", "64x48", "-o", out, csv});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, (out + "/w_Out.csv\n").toStdString());
    EXPECT_EQ(r.err,
              "警告: 第2期: 貸借の合計が一致しません(差額 1円)\n"
              "警告: 第3期: 売上高≠売上原価＋粗利益(差額 1円)\n"
              "警告: 第4期: 粗利益≠固定費＋経常利益(差額 ▲5円)\n"
              "警告: 第5期: 債務超過(自己資本がマイナス)\n");
    EXPECT_EQ(FileNames(out).size(), 13u);  // six periods, two files each, the summary
}

TEST(ImportTool, StrictEndsTheRunAtTheFirstWarning) {
    const QString csv = WriteTestFile("w.csv", kWarnedCsv);
    const QString out = TestPath("out");
    const ToolRun r = RunTool({"-q", "--strict", "-t", "bmp", "--size", "64x48", "-o", out, csv});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "警告: 第2期: 貸借の合計が一致しません(差額 1円)\n");
    EXPECT_EQ(FileNames(out), (std::vector<QString>{"第1期_BS.bmp", "第1期_PL.bmp"}));

    const QString clean = WriteTestFile("c.csv", std::string(kImportHeader) + kConsolidatedRows);
    const ToolRun ok = RunTool({"-q", "--strict", "-t", "bmp", "-o", out, clean});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
}

// Peak memory of one run of the tool, in kilobytes.
long PeakKilobytes(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage {};
    EXPECT_EQ(wait4(pid, &status, 0, &usage), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return usage.ru_maxrss;
}

// A 100 MB instance (text blocks as large filings carry them, between the statements) is
// read as a stream: the peak memory hardly differs from that of the small filing.
TEST(ImportTool, HundredMegabyteInstanceInBoundedMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer keeps freed memory in quarantine: peaks say nothing here";
#endif
    const QByteArray base = ReadFixture("two-years.xbrl");
    const QString small = WriteBytes("small.xbrl", base);
    const QString large = TestPath("large.xbrl");
    {
        const qsizetype cut = base.indexOf("  <!-- Consolidated statement of income -->");
        std::ofstream f(large.toStdString(), std::ios::binary);
        f.write(base.constData(), cut);
        const std::string block =
            "  <jpcrp_cor:NotesTextBlock contextRef=\"CurrentYearDuration\">" +
            std::string(100000, 'x') + "&lt;/p&gt;</jpcrp_cor:NotesTextBlock>\n";
        for (int i = 0; i < 1000; ++i) f << block;
        f.write(base.constData() + cut, base.size() - cut);
    }
    ASSERT_GT(QFileInfo(large).size(), 100'000'000);
    const std::string tool = QUORVEX_BATCH_TOOL;
    const long smallPeak = PeakKilobytes({tool, "--import", small.toStdString()});
    const long largePeak = PeakKilobytes({tool, "--import", large.toStdString()});
    EXPECT_LT(largePeak - smallPeak, 24 * 1024) << smallPeak << " KB / " << largePeak << " KB";
    QFile::remove(large);
}

}  // namespace
}  // namespace quorvex
