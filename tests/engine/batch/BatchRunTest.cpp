#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <thread>

#include "core/batch/CsvText.h"
#include "engine/batch/BatchRun.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex {
namespace {

using test::DesktopFolder;
using test::FileNames;
using test::FolderContents;
using test::kHeaderLine;
using test::PeriodsCsv;
using test::ReadBytes;
using test::RunIn;
using test::TestHost;
using test::TestPath;
using test::WriteTestFile;

std::vector<QString> Names(std::initializer_list<const char*> names) {
    std::vector<QString> out;
    for (const char* n : names) out.push_back(QString::fromUtf8(n));
    return out;
}

TEST(RunBatch, ThreeRecordsGiveSixFilesTheSummaryAndTheQuestion) {
    TestHost host;
    host.output.OutSaki = kOutJpeg;
    host.sink.answers = {kYes};
    const QString csv = WriteTestFile("sales.csv", std::string(kHeaderLine) + "\n" +
                                                       "1,60,40,30,20,50,1000,600,400,300,100\n"
                                                       "第2期,1,2,3,4,5,6,7,8,9,10,300,400\n"
                                                       "x,5,5,5,5,5,5,5,5,5,5\n");
    const BatchResult result = RunIn(host, csv);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.summaryPath, DesktopFolder() + "/sales_Out.csv");
    EXPECT_EQ(FileNames(DesktopFolder()),
              Names({"sales_Out.csv", "x_BS.jpeg", "x_PL.jpeg", "第1期_BS.jpeg", "第1期_PL.jpeg",
                     "第2期_BS.jpeg", "第2期_PL.jpeg"}));
    const std::string summary = ReadBytes(result.summaryPath);
    EXPECT_EQ(
        summary,
        "BSファイル名,PLファイル名,流動資産,流動資産率,固定資産,固定資産率,流動負債,流動負債率,"
        "固定負債,固定負債率,自己資本,自己資本率,売上高,売上原価,売上原価率,粗利益,粗利益率,"
        "固定費,固定費率,経常利益,経常利益率\r\n"
        "第1期_BS.jpeg,第1期_PL.jpeg,60,60.00%,40,40.00%,30,30.00%,20,20.00%,50,50.00%,1000,"
        "600,60.00%,400,40.00%,300,30.00%,100,10.00%\r\n"
        "第2期_BS.jpeg,第2期_PL.jpeg,1,33.33%,2,66.67%,3,25.00%,4,33.33%,5,41.67%,6,7,46.67%,"
        "8,53.33%,9,60.00%,10,-6.67%\r\n"
        "x_BS.jpeg,x_PL.jpeg,5,50.00%,5,50.00%,5,33.33%,5,33.33%,5,33.33%,5,5,50.00%,5,50.00%,"
        "5,50.00%,5,0.00%\r\n");
    // The question comes last, after the summary; Yes opens the folder.
    ASSERT_EQ(host.sink.Ids(), std::vector<int>{kMsgSavedShowFolder});
    EXPECT_EQ(host.sink.messages[0].kind, MessageKind::Question);
    EXPECT_EQ(host.opened, std::vector<QString>{DesktopFolder()});
    // Sizes: the figure size, the record's, then the figure size again.
    EXPECT_EQ(QImage(DesktopFolder() + "/第1期_BS.jpeg").size(), QSize(120, 90));
    EXPECT_EQ(QImage(DesktopFolder() + "/第2期_PL.jpeg").size(), QSize(300, 400));
    EXPECT_EQ(QImage(DesktopFolder() + "/x_PL.jpeg").size(), QSize(120, 90));
    // Progress over the four lines, back to 0; BS then PL per period, then the kind restored.
    EXPECT_EQ(host.range, 4);
    EXPECT_EQ(host.progress, (std::vector<int>{0, 1, 2, 3, 4, 0}));
    EXPECT_EQ(host.kinds, (std::vector<int>{0, 1, 0, 1, 0, 1, 1}));
    // The window shows the header's names and the last record.
    EXPECT_EQ(host.shown.items[0].name, "流動資産");
    EXPECT_EQ(host.shown.period.text, "x");
    EXPECT_EQ(host.shown.items[9].amount, "5");
    EXPECT_EQ(host.shownSize, (FigureSize{120, 90}));
}

TEST(RunBatch, TheKindIsRestoredAndNoIsDeclined) {
    for (const int kind : {kOutTypeBs, kOutTypePl}) {
        TestHost host;
        host.output.OutType = kind;
        host.sink.answers = {kNo};
        ASSERT_TRUE(RunIn(host, WriteTestFile("k.csv", PeriodsCsv(2))).ok);
        EXPECT_EQ(host.output.OutType, kind);
        EXPECT_TRUE(host.opened.empty());
    }
}

TEST(RunBatch, LineCountLimits) {
    TestHost host;
    host.output.OutSaki = kOutBmp;
    host.figure = {8, 6};  // records without size fields keep this size: small and quick
    const BatchResult ok = RunIn(host, WriteTestFile("max.csv", PeriodsCsv(5000)));
    ASSERT_TRUE(ok.ok);
    EXPECT_EQ(FileNames(DesktopFolder()).size(), 10001u);
    EXPECT_EQ(host.range, 5001);

    // 5,002 lines, most of them blank: refused before anything is read.
    TestHost refused;
    std::string tooMany = PeriodsCsv(1);
    for (int i = 0; i < 5000; ++i) tooMany += "\n";
    const QString folder = TestPath("other");
    EXPECT_FALSE(RunIn(refused, WriteTestFile("many.csv", tooMany), 1, folder).ok);
    EXPECT_EQ(refused.sink.Ids(), std::vector<int>{kMsgTooManyPeriods});
    EXPECT_EQ(refused.namesLoaded, 0);
    EXPECT_TRUE(QFileInfo(folder).isDir());  // the folder is made before the file is read
    EXPECT_TRUE(FileNames(folder).empty());
    EXPECT_EQ(refused.range, -1);
}

TEST(RunBatch, FilesWithoutDataAreRefused) {
    const std::string cases[] = {"", std::string(kHeaderLine), std::string(kHeaderLine) + "\r\n",
                                 std::string(1, '\x1A').append(PeriodsCsv(3))};
    for (const auto& bytes : cases) {
        TestHost host;
        EXPECT_FALSE(RunIn(host, WriteTestFile("d.csv", bytes)).ok);
        EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgNoData});
        EXPECT_TRUE(FileNames(DesktopFolder()).empty());
    }
    TestHost missing;
    EXPECT_FALSE(RunIn(missing, TestPath("nothing.csv")).ok);
    EXPECT_EQ(missing.sink.Ids(), std::vector<int>{kMsgOpenFailed});
    TestHost folder;
    EXPECT_FALSE(RunIn(folder, TestPath("Desktop")).ok);
    EXPECT_EQ(folder.sink.Ids(), std::vector<int>{kMsgOpenFailed});
}

TEST(RunBatch, ARejectedRecordEndsTheRunWithoutSummary) {
    struct Case {
        std::string csv;
        std::vector<QString> files;
        std::string message;
    };
    const std::string h = std::string(kHeaderLine) + "\n";
    const std::string r1 = "1,1,2,3,4,5,6,7,8,9,10\n", r2 = "2,1,2,3,4,5,6,7,8,9,10\n";
    const Case cases[] = {
        // A blank third line in a five-line file: period 1's files stay.
        {h + r1 + "\n" + r2 + r2, Names({"第1期_BS.png", "第1期_PL.png"}),
         "期と金額数:1\n期と金額数が合せて11個ありません"},
        // An empty line at the end: every period's files, then the record message.
        {h + r1 + r2 + "\n",
         Names({"第1期_BS.png", "第1期_PL.png", "第2期_BS.png", "第2期_PL.png"}),
         "期と金額数:1\n期と金額数が合せて11個ありません"},
        {h + r1 + ",1,2,3,4,5,6,7,8,9,10\n" + r2, Names({"第1期_BS.png", "第1期_PL.png"}),
         "期がセットされていません"},
        {"期,a,b\n" + r1, {}, "項目数:2\n項目数が10個ありません"},
    };
    for (const auto& c : cases) {
        for (const int jobs : {1, 4}) {
            TestHost host;
            const QString folder = TestPath("out" + QString::number(jobs));
            EXPECT_FALSE(RunIn(host, WriteTestFile("r.csv", c.csv), jobs, folder).ok);
            EXPECT_EQ(FileNames(folder), c.files) << c.csv;
            ASSERT_EQ(host.sink.messages.size(), 1u) << c.csv;
            EXPECT_EQ(host.sink.messages[0].Text(), c.message);
            EXPECT_EQ(host.progress.back(), 0);
            EXPECT_EQ(host.output.OutType, kOutTypePl);
            QDir(folder).removeRecursively();
        }
    }
}

TEST(RunBatch, ClipboardTargetIsRefusedBeforeTheFolderIsMade) {
    TestHost host;
    host.output.OutSaki = kOutClipboard;
    EXPECT_FALSE(RunIn(host, WriteTestFile("c.csv", PeriodsCsv(2))).ok);
    EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgBatchClipboard});
    EXPECT_FALSE(QFileInfo::exists(DesktopFolder()));
}

TEST(RunBatch, SamePeriodTwiceReplacesTheFiles) {
    TestHost host;
    host.output.Separate = kSeparateKanji;
    const std::string csv =
        std::string(kHeaderLine) + "\n5,1,1,1,1,1,1,1,1,1,1\n" + "5,9,1,1,1,1,1,1,1,1,1,200,200\n";
    ASSERT_TRUE(RunIn(host, WriteTestFile("same.csv", csv)).ok);
    EXPECT_EQ(FileNames(DesktopFolder()), Names({"same_Out.csv", "第5期_BS.png", "第5期_PL.png"}));
    EXPECT_EQ(QImage(DesktopFolder() + "/第5期_BS.png").size(), QSize(200, 200));
    const std::string summary = ReadBytes(DesktopFolder() + "/same_Out.csv");
    EXPECT_NE(summary.find("\r\n第5期_BS.png,第5期_PL.png,1円,50.00%"), std::string::npos);
    EXPECT_NE(summary.find("\r\n第5期_BS.png,第5期_PL.png,9円,90.00%"), std::string::npos);
}

TEST(RunBatch, SummaryNameAndSeparator) {
    struct Case {
        const char* file;
        int separate;
        const char* summary;
        char sep;
    };
    const Case cases[] = {
        {"my.data.csv", kSeparateNone, "my.data_Out.csv", ','},
        {"DATA.CSV", kSeparateKanji, "DATA_Out.csv", ','},
        {"sales.csv", kSeparateComma, "sales_Out.tsv", '\t'},
    };
    for (const auto& c : cases) {
        TestHost host;
        host.output.Separate = c.separate;
        const QString folder = TestPath("s");
        const BatchResult r = RunIn(host, WriteTestFile(c.file, PeriodsCsv(1)), 1, folder);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.summaryPath, folder + "/" + c.summary);
        const std::string summary = ReadBytes(r.summaryPath);
        EXPECT_TRUE(summary.starts_with(std::string("BSファイル名") + c.sep + "PLファイル名"))
            << c.file;
        QDir(folder).removeRecursively();
    }
}

TEST(RunBatch, InputEncodingsGiveTheSamePicturesAndASummaryInTheInputsEncoding) {
    const std::string utf8 = std::string(kHeaderLine) + "\r\n第1期,1,2,3,4,5,6,7,8,9,10\r\n" +
                             "2,4,4,4,4,4,4,4,4,4,4,250,200\r\n";
    const Cp932Codec codec;
    const std::string cp932 = codec.Encode(utf8);
    ASSERT_NE(cp932, utf8);
    const std::string bom = std::string(kUtf8Bom) + utf8;

    std::map<QString, std::string> pictures[3];
    std::string summaries[3];
    const std::string inputs[3] = {utf8, cp932, bom};
    for (int i = 0; i < 3; ++i) {
        TestHost host;
        const QString folder = TestPath("enc" + QString::number(i));
        const BatchResult r = RunIn(host, WriteTestFile("in.csv", inputs[i]), 2, folder);
        ASSERT_TRUE(r.ok) << i;
        pictures[i] = FolderContents(folder);
        summaries[i] = pictures[i].at("in_Out.csv");
        pictures[i].erase("in_Out.csv");
        EXPECT_EQ(host.shown.items[0].name, "流動資産");
    }
    EXPECT_EQ(pictures[0].size(), 4u);
    EXPECT_EQ(pictures[0], pictures[1]);
    EXPECT_EQ(pictures[0], pictures[2]);
    EXPECT_NE(summaries[0].find("第1期_BS.png,第1期_PL.png,1,33.33%"), std::string::npos);
    EXPECT_EQ(summaries[1], codec.Encode(summaries[0]));
    EXPECT_EQ(summaries[2], std::string(kUtf8Bom) + summaries[0]);
}

TEST(RunBatch, BytesValidInNeitherEncodingGoOn) {
    // 0x85 0x20 is no CP932 character and no UTF-8: the name gets U+FFFD, "?" in the summary.
    const Cp932Codec codec;
    const std::string header =
        std::string(kHeaderLine).substr(0, std::string(kHeaderLine).rfind(','));
    TestHost host;
    const BatchResult r = RunIn(
        host, WriteTestFile("bad.csv", codec.Encode(header) + ",\x85 x\n1,1,2,3,4,5,6,7,8,9,10\n"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(host.shown.items[9].name, "\xEF\xBF\xBD x");
    const std::string summary = codec.Decode(ReadBytes(r.summaryPath));
    EXPECT_NE(summary.find(",? x,? x率\r\n"), std::string::npos) << summary;
}

TEST(RunBatch, EveryNumberOfJobsWritesTheSameFiles) {
    const std::string csv = PeriodsCsv(40);
    std::map<QString, std::string> first;
    for (const int jobs : {1, 4}) {
        for (const int target : {kOutPng, kOutPdf}) {
            TestHost host;
            host.output.OutSaki = target;
            const QString folder = TestPath(QString("j%1t%2").arg(jobs).arg(target));
            ASSERT_TRUE(RunIn(host, WriteTestFile("j.csv", csv), jobs, folder).ok);
            auto files = FolderContents(folder);
            EXPECT_EQ(files.size(), 81u);
            if (jobs == 1) {
                for (auto& [name, bytes] : files) first[QString::number(target) + name] = bytes;
            } else {
                for (const auto& [name, bytes] : files) {
                    EXPECT_EQ(bytes, first[QString::number(target) + name]) << name.toStdString();
                }
            }
        }
    }
}

TEST(RunBatch, AFailedFileEndsTheRunAndNothingLaterIsWritten) {
    // A folder in the way of a diagram file makes its commit fail.
    struct Case {
        const char* blocked;
        std::size_t files;  // written before the failure
    };
    const Case cases[] = {{"第5期_BS.png", 8}, {"第5期_PL.png", 9}};
    for (const auto& c : cases) {
        for (const int jobs : {1, 4}) {
            TestHost host;
            const QString folder = TestPath("f");
            ASSERT_TRUE(QDir().mkpath(folder + "/" + c.blocked));
            EXPECT_FALSE(RunIn(host, WriteTestFile("f.csv", PeriodsCsv(30)), jobs, folder).ok);
            EXPECT_EQ(FileNames(folder).size(), c.files) << c.blocked << " jobs " << jobs;
            EXPECT_FALSE(QFileInfo::exists(folder + "/第6期_BS.png"));
            ASSERT_EQ(host.sink.messages.size(), 1u);
            EXPECT_EQ(host.sink.messages[0].Text(),
                      std::string(c.blocked) + "\nファイルの書き込みに失敗しました");
            EXPECT_EQ(host.shown.period.text, "5");
            EXPECT_EQ(host.output.OutType, kOutTypePl);
            QDir(folder).removeRecursively();
        }
    }
}

TEST(RunBatch, ASummaryThatCannotBeWrittenKeepsTheDiagrams) {
    TestHost host;
    const QString folder = TestPath("w");
    ASSERT_TRUE(QDir().mkpath(folder + "/w_Out.csv"));
    EXPECT_FALSE(RunIn(host, WriteTestFile("w.csv", PeriodsCsv(2)), 2, folder).ok);
    EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgOpenFailed});
    EXPECT_EQ(FileNames(folder).size(), 4u);
}

TEST(RunBatch, APipeIsReadLikeAFile) {
    const QString pipe = TestPath("pipe.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const std::string csv = PeriodsCsv(3);
    for (const int jobs : {1, 4}) {
        std::thread feeder([&] {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(::write(fd, csv.data(), csv.size()), static_cast<ssize_t>(csv.size()));
            ::close(fd);
        });
        TestHost host;
        const QString folder = TestPath("p");
        const BatchResult r = RunIn(host, pipe, jobs, folder);
        // Should the run not have opened the pipe, this lets the feeder go on.
        const int unblock = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
        feeder.join();
        ::close(unblock);
        ASSERT_TRUE(r.ok) << jobs;
        EXPECT_EQ(FileNames(folder).size(), 7u);
        EXPECT_EQ(host.range, 4);
        QDir(folder).removeRecursively();
    }
}

TEST(RunBatch, AFileChangedBetweenTheReadings) {
    struct Case {
        std::string original;
        std::string replacement;  // written over the file after the first reading
        bool ok;
        std::size_t files;
        int message;
    };
    const std::string csv4 = PeriodsCsv(4);
    const Case cases[] = {
        // Lost lines: the run ends like a read error, without a summary.
        {csv4, PeriodsCsv(2), false, 4, kMsgOpenFailed},
        {csv4, "", false, 0, kMsgOpenFailed},
        // More lines: only the counted ones are read.
        {csv4, PeriodsCsv(6), true, 9, 0},
        // The byte-order mark is gone and the first line is shorter than it was.
        {std::string(kUtf8Bom) + csv4, "ab\n" + csv4, false, 0, kMsgNot10Items},
    };
    for (const auto& c : cases) {
        for (const int jobs : {1, 4}) {
            TestHost host;
            const QString csv = WriteTestFile("ch.csv", c.original);
            host.betweenReadings = [&] { WriteTestFile("ch.csv", c.replacement); };
            const QString folder = TestPath("ch");
            EXPECT_EQ(RunIn(host, csv, jobs, folder).ok, c.ok);
            EXPECT_EQ(FileNames(folder).size(), c.files) << c.replacement.size() << " " << jobs;
            if (!c.ok) {
                EXPECT_EQ(host.sink.Ids(), std::vector<int>{c.message});
            }
            EXPECT_EQ(host.progress.back(), 0);
            QDir(folder).removeRecursively();
        }
    }
}

TEST(RunBatch, RunningOutOfMemoryEndsTheRunWithAMessage) {
    struct Case {
        int at;             // 0: the names, else the period
        std::size_t files;  // on disk at the end
    };
    const Case cases[] = {{0, 0}, {3, 6}};
    for (const auto& c : cases) {
        for (const int jobs : {1, 4}) {
            TestHost host;
            host.outOfMemoryAt = c.at;
            const QString folder = TestPath("oom");
            EXPECT_FALSE(RunIn(host, WriteTestFile("oom.csv", PeriodsCsv(20)), jobs, folder).ok);
            EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgMemory}) << c.at << " jobs " << jobs;
            EXPECT_EQ(host.progress.back(), 0);
            EXPECT_EQ(host.output.OutType, kOutTypePl);
            EXPECT_FALSE(QFileInfo::exists(folder + "/oom_Out.csv"));
            // Periods after the failing one may have been written already; its own are there.
            if (c.at > 0) {
                EXPECT_GE(FileNames(folder).size(), c.files);
            }
            QDir(folder).removeRecursively();
        }
    }
}

TEST(RunBatch, MalformedInputsEndWithAMessage) {
    std::string garbage;
    unsigned state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 214013u + 2531011u;
        garbage += static_cast<char>((state >> 16) & 0xFF);
    }
    std::string blank(5001, '\n');
    std::string mixed = "期,流動資産\x82\xA0,\xE3\x81\x82\xFF,c\n1,2,3\n";
    const std::string cases[] = {garbage, std::string(10'000'000, 'x') + "\n1,2\n", blank,
                                 PeriodsCsv(1) + std::string(10'000'000, '9') + "\n", mixed};
    for (const auto& bytes : cases) {
        TestHost host;
        EXPECT_FALSE(RunIn(host, WriteTestFile("m.csv", bytes), 2).ok);
        EXPECT_EQ(host.sink.messages.size(), 1u);
        EXPECT_EQ(host.progress.empty() ? 0 : host.progress.back(), 0);
    }
}

}  // namespace
}  // namespace quorvex
