#pragma once
// Dialog units of a window's font, for the windows laid out from dialog-unit tables.

#include <QFont>
#include <QRect>

#include "gui/window/Layout.h"

namespace quorvex {

// cx = width of "A".."Z""a".."z" / 52, cy = the font's line height.
BaseUnits BaseUnitsOf(const QFont& font);

// A rectangle given in dialog units (x, y, w, h), in pixels.
QRect DialogRect(const BaseUnits& units, int x, int y, int w, int h);

}  // namespace quorvex
