// The batch run against hostile files: planted links, subfolders in period texts, encodings
// that must survive byte for byte, endless pipes and interruptions.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <thread>

#include "core/batch/CsvText.h"
#include "core/files/Interrupt.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex {
namespace {

using test::FileNames;
using test::kHeaderLine;
using test::PeriodsCsv;
using test::ReadBytes;
using test::RunIn;
using test::TestHost;
using test::TestPath;
using test::WriteTestFile;

std::string Record(const std::string& period) {
    return period + ",1,2,3,4,5,6,7,8,9,10\n";
}

TEST(BatchFiles, PlantedLinksAreReplacedAndNothingOutsideTheFolderChanges) {
    const QString folder = TestPath("out");
    const QString outside = TestPath("outside.txt");
    const QString elsewhere = TestPath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(folder + "/real"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    WriteTestFile("outside.txt", "outside");
    ASSERT_TRUE(QFile::link(outside, folder + "/l_Out.csv"));
    ASSERT_TRUE(QFile::link(outside, folder + "/第1期_BS.png"));
    ASSERT_TRUE(QFile::link(elsewhere, folder + "/sub"));

    TestHost host;
    const std::string csv = std::string(kHeaderLine) + "\n" + Record("1") + Record("real/2");
    const BatchResult r = RunIn(host, WriteTestFile("l.csv", csv), 2, folder);
    ASSERT_TRUE(r.ok) << host.sink.messages.size();
    EXPECT_EQ(ReadBytes(outside), "outside");
    EXPECT_FALSE(QFileInfo(folder + "/l_Out.csv").isSymLink());
    EXPECT_FALSE(QFileInfo(folder + "/第1期_BS.png").isSymLink());
    EXPECT_EQ(FileNames(folder + "/real").size(), 2u);
    EXPECT_NE(ReadBytes(folder + "/l_Out.csv").find("real/2_BS.png"), std::string::npos);

    // A period through the planted link fails like a file that cannot be created, and the
    // message names the file as the summary would.
    for (const int jobs : {1, 3}) {
        TestHost refused;
        const std::string bad = std::string(kHeaderLine) + "\n" + Record("3") + Record("sub/4");
        EXPECT_FALSE(RunIn(refused, WriteTestFile("s.csv", bad), jobs, folder).ok);
        ASSERT_EQ(refused.sink.messages.size(), 1u);
        EXPECT_EQ(refused.sink.messages[0].Text(),
                  "sub/4_BS.png\nファイルの書き込みに失敗しました");
        EXPECT_TRUE(QDir(elsewhere).isEmpty());
        EXPECT_FALSE(QFileInfo::exists(folder + "/s_Out.csv"));
    }
}

TEST(BatchFiles, ALongPeriodIsWrittenAndALongerOneQuotedShort) {
    const QString folder = TestPath("long");
    TestHost host;
    const std::string p250 = std::string(250 - 7, 'p');  // with "_BS.png": 250 bytes
    const std::string huge(100'000, 'h');
    const std::string csv = std::string(kHeaderLine) + "\n" + Record(p250) + Record(huge);
    EXPECT_FALSE(RunIn(host, WriteTestFile("g.csv", csv), 1, folder).ok);
    EXPECT_EQ(ReadBytes(folder + "/" + QString::fromStdString(p250) + "_BS.png").substr(1, 3),
              "PNG");
    ASSERT_EQ(host.sink.messages.size(), 1u);
    EXPECT_EQ(host.sink.messages[0].prefix, std::string(200, 'h') + "…\n");
}

TEST(BatchFiles, Cp932NamesReachTheSummaryByteForByte) {
    const Cp932Codec codec;
    // ≒ (87 90), 纊 (ED 40), ⅰ (EE EF): each has a second code that iconv prefers.
    const std::string names[3] = {"\x87\x90", "\xED\x40", "\xEE\xEF"};
    std::string header = codec.Encode("期");
    for (int i = 0; i < kItemCount; ++i) header += "," + names[i % 3] + codec.Encode("項目");
    TestHost host;
    const BatchResult r =
        RunIn(host, WriteTestFile("c.csv", header + "\r\n" + Record("1")), 1, TestPath("c"));
    ASSERT_TRUE(r.ok);
    const std::string summary = ReadBytes(r.summaryPath);
    for (int i = 0; i < kItemCount; ++i) {
        const std::string name = names[i % 3] + codec.Encode("項目");
        EXPECT_NE(summary.find("," + name + ","), std::string::npos) << i;
    }
    EXPECT_EQ(summary.find(codec.Encode(codec.Decode(names[0]))), std::string::npos);
    const std::string period = codec.Encode("第1期_BS.png,第1期_PL.png,1,");
    EXPECT_EQ(summary.substr(summary.find("\r\n") + 2, period.size()), period);
}

TEST(BatchFiles, AnEndlessPipeEndsAtTheLineLimit) {
    const QString pipe = TestPath("endless.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::thread feeder([&] {
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
        const std::string line = Record("1");
        while (::write(fd, line.data(), line.size()) > 0) {
        }
        ::close(fd);
    });
    TestHost host;
    EXPECT_FALSE(RunIn(host, pipe, 2, TestPath("e")).ok);
    feeder.join();
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgTooManyPeriods});
    EXPECT_TRUE(FileNames(TestPath("e")).empty());
}

TEST(BatchFiles, AnInterruptedRunEndsQuietlyWithoutSummary) {
    TestHost host;
    host.betweenReadings = [] { SetPendingInterrupt(SIGTERM); };
    const BatchResult r = RunIn(host, WriteTestFile("i.csv", PeriodsCsv(5)), 2, TestPath("i"));
    SetPendingInterrupt(0);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(host.sink.messages.empty());
    EXPECT_TRUE(FileNames(TestPath("i")).empty());
}

}  // namespace
}  // namespace quorvex
