// The tool as a hurried user or an attacker would run it: attached option values, odd
// option files, endless input, interruptions and a memory limit.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <thread>

#include "cli/OutOfMemory.h"
#include "tests/cli/ToolRun.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex {
namespace {

using test::FileNames;
using test::FolderContents;
using test::PeriodsCsv;
using test::RunTool;
using test::TestPath;
using test::ToolRun;
using test::WriteTestFile;

TEST(BatchToolHostile, AttachedValuesAndBlanksAroundNumbers) {
    const QString csv = WriteTestFile("a.csv", PeriodsCsv(2));
    const ToolRun spaced = RunTool({"-q", "-j", "2", "-t", "png", "-o", TestPath("spaced"),
                                    "--size", "64x48", "--decimals", "3", csv});
    ASSERT_EQ(spaced.exitCode, 0) << spaced.err;
    const QStringList attached[] = {
        {"-q", "-j2", "-tpng", "-o" + TestPath("attached"), "--size", "64x48", "--decimals=3"},
        {"-qj2", "-tpng", "-o" + TestPath("blanks"), "--size", " 64x48 ", "--decimals", " 3 "},
    };
    for (const auto& args : attached) {
        const ToolRun r = RunTool(args + QStringList{csv});
        ASSERT_EQ(r.exitCode, 0) << args.join(' ').toStdString() << r.err;
        const QString folder = QString::fromStdString(r.out).trimmed().section('/', 0, -2);
        EXPECT_EQ(FolderContents(folder), FolderContents(TestPath("spaced")));
    }
    EXPECT_EQ(FileNames(TestPath("blanks")).size(), 5u);
}

TEST(BatchToolHostile, ColourFilesThatAreNoSmallFilesAreUsageErrorsAtOnce) {
    const QString csv = WriteTestFile("c.csv", PeriodsCsv(1));
    const QString fifo = TestPath("fifo.col");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = WriteTestFile("big.col", "1\n");
    std::filesystem::resize_file(big.toStdString(), std::uintmax_t{1} << 30);
    for (const QString& colours : {QStringLiteral("/dev/zero"), TestPath(""), big, fifo}) {
        QElapsedTimer timer;
        timer.start();
        const ToolRun r = RunTool({"-q", "--colours", colours, "-o", TestPath("o"), csv});
        EXPECT_EQ(r.exitCode, 2) << colours.toStdString();
        EXPECT_TRUE(r.err.starts_with("quorvex-batch: 色ファイルを開けません")) << r.err;
        EXPECT_LT(timer.elapsed(), 20000) << colours.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(TestPath("o")));
}

TEST(BatchToolHostile, AnEndlessPipeEndsAtTheLimitWithoutReadingOn) {
    QProcess shell;
    const QString tool = QStringLiteral(QUORVEX_BATCH_TOOL);
    shell.start("/bin/sh", {"-c", "yes 1,2,3,4,5,6,7,8,9,10,11 | \"$0\" -q -o \"$1\" /dev/stdin",
                            tool, TestPath("p")});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 1);
    EXPECT_EQ(shell.readAllStandardError().toStdString(), "期の数が制限(5,000期)を超えます\n");
}

TEST(BatchToolHostile, AMissingDesktopFolderIsMade) {
    ASSERT_TRUE(QDir(TestPath("Desktop")).removeRecursively());
    const ToolRun r = RunTool({"-q", "--defaults", WriteTestFile("d.csv", PeriodsCsv(1))});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FileNames(TestPath("Desktop/BS_PL")).size(), 3u);
}

// A std::bad_alloc on the main thread or on any other ends the tool with the message and
// exit status 1, never with an abort.
TEST(BatchToolHostile, RunningOutOfMemoryAnywhereEndsWithTheMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::function<int()> throwers[] = {
        []() -> int { throw std::bad_alloc(); },
        [] {
            std::thread([] { throw std::bad_alloc(); }).join();
            return 0;
        },
    };
    for (const auto& thrower : throwers) {
        EXPECT_EXIT(RunGuardedAgainstOutOfMemory(thrower), ::testing::ExitedWithCode(1),
                    "^メモリの確保に失敗しました\n$");
    }
    EXPECT_EQ(RunGuardedAgainstOutOfMemory([] { return 7; }), 7);
    // Anything else still ends the process as an error does.
    EXPECT_DEATH(RunGuardedAgainstOutOfMemory([] {
                     std::thread([] { throw std::runtime_error("x"); }).join();
                     return 0;
                 }),
                 "");
}

// Interrupted while it writes: the files written are whole, nothing temporary is left,
// and SIGINT / SIGTERM say so and exit with 128 + the signal, without a summary.
TEST(BatchToolHostile, InterruptionsLeaveWholeFilesOnly) {
    const QString csv = WriteTestFile("k.csv", PeriodsCsv(3000));
    struct Case {
        int signal;
        int exitCode;  // -1: killed
    };
    for (const Case c : {Case{SIGINT, 130}, Case{SIGTERM, 143}, Case{SIGKILL, -1}}) {
        SCOPED_TRACE(c.signal);
        const QString folder = TestPath(QString("k%1").arg(c.signal));
        QProcess p;
        p.start(QStringLiteral(QUORVEX_BATCH_TOOL),
                {"-q", "-j2", "-t", "png", "--size", "200x150", "-o", folder, csv});
        ASSERT_TRUE(p.waitForStarted());
        QElapsedTimer timer;
        timer.start();
        while (QDir(folder).entryList(QDir::Files).size() < 20 && timer.elapsed() < 60000) {
            QThread::msleep(5);
        }
        ::kill(static_cast<pid_t>(p.processId()), c.signal);
        ASSERT_TRUE(p.waitForFinished(60000));
        if (c.exitCode < 0) {
            EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        } else {
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.exitCode(), c.exitCode);
            EXPECT_EQ(p.readAllStandardError().toStdString(), "quorvex-batch: 中断しました\n");
        }
        const auto names =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_GE(names.size(), 20);
        EXPECT_LT(names.size(), 6000);
        for (const QString& name : names) {
            ASSERT_TRUE(name.endsWith("_BS.png") || name.endsWith("_PL.png")) << name.toStdString();
            EXPECT_EQ(QImage(folder + "/" + name).size(), QSize(200, 150)) << name.toStdString();
        }
    }
}

}  // namespace
}  // namespace quorvex
