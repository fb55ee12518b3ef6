#pragma once
// Dialog units of a window's font, for the windows laid out from dialog-unit tables.

#include <QFont>
#include <QRect>

namespace quorvex {

// Base units of the dialog font: cx = average width of "A".."Z""a".."z", cy = line height.
struct BaseUnits {
    double cx = 8.0;
    int cy = 16;
    int X(int du) const;  // round(du * cx / 4)
    int Y(int du) const;  // round(du * cy / 8)
};

// cx = width of "A".."Z""a".."z" / 52, cy = the font's line height.
BaseUnits BaseUnitsOf(const QFont& font);

// A rectangle given in dialog units (x, y, w, h), in pixels.
QRect DialogToPixels(const BaseUnits& units, int x, int y, int w, int h);

}  // namespace quorvex
