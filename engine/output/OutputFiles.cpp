#include "engine/output/OutputFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/files/AtomicFile.h"
#include "core/output/Jpg2Pdf.h"
#include "engine/output/FileManager.h"
#include "engine/output/ImageEncoding.h"

namespace quorvex {
namespace {

FileRole RoleOf(const QString& name) {
    return name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? FileRole::Pdf
                                                                     : FileRole::Image;
}

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

Durability DurabilityOf(CommitMode mode) {
    return mode == CommitMode::Durable ? Durability::Durable : Durability::Deferred;
}

bool Reported(WriteOutcome outcome, const QString& name, FileRole role, MessageSink& messages) {
    if (outcome == WriteOutcome::Written) return true;
    ReportWriteFailure(name, role, outcome == WriteOutcome::NotWritten, messages);
    return false;
}

}  // namespace

void ReportWriteFailure(const QString& name, FileRole role, bool created, MessageSink& messages) {
    if (role == FileRole::Pdf) {
        messages.ShowMessage(kMsgPdfFailed,
                             created ? CJpg2Pdf::kPrefixFileWrite : CJpg2Pdf::kPrefixFileCreate,
                             MessageKind::Error);
    } else {
        messages.ShowMessage(kMsgWriteFailed, QuoteField(name.toStdString()) + "\n",
                             MessageKind::Error);
    }
}

QString DiagramFileName(const PeriodLabel& period, int outType, int outSaki) {
    if (period.text.empty()) return {};
    QString extension = ImageExtension(outSaki);
    if (outSaki == kOutPdf || outSaki == kOutPdfVector) extension = QStringLiteral("pdf");
    if (outSaki == kOutSvg) extension = QStringLiteral("svg");
    if (extension.isEmpty()) return {};
    return QString::fromStdString(period.Normalised()) +
           (outType == kOutTypeBs ? QStringLiteral("_BS.") : QStringLiteral("_PL.")) + extension;
}

bool EnsureOutputFolder(QString& folder, MessageSink& messages) {
    folder.clear();
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty()) {
        const QString path = desktop + QLatin1Char('/') + QLatin1String(kOutputFolderName);
        // A plain file of that name counts as present. QFileInfo follows links, so a
        // dangling link is absent and the creation then fails with the message. The
        // desktop folder itself may be missing: it is made like the XDG tools make it.
        if (QFileInfo::exists(path) ||
            ((QFileInfo(desktop).isDir() || QDir().mkpath(desktop)) && QDir().mkdir(path))) {
            folder = path;
            return true;
        }
    }
    messages.ShowMessage(kMsgDesktopFolder, {}, MessageKind::Error);
    return false;
}

bool GetWorkFolder(QString& folder, MessageSink& messages) {
    folder.clear();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString path =
        !runtime.isEmpty() && QDir::isAbsolutePath(runtime)
            ? runtime + QStringLiteral("/Quorvex")
            : QDir::tempPath() + QStringLiteral("/Quorvex-") + QString::number(geteuid());
    const QByteArray native = QFile::encodeName(path);
    bool ok = ::mkdir(native.constData(), 0700) == 0 || errno == EEXIST;
    // Opened without following links: a symlink or a file planted under our name is
    // refused, and the checks and the mode change apply to what was opened.
    const int fd =
        ok ? ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1;
    struct stat st {};
    ok = fd >= 0 && ::fstat(fd, &st) == 0 && st.st_uid == geteuid() &&
         ((st.st_mode & 077) == 0 || ::fchmod(fd, 0700) == 0);
    if (fd >= 0) ::close(fd);
    if (!ok) {
        messages.ShowMessage(kMsgWorkFolder, {}, MessageKind::Error);
        return false;
    }
    folder = path;
    return true;
}

bool CommitFileIn(const QString& folder, const QString& name, const QByteArray& bytes,
                  MessageSink& messages, CommitMode mode) {
    return CommitFileIn(FolderHandle(QFile::encodeName(folder).toStdString()), name, bytes,
                        messages, mode);
}

bool CommitFileIn(const FolderHandle& folder, const QString& name, const QByteArray& bytes,
                  MessageSink& messages, CommitMode mode) {
    const QByteArray encodedName = QFile::encodeName(name);
    const WriteOutcome outcome =
        folder.Write(std::string_view(encodedName.constData(), encodedName.size()), View(bytes),
                     DurabilityOf(mode));
    return Reported(outcome, name, RoleOf(name), messages);
}

PreparedFile PrepareFileIn(const FolderHandle& folder, const QString& name, const QByteArray& bytes,
                           CommitMode mode) {
    const QByteArray encodedName = QFile::encodeName(name);
    return folder.Prepare(std::string_view(encodedName.constData(), encodedName.size()),
                          View(bytes), DurabilityOf(mode));
}

bool CommitPreparedIn(const FolderHandle& folder, const QString& name, PreparedFile& file,
                      const QByteArray& bytes, MessageSink& messages, CommitMode mode) {
    const QByteArray encodedName = QFile::encodeName(name);
    const WriteOutcome outcome =
        folder.Place(file, std::string_view(encodedName.constData(), encodedName.size()),
                     View(bytes), DurabilityOf(mode));
    return Reported(outcome, name, RoleOf(name), messages);
}

bool CommitFile(const QString& path, const QByteArray& bytes, FileRole role, MessageSink& messages,
                CommitMode mode) {
    const WriteOutcome outcome =
        WriteFileAtomically(QFile::encodeName(path).toStdString(), View(bytes), DurabilityOf(mode));
    return Reported(outcome, QFileInfo(path).fileName(), role, messages);
}

bool CommitFile(const QString& path, const QByteArray& bytes, MessageSink& messages,
                CommitMode mode) {
    return CommitFile(path, bytes, RoleOf(path), messages, mode);
}

bool SyncOutputFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
}

bool WriteDiagramFile(const QImage& bitmap, int width, int height, const PeriodLabel& period,
                      int outType, int outSaki, const QString& folder, MessageSink& messages,
                      QString* writtenName, const WriteDiagramOptions& options) {
    if (writtenName) writtenName->clear();
    if (period.text.empty()) {
        if (options.showEmptyPeriodMessage) {
            messages.ShowMessage(kMsgNoText, {}, MessageKind::Error);
        }
        return false;
    }
    const QString name = DiagramFileName(period, outType, outSaki);
    if (name.isEmpty()) return false;  // the clipboard is not a file target
    if (outSaki == kOutPdf) {
        QString work;
        if (!GetWorkFolder(work, messages)) return false;
        const QString jpegPath = work + QLatin1Char('/') + QLatin1String(kWorkJpegName);
        if (!SaveBitmapImage(bitmap, width, height, jpegPath, QStringLiteral("jpeg"), messages)) {
            return false;
        }
        const CJpg2Pdf writer(options.printPdfSuccess);
        if (!writer.Convert(QFile::encodeName(jpegPath).toStdString(),
                            QFile::encodeName(folder).toStdString(),
                            QFile::encodeName(name).toStdString(), messages)) {
            return false;
        }
    } else if (!SaveBitmapImage(bitmap, width, height, folder, name, ImageExtension(outSaki),
                                messages)) {
        return false;
    }
    if (writtenName) *writtenName = name;
    return true;
}

bool OpenFolderWindow(const QString& path, MessageSink& messages) {
    QString folder = path;
    if (!QFileInfo(path).isDir()) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        folder = slash < 0 ? QString() : path.left(slash == 0 ? 1 : slash);
    }
    if (folder.isEmpty() || !LaunchFileManager(folder)) {
        messages.ShowMessage(kMsgExplorer, {}, MessageKind::Error);
        return false;
    }
    return true;
}

}  // namespace quorvex
