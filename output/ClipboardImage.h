#pragma once
// The diagram on the clipboard as a bitmap (QClipboard through QGuiApplication).

#include <QImage>

#include "model/Messages.h"

namespace quorvex {

// Puts a copy of `bitmap` (stretched to width x height when that differs from its size) on
// the clipboard as its only content and confirms it with the information message
// "貸借対照表を…" (outType 0) or "損益計算書を…" (otherwise) + 30019. A null bitmap or an
// impossible size: false, nothing shown, clipboard untouched.
bool CopyDiagramToClipboard(const QImage& bitmap, int width, int height, int outType,
                            MessageSink& messages);

}  // namespace quorvex
