// The tool's edges: options that would do nothing in the run asked for, the sheet's
// warnings and --strict, and a stdout that cannot take what is written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFileInfo>

#include "tests/cli/ToolRun.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex {
namespace {

using test::PeriodsCsv;
using test::RunTool;
using test::TestPath;
using test::ToolRun;
using test::WriteTestFile;

// Period 2 does not balance; 1 and 3 add up.
constexpr const char* kOneWarningCsv =
    "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n"
    "1,60,40,30,20,50,100,70,30,20,10\n"
    "2,60,41,30,20,50,100,70,30,20,10\n"
    "3,60,40,30,20,50,100,70,30,20,10\n";
constexpr const char* kWarning = "警告: 第2期: 貸借の合計が一致しません(差額 1円)\n";

TEST(ToolOptions, OptionsThatDoNothingAreUsageErrors) {
    const QString csv = WriteTestFile("o.csv", PeriodsCsv(2));
    const QString xbrl = QStringLiteral(QUORVEX_IMPORT_FIXTURES "/two-years.xbrl");
    const QString sheet = TestPath("o.png");
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        // The import draws nothing and writes only stdout.
        {{"--import", "-t", "png", xbrl}, "--import と --type"},
        {{"--import", "--size", "40x30", xbrl}, "--import と --size"},
        {{"--import", "-j", "2", xbrl}, "--import と --jobs"},
        {{"--import", "--scale", "shared", xbrl}, "--import と --scale"},
        {{"--import", "--scale-basis", "100", xbrl}, "--import と --scale-basis"},
        {{"--import", "--sheet", sheet, xbrl}, "--import と --sheet"},
        {{"--import", "-o", TestPath("x"), xbrl}, "--import と --output-dir"},
        {{"--import", "--strict", xbrl}, "--import と --strict"},
        {{"--import", "--vector", xbrl}, "--import と --vector"},
        {{"--import", "--title", "t", xbrl}, "--import と --title"},
        {{"--import", "--defaults", xbrl}, "--import と --defaults"},
        {{"--import", "--no-names", xbrl}, "--import と --no-names"},
        // The sheet is one file of the extension given.
        {{"--sheet", sheet, "-o", TestPath("x"), csv}, "--sheet と --output-dir"},
        {{"--sheet", sheet, "-t", "png", csv}, "--sheet と --type"},
        {{"--sheet", sheet, "--vector", csv}, "--sheet と --vector"},
        {{"--sheet", sheet, "--sheet", TestPath("p.png"), csv}, "--sheet は一度だけ"},
        // Options of other runs given to the batch run.
        {{"--non-consolidated", csv}, "--non-consolidated は --import と共に"},
        {{"--title", "t", csv}, "--title は --sheet と共に"},
    };
    for (const Case& c : cases) {
        const ToolRun r = RunTool(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString() << "\n" << r.err;
        EXPECT_EQ(r.out, "") << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.starts_with("quorvex-batch: ")) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;  // the usage hint
    }
    EXPECT_FALSE(QFileInfo::exists(sheet));
    EXPECT_FALSE(QFileInfo::exists(TestPath("x")));
    EXPECT_FALSE(QFileInfo::exists(TestPath("Desktop/BS_PL")));
    // What belongs together still runs.
    EXPECT_EQ(RunTool({"-q", "--import", "--non-consolidated", xbrl}).exitCode, 0);
    EXPECT_EQ(RunTool({"-q", "--sheet", sheet, "--title", "t", "--size", "40x30", "-j", "1", csv})
                  .exitCode,
              0);
}

TEST(ToolOptions, SheetRunsWarnAndStrictEndsThem) {
    const QString csv = WriteTestFile("w.csv", kOneWarningCsv);
    const QString sheet = TestPath("w.png");
    const ToolRun warned = RunTool({"--size", "40x30", "--sheet", sheet, csv});
    EXPECT_EQ(warned.exitCode, 0) << warned.err;
    EXPECT_EQ(warned.err, kWarning);
    EXPECT_EQ(warned.out, (sheet + "\n").toStdString());
    ASSERT_TRUE(QFile::remove(sheet));

    const ToolRun strict = RunTool({"--strict", "--size", "40x30", "--sheet", sheet, csv});
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(strict.err, kWarning);
    EXPECT_EQ(strict.out, "");
    EXPECT_FALSE(QFileInfo::exists(sheet));
}

// Every path that ends by writing to stdout, with stdout on a full device or closed.
TEST(ToolOutput, StdoutThatCannotBeWrittenIsAFailure) {
    const QString csv = WriteTestFile("s.csv", kOneWarningCsv);
    const QString xbrl = QStringLiteral(QUORVEX_IMPORT_FIXTURES "/two-years.xbrl");
    const QStringList runs[] = {
        {"--help"},
        {"--version"},
        {"-q", "-t", "bmp", "--size", "40x30", "-o", TestPath("out"), csv},
        {"--size", "40x30", "--sheet", TestPath("s.png"), csv},
        {"--import", xbrl},
    };
    const std::pair<const char*, std::function<void()>> outs[] = {
        {"full",
         [] {
             const int fd = ::open("/dev/full", O_WRONLY);
             ::dup2(fd, STDOUT_FILENO);
         }},
        {"closed", [] { ::close(STDOUT_FILENO); }},
    };
    for (const auto& [what, redirect] : outs) {
        for (const QStringList& args : runs) {
            const ToolRun r = RunTool(args, redirect);
            EXPECT_EQ(r.exitCode, 1) << what << " " << args.join(' ').toStdString();
            EXPECT_NE(r.err.find("quorvex-batch: 標準出力に書き込めません"), std::string::npos)
                << what << " " << args.join(' ').toStdString() << "\n"
                << r.err;
        }
    }
    // A writable stdout is no failure.
    EXPECT_EQ(RunTool({"--version"}).exitCode, 0);
}

}  // namespace
}  // namespace quorvex
