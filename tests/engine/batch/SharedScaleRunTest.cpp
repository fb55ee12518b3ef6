// The batch run and the comparison sheet on a shared scale: what each file holds, the
// scale taken from every record before the first is drawn, the same bytes for every number
// of jobs, the basis warning, the sheet's limit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <csignal>
#include <thread>

#include "core/batch/CsvText.h"
#include "core/model/NumberText.h"
#include "engine/batch/BatchRun.h"
#include "engine/batch/SheetRun.h"
#include "engine/render/ComparisonSheet.h"
#include "engine/render/PeriodRender.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex {
namespace {

using test::FolderContents;
using test::kHeaderLine;
using test::PeriodsCsv;
using test::TestHost;
using test::TestPath;
using test::WriteTestFile;

BatchResult RunScaled(TestHost& host, const QString& csv, const DiagramScale& scale, int jobs,
                      const QString& folder) {
    BatchRequest request;
    request.csvPath = csv;
    request.title = BatchTitle(csv);
    request.outputFolder = folder;
    request.jobs = jobs;
    request.scale = scale;
    return RunBatch(host, request);
}

// The bitmap of a file as drawn: every row above the bottom h white, the bottom h rows the
// ratio-mode diagram of the period at width x h.
void ExpectDiagramAtHeight(const QImage& file, const StatementData& data,
                           const DiagramOptions& options, bool bs, int h, const std::string& what) {
    ASSERT_FALSE(file.isNull()) << what;
    const QImage image = file.convertToFormat(QImage::Format_RGB32);
    const int top = image.height() - h;
    for (int y = 0; y < top; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ASSERT_EQ(image.pixel(x, y), 0xFFFFFFFFu) << what << " at " << x << "," << y;
        }
    }
    if (h == 0) return;
    DiagramBitmap ratioBs, ratioPl;
    ASSERT_TRUE(RenderPeriodDiagrams(data, options, image.width(), h, ratioBs, ratioPl));
    EXPECT_EQ(image.copy(0, top, image.width(), h), (bs ? ratioBs : ratioPl).image()) << what;
}

StatementData Loaded(const std::string& record) {
    StatementData d;
    for (int k = 0; k < kItemCount; ++k) {
        d.items[k].amount = SplitFields(record, k + 2, ',');
        d.items[k].colour = DefaultItemColours[k];
    }
    d.period.text = SplitFields(record, 1, ',');
    ComputeBsRatios(d);
    ComputePlRatios(d);
    return d;
}

TEST(SharedScaleRun, EachFileIsTheRatioDiagramAtItsHeight) {
    struct Case {
        std::string record;  // size fields: 12 and 13; none: the current figure 240 x 200
        int width, height, bsH, plH;
    };
    // Smallest H / M: period 3 (200 px for 1000), so h = trunc(200 x T / 1000).
    const Case cases[] = {
        {"1,60,40,30,20,150,100,60,40,30,10,400,300", 400, 300, 40, 20},
        // Unbalanced: liabilities and equity 300, assets 400.
        {"2,250,150,100,100,100,800,500,300,200,100,300,200", 300, 200, 80, 160},
        {"3,500,500,400,100,500,600,400,200,100,100", 240, 200, 200, 120},
        {"4,0,0,0,0,0,0,0,0,0,0,200,200", 200, 200, 0, 0},
        {"5,-100,0,-50,0,0,-1,0,0,0,0,200,250", 200, 250, 0, 0},
        {"6,1e999,0,1,0,0,1e999,0,0,0,0", 240, 200, 0, 0},
        // Size fields clamp to 200..1000.
        {"7,250,250,100,100,300,500,300,200,100,100,50,5000", 200, 1000, 100, 100},
    };
    std::string csv = std::string(kHeaderLine) + "\n";
    for (const Case& c : cases) csv += c.record + "\n";
    TestHost host;
    host.figure = {240, 200};
    host.diagram.Futosa = 0;
    host.diagram.DrawName = 0;
    host.diagram.DrawRitu = 0;
    const QString folder = TestPath("shared");
    ASSERT_TRUE(
        RunScaled(host, WriteTestFile("s.csv", csv), DiagramScale{ScaleMode::Shared}, 1, folder)
            .ok);
    for (const Case& c : cases) {
        const StatementData data = Loaded(c.record);
        const QString stem = folder + "/第" + QString::fromStdString(data.period.text) + "期_";
        const QImage bs(stem + "BS.png"), pl(stem + "PL.png");
        EXPECT_EQ(bs.size(), QSize(c.width, c.height)) << c.record;
        ExpectDiagramAtHeight(bs, data, host.diagram, true, c.bsH, c.record + " BS");
        ExpectDiagramAtHeight(pl, data, host.diagram, false, c.plH, c.record + " PL");
    }
    EXPECT_TRUE(host.sink.Ids() == std::vector<int>{kMsgSavedShowFolder});
}

TEST(SharedScaleRun, EveryNumberOfJobsWritesTheSameFiles) {
    const QString csv = WriteTestFile("j.csv", PeriodsCsv(30));
    std::map<QString, std::string> files[2];
    const int jobs[2] = {1, 4};
    for (int i = 0; i < 2; ++i) {
        TestHost host;
        const QString folder = TestPath(QString("jobs%1").arg(jobs[i]));
        ASSERT_TRUE(RunScaled(host, csv, DiagramScale{ScaleMode::Shared}, jobs[i], folder).ok);
        files[i] = FolderContents(folder);
    }
    EXPECT_EQ(files[0].size(), 61u);
    EXPECT_TRUE(files[0] == files[1]);
    // The scale is the whole file's: period 1 is not drawn at full height.
    const QImage first(TestPath("jobs1/第1期_BS.png"));
    EXPECT_EQ(first.pixel(0, 0), 0xFFFFFFFFu);
}

TEST(SharedScaleRun, BasisWarnsAboutLargerTotalsAndDrawsThemFull) {
    const std::string csv =
        std::string(kHeaderLine) +
        "\n第1期,50,50,50,0,50,80,0,0,0,0\n大きい期,200,200,0,0,400,90,0,0,0,0\n";
    TestHost host;
    host.diagram.Futosa = 0;
    host.diagram.DrawName = 0;
    host.diagram.DrawRitu = 0;
    const QString folder = TestPath("basis");
    ASSERT_TRUE(RunScaled(host, WriteTestFile("b.csv", csv), BasisScale(200), 2, folder).ok);
    ASSERT_EQ(host.sink.messages.size(), 2u);
    EXPECT_EQ(host.sink.messages[0].id, kMsgOverBasis);
    EXPECT_EQ(host.sink.messages[0].prefix, "期:大きい期\n");
    EXPECT_EQ(host.sink.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(host.sink.messages[1].id, kMsgSavedShowFolder);
    const StatementData small = Loaded("第1期,50,50,50,0,50,80,0,0,0,0");
    const StatementData large = Loaded("大きい期,200,200,0,0,400,90,0,0,0,0");
    // 120 x 90 figures: h = trunc(90 x T / 200).
    ExpectDiagramAtHeight(QImage(folder + "/第1期_BS.png"), small, host.diagram, true, 45, "1 BS");
    ExpectDiagramAtHeight(QImage(folder + "/第1期_PL.png"), small, host.diagram, false, 36, "1 PL");
    ExpectDiagramAtHeight(QImage(folder + "/大きい期_BS.png"), large, host.diagram, true, 90,
                          "large BS");
    ExpectDiagramAtHeight(QImage(folder + "/大きい期_PL.png"), large, host.diagram, false, 40,
                          "large PL");
}

TEST(ComparisonSheetRun, WrittenRefusedOrFailed) {
    struct Case {
        const char* what;
        std::string csv;
        SheetResult result;
        std::vector<int> messages;
        int periods;  // columns of the written sheet
        FigureSize cell{40, 30};
    };
    const Case cases[] = {
        {"one period", PeriodsCsv(1), SheetResult::Written, {}, 1},
        {"three", PeriodsCsv(3), SheetResult::Written, {}, 3},
        {"sixty", PeriodsCsv(60), SheetResult::Written, {}, 60},
        {"sixty-one", PeriodsCsv(61), SheetResult::TooManyPeriods, {kMsgSheetTooManyPeriods}, 0},
        {"header only", std::string(kHeaderLine) + "\n", SheetResult::Failed, {kMsgNoData}, 0},
        {"rejected record", PeriodsCsv(2) + "3,1,2\n", SheetResult::Failed, {kMsgNot11Fields}, 0},
        // 60 cells of 4000 x 4000 would be 7.7 GB: refused before any allocation.
        {"too large", PeriodsCsv(60), SheetResult::Failed, {kMsgMemory}, 0, {4000, 4000}},
    };
    int n = 0;
    for (const Case& c : cases) {
        test::RecordingMessageSink sink;
        SheetRequest request;
        request.csvPath = WriteTestFile("sheet.csv", c.csv);
        request.outputPath = TestPath(QString("sheet%1.png").arg(n++));
        request.cell = c.cell;
        EXPECT_EQ(WriteComparisonSheet(request, sink), c.result) << c.what;
        EXPECT_EQ(sink.Ids(), c.messages) << c.what;
        const QImage written(request.outputPath);
        if (c.periods == 0) {
            EXPECT_TRUE(written.isNull()) << c.what;
            continue;
        }
        const auto layout =
            ComputeSheetLayout(c.periods, c.cell.width, c.cell.height, request.diagram);
        ASSERT_TRUE(layout);
        EXPECT_EQ(written.size(), QSize(layout->width, layout->height)) << c.what;
    }
}

// A sheet's CSV from a pipe that never ends: read within the batch's bounds (5,001 lines),
// ended with the batch's message long before the writer's 256 MiB are through.
TEST(ComparisonSheetRun, EndlessPipeEndsAtTheBatchBounds) {
    std::signal(SIGPIPE, SIG_IGN);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::size_t written = 0;
    std::thread writer([&] {
        std::string chunk = std::string(kHeaderLine) + "\n";
        while (chunk.size() < 65536) chunk += "1,2,3,4,5,6,7,8,9,10,11\n";
        while (written < (std::size_t{256} << 20)) {
            const ssize_t n = ::write(fds[1], chunk.data(), chunk.size());
            if (n <= 0) break;
            written += static_cast<std::size_t>(n);
        }
        ::close(fds[1]);
    });
    test::RecordingMessageSink sink;
    SheetRequest request;
    request.csvPath = QStringLiteral("/proc/self/fd/%1").arg(fds[0]);
    request.outputPath = TestPath("endless.png");
    const SheetResult result = WriteComparisonSheet(request, sink);
    ::close(fds[0]);  // the writer's next write fails
    writer.join();
    EXPECT_EQ(result, SheetResult::Failed);
    EXPECT_EQ(sink.Ids(), std::vector<int>{kMsgTooManyPeriods});
    EXPECT_LT(written, std::size_t{1} << 20);
}

}  // namespace
}  // namespace quorvex
