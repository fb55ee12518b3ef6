#include "gui/window/WindowOutput.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>

#include "engine/output/ClipboardImage.h"
#include "engine/output/OutputFiles.h"
#include "gui/widgets/ControlIds.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {

void OutputShownDiagram(CTesselDlg& window) {
    const OutputOptions& output = window.outputOptions();
    const int kind = output.OutType;
    const QImage& bitmap =
        kind == kOutTypeBs ? window.bsBitmap().image() : window.plBitmap().image();
    const QSize size = window.figureSize();
    MessageSink& sink = window.messages();
    if (output.OutSaki == kOutClipboard) {
        CopyDiagramToClipboard(bitmap, kind, sink);
        return;
    }
    QString folder;
    if (!EnsureOutputFolder(folder, sink)) return;
    QWidget* periodField = window.control(kIdPeriod);
    const PeriodLabel period{static_cast<QLineEdit*>(periodField)->text().toStdString()};
    if (!WriteDiagramFile(bitmap, size.width(), size.height(), period, kind, output.OutSaki, folder,
                          sink)) {
        if (period.text.empty()) periodField->setFocus();
        return;
    }
    if (sink.ShowMessage(kMsgSavedShowFolder, "", MessageKind::Question) == kYes) {
        OpenFolderWindow(folder + QLatin1Char('/'), sink);
    }
}

void ChooseAndRunBatch(CTesselDlg& window) {
    const QString path = GetOpenFileName(&window, QStringLiteral("CSVファイルを指定"),
                                         QStringLiteral("コンマ区切りファイル(*.csv)"));
    if (path.isEmpty()) return;
    window.RunBatchFile(path, QFileInfo(path).completeBaseName());
}

void RunDroppedBatch(CTesselDlg& window, const QList<QUrl>& urls) {
    MessageSink& sink = window.messages();
    if (urls.size() > 1) {
        sink.ShowMessage(kMsgMultipleFiles, "", MessageKind::Error);
        return;
    }
    if (urls.isEmpty()) return;
    // The whole path is used, however long.
    const QString path = urls.front().toLocalFile();
    if (!path.toLower().endsWith(QLatin1String(".csv"))) {
        sink.ShowMessage(kMsgNotCsv, "", MessageKind::Error);
        return;
    }
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    window.RunBatchFile(path, name.left(name.size() - 4));
}

FileDropFilter::FileDropFilter(QWidget& target, std::function<void(const QList<QUrl>&)> onDrop)
    : QObject(&target), onDrop_(std::move(onDrop)) {
    target.setAcceptDrops(true);
    target.installEventFilter(this);
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasUrls()) return false;
        drop->acceptProposedAction();
        onDrop_(drop->mimeData()->urls());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quorvex
