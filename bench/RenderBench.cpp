// Drawing both diagrams of the sample period with all texts, as the window does at every
// paint: 400 x 300 (the default figure), 960 x 540 each (a maximised full-HD window) and
// 1920 x 1080 each; and the same at a pixel ratio (a HiDPI screen), in device pixels.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QGuiApplication>

#include "core/model/NumberText.h"
#include "engine/render/ComparisonSheet.h"
#include "engine/render/Diagrams.h"
#include "engine/render/PeriodRender.h"
#include "engine/render/PixelRatio.h"

namespace quorvex {
namespace {

StatementData Sample() {
    return SampleStatementData();
}

DiagramOptions AllTexts() {
    DiagramOptions options;  // names and ratios below them, borders 2, upper centre line
    options.DrawName = 1;
    options.DrawRitu = 1;
    return options;
}

// Both diagrams into bitmaps prepared at that size, as the paint handler does.
void BM_DrawBothDiagrams(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const StatementData data = Sample();
    const DiagramOptions options = AllTexts();
    DiagramBitmap bs, pl;
    for (auto _ : state) {
        bool ok = PrepareDiagramBitmap(bs, width, height) && DrawBsDiagram(bs, data, options) &&
                  PrepareDiagramBitmap(pl, width, height) && DrawPlDiagram(pl, data, options);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_DrawBothDiagrams)
    ->Args({400, 300})
    ->Args({960, 540})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMicrosecond);

// Both diagrams as the window paints them on a screen of ratio range(2) / 10: figure size
// times the ratio in device pixels, widths and fonts scaled. Ratio 10 (1.0) is the plain path.
void BM_DrawBothDiagramsAtRatio(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const double ratio = static_cast<double>(state.range(2)) / 10.0;
    const StatementData data = Sample();
    const DiagramOptions options = AllTexts();
    DiagramBitmap bs, pl;
    for (auto _ : state) {
        bool ok = DrawDiagramAtRatio(bs, DiagramKind::BalanceSheet, width, height, ratio, data,
                                     options, {}) &&
                  DrawDiagramAtRatio(pl, DiagramKind::ProfitAndLoss, width, height, ratio, data,
                                     options, {});
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_DrawBothDiagramsAtRatio)
    ->Args({1920, 1080, 10})
    ->Args({1920, 1080, 15})
    ->Args({1920, 1080, 20})
    ->Unit(benchmark::kMicrosecond);

// The batch run's call, with fresh bitmaps each time (allocation included).
void BM_RenderPeriodDiagramsFresh(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const StatementData data = Sample();
    const DiagramOptions options = AllTexts();
    for (auto _ : state) {
        DiagramBitmap bs, pl;
        bool ok = RenderPeriodDiagrams(data, options, width, height, bs, pl);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_RenderPeriodDiagramsFresh)
    ->Args({400, 300})
    ->Args({960, 540})
    ->Unit(benchmark::kMicrosecond);

// The same on the shared scale of the period (profit and loss full, balance sheet half):
// the white rows and the viewport against the plain drawing above.
void BM_RenderPeriodDiagramsShared(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const StatementData data = Sample();
    const DiagramOptions options = AllTexts();
    const DiagramScale scale = PeriodScale(data, height);
    for (auto _ : state) {
        DiagramBitmap bs, pl;
        bool ok = RenderPeriodDiagrams(data, options, width, height, bs, pl, scale);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_RenderPeriodDiagramsShared)
    ->Args({400, 300})
    ->Args({960, 540})
    ->Unit(benchmark::kMicrosecond);

// A comparison sheet of 60 periods of 400 x 300, drawn (not encoded).
void BM_ComparisonSheet60(benchmark::State& state) {
    SheetContent content;
    content.title = "sheet";
    content.options = AllTexts();
    for (int i = 0; i < kMaxSheetPeriods; ++i) content.periods.push_back(Sample());
    content.scale = SheetScale(content.periods, 300);
    const auto layout = ComputeSheetLayout(kMaxSheetPeriods, 400, 300, content.options);
    DiagramBitmap sheet;
    for (auto _ : state) {
        bool ok = PrepareDiagramBitmap(sheet, layout->width, layout->height) &&
                  DrawOnBitmap(sheet, [&](DiagramSurface& surface, int, int) {
                      DrawComparisonSheet(surface, *layout, content);
                      return true;
                  });
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_ComparisonSheet60)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
