#pragma once
// The kanji amount beside an amount field, always shown whole.

#include <QString>

class QLabel;

namespace quorvex {

// Sets the label's text and a tip with the same text. A text wider than the label is set in
// a smaller font, so the high-order part ("90兆…") is never cut off; a text that fits keeps
// the window's font.
void SetAmountLabelText(QLabel& label, const QString& text);

}  // namespace quorvex
