#pragma once
// Geometry of the main window: the figure area below the input area with its two diagram
// rectangles.

#include <string>

#include "engine/render/PixelRect.h"

namespace quorvex {

struct FigureLayout {
    PixelRect figureArea;
    PixelRect bsRect;
    PixelRect plRect;
};

// Client cw x ch, separator top s, margin m: the diagrams side by side below s, the margin
// left of, between, right of, above and below them. Integer arithmetic truncating toward 0.
FigureLayout LayoutFigureRects(int cw, int ch, int s, int m);

// "図の大きさ : %d × %d".
std::string FigureSizeText(int w, int h);

}  // namespace quorvex
