// TEMPORARY stand-in until the output subsystem lands.
#include "output/OutputFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace quorvex {
QString DiagramFileName(const PeriodLabel& period, int outType, int outSaki) {
    static const char* const ext[] = {".jpeg", ".bmp", ".gif", ".png", ".tiff", ".pdf"};
    const std::string stem = (IsDigitsOnly(period.text) ? "第" + period.text + "期_"
                                                         : period.text + "_") +
                             (outType == 0 ? "BS" : "PL");
    return QString::fromStdString(stem) + ext[outSaki];
}
bool EnsureOutputFolder(QString& folder, MessageSink& sink) {
    if (folder.isEmpty()) {
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (desktop.isEmpty()) {
            sink.ShowMessage(kMsgDesktopFolder, "", MessageKind::Error);
            return false;
        }
        folder = desktop + "/BS_PL";
    }
    if (QFileInfo::exists(folder) || QDir().mkdir(folder)) return true;
    sink.ShowMessage(kMsgDesktopFolder, "", MessageKind::Error);
    return false;
}
bool CommitFile(const QString& path, const QByteArray& bytes, MessageSink& sink) {
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit()) return true;
    sink.ShowMessage(kMsgWriteFailed, QFileInfo(path).fileName().toStdString() + "\n",
                     MessageKind::Error);
    return false;
}
bool OpenFolderWindow(const QString&, MessageSink&) { return true; }
}  // namespace quorvex
