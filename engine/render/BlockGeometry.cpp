#include "engine/render/BlockGeometry.h"

#include <algorithm>
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

BreakEvenLine ComputeBreakEvenLine(const PlGeometry& g, int height, std::optional<double> ratio) {
    BreakEvenLine line;
    if (!ratio || height <= 0 || g.blocks[0].right <= g.blocks[0].left) return line;
    line.drawn = true;
    line.aboveSales = *ratio > 100;
    const std::int32_t up =
        line.aboveSales ? height : std::clamp(RatioToPixels(height, *ratio), 0, height);
    line.y = height - up;
    std::int32_t top = line.y - kBreakEvenWidth / 2;
    top = std::clamp(top, 0, std::max(0, height - kBreakEvenWidth));
    line.band = {g.blocks[0].left, top, g.blocks[0].right, std::min(height, top + kBreakEvenWidth)};
    return line;
}

std::vector<PixelRect> BreakEvenDashes(const PixelRect& band, int dash, int gap) {
    std::vector<PixelRect> out;
    if (dash <= 0 || gap < 0) return out;
    for (std::int64_t x = band.left; x < band.right; x += std::int64_t{dash} + gap) {
        const std::int64_t end = std::min<std::int64_t>(x + dash, band.right);
        out.push_back({SaturateToInt32(x), band.top, SaturateToInt32(end), band.bottom});
    }
    return out;
}

PixelRect BreakEvenTextRect(const BreakEvenLine& line, int height, int textHeight) {
    const std::int64_t gapAbove = std::int64_t{line.band.top} - 2;
    if (gapAbove - textHeight >= 0) {
        return {line.band.left, SaturateToInt32(gapAbove - textHeight), line.band.right,
                SaturateToInt32(gapAbove)};
    }
    const std::int64_t top = std::int64_t{line.band.bottom} + 2;
    return {line.band.left, SaturateToInt32(top), line.band.right,
            SaturateToInt32(std::min<std::int64_t>(top + textHeight, std::max(height, 0)))};
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
