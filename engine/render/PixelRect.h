#pragma once
// A rectangle in pixels: left, top, right, bottom, with right and bottom exclusive. The
// diagrams' blocks and the window's figure rectangles are both of this type.

#include <cstdint>

namespace quorvex {

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    // Negative for an inverted rectangle. Meant for on-screen sizes; a block's saturated
    // coordinates are compared, never subtracted.
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const PixelRect&) const = default;
};

}  // namespace quorvex
