#include "gui/widgets/DialogUnits.h"

#include <QFontMetrics>
#include <cmath>

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

int BaseUnits::X(int du) const {
    return static_cast<int>(std::lround(du * cx / 4.0));
}
int BaseUnits::Y(int du) const {
    return static_cast<int>(std::lround(du * cy / 8.0));
}

QRect DialogToPixels(const BaseUnits& units, int x, int y, int w, int h) {
    const int left = units.X(x), top = units.Y(y);
    return QRect(left, top, units.X(x + w) - left, units.Y(y + h) - top);
}

}  // namespace quorvex
