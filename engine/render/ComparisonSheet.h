#pragma once
// The comparison sheet: every period of a CSV on one picture, one column per period in
// file order, balance sheets in the top row and profit and loss below, each diagram in a
// cell of the figure size on one shared scale, the period text under each column, a title
// and a scale bar at the left. Layout is pure integer arithmetic; the drawing goes through
// DiagramSurface, so any back end can draw the sheet.

#include <optional>
#include <string>
#include <vector>

#include "core/model/StatementData.h"
#include "engine/render/BlockGeometry.h"
#include "engine/render/DiagramSurface.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

// More columns than this make an unreadable picture; a longer CSV is refused.
inline constexpr int kMaxSheetPeriods = 60;

inline constexpr int kSheetMargin = 16;
inline constexpr int kSheetGap = 12;

struct SheetLayout {
    int width = 0;
    int height = 0;
    PixelRect title;
    // The column left of the cells that holds the scale bars, as high as both rows.
    PixelRect scaleColumn;
    // Per period, in file order: the two cells and the period text under the column.
    std::vector<PixelRect> bs, pl, label;
    // Per period, under its period text: the key ratios, one line each (empty without them).
    std::vector<PixelRect> indicators;
};

// Pixel sizes of the sheet's two fonts at 96 dpi: the diagram font for the period texts and
// the scale amount, half as large again and bold for the title.
int SheetTextPixels(const DiagramOptions& options);
int SheetTitlePixels(const DiagramOptions& options);

// The layout of periods columns of cellWidth x cellHeight cells, with room for
// indicatorLines lines of text under each period text (0: the sheet as without them).
// Nothing for fewer than 1 or more than kMaxSheetPeriods periods, or a cell side below 1.
std::optional<SheetLayout> ComputeSheetLayout(int periods, int cellWidth, int cellHeight,
                                              const DiagramOptions& options,
                                              int indicatorLines = 0);
// The height of one line of the key ratios under a column.
int SheetIndicatorLinePixels(const DiagramOptions& options);

// The scale bar: the largest amount of the form 1, 2 or 5 x 10^k (k >= 0) that fits the
// scale's full height, its digits, and its height in pixels by the diagrams' own rule.
// Nothing when the scale has no amount of at least 1.
struct ScaleBar {
    std::string digits;  // "500000000"
    double amount = 0;
    int pixels = 0;
};
std::optional<ScaleBar> ComputeScaleBar(const DiagramScale& scale, int cellHeight);

struct SheetContent {
    std::string title;
    std::vector<StatementData> periods;
    DiagramOptions options;
    DiagramScale scale;  // shared (or a fixed basis)
    // The four key ratios under each column (kSheetIndicators), in the sheet's font.
    bool indicators = false;
};

// The shared scale of the periods at one cell height.
DiagramScale SheetScale(const std::vector<StatementData>& periods, int cellHeight);

// Draws the whole sheet; the surface must be at least layout.width x layout.height.
void DrawComparisonSheet(DiagramSurface& surface, const SheetLayout& layout,
                         const SheetContent& content);

}  // namespace quorvex
