#include "engine/output/OutputFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include "core/output/Jpg2Pdf.h"
#include "engine/output/ImageEncoding.h"

namespace quorvex {
namespace {

void ReportWriteFailure(const QString& path, FileRole role, bool created, MessageSink& messages) {
    if (role == FileRole::Pdf) {
        messages.ShowMessage(kMsgPdfFailed,
                             created ? CJpg2Pdf::kPrefixFileWrite : CJpg2Pdf::kPrefixFileCreate,
                             MessageKind::Error);
    } else {
        messages.ShowMessage(kMsgWriteFailed, QFileInfo(path).fileName().toStdString() + "\n",
                             MessageKind::Error);
    }
}

}  // namespace

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
        // dangling link is absent and the creation then fails with the message.
        if (QFileInfo::exists(path) || QDir().mkdir(path)) {
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

bool CommitFile(const QString& path, const QByteArray& bytes, FileRole role, MessageSink& messages,
                CommitMode mode) {
    if (!IsSafeFilePath(path.toStdString())) {
        ReportWriteFailure(path, role, false, messages);
        return false;
    }
    if (mode == CommitMode::Deferred) {
        bool created = false;
        if (WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                std::string_view(bytes.constData(), bytes.size()), false,
                                created)) {
            return true;
        }
        ReportWriteFailure(path, role, created, messages);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ReportWriteFailure(path, role, false, messages);
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        file.commit();  // discards the temporary file
        ReportWriteFailure(path, role, true, messages);
        return false;
    }
    if (!file.commit()) {
        ReportWriteFailure(path, role, true, messages);
        return false;
    }
    return true;
}

bool CommitFile(const QString& path, const QByteArray& bytes, MessageSink& messages,
                CommitMode mode) {
    const bool pdf =
        QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    return CommitFile(path, bytes, pdf ? FileRole::Pdf : FileRole::Image, messages, mode);
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
    const QString target = folder + QLatin1Char('/') + name;

    if (outSaki == kOutPdf) {
        QString work;
        if (!GetWorkFolder(work, messages)) return false;
        const QString jpegPath = work + QLatin1Char('/') + QLatin1String(kWorkJpegName);
        if (!SaveBitmapImage(bitmap, width, height, jpegPath, QStringLiteral("jpeg"), messages)) {
            return false;
        }
        const CJpg2Pdf writer(options.printPdfSuccess);
        if (!writer.Convert(QFile::encodeName(jpegPath).toStdString(),
                            QFile::encodeName(target).toStdString(), messages)) {
            return false;
        }
    } else if (!SaveBitmapImage(bitmap, width, height, target, ImageExtension(outSaki), messages)) {
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
    if (folder.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) {
        messages.ShowMessage(kMsgExplorer, {}, MessageKind::Error);
        return false;
    }
    return true;
}

}  // namespace quorvex
