#include "gui/window/DialogUnits.h"

#include <QFontMetrics>

namespace quorvex {

BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics fm(font);
    BaseUnits units;
    units.cx = fm.horizontalAdvance(
                   QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
               52.0;
    units.cy = fm.height();
    return units;
}

QRect DialogRect(const BaseUnits& units, int x, int y, int w, int h) {
    const int left = units.X(x), top = units.Y(y);
    return QRect(left, top, units.X(x + w) - left, units.Y(y + h) - top);
}

}  // namespace quorvex
