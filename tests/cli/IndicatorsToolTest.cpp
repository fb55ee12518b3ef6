#include <gtest/gtest.h>

#include <QImage>

#include "tests/cli/ToolRun.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::RunTool;
using test::TestPath;

TEST(IndicatorsTool, IndicatorsBreakEvenSheetAndHelp) {
    const QString csv = test::WriteTestFile("t.csv", test::PeriodsCsv(2));
    struct Case {
        const char* what;
        QStringList args;
        int exit;
    };
    const Case cases[] = {
        {"plain", {"-q", "--defaults", "-t", "png", "-o", TestPath("plain"), csv}, 0},
        {"both",
         {"-q", "--defaults", "-t", "png", "-o", TestPath("both"), "--break-even", "--indicators",
          TestPath("i.csv"), csv},
         0},
        {"empty file name", {"--defaults", "--indicators", "", csv}, 2},
        {"sheet", {"--defaults", "--sheet", TestPath("plain.png"), csv}, 0},
        {"sheet with ratios",
         {"--defaults", "--sheet", TestPath("with.png"), "--indicators", TestPath("s.csv"), csv},
         0},
    };
    for (const Case& c : cases) {
        const test::ToolRun r = RunTool(c.args);
        EXPECT_EQ(r.exitCode, c.exit) << c.what << ": " << r.err;
    }
    EXPECT_TRUE(ReadBytes(TestPath("i.csv")).starts_with("期,流動比率(%),自己資本比率(%),"));
    EXPECT_EQ(ReadBytes(TestPath("i.csv")), ReadBytes(TestPath("s.csv")));
    // The break-even line is on the PL diagram only; the summary is the same.
    EXPECT_EQ(ReadBytes(TestPath("both/第1期_BS.png")), ReadBytes(TestPath("plain/第1期_BS.png")));
    EXPECT_NE(ReadBytes(TestPath("both/第1期_PL.png")), ReadBytes(TestPath("plain/第1期_PL.png")));
    EXPECT_EQ(ReadBytes(TestPath("both/t_Out.csv")), ReadBytes(TestPath("plain/t_Out.csv")));
    EXPECT_GT(QImage(TestPath("with.png")).height(), QImage(TestPath("plain.png")).height());

    const test::ToolRun help = RunTool({"--help"});
    EXPECT_NE(help.out.find("--indicators FILE"), std::string::npos);
    EXPECT_NE(help.out.find("損益分岐点売上高 = 固定費 ÷ 限界利益率"), std::string::npos);
}

}  // namespace
}  // namespace quorvex
