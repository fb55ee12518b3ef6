#include "engine/output/ClipboardImage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "core/model/StatementData.h"

namespace quorvex {

bool CopyDiagramToClipboard(const QImage& bitmap, int outType, MessageSink& messages) {
    return CopyDiagramToClipboard(bitmap, QByteArray(), outType, messages);
}

bool CopyDiagramToClipboard(const QImage& bitmap, const QByteArray& svg, int outType,
                            MessageSink& messages) {
    if (bitmap.isNull()) return false;
    // Implicitly shared: the next painting of the window's bitmap gets a buffer of its own
    // (PrepareDiagramBitmap), so the clipboard keeps these pixels.
    const QImage copy = bitmap.convertToFormat(QImage::Format_RGB32);
    if (copy.isNull()) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return true;  // no clipboard to open: nothing happens, as when it is busy
    // Both replace every format other programs had placed there.
    if (svg.isEmpty()) {
        clipboard->setImage(copy);
    } else {
        auto* data = new QMimeData;  // the clipboard takes it over
        data->setImageData(copy);
        data->setData(QStringLiteral("image/svg+xml"), svg);
        clipboard->setMimeData(data);
    }
    messages.ShowMessage(kMsgClipboardSaved,
                         outType == kOutTypeBs ? "貸借対照表を" : "損益計算書を",
                         MessageKind::Information);
    return true;
}

}  // namespace quorvex
