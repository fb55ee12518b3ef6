#pragma once
// Shared pieces of the batch run tests: a scripted host and small file helpers.

#include <QDir>
#include <QFile>
#include <QImage>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "engine/batch/BatchHost.h"
#include "engine/batch/BatchRun.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex::test {

inline constexpr const char* kHeaderLine =
    "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益";

class TestHost final : public BatchHost {
  public:
    RecordingMessageSink sink;
    OutputOptions output{kOutTypePl, kOutPng, kSeparateNone};
    DiagramOptions diagram;
    std::array<Colour, kItemCount> colours = DefaultItemColours;
    FigureSize figure{120, 90};
    int range = -1;
    std::vector<int> progress;
    std::vector<int> kinds;  // every statement kind set
    StatementData shown;     // what the window's fields would show
    FigureSize shownSize;
    int namesLoaded = 0;
    int periodsLoaded = 0;
    std::vector<QString> opened;
    // Loading this period (counted from 1) or the names (0) runs out of memory; -1: never.
    int outOfMemoryAt = -1;
    // Runs when the progress range is set: between the two readings of the file.
    std::function<void()> betweenReadings;

    MessageSink& Messages() override { return sink; }
    OutputOptions Output() override { return output; }
    int TakeSeparate() override { return output.Separate; }
    DiagramOptions Diagram() override { return diagram; }
    std::array<Colour, kItemCount> Colours() override { return colours; }
    FigureSize CurrentFigureSize() override { return figure; }
    void SetOutType(int outType) override {
        output.OutType = outType;
        kinds.push_back(outType);
    }
    void SetProgressRange(int maximum) override {
        range = maximum;
        if (betweenReadings) betweenReadings();
    }
    void SetProgress(int position) override { progress.push_back(position); }
    void LoadNames(const StatementData& data) override {
        if (outOfMemoryAt == 0) throw std::bad_alloc();
        for (int i = 0; i < kItemCount; ++i) shown.items[i].name = data.items[i].name;
        ++namesLoaded;
    }
    void LoadPeriod(const StatementData& data, FigureSize size, const QImage& bs,
                    const QImage& pl) override {
        if (periodsLoaded + 1 == outOfMemoryAt) throw std::bad_alloc();
        shown.period = data.period;
        for (int i = 0; i < kItemCount; ++i) shown.items[i].amount = data.items[i].amount;
        shown.ratios = data.ratios;
        shownSize = size;
        EXPECT_EQ(bs.size(), QSize(size.width, size.height));
        EXPECT_EQ(pl.size(), QSize(size.width, size.height));
        ++periodsLoaded;
    }
    void OpenFolder(const QString& folder) override { opened.push_back(folder); }
};

inline QString TestPath(const QString& name) {
    return QString::fromStdString(TestHome()) + QLatin1Char('/') + name;
}

inline QString DesktopFolder() {
    return TestPath("Desktop/BS_PL");
}

inline QString WriteTestFile(const QString& name, const std::string& bytes) {
    const QString path = TestPath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

inline std::string ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

// File name -> bytes of every file in a folder.
inline std::map<QString, std::string> FolderContents(const QString& folder) {
    std::map<QString, std::string> out;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        out[name] = ReadBytes(dir.filePath(name));
    }
    return out;
}

inline std::vector<QString> FileNames(const QString& folder) {
    std::vector<QString> names;
    for (const auto& [name, bytes] : FolderContents(folder)) names.push_back(name);
    return names;
}

// A CSV of n periods with distinct amounts, lines ending in end.
inline std::string PeriodsCsv(int n, const std::string& end = "\n") {
    std::string csv = std::string(kHeaderLine) + end;
    for (int i = 1; i <= n; ++i) {
        csv += std::to_string(i);
        for (int k = 0; k < kItemCount; ++k)
            csv.append(",").append(std::to_string(100 + i * 7 + k * 13));
        csv += end;
    }
    return csv;
}

inline BatchResult RunIn(TestHost& host, const QString& csv, int jobs = 1,
                         const QString& folder = {}) {
    BatchRequest request;
    request.csvPath = csv;
    request.title = BatchTitle(csv);
    request.outputFolder = folder;
    request.jobs = jobs;
    return RunBatch(host, request);
}

}  // namespace quorvex::test
