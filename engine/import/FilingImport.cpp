#include "engine/import/FilingImport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <limits>
#include <map>

#include "core/import/FilingChecks.h"
#include "engine/import/FilingReaders.h"

namespace quorvex {
namespace {

// A path opened without blocking (a FIFO without writer, a device), then told by fstat
// what it is.
class OpenedPath {
  public:
    enum class Kind { Missing, Regular, Folder, Pipe, Other };
    explicit OpenedPath(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
        struct stat st;
        if (fd_ < 0) {
            // A socket cannot be opened at all: still not a file, rather than a lost one.
            if (stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode) &&
                !S_ISDIR(st.st_mode)) {
                kind_ = Kind::Other;
            }
            return;
        }
        if (fstat(fd_, &st) != 0) return;
        kind_ = S_ISREG(st.st_mode)    ? Kind::Regular
                : S_ISDIR(st.st_mode)  ? Kind::Folder
                : S_ISFIFO(st.st_mode) ? Kind::Pipe
                                       : Kind::Other;
        // A regular file or a pipe is read as usual from here on.
        if (kind_ == Kind::Regular || kind_ == Kind::Pipe) {
            fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        }
    }
    ~OpenedPath() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenedPath(const OpenedPath&) = delete;
    OpenedPath& operator=(const OpenedPath&) = delete;
    int fd() const { return fd_; }
    Kind kind() const { return kind_; }

  private:
    int fd_;
    Kind kind_ = Kind::Missing;
};

// The rest of a ZIP from a pipe (a process substitution), read whole within the byte
// limit, as the archive's directory is at its end.
FilingProblem ReadWhole(QIODevice& device, const FilingLimits& limits, QByteArray& bytes) {
    char chunk[1 << 16];
    for (;;) {
        const qint64 n = device.read(chunk, sizeof chunk);
        if (n < 0) return {kMsgImportOpen, {}};
        if (n == 0) return {};
        if (bytes.size() + n > limits.maxBytes) return {kMsgImportTooLarge, {}};
        bytes.append(chunk, n);
    }
}

// One file of a filing into instance: an instance, an inline page, a CSV file or a ZIP.
FilingProblem ReadFile(const QString& path, FilingInstance& instance, const FilingLimits& limits,
                       DocumentRead& pages) {
    const OpenedPath opened(path);
    switch (opened.kind()) {
        case OpenedPath::Kind::Missing:
            return {kMsgImportOpen, {}};
        case OpenedPath::Kind::Folder:
        case OpenedPath::Kind::Other:
            return {kMsgImportNotRegular, {}};
        case OpenedPath::Kind::Pipe:
        case OpenedPath::Kind::Regular:
            break;
    }
    // A pipe is read as a stream like a file, except a ZIP.
    QFile device;
    if (!device.open(opened.fd(), QIODevice::ReadOnly, QFile::DontCloseHandle)) {
        return {kMsgImportOpen, {}};
    }
    const QByteArray magic = device.peek(4);
    if (magic.startsWith("PK\x03\x04") || magic.startsWith("PK\x05\x06")) {
        if (opened.kind() == OpenedPath::Kind::Regular) {
            return ReadFilingZip(opened.fd(), nullptr, instance, limits);
        }
        QByteArray bytes;
        if (FilingProblem p = ReadWhole(device, limits, bytes); p.messageId != 0) return p;
        return ReadFilingZip(-1, &bytes, instance, limits);
    }
    const bool utf16 = magic.startsWith("\xFF\xFE") || magic.startsWith("\xFE\xFF");
    GuardedInput input([&device](char* data, std::int64_t max) { return device.read(data, max); },
                       limits.maxBytes, limits.maxTokenBytes,
                       utf16 ? std::numeric_limits<int>::max() : limits.maxAttributes);
    if (utf16) return ReadEdinetCsv(input, instance, limits, kMsgImportOpen);
    if (PartOfName(path) == FilingPart::Linkbase) {
        return ReadLinkbase(input, instance.linkbases, limits, kMsgImportOpen);
    }
    const DocumentRead read = ReadXmlDocument(input, instance, limits, kMsgImportOpen);
    pages.inlinePage = pages.inlinePage || read.inlinePage;
    pages.inlineHeader = pages.inlineHeader || read.inlineHeader;
    return read.problem;
}

// The files of one filing, read into one instance, checked and mapped. A problem in one
// of several files names it.
MappedFiling ReadFiling(const QStringList& files, FilingScope scope, const FilingLimits& limits,
                        QString& problemPath) {
    MappedFiling out;
    FilingInstance instance;
    DocumentRead pages;
    for (const QString& file : files) {
        out.problem = ReadFile(file, instance, limits, pages);
        if (out.problem.messageId != 0) {
            problemPath = file;
            return out;
        }
    }
    problemPath = files.front();
    if (pages.inlinePage && !pages.inlineHeader) {
        out.problem = {kMsgImportNotFiling, {}};
        return out;
    }
    if (out.problem = CheckFilingInstance(instance); out.problem.messageId != 0) return out;
    return MapFiling(instance, scope);
}

bool IsAuditPath(const QString& path) {
    return path.contains(QLatin1String("/AuditDoc/")) ||
           QFileInfo(path).fileName().startsWith(QLatin1String("jpaud"), Qt::CaseInsensitive);
}

// The filings under a folder, each as its files, in the order of their paths. Symbolic
// links are not followed, so nothing outside the folder is read and no link loops.
FilingProblem FolderFilings(const QString& root, const FilingLimits& limits,
                            std::vector<QStringList>& filings) {
    QDirIterator it(root,
                    QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System |
                        QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    std::map<QString, std::map<FilingPart, QStringList>> byFolder;
    int seen = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        if (++seen > limits.maxFolderEntries) return {kMsgImportTooManyFiles, {}};
        if (!it.fileInfo().isFile() || IsAuditPath(path)) continue;
        const FilingPart part = PartOfName(path);
        if (part != FilingPart::None) byFolder[it.fileInfo().path()][part].append(path);
    }
    std::map<QString, QStringList> found;  // by first path
    for (auto& [folder, parts] : byFolder) {
        for (auto& [part, paths] : parts) paths.sort();
        QStringList linkbases = parts[FilingPart::Linkbase];
        const QStringList& instances = parts[FilingPart::Instance];
        for (const QString& p : instances) found[p] = QStringList{p} + linkbases;
        const QStringList& pages = parts[FilingPart::InlinePage];
        if (instances.isEmpty() && !pages.isEmpty()) found[pages.front()] = pages + linkbases;
        for (const FilingPart part : {FilingPart::Zip, FilingPart::Csv}) {
            for (const QString& p : parts[part]) found[p] = QStringList{p};
        }
    }
    if (found.empty()) return {kMsgImportNothingInFolder, {}};
    for (auto& [first, files] : found) filings.push_back(std::move(files));
    return {};
}

// The paths as filings: a folder stands for its filings, consecutive inline pages of one
// folder are one filing.
FilingProblem Filings(const QStringList& paths, const FilingLimits& limits,
                      std::vector<QStringList>& filings, QString& problemPath) {
    QString pagesFolder;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink()) {
            pagesFolder.clear();
            if (FilingProblem p = FolderFilings(path, limits, filings); p.messageId != 0) {
                problemPath = path;
                return p;
            }
        } else if (PartOfName(path) == FilingPart::InlinePage) {
            const QString folder = info.absolutePath();
            if (folder == pagesFolder) {
                filings.back().append(path);
            } else {
                filings.push_back({path});
                pagesFolder = folder;
            }
        } else {
            pagesFolder.clear();
            filings.push_back({path});
        }
    }
    return {};
}

}  // namespace

MappedFiling ImportFilingFile(const QString& path, FilingScope scope, const FilingLimits& limits) {
    if (QFileInfo(path).isDir()) {
        ImportedFilings all = ImportFilingPaths({path}, scope, limits);
        MappedFiling out;
        out.periods = std::move(all.periods);
        out.notes = std::move(all.notes);
        out.problem = std::move(all.problem);
        if (out.problem.messageId != 0 && all.problemPath != path) {
            out.problem.detail = QDir(path).relativeFilePath(all.problemPath).toStdString() + "\n" +
                                 out.problem.detail;
        }
        return out;
    }
    QString problemPath;
    return ReadFiling({path}, scope, limits, problemPath);
}

ImportedFilings ImportFilingPaths(const QStringList& paths, FilingScope scope,
                                  const FilingLimits& limits) {
    ImportedFilings out;
    std::vector<QStringList> groups;
    if (FilingProblem p = Filings(paths, limits, groups, out.problemPath); p.messageId != 0) {
        out.problem = std::move(p);
        return out;
    }
    std::vector<std::vector<ImportedPeriod>> filings;
    for (const QStringList& files : groups) {
        QString problemPath;
        MappedFiling filing = ReadFiling(files, scope, limits, problemPath);
        if (filing.problem.messageId != 0) {
            out.problemPath = problemPath;
            out.problem = std::move(filing.problem);
            out.notes.clear();
            return out;
        }
        out.notes.insert(out.notes.end(), filing.notes.begin(), filing.notes.end());
        filings.push_back(std::move(filing.periods));
    }
    out.periods = MergePeriods(filings);
    return out;
}

void ReportFilingProblem(const QString& path, const FilingProblem& problem, MessageSink& sink) {
    const std::string prefix = QuotedValue(QFileInfo(path).fileName().toStdString()) + "\n" +
                               BoundedDetail(problem.detail);
    sink.ShowMessage(problem.messageId, prefix, MessageKind::Error);
}

}  // namespace quorvex
