#include "gui/window/AmountLabel.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

namespace quorvex {

void SetAmountLabelText(QLabel& label, const QString& text) {
    label.setText(text);
    label.setToolTip(text);
    // Start from the font the label inherits, not from a size chosen for an earlier text.
    label.setFont(QFont());
    QFont font = label.font();
    const int room =
        label.contentsRect().width() - 2 * label.margin() - 2 * std::max(0, label.indent());
    if (room <= 0) return;
    const auto width = [&text](const QFont& f) {
        const QFontMetrics metrics(f);
        return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).width());
    };
    // Pixel sizes keep the steps even whatever unit the window font was given in.
    for (int pixels = QFontInfo(font).pixelSize(); pixels > 6 && width(font) > room;) {
        font.setPixelSize(--pixels);
    }
    if (font != label.font()) label.setFont(font);
}

}  // namespace quorvex
