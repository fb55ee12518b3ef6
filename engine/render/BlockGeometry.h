#pragma once
// Pixel geometry of the two diagrams: pure integer arithmetic that truncates toward zero.
// Every input, including non-finite ratios and sizes near the 32-bit limits, gives a
// defined result: conversions saturate and sums are taken in 64 bits, then saturated.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/model/StatementData.h"
#include "engine/render/PixelRect.h"

namespace quorvex {

// Blocks are PixelRects in bitmap pixels. A block may come out empty (top == bottom) or
// inverted (top > bottom) for zero or negative amounts.

std::int32_t SaturateToInt32(std::int64_t value);
// a + b without overflow: the sum saturates at the 32-bit limits.
std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b);

// trunc(extent * ratio / 100) in double arithmetic, saturated; NaN gives 0.
std::int32_t RatioToPixels(int extent, double ratio);

struct BsGeometry {
    std::int32_t half = 0;  // column boundary, W / 2
    std::int32_t ca = 0;    // bottom of current assets
    std::int32_t cl = 0;    // bottom of current liabilities
    std::int32_t fl = 0;    // height of fixed liabilities
    // Current assets, fixed assets, current liabilities, fixed liabilities, equity.
    std::array<PixelRect, 5> blocks{};
};
// Uses ratios 0, 2 and 3; fixed assets and equity take what is left to the bottom edge.
BsGeometry ComputeBsGeometry(int width, int height, const CompositionRatios& ratios);

struct PlGeometry {
    std::int32_t third = 0;  // W / 3
    std::int32_t two = 0;    // 2W / 3
    std::int32_t co = 0;     // height of cost of sales
    std::int32_t fx = 0;     // height of fixed costs
    // Sales, cost of sales, gross profit, fixed costs, ordinary profit.
    std::array<PixelRect, 5> blocks{};
};
// Uses ratios 6 and 8; gross profit and ordinary profit take what is left.
PlGeometry ComputePlGeometry(int width, int height, const CompositionRatios& ratios);

// The break-even line across the sales block: at the height that stands for the break-even
// sales, measured from the bottom (the part above it is the safety margin), as a band
// kBreakEvenWidth high centred on that row and kept inside the block. Break-even sales
// above the sales put it at the top; a negative ratio at the bottom; none, nothing.
inline constexpr int kBreakEvenWidth = 2;
struct BreakEvenLine {
    bool drawn = false;
    bool aboveSales = false;  // break-even sales exceed the sales (a loss)
    std::int32_t y = 0;       // the row the height ends at, counted from the top
    PixelRect band{};
    bool operator==(const BreakEvenLine&) const = default;
};
// ratio: 損益分岐点比率 in percent (finite), or nothing when it cannot be computed.
BreakEvenLine ComputeBreakEvenLine(const PlGeometry& g, int height, std::optional<double> ratio);
// The band cut into dashes of dash pixels with gap pixels between, from the left.
std::vector<PixelRect> BreakEvenDashes(const PixelRect& band, int dash, int gap);
// Where the text of the line goes: the sales block's width, textHeight high, just above the
// band, or just below it when the block has no room above.
PixelRect BreakEvenTextRect(const BreakEvenLine& line, int height, int textHeight);

// Where a block's text is centred: the left half of block 3, the right half of block 4
// (they sit beside each other's neighbours), the whole block otherwise.
PixelRect BlockTextArea(int blockIndex, const PixelRect& block);

struct TextSize {
    int width = 0;
    int height = 0;
};

// The rectangle a block text is drawn in. halfWidth and halfHeight are half the text's
// extent (see DrawBlockText). The text is centred in the area; when the area is lower
// than the text it stands on the area's bottom edge instead. 4 pixels of slack each side.
PixelRect BlockTextRect(const PixelRect& area, int halfWidth, int halfHeight);

}  // namespace quorvex
