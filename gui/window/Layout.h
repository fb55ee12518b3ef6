#pragma once
// Geometry of the main window: the figure area below the input area with its two diagram
// rectangles.

#include <string>

namespace quorvex {

// Left, top, right, bottom in client pixels; right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

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
