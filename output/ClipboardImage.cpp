#include "output/ClipboardImage.h"

#include <QClipboard>
#include <QGuiApplication>

#include "model/StatementData.h"
#include "output/ImageEncoding.h"

namespace quorvex {

bool CopyDiagramToClipboard(const QImage& bitmap, int width, int height, int outType,
                            MessageSink& messages) {
    const QImage copy = MakeCanvas(bitmap, width, height).convertToFormat(QImage::Format_RGB32);
    if (copy.isNull()) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return true;  // no clipboard to open: nothing happens, as when it is busy
    // setImage replaces every format other programs had placed there.
    clipboard->setImage(copy);
    messages.ShowMessage(kMsgClipboardSaved,
                         outType == kOutTypeBs ? "貸借対照表を" : "損益計算書を",
                         MessageKind::Information);
    return true;
}

}  // namespace quorvex
