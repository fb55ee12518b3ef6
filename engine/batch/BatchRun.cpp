#include "engine/batch/BatchRun.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <fstream>
#include <functional>
#include <future>
#include <new>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "core/files/AtomicFile.h"
#include "core/files/Interrupt.h"
#include "core/model/Consistency.h"
#include "core/model/Indicators.h"
#include "engine/batch/BatchScale.h"
#include "engine/batch/CsvInput.h"
#include "engine/batch/EncoderPool.h"
#include "engine/batch/IndicatorsFile.h"
#include "engine/batch/OrderedWriter.h"
#include "engine/batch/PeriodWork.h"
#include "engine/output/ImageEncoding.h"
#include "engine/output/OutputFiles.h"

namespace quorvex {
namespace {

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

// What an encoder thread hands the writer: the period drawn and encoded, and its files
// already written ahead, unnamed, so that the writer's one thread only names them.
struct WorkedPeriod {
    DrawnPeriod drawn;
    PreparedFile bs, pl;
};

// The encoder thread's part after encoding: the bytes written ahead are let go at once, so
// the periods waiting for the writer hold no file bytes.
void WriteAhead(const FolderHandle& folder, const QString& name, EncodedDiagram& encoded,
                PreparedFile& file) {
    if (!encoded.ok) return;
    file = PrepareFileIn(folder, name, encoded.bytes, CommitMode::Deferred);
    if (file.BytesTaken()) encoded.bytes = QByteArray();
}

// One period from its reading to the commit of its two files.
struct PendingPeriod {
    int line = 0;
    StatementData data;
    FigureSize size;
    const FolderHandle* folder = nullptr;  // the output folder, held open by the run
    QString bsName, plName;                // the names inside it
    std::future<WorkedPeriod> work;
    // Filled in by the writer, for the calling thread to pass on to the host.
    DrawnPeriod drawn;
    std::string warning;   // figures that do not add up; empty when they do
    int filesWritten = 0;  // 0, 1 (the BS file) or 2
    DeferredSink messages;
};

bool CommitEncoded(const EncodedDiagram& encoded, PreparedFile& file, const FolderHandle& folder,
                   const QString& name, MessageSink& messages) {
    if (!encoded.ok) {
        ReportEncodingFailure(encoded, name, messages);
        return false;
    }
    return CommitPreparedIn(folder, name, file, encoded.bytes, messages, CommitMode::Deferred);
}

// The writer's part: waits for the period's files and names the BS file, then the PL file.
// A file written ahead that is never named (a failure before it) vanishes with its period.
bool CommitPeriod(PendingPeriod& p) {
    WorkedPeriod worked;
    try {
        worked = p.work.get();
    } catch (const std::exception&) {  // out of memory while drawing
        p.messages.ShowMessage(kMsgMemory, "", MessageKind::Error);
        return false;
    }
    p.drawn = std::move(worked.drawn);
    if (!p.drawn.drawn) return false;
    if (CommitEncoded(p.drawn.bsFile, worked.bs, *p.folder, p.bsName, p.messages)) {
        p.filesWritten = 1;
        if (CommitEncoded(p.drawn.plFile, worked.pl, *p.folder, p.plName, p.messages)) {
            p.filesWritten = 2;
        }
    }
    return p.filesWritten == 2;
}

using Writer = OrderedWriter<PendingPeriod>;

// Periods waiting for the writer: jobs + 2 more than the encoders hold keep every encoder busy.
std::size_t WriterCapacity(int jobs) {
    return 2 * static_cast<std::size_t>(jobs) + 4;
}

class Run final {
  public:
    Run(BatchHost& host, const BatchRequest& request)
        : host_(host),
          sink_(host.Messages()),
          request_(request),
          jobs_(std::max(1, request.jobs)),
          shelf_(2 * (WriterCapacity(jobs_) + static_cast<std::size_t>(jobs_) + 1)) {}

    BatchResult Execute();

  private:
    bool OutputFolder();
    bool ProcessLines(std::istream& in, const CsvScan& scan);
    bool PassOnReports(Writer& writer);
    bool FinishWriting(Writer& writer);

    BatchHost& host_;
    MessageSink& sink_;
    const BatchRequest& request_;
    const int jobs_;
    // Both pictures of every period in flight: those queued for the writer, those being
    // drawn and the one the reader is about to push.
    BitmapShelf shelf_;
    BatchResult result_;
    OutputOptions output_;
    DiagramOptions diagram_;
    SummaryFormat format_;
    DiagramScale scale_;
    QString folder_;
    std::optional<FolderHandle> folderHandle_;  // folder_, opened once for every file
    std::string summaryHeader_;                 // in the summary file's encoding, without line end
    std::string summary_;                       // the period lines, UTF-8
    bool indicators_ = false;                   // an indicators file is asked for
    std::string indicatorsHeader_, indicatorLines_;  // its lines, UTF-8
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
    folderHandle_.emplace(QFile::encodeName(folder_).toStdString());

    CsvInput input;
    if (!input.Open(request_.csvPath, sink_)) return result_;
    std::istream& in = input.Stream();
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
    indicators_ = !request_.indicatorsPath.isEmpty() || request_.indicatorsBesideSummary;
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
    if (indicators_) {
        const QString path =
            request_.indicatorsPath.isEmpty()
                ? folder_ + QLatin1Char('/') + IndicatorsFileName(request_.title, format_.separate)
                : request_.indicatorsPath;
        if (!WriteIndicatorsFile(path, indicatorsHeader_, indicatorLines_, scan.encoding, sink_)) {
            return result_;
        }
    }
    result_.ok = true;
    result_.summaryPath = summaryPath;
    if (sink_.ShowMessage(kMsgSavedShowFolder, "", MessageKind::Question) == kYes) {
        host_.OpenFolder(folder_);
    }
    return result_;
}

bool Run::ProcessLines(std::istream& in, const CsvScan& scan) {
    // One job: everything on the calling thread, period after period. More: the periods
    // are drawn and encoded on `jobs` threads and committed by the writer on its own, while
    // this thread reads ahead; the writer's bound keeps memory flat however many periods
    // the file has.
    PrepareDrawing(jobs_);
    EncoderPool pool(jobs_ == 1 ? 0 : jobs_);
    Writer writer(WriterCapacity(jobs_), jobs_ > 1, CommitPeriod);
    const Cp932Codec codec;
    const char separator = SummarySeparator(format_.separate);
    const FigureSize currentSize = host_.CurrentFigureSize();
    const std::array<Colour, kItemCount> colours = host_.Colours();

    StatementData data;
    for (int i = 0; i < kItemCount; ++i) data.items[i].colour = colours[i];
    FigureSize batchSize = currentSize;
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
            if (indicators_) indicatorsHeader_ = IndicatorsHeaderLine(data, separator);
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
        std::string warning = ConsistencyWarningLine(next);
        if (!warning.empty() && request_.strict) {
            if (FinishWriting(writer)) host_.Warn(warning);
            return false;
        }
        data = std::move(next);
        batchSize = size;

        PendingPeriod p;
        p.line = static_cast<int>(i);
        p.data = data;
        p.size = size;
        p.warning = std::move(warning);
        const QString bsName = DiagramFileName(data.period, kOutTypeBs, output_.OutSaki);
        const QString plName = DiagramFileName(data.period, kOutTypePl, output_.OutSaki);
        p.folder = &*folderHandle_;
        p.bsName = bsName;
        p.plName = plName;
        p.work = pool.Submit([data, size, options = diagram_, outSaki = output_.OutSaki,
                              shelf = &shelf_, scale = scale_, keep = host_.WantsPictures(),
                              folder = p.folder, bsName, plName](int) {
            WorkedPeriod worked;
            worked.drawn = DrawAndEncodePeriod(data, options, size, outSaki, *shelf, scale, keep);
            WriteAhead(*folder, bsName, worked.drawn.bsFile, worked.bs);
            WriteAhead(*folder, plName, worked.drawn.plFile, worked.pl);
            return worked;
        });
        summary_ +=
            SummaryPeriodLine(bsName.toStdString(), plName.toStdString(), separator, columns);
        summary_ += '\n';
        if (indicators_) {
            indicatorLines_ += IndicatorsPeriodLine(data, separator, format_.decimals);
            indicatorLines_ += '\n';
        }
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
// after a failed commit, whose message is shown here. A period that could not be drawn
// ends the run as it stands.
bool Run::PassOnReports(Writer& writer) {
    for (PendingPeriod& p : writer.TakeDone()) {
        if (!p.drawn.drawn) {
            p.messages.Replay(sink_);
            return false;
        }
        if (!p.warning.empty()) host_.Warn(p.warning);
        host_.LoadPeriod(p.data, p.size, p.drawn.bs, p.drawn.pl);
        shelf_.Put(std::move(p.drawn.bs));
        shelf_.Put(std::move(p.drawn.pl));
        host_.SetOutType(kOutTypeBs);
        if (p.filesWritten >= 1) host_.SetOutType(kOutTypePl);
        if (p.filesWritten < 2) {
            p.messages.Replay(sink_);
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
