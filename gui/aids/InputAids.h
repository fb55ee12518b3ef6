#pragma once
// The paste, clear and sample buttons of the item input area. They touch only the name
// fields 3000..3009 and the amount fields 3100..3109; the period, the colours and the
// options stay as they are.

#include <QString>

#include "core/aids/InputText.h"
#include "gui/aids/AidsHost.h"
#include "gui/widgets/ControlIds.h"

namespace quorvex {

// The clipboard's plain text, or the empty text when it holds none.
QString GetClipboardText();

// Puts field n of the clipboard text (tabs read as commas) into field base + n - 1, for
// all ten fields; no question, no message. The diagrams are not repainted.
void OnPaste(AidsHost& host, int base);

// Empties the ten fields of the column after the clear question.
void OnClear(AidsHost& host, int base);

// The canonical names and the sample amounts after a question, then a repaint.
void OnSample(AidsHost& host);

}  // namespace quorvex
