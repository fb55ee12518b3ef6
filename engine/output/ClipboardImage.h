#pragma once
// The diagram on the clipboard as a bitmap, and as SVG beside it (QClipboard through
// QGuiApplication).

#include <QByteArray>
#include <QImage>

#include "core/model/Messages.h"

namespace quorvex {

// Puts a copy of `bitmap`, at its own size and with its own pixels, on the clipboard as its
// only content and confirms it with the information message "貸借対照表を…" (outType 0) or
// "損益計算書を…" (otherwise) + 30019. Unlike a file, the clipboard copy is never scaled to
// the figure size (after a batch run it is the last period's picture as drawn). A null
// bitmap: false, nothing shown, clipboard untouched.
bool CopyDiagramToClipboard(const QImage& bitmap, int outType, MessageSink& messages);

// The same with the diagram's SVG (RenderVectorDiagram) beside the bitmap as
// "image/svg+xml", so that vector editors and office programs paste it sharp. An empty svg
// puts the bitmap alone.
bool CopyDiagramToClipboard(const QImage& bitmap, const QByteArray& svg, int outType,
                            MessageSink& messages);

}  // namespace quorvex
