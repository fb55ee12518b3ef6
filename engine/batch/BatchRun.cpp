#include "engine/batch/BatchRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <condition_variable>
#include <deque>
#include <exception>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <new>
#include <sstream>
#include <thread>
#include <vector>

#include "core/batch/PipeInput.h"
#include "core/files/AtomicFile.h"
#include "core/files/Interrupt.h"
#include "engine/batch/BatchScale.h"
#include "engine/output/ImageEncoding.h"
#include "engine/output/OutputFiles.h"
#include "engine/render/PeriodRender.h"

namespace quorvex {
namespace {

struct EncodedPeriod {
    EncodedDiagram bs, pl;
};

// Encodes diagrams on a fixed set of threads, in the order they were submitted; with no
// threads a task runs at once on the caller's thread.
class EncoderPool final {
  public:
    // A thread the system refuses to start (a process or memory limit) leaves the pool
    // smaller, down to none: the results are the same, only slower.
    explicit EncoderPool(int threads) {
        try {
            threads_.reserve(static_cast<std::size_t>(threads));
            for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
        } catch (const std::exception&) {
        }
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

    // Both diagrams of a period in one task: half the hand-overs between threads.
    std::future<EncodedPeriod> Submit(QImage bs, QImage pl, int width, int height, int outSaki) {
        std::packaged_task<EncodedPeriod()> task(
            [bs = std::move(bs), pl = std::move(pl), width, height, outSaki] {
                EncodedPeriod out;
                out.bs = EncodeDiagram(bs, width, height, outSaki);
                if (out.bs.ok) out.pl = EncodeDiagram(pl, width, height, outSaki);
                return out;
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
            std::packaged_task<EncodedPeriod()> task;
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
    std::deque<std::packaged_task<EncodedPeriod()>> queue_;
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
    QString folder, bsName, plName;  // the names inside the output folder
    std::future<EncodedPeriod> bytes;
};

// What the writer did with one period, for the calling thread to pass on to the host.
struct CommitReport {
    PendingPeriod period;
    int filesWritten = 0;  // 0, 1 (the BS file) or 2
    DeferredSink messages;
};

// Writes the files of the pending periods strictly in their order and stops at the first
// failure: nothing queued after it is written. Threaded, it works on a thread of its own
// (creating thousands of files costs the kernel about as much as rendering them); else
// Push writes at once on the caller's thread.
class Writer final {
  public:
    // Without a thread of its own (not asked for, or refused by the system) it writes on
    // the caller's thread.
    Writer(std::size_t capacity, bool threaded) : capacity_(capacity) {
        if (!threaded) return;
        try {
            thread_ = std::thread([this] { Work(); });
        } catch (const std::exception&) {
        }
    }
    ~Writer() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Queues a period; waits while the queue is full. False once a commit has failed.
    bool Push(PendingPeriod period) {
        if (!thread_.joinable()) {
            if (failed_) return false;
            CommitReport report = Write(std::move(period));
            failed_ = report.filesWritten < 2;
            reports_.push_back(std::move(report));
            return !failed_;
        }
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || queue_.size() < capacity_; });
        if (failed_) return false;
        queue_.push_back(std::move(period));
        changed_.notify_all();
        return true;
    }
    // Waits until every queued period is written or a commit has failed.
    void Drain() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || (queue_.empty() && !busy_); });
    }
    // The reports of the periods finished since the last call, in order.
    std::vector<CommitReport> TakeReports() {
        const std::lock_guard lock(mutex_);
        std::vector<CommitReport> out;
        out.swap(reports_);
        return out;
    }

  private:
    void Work() {
        for (;;) {
            PendingPeriod period;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return stopping_ || (!failed_ && !queue_.empty()); });
                if (stopping_) return;
                period = std::move(queue_.front());
                queue_.pop_front();
                busy_ = true;
            }
            changed_.notify_all();  // room in the queue
            CommitReport report = Write(std::move(period));
            {
                const std::lock_guard lock(mutex_);
                if (report.filesWritten < 2) {
                    failed_ = true;
                    queue_.clear();
                }
                reports_.push_back(std::move(report));
                busy_ = false;
            }
            changed_.notify_all();
        }
    }

    static CommitReport Write(PendingPeriod period) {
        CommitReport report;
        report.period = std::move(period);
        PendingPeriod& p = report.period;
        EncodedPeriod encoded;
        try {
            encoded = p.bytes.get();
        } catch (const std::exception&) {  // out of memory inside the encoder
            encoded.bs.ok = false;
            encoded.bs.messageId = kMsgMemory;
        }
        if (Commit(encoded.bs, p.folder, p.bsName, report.messages)) {
            report.filesWritten = 1;
            if (Commit(encoded.pl, p.folder, p.plName, report.messages)) report.filesWritten = 2;
        }
        return report;
    }

    static bool Commit(const EncodedDiagram& encoded, const QString& folder, const QString& name,
                       MessageSink& messages) {
        if (!encoded.ok) {
            ReportEncodingFailure(encoded, name, messages);
            return false;
        }
        return CommitFileIn(folder, name, encoded.bytes, messages, CommitMode::Deferred);
    }

    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PendingPeriod> queue_;
    std::vector<CommitReport> reports_;
    bool busy_ = false;
    bool failed_ = false;
    bool stopping_ = false;
    std::thread thread_;  // started last, once everything it uses exists
};

class Run final {
  public:
    Run(BatchHost& host, const BatchRequest& request)
        : host_(host), sink_(host.Messages()), request_(request) {}

    BatchResult Execute();

  private:
    bool OutputFolder();
    bool OpenInput(std::ifstream& file, std::istringstream& buffered, std::istream*& source);
    bool ProcessLines(std::istream& in, const CsvScan& scan);
    bool PassOnReports(Writer& writer);
    bool FinishWriting(Writer& writer);

    BatchHost& host_;
    MessageSink& sink_;
    const BatchRequest& request_;
    BatchResult result_;
    OutputOptions output_;
    DiagramOptions diagram_;
    SummaryFormat format_;
    DiagramScale scale_;
    QString folder_;
    std::string summaryHeader_;  // in the summary file's encoding, without line end
    std::string summary_;        // the period lines, UTF-8
};

// The desktop folder BS_PL, or the folder the request names, made when missing (one
// level); anything already at that path counts as present, like the desktop folder.
bool Run::OutputFolder() {
    if (request_.outputFolder.isEmpty()) return EnsureOutputFolder(folder_, sink_);
    // Absolute and without "..", so that a ".." in a written path can only come from a
    // period text, which the commit refuses.
    folder_ = QDir::cleanPath(QDir(request_.outputFolder).absolutePath());
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

    std::ifstream file;
    std::istringstream buffered;
    std::istream* source = &file;
    if (!OpenInput(file, buffered, source)) return result_;
    std::istream& in = *source;
    BatchScaleCollector scale(request_.scale, host_.CurrentFigureSize());
    const CsvScan scan =
        ScanCsv(in, kMaxBatchPeriods + 1,
                [&scale](std::size_t i, std::string_view line) { scale.Line(i, line); });
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
    scale_ = scale.Result();
    scale.ReportOverBasis(scan.encoding, sink_);
    format_.separate = host_.TakeSeparate();
    diagram_ = host_.Diagram();
    format_.decimals = diagram_.Shosu;
    host_.SetProgressRange(static_cast<int>(scan.lines));
    host_.SetProgress(0);

    const int savedKind = output_.OutType;
    in.clear();
    in.seekg(0);
    if (in.fail()) {
        host_.SetProgress(0);
        sink_.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return result_;
    }
    bool done = false;
    try {
        done = ProcessLines(in, scan);
    } catch (const std::bad_alloc&) {
        // The encoder and writer threads are joined by now; the run ends like any failure.
        sink_.ShowMessage(kMsgMemory, "", MessageKind::Error);
    }
    // The diagram files were written without a flush each; one flush covers them all.
    if (!SyncOutputFolder(folder_) && done) {
        sink_.ShowMessage(kMsgWriteFailed, "", MessageKind::Error);
        done = false;
    }
    host_.SetProgress(0);
    host_.SetOutType(savedKind);
    if (!done) return result_;

    if (PendingInterrupt() != 0) return result_;
    const QString summaryName = request_.title + QStringLiteral("_Out.") +
                                QString::fromUtf8(SummaryExtension(format_.separate));
    const QString summaryPath = folder_ + QLatin1Char('/') + summaryName;
    if (!WriteSummaryFile(folder_, summaryName, summaryHeader_, summary_, scan.encoding, sink_)) {
        return result_;
    }
    result_.ok = true;
    result_.summaryPath = summaryPath;
    if (sink_.ShowMessage(kMsgSavedShowFolder, "", MessageKind::Question) == kYes) {
        host_.OpenFolder(folder_);
    }
    return result_;
}

// The file is read twice. What cannot go back to its start (a pipe, a script's process
// substitution) is read once into memory, counted while it comes in, and both passes read
// that. False after the message (none when the run was interrupted).
bool Run::OpenInput(std::ifstream& file, std::istringstream& buffered, std::istream*& source) {
    const QByteArray path = QFile::encodeName(request_.csvPath);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0) ::close(fd);
        sink_.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return false;
    }
    if (S_ISREG(st.st_mode)) {
        ::close(fd);
        file.open(path.toStdString(), std::ios::binary);
        if (!file) sink_.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        source = &file;
        return static_cast<bool>(file);
    }
    std::string bytes;
    const PipeRead read = ReadPipeInput(fd, kMaxBatchPeriods + 1, kMaxPipeBytes, bytes);
    ::close(fd);
    switch (read) {
        case PipeRead::Complete:
            buffered.str(std::move(bytes));
            source = &buffered;
            return true;
        case PipeRead::TooManyLines:
            sink_.ShowMessage(kMsgTooManyPeriods, "", MessageKind::Error);
            return false;
        case PipeRead::TooLarge:
            sink_.ShowMessage(kMsgFileObject, "", MessageKind::Error);
            return false;
        case PipeRead::ReadError:
            sink_.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
            return false;
        case PipeRead::Interrupted:
            return false;
    }
    return false;
}

bool Run::ProcessLines(std::istream& in, const CsvScan& scan) {
    const int jobs = std::max(1, request_.jobs);
    // One job: everything on the calling thread, period after period. More: encoders and
    // the writer on threads of their own, jobs + 2 periods in flight to keep every encoder
    // busy; the bound keeps memory flat however many periods the file has.
    EncoderPool pool(jobs == 1 ? 0 : jobs);
    Writer writer(2 * static_cast<std::size_t>(jobs) + 4, jobs > 1);
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
        // SIGINT or SIGTERM (the batch tool): the files begun are finished, nothing more.
        if (PendingInterrupt() != 0) {
            FinishWriting(writer);
            return false;
        }
        const CsvLineReader::Result r = reader.Next(raw);
        // A file that lost lines since the first reading is treated like one that cannot
        // be read: the summary would otherwise miss periods without a word.
        if (r != CsvLineReader::Result::Line) {
            if (FinishWriting(writer)) sink_.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
            return false;
        }
        std::string_view bytes = raw;
        // The mark is checked again: the file may have changed since the first reading.
        if (i == 0 && scan.encoding == TextEncoding::Utf8WithBom && bytes.starts_with(kUtf8Bom)) {
            bytes.remove_prefix(kUtf8Bom.size());
        }
        const std::string line = DecodeLine(bytes, scan.encoding, codec);

        DeferredSink held;
        if (i == 0) {
            std::string header = ReadHeaderRecord(line, separator, data, held);
            if (header.empty()) {
                held.Replay(sink_);
                return false;
            }
            host_.LoadNames(data);
            summaryHeader_ = SummaryHeaderBytes(bytes, separator, scan.encoding, codec);
            host_.SetProgress(1);
            continue;
        }

        FigureSize size = batchSize;
        StatementData next = data;
        const std::string columns = ReadPeriodRecord(line, format_, currentSize, next, size, held);
        if (columns.empty()) {
            if (FinishWriting(writer)) held.Replay(sink_);
            return false;
        }
        data = std::move(next);
        batchSize = size;
        if (!RenderPeriodDiagrams(data, diagram_, size.width, size.height, bsBitmap, plBitmap,
                                  scale_)) {
            FinishWriting(writer);
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
        p.folder = folder_;
        p.bsName = bsName;
        p.plName = plName;
        p.bytes = pool.Submit(p.bs, p.pl, size.width, size.height, output_.OutSaki);
        summary_ +=
            SummaryPeriodLine(bsName.toStdString(), plName.toStdString(), separator, columns);
        summary_ += '\n';
        if (!writer.Push(std::move(p))) {
            PassOnReports(writer);  // the failure that stopped the writer
            return false;
        }
        if (!PassOnReports(writer)) return false;
    }
    return FinishWriting(writer);
}

// Tells the host about every period the writer has finished, as the window's own run
// would have shown it: the period loaded, the BS file, the PL file, the progress. False
// after a failed commit, whose message is shown here.
bool Run::PassOnReports(Writer& writer) {
    for (CommitReport& r : writer.TakeReports()) {
        const PendingPeriod& p = r.period;
        host_.LoadPeriod(p.data, p.size, p.bs, p.pl);
        host_.SetOutType(kOutTypeBs);
        if (r.filesWritten >= 1) host_.SetOutType(kOutTypePl);
        if (r.filesWritten < 2) {
            r.messages.Replay(sink_);
            return false;
        }
        host_.SetProgress(p.line + 1);
    }
    return true;
}

bool Run::FinishWriting(Writer& writer) {
    writer.Drain();
    return PassOnReports(writer);
}

}  // namespace

QString BatchTitle(const QString& csvPath) {
    return QFileInfo(csvPath).completeBaseName();
}

BatchResult RunBatch(BatchHost& host, const BatchRequest& request) {
    return Run(host, request).Execute();
}

bool WriteSummaryFile(const QString& folder, const QString& name, std::string_view header,
                      std::string_view lines, TextEncoding encoding, MessageSink& sink) {
    std::string bytes;
    try {
        bytes = encoding == TextEncoding::Utf8WithBom ? std::string(kUtf8Bom) : std::string();
        bytes += header;
        bytes += "\r\n";
        bytes += EncodeTextFile(
            lines, encoding == TextEncoding::Cp932 ? encoding : TextEncoding::Utf8, Cp932Codec());
    } catch (const std::bad_alloc&) {
        sink.ShowMessage(kMsgFileObject, "", MessageKind::Error);
        return false;
    }
    if (WriteFileInFolder(QFile::encodeName(folder).toStdString(),
                          QFile::encodeName(name).toStdString(), bytes,
                          Durability::Durable) != WriteOutcome::Written) {
        sink.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return false;
    }
    return true;
}

}  // namespace quorvex
