#include "engine/render/BlockGeometry.h"

#include <limits>

#include "core/model/NumberText.h"

namespace quorvex {

std::int32_t SaturateToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
    return SaturateToInt32(std::int64_t{a} + b);
}

std::int32_t RatioToPixels(int extent, double ratio) {
    return TruncToInt32(static_cast<double>(extent) * ratio / 100.0);
}

BsGeometry ComputeBsGeometry(int width, int height, const CompositionRatios& r) {
    BsGeometry g;
    g.half = width / 2;
    g.ca = RatioToPixels(height, r[0]);
    g.cl = RatioToPixels(height, r[2]);
    g.fl = RatioToPixels(height, r[3]);
    const std::int32_t clfl = SaturatingAdd(g.cl, g.fl);
    g.blocks = {{
        {0, 0, g.half, g.ca},
        {0, g.ca, g.half, height},
        {g.half, 0, width, g.cl},
        {g.half, g.cl, width, clfl},
        {g.half, clfl, width, height},
    }};
    return g;
}

PlGeometry ComputePlGeometry(int width, int height, const CompositionRatios& r) {
    PlGeometry g;
    g.third = width / 3;
    g.two = SaturateToInt32(2 * std::int64_t{width} / 3);
    g.co = RatioToPixels(height, r[6]);
    g.fx = RatioToPixels(height, r[8]);
    const std::int32_t cofx = SaturatingAdd(g.co, g.fx);
    g.blocks = {{
        {0, 0, g.third, height},
        {g.third, 0, width, g.co},
        {g.third, g.co, g.two, height},
        {g.two, g.co, width, cofx},
        {g.two, cofx, width, height},
    }};
    return g;
}

PixelRect BlockTextArea(int blockIndex, const PixelRect& block) {
    if (blockIndex != 3 && blockIndex != 4) return block;
    const std::int32_t split =
        SaturateToInt32(block.left + (std::int64_t{block.right} - block.left) / 2);
    PixelRect area = block;
    if (blockIndex == 3) {
        area.right = split;
    } else {
        area.left = split;
    }
    return area;
}

PixelRect BlockTextRect(const PixelRect& area, int halfWidth, int halfHeight) {
    const std::int64_t hw = halfWidth;
    const std::int64_t hh = halfHeight;
    const std::int64_t xm = (std::int64_t{area.left} + area.right) / 2;
    std::int64_t ym = (std::int64_t{area.top} + area.bottom) / 2;
    if (std::int64_t{area.bottom} - area.top < 2 * hh) ym = std::int64_t{area.bottom} - hh;
    return {SaturateToInt32(xm - hw - 4), SaturateToInt32(ym - hh), SaturateToInt32(xm + hw + 4),
            SaturateToInt32(ym + hh)};
}

}  // namespace quorvex
