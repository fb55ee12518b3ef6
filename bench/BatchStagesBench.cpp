// The per-period stages of a batch run at 400 x 300, to see where its time goes: the record
// reader, rendering both diagrams, and encoding one diagram for each file type.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QGuiApplication>

#include "core/batch/BatchRecords.h"
#include "engine/output/ImageEncoding.h"
#include "engine/render/PeriodRender.h"

namespace {

using namespace quorvex;

constexpr const char* kHeader =
    "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益";
constexpr const char* kRecord =
    "123,3201234567,765432123,2876543210,345678901,744444579,7955680368,6789012345,1166668023,"
    "1123456789,43211234";

class NullSink final : public MessageSink {
  public:
    int ShowMessage(int, std::string_view, MessageKind) override { return kOk; }
};

StatementData LoadedPeriod() {
    StatementData data;
    NullSink sink;
    FigureSize size;
    ReadHeaderRecord(kHeader, ',', data, sink);
    ReadPeriodRecord(kRecord, {}, {400, 300}, data, size, sink);
    for (int i = 0; i < kItemCount; ++i) data.items[i].colour = DefaultItemColours[i];
    return data;
}

void BM_ReadPeriodRecord(benchmark::State& state) {
    StatementData data = LoadedPeriod();
    NullSink sink;
    FigureSize size;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ReadPeriodRecord(kRecord, {kSeparateKanji, 2}, {400, 300}, data, size, sink));
    }
}
BENCHMARK(BM_ReadPeriodRecord);

void BM_RenderPeriodDiagrams(benchmark::State& state) {
    const StatementData data = LoadedPeriod();
    const DiagramOptions options;
    DiagramBitmap bs, pl;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderPeriodDiagrams(data, options, 400, 300, bs, pl));
    }
}
BENCHMARK(BM_RenderPeriodDiagrams)->Unit(benchmark::kMicrosecond);

void BM_EncodeDiagram(benchmark::State& state) {
    const StatementData data = LoadedPeriod();
    DiagramBitmap bs, pl;
    RenderPeriodDiagrams(data, DiagramOptions(), 400, 300, bs, pl);
    const int outSaki = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeDiagram(bs.image(), 400, 300, outSaki));
    }
    static const char* const names[] = {"jpeg", "bmp", "gif", "png", "tiff", "pdf"};
    state.SetLabel(names[outSaki]);
}
BENCHMARK(BM_EncodeDiagram)
    ->Arg(kOutJpeg)
    ->Arg(kOutPng)
    ->Arg(kOutPdf)
    ->Arg(kOutBmp)
    ->Arg(kOutGif)
    ->Arg(kOutTiff)
    ->Unit(benchmark::kMicrosecond);
// Encoders run side by side in a batch run: two at once should take no longer than one.
BENCHMARK(BM_EncodeDiagram)
    ->Arg(kOutJpeg)
    ->Arg(kOutPng)
    ->Threads(2)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// One period as a single thread does it: render both, encode both. Compared with the sum of
// the stages above it shows what interleaving them on one thread costs.
void BM_RenderAndEncodePeriod(benchmark::State& state) {
    const StatementData data = LoadedPeriod();
    DiagramBitmap bs, pl;
    const int outSaki = static_cast<int>(state.range(0));
    for (auto _ : state) {
        RenderPeriodDiagrams(data, DiagramOptions(), 400, 300, bs, pl);
        benchmark::DoNotOptimize(EncodeDiagram(bs.image(), 400, 300, outSaki));
        benchmark::DoNotOptimize(EncodeDiagram(pl.image(), 400, 300, outSaki));
    }
}
BENCHMARK(BM_RenderAndEncodePeriod)->Arg(kOutJpeg)->Arg(kOutPng)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
