// Consistency warnings during a batch run: in period order whatever the number of jobs,
// the files unchanged, and --strict ending the run like a rejected record.
#include <gtest/gtest.h>

#include "engine/batch/BatchRun.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex {
namespace {

using test::FileNames;
using test::FolderContents;
using test::TestHost;
using test::TestPath;
using test::WriteTestFile;

constexpr const char* kCsv =
    "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n"
    "1,60,40,30,20,50,100,70,30,20,10\n"
    "2,60,41,30,20,50,100,70,30,20,10\n"
    "3,60,40,30,20,50,100,70,30,20,10\n"
    "4,60,40,80,30,-10,101,70,30,20,10\n"
    "5,60,40,30,20,50,100,70,30,20,10\n";

BatchResult RunWith(TestHost& host, const QString& csv, const QString& folder, int jobs,
                    bool strict) {
    BatchRequest request;
    request.csvPath = csv;
    request.title = BatchTitle(csv);
    request.outputFolder = folder;
    request.jobs = jobs;
    request.strict = strict;
    return RunBatch(host, request);
}

TEST(BatchWarnings, InPeriodOrderAndTheFilesAsWithoutThem) {
    const QString csv = WriteTestFile("w.csv", kCsv);
    const std::vector<std::pair<std::string, int>> expected = {
        {"警告: 第2期: 貸借の合計が一致しません(差額 1円)", 1},
        {"警告: 第4期: 売上高≠売上原価＋粗利益(差額 1円)、債務超過(自己資本がマイナス)", 3},
    };
    std::map<QString, std::string> first;
    for (int jobs : {1, 3}) {
        SCOPED_TRACE(jobs);
        TestHost host;
        const QString folder = TestPath("out" + QString::number(jobs));
        const BatchResult r = RunWith(host, csv, folder, jobs, false);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(host.warnings, expected);
        EXPECT_EQ(host.periodsLoaded, 5);
        const auto files = FolderContents(folder);
        EXPECT_EQ(files.size(), 11u);
        if (first.empty()) first = files;
        EXPECT_EQ(files, first);
    }
}

TEST(BatchWarnings, StrictEndsTheRunAtTheWarnedPeriod) {
    const QString csv = WriteTestFile("w.csv", kCsv);
    for (int jobs : {1, 3}) {
        SCOPED_TRACE(jobs);
        TestHost host;
        const QString folder = TestPath("strict" + QString::number(jobs));
        const BatchResult r = RunWith(host, csv, folder, jobs, true);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(host.warnings, (std::vector<std::pair<std::string, int>>{
                                     {"警告: 第2期: 貸借の合計が一致しません(差額 1円)", 1}}));
        EXPECT_TRUE(host.sink.messages.empty());  // the warning is the run's only word
        const auto names = FileNames(folder);
        EXPECT_EQ(names, (std::vector<QString>{"第1期_BS.png", "第1期_PL.png"}));
    }
}

}  // namespace
}  // namespace quorvex
