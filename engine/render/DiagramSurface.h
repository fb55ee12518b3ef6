#pragma once
// What the diagram logic needs of a 2-D raster back end. The diagrams draw only through
// this interface, so their geometry can be recorded and checked without pixels, and the
// QPainter back end (PainterSurface) can be checked pixel by pixel on its own.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/model/StatementData.h"
#include "engine/render/BlockGeometry.h"

namespace quorvex {

struct DiagramPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const DiagramPoint&) const = default;
};

// A font request. pixelSize 0 stands for the surface's own default font.
struct FontRequest {
    std::string face;
    int pixelSize = 0;
    int weight = 400;  // 400 normal, 700 bold
    bool operator==(const FontRequest&) const = default;
};

class DiagramSurface {
  public:
    virtual ~DiagramSurface() = default;

    // Vertical dots per inch; font heights are derived from it.
    virtual int DotsPerInchY() const = 0;
    // Makes the font current and returns the one it replaces.
    virtual FontRequest SelectFont(const FontRequest& font) = 0;
    // Exactly the pixels left <= x < right, top <= y < bottom; nothing for an empty or
    // inverted rectangle.
    virtual void Fill(const PixelRect& rect, Colour colour) = 0;
    // Interior filled with the brush colour, outline of width penWidth (> 0) centred on the
    // edges: a line of width w on the pixel edge p covers p - w/2 <= x < p - w/2 + w (left and
    // top edges) and mirrored for the right and bottom edges. Empty and inverted rectangles
    // draw nothing.
    virtual void Rectangle(const PixelRect& rect, Colour pen, int penWidth, Colour brush) = 0;
    // Straight segments through the points, round joins and ends, not antialiased. A point
    // (x, y) is the pixel (x, y); a width w covers the same pixels as a border of width w.
    virtual void Polyline(std::span<const DiagramPoint> points, Colour pen, int width) = 0;
    // Width and line height of a text on one line in the current font; every character
    // counts literally.
    virtual TextSize MeasureText(std::string_view text) = 0;
    // Each "\n"-separated line centred horizontally, the first at the top of the rectangle,
    // one line height apart, clipped to the rectangle, black, no background. "&" is drawn
    // as "&".
    virtual void DrawText(std::string_view text, const PixelRect& rect) = 0;
    // Makes a part of the surface a surface of its own: the calls that follow count their
    // coordinates from the viewport's top left corner and touch nothing outside it, so a
    // diagram drawn there has exactly the pixels it has on a bitmap of the viewport's size.
    // ResetViewport returns to the whole surface.
    virtual void SetViewport(const PixelRect& viewport) = 0;
    virtual void ResetViewport() = 0;
};

}  // namespace quorvex
