#include "batch/BatchRun.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "output/ImageEncoding.h"
#include "output/OutputFiles.h"
#include "render/PeriodRender.h"

namespace quorvex {
namespace {

// Encodes diagrams on a fixed set of threads; with no threads a task runs at once on the
// caller's thread.
class EncoderPool final {
  public:
    explicit EncoderPool(int threads) {
        for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
    }
    ~EncoderPool() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            queue_.clear();  // abandoned tasks: their futures are never read
        }
        wake_.notify_all();
        for (auto& t : threads_) t.join();
    }
    EncoderPool(const EncoderPool&) = delete;
    EncoderPool& operator=(const EncoderPool&) = delete;

    std::future<EncodedDiagram> Submit(QImage image, int width, int height, int outSaki) {
        std::packaged_task<EncodedDiagram()> task(
            [image = std::move(image), width, height, outSaki] {
                return EncodeDiagram(image, width, height, outSaki);
            });
        auto result = task.get_future();
        if (threads_.empty()) {
            task();
            return result;
        }
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back(std::move(task));
        }
        wake_.notify_one();
        return result;
    }

  private:
    void Work() {
        for (;;) {
            std::packaged_task<EncodedDiagram()> task;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (stopping_) return;
                task = std::move(queue_.front());
                queue_.pop_front();
            }
            task();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<EncodedDiagram()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// Holds the messages of a record reader until every earlier period is on disk: an earlier
// failure ends the run first, and its message is then the only one.
class DeferredSink final : public MessageSink {
  public:
    int ShowMessage(int id, std::string_view prefix, MessageKind kind) override {
        held_.push_back({id, std::string(prefix), kind});
        return kOk;
    }
    void Replay(MessageSink& sink) const {
        for (const auto& m : held_) sink.ShowMessage(m.id, m.prefix, m.kind);
    }

  private:
    struct Held {
        int id;
        std::string prefix;
        MessageKind kind;
    };
    std::vector<Held> held_;
};

// One period between rendering and the commit of its two files.
struct PendingPeriod {
    int line = 0;
    StatementData data;
    FigureSize size;
    QImage bs, pl;
    QString bsPath, plPath;
    std::future<EncodedDiagram> bsBytes, plBytes;
};

class Run final {
  public:
    Run(BatchHost& host, const BatchRequest& request)
        : host_(host), sink_(host.Messages()), request_(request) {}

    BatchResult Execute();

  private:
    bool OutputFolder();
    bool ProcessLines(std::istream& in, const CsvScan& scan);
    bool CommitFront();
    bool CommitAll();
    bool CommitDiagram(std::future<EncodedDiagram>& bytes, const QString& path);

    BatchHost& host_;
    MessageSink& sink_;
    const BatchRequest& request_;
    BatchResult result_;
    OutputOptions output_;
    DiagramOptions diagram_;
    SummaryFormat format_;
    QString folder_;
    std::string summary_;
    std::deque<PendingPeriod> pending_;
};

// The desktop folder BS_PL, or the folder the request names, made when missing (one
// level); anything already at that path counts as present, like the desktop folder.
bool Run::OutputFolder() {
    if (request_.outputFolder.isEmpty()) return EnsureOutputFolder(folder_, sink_);
    folder_ = request_.outputFolder;
    if (folder_.size() > 1 && folder_.endsWith(QLatin1Char('/'))) folder_.chop(1);
    if (QFileInfo::exists(folder_) || QDir().mkdir(folder_)) return true;
    sink_.ShowMessage(kMsgDesktopFolder, "", MessageKind::Error);
    return false;
}

BatchResult Run::Execute() {
    output_ = host_.Output();
    if (output_.OutSaki == kOutClipboard) {
        sink_.ShowMessage(kMsgBatchClipboard, "", MessageKind::Error);
        return result_;
    }
    if (!OutputFolder()) return result_;
    result_.folder = folder_;

    std::ifstream in(QFile::encodeName(request_.csvPath).toStdString(), std::ios::binary);
    if (!in) {
        sink_.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return result_;
    }
    const CsvScan scan = ScanCsv(in, kMaxBatchPeriods + 1);
    if (scan.readError) {
        sink_.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return result_;
    }
    if (scan.lines < 2) {
        sink_.ShowMessage(kMsgNoData, "", MessageKind::Error);
        return result_;
    }
    if (scan.lines - 1 > kMaxBatchPeriods) {
        sink_.ShowMessage(kMsgTooManyPeriods, "", MessageKind::Error);
        return result_;
    }
    format_.separate = host_.TakeSeparate();
    diagram_ = host_.Diagram();
    format_.decimals = diagram_.Shosu;
    host_.SetProgressRange(static_cast<int>(scan.lines));
    host_.SetProgress(0);

    const int savedKind = output_.OutType;
    in.clear();
    in.seekg(0);
    bool done = ProcessLines(in, scan);
    // The diagram files were written without a flush each; one flush covers them all.
    if (!SyncOutputFolder(folder_) && done) {
        sink_.ShowMessage(kMsgWriteFailed, "", MessageKind::Error);
        done = false;
    }
    host_.SetProgress(0);
    host_.SetOutType(savedKind);
    if (!done) return result_;

    const QString summaryPath = folder_ + QLatin1Char('/') + request_.title +
                                QStringLiteral("_Out.") +
                                QString::fromUtf8(SummaryExtension(format_.separate));
    if (!WriteSummaryFile(summaryPath, summary_, scan.encoding, sink_)) return result_;
    result_.ok = true;
    result_.summaryPath = summaryPath;
    if (sink_.ShowMessage(kMsgSavedShowFolder, "", MessageKind::Question) == kYes) {
        host_.OpenFolder(folder_);
    }
    return result_;
}

bool Run::ProcessLines(std::istream& in, const CsvScan& scan) {
    const int jobs = std::max(1, request_.jobs);
    // Two diagrams per period in flight per thread keep every thread busy; the bound keeps
    // memory flat however many periods the file has.
    const std::size_t maxPending = jobs == 1 ? 1 : static_cast<std::size_t>(jobs) + 2;
    EncoderPool pool(jobs == 1 ? 0 : jobs);
    const Cp932Codec codec;
    const char separator = SummarySeparator(format_.separate);
    const FigureSize currentSize = host_.CurrentFigureSize();
    const std::array<Colour, kItemCount> colours = host_.Colours();

    StatementData data;
    for (int i = 0; i < kItemCount; ++i) data.items[i].colour = colours[i];
    FigureSize batchSize = currentSize;
    DiagramBitmap bsBitmap, plBitmap;
    CsvLineReader reader(in);
    std::string raw;

    // A file changed between the passes is read only as far as the first pass counted.
    for (std::size_t i = 0; i < scan.lines; ++i) {
        const CsvLineReader::Result r = reader.Next(raw);
        if (r == CsvLineReader::Result::ReadError) {
            if (CommitAll()) sink_.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
            return false;
        }
        if (r == CsvLineReader::Result::End) break;
        std::string_view bytes = raw;
        if (i == 0 && scan.encoding == TextEncoding::Utf8WithBom)
            bytes.remove_prefix(kUtf8Bom.size());
        const std::string line = DecodeLine(bytes, scan.encoding, codec);

        DeferredSink held;
        if (i == 0) {
            std::string header = ReadHeaderRecord(line, separator, data, held);
            if (header.empty()) {
                held.Replay(sink_);
                return false;
            }
            host_.LoadNames(data);
            summary_ += header;
            summary_ += '\n';
            host_.SetProgress(1);
            continue;
        }

        FigureSize size = batchSize;
        StatementData next = data;
        const std::string columns = ReadPeriodRecord(line, format_, currentSize, next, size, held);
        if (columns.empty()) {
            if (CommitAll()) held.Replay(sink_);
            return false;
        }
        data = std::move(next);
        batchSize = size;
        if (!RenderPeriodDiagrams(data, diagram_, size.width, size.height, bsBitmap, plBitmap)) {
            CommitAll();
            return false;
        }

        PendingPeriod p;
        p.line = static_cast<int>(i);
        p.data = data;
        p.size = size;
        p.bs = bsBitmap.image();
        p.pl = plBitmap.image();
        const QString bsName = DiagramFileName(data.period, kOutTypeBs, output_.OutSaki);
        const QString plName = DiagramFileName(data.period, kOutTypePl, output_.OutSaki);
        p.bsPath = folder_ + QLatin1Char('/') + bsName;
        p.plPath = folder_ + QLatin1Char('/') + plName;
        p.bsBytes = pool.Submit(p.bs, size.width, size.height, output_.OutSaki);
        p.plBytes = pool.Submit(p.pl, size.width, size.height, output_.OutSaki);
        pending_.push_back(std::move(p));
        summary_ +=
            SummaryPeriodLine(bsName.toStdString(), plName.toStdString(), separator, columns);
        summary_ += '\n';

        while (pending_.size() >= maxPending) {
            if (!CommitFront()) return false;
        }
    }
    return CommitAll();
}

bool Run::CommitDiagram(std::future<EncodedDiagram>& bytes, const QString& path) {
    const EncodedDiagram encoded = bytes.get();
    if (!encoded.ok) {
        ReportEncodingFailure(encoded, path, sink_);
        return false;
    }
    return CommitFile(path, encoded.bytes, sink_, CommitMode::Deferred);
}

bool Run::CommitFront() {
    PendingPeriod p = std::move(pending_.front());
    pending_.pop_front();
    host_.LoadPeriod(p.data, p.size, p.bs, p.pl);
    host_.SetOutType(kOutTypeBs);
    if (!CommitDiagram(p.bsBytes, p.bsPath)) {
        pending_.clear();
        return false;
    }
    host_.SetOutType(kOutTypePl);
    if (!CommitDiagram(p.plBytes, p.plPath)) {
        pending_.clear();
        return false;
    }
    host_.SetProgress(p.line + 1);
    return true;
}

bool Run::CommitAll() {
    while (!pending_.empty()) {
        if (!CommitFront()) return false;
    }
    return true;
}

}  // namespace

QString BatchTitle(const QString& csvPath) {
    return QFileInfo(csvPath).completeBaseName();
}

BatchResult RunBatch(BatchHost& host, const BatchRequest& request) {
    return Run(host, request).Execute();
}

bool WriteSummaryFile(const QString& path, std::string_view text, TextEncoding encoding,
                      MessageSink& sink) {
    const std::string bytes = EncodeTextFile(text, encoding, Cp932Codec());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        sink.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return false;
    }
    return true;
}

}  // namespace quorvex
