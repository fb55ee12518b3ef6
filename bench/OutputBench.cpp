// Encoding throughput of one 400 x 300 diagram per format on one thread (vector files
// drawn from the data), the PNG encoder's
// levels beside Qt's own PNG writer, and the cost of an atomic file commit.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTemporaryDir>

#include "core/model/NumberText.h"
#include "core/model/StatementData.h"
#include "engine/output/ImageEncoding.h"
#include "engine/output/OutputFiles.h"
#include "engine/output/PngEncoder.h"
#include "engine/output/VectorDiagram.h"
#include "engine/render/PeriodRender.h"

namespace {

using namespace quorvex;

// The balance sheet of the sample data, rendered as the window and the batch run do.
const QImage& Diagram() {
    static const QImage image = [] {
        const StatementData data = SampleStatementData();
        DiagramBitmap bs;
        DiagramBitmap pl;
        if (!RenderPeriodDiagrams(data, DiagramOptions{}, 400, 300, bs, pl)) std::abort();
        return bs.image();
    }();
    return image;
}

void BM_EncodeDiagram(benchmark::State& state) {
    const int outSaki = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const EncodedDiagram e = EncodeDiagram(Diagram(), 400, 300, outSaki);
        if (!e.ok) state.SkipWithError("encoding failed");
        bytes = static_cast<std::size_t>(e.bytes.size());
        benchmark::DoNotOptimize(e.bytes.constData());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.SetLabel(outSaki == kOutPdf ? "pdf" : ImageExtension(outSaki).toStdString());
}
BENCHMARK(BM_EncodeDiagram)->DenseRange(kOutJpeg, kOutPdf)->Unit(benchmark::kMicrosecond);

// A vector file is drawn again from the data, so its cost includes the drawing.
void BM_EncodeVectorDiagram(benchmark::State& state) {
    const int outSaki = static_cast<int>(state.range(0));
    const StatementData data = SampleStatementData();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const EncodedDiagram e = EncodeVectorDiagram(data, {}, kOutTypeBs, 400, 300, outSaki);
        if (!e.ok) state.SkipWithError("encoding failed");
        bytes = static_cast<std::size_t>(e.bytes.size());
        benchmark::DoNotOptimize(e.bytes.constData());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.SetLabel(outSaki == kOutSvg ? "svg" : "vector pdf");
}
BENCHMARK(BM_EncodeVectorDiagram)->Arg(kOutSvg)->Arg(kOutPdfVector)->Unit(benchmark::kMicrosecond);

void BM_PngQtWriter(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.write(Diagram());
        bytes = static_cast<std::size_t>(out.size());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PngQtWriter)->Unit(benchmark::kMicrosecond);

// The PNG encoder at each libdeflate level, 8-bit RGB (the diagram has texts).
void BM_Png(benchmark::State& state) {
    PngSettings settings;
    settings.level = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto out = EncodePng(Diagram(), settings);
        bytes = out ? static_cast<std::size_t>(out->size()) : 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Png)->DenseRange(1, 9)->Unit(benchmark::kMicrosecond);

class NullSink final : public MessageSink {
  public:
    int ShowMessage(int, std::string_view, MessageKind) override { return kOk; }
};

// Temporary file, write, (sync,) rename: one JPEG-sized file per iteration.
void BM_CommitFile(benchmark::State& state) {
    const auto mode = state.range(0) ? CommitMode::Deferred : CommitMode::Durable;
    state.SetLabel(state.range(0) ? "deferred" : "durable");
    QTemporaryDir dir;
    const EncodedDiagram e = EncodeDiagram(Diagram(), 400, 300, kOutJpeg);
    NullSink sink;
    int i = 0;
    for (auto _ : state) {
        CommitFile(dir.path() + QStringLiteral("/%1.jpeg").arg(i++), e.bytes, sink, mode);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CommitFile)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (getenv("QUORVEX_BENCH_KEEP_HEAP")) {
        // Keep freed memory in the process instead of returning it after every image.
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
