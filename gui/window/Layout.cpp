#include "gui/window/Layout.h"

namespace quorvex {

FigureLayout LayoutFigureRects(int cw, int ch, int s, int m) {
    const int w = (cw - 3 * m) / 2;
    const int y0 = s + m;
    const int h = ch - s - 2 * m;
    FigureLayout out;
    out.bsRect = {m, y0, m + w, y0 + h};
    out.plRect = {2 * m + w, y0, 2 * m + 2 * w, y0 + h};
    out.figureArea = {0, s, cw, ch};
    return out;
}

std::string FigureSizeText(int w, int h) {
    return "図の大きさ : " + std::to_string(w) + " × " + std::to_string(h);
}

}  // namespace quorvex
