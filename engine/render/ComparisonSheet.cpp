#include "engine/render/ComparisonSheet.h"

#include <algorithm>
#include <cmath>

#include "core/model/Indicators.h"
#include "core/model/NumberText.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/Diagrams.h"

namespace quorvex {
namespace {

constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kBlack = 0x00000000;
constexpr int kBarWidth = 2;
constexpr int kTickLength = 8;

}  // namespace

int SheetTextPixels(const DiagramOptions& options) {
    return DiagramFontPixelSize(options.FontSize, kDiagramDotsPerInch);
}

int SheetTitlePixels(const DiagramOptions& options) {
    return DiagramFontPixelSize(options.FontSize + options.FontSize / 2, kDiagramDotsPerInch);
}

int SheetIndicatorLinePixels(const DiagramOptions& options) {
    return SheetTextPixels(options) * 3 / 2;
}

std::optional<SheetLayout> ComputeSheetLayout(int periods, int cellWidth, int cellHeight,
                                              const DiagramOptions& options, int indicatorLines) {
    if (periods < 1 || periods > kMaxSheetPeriods || cellWidth < 1 || cellHeight < 1) {
        return std::nullopt;
    }
    const std::int64_t text = SheetTextPixels(options);
    const std::int64_t titleBand = 2 * std::int64_t{SheetTitlePixels(options)};
    const std::int64_t labelBand = 2 * text;
    const std::int64_t indicatorBand =
        std::int64_t{std::max(indicatorLines, 0)} * SheetIndicatorLinePixels(options);
    // Room for an amount such as "5000万円" beside the bar.
    const std::int64_t scaleColumn = 6 * text + kTickLength + kSheetGap;
    const std::int64_t w = cellWidth, h = cellHeight;

    const std::int64_t x0 = kSheetMargin + scaleColumn;
    const std::int64_t yBs = kSheetMargin + titleBand;
    const std::int64_t yPl = yBs + h + kSheetGap;
    const std::int64_t yLabel = yPl + h;
    const std::int64_t width = x0 + periods * w + (periods - 1) * kSheetGap + kSheetMargin;
    const std::int64_t height = yLabel + labelBand + indicatorBand + kSheetMargin;
    const auto rect = [](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        return PixelRect{SaturateToInt32(l), SaturateToInt32(t), SaturateToInt32(r),
                         SaturateToInt32(b)};
    };

    SheetLayout out;
    out.width = SaturateToInt32(width);
    out.height = SaturateToInt32(height);
    out.title = rect(kSheetMargin, kSheetMargin, width - kSheetMargin, yBs);
    out.scaleColumn = rect(kSheetMargin, yBs, x0 - kSheetGap, yLabel);
    for (std::int64_t i = 0; i < periods; ++i) {
        const std::int64_t x = x0 + i * (w + kSheetGap);
        out.bs.push_back(rect(x, yBs, x + w, yBs + h));
        out.pl.push_back(rect(x, yPl, x + w, yPl + h));
        out.label.push_back(rect(x, yLabel, x + w, yLabel + labelBand));
        if (indicatorBand > 0) {
            out.indicators.push_back(
                rect(x, yLabel + labelBand, x + w, yLabel + labelBand + indicatorBand));
        }
    }
    return out;
}

std::optional<ScaleBar> ComputeScaleBar(const DiagramScale& scale, int cellHeight) {
    if (scale.mode != ScaleMode::Shared || !(scale.amount >= 1) || cellHeight <= 0) {
        return std::nullopt;
    }
    const int full = scale.perFigure ? cellHeight : std::min(scale.pixels, cellHeight);
    // log10 may be off by one near a power of ten; the candidates below correct it.
    int k = std::clamp(static_cast<int>(std::floor(std::log10(scale.amount))) + 1, 0, 308);
    for (; k >= 0; --k) {
        for (const char lead : {'5', '2', '1'}) {
            std::string digits(1, lead);
            digits.append(static_cast<std::size_t>(k), '0');
            const double amount = ParseAmount(digits);
            if (amount <= scale.amount) {
                ScaleBar bar{digits, amount, ScaledHeight(scale, cellHeight, amount)};
                bar.pixels = std::min(bar.pixels, full);
                return bar;
            }
        }
    }
    return std::nullopt;
}

DiagramScale SheetScale(const std::vector<StatementData>& periods, int cellHeight) {
    SharedScaleBuilder builder;
    for (const StatementData& p : periods) builder.Add(cellHeight, TotalsOf(p));
    return builder.Result();
}

namespace {

// A vertical bar standing on the row's bottom edge at the right of the scale column, with
// ticks at both ends, and the amount centred on it at its left.
void DrawScaleBar(DiagramSurface& surface, const PixelRect& column, std::int32_t bottom,
                  const ScaleBar& bar) {
    const std::int32_t right = column.right;
    const std::int32_t x = right - kBarWidth;
    const std::int32_t top = bottom - bar.pixels;
    surface.Fill({x, top, right, bottom}, kBlack);
    surface.Fill({right - kTickLength, top, right, top + kBarWidth}, kBlack);
    surface.Fill({right - kTickLength, bottom - kBarWidth, right, bottom}, kBlack);
    const std::string text = FormatKanjiAmount(bar.digits);
    const TextSize size = surface.MeasureText(text);
    const std::int32_t middle = top + bar.pixels / 2;
    surface.DrawText(text, {column.left, middle - size.height / 2, right - kTickLength - 2,
                            middle - size.height / 2 + size.height});
}

// The key ratios of one period, a line each: "自己資本比率 18.77%".
void DrawSheetIndicators(DiagramSurface& surface, const PixelRect& area, const StatementData& data,
                         const DiagramOptions& options) {
    const IndicatorValues values = ComputeIndicators(data);
    const int line = SheetIndicatorLinePixels(options);
    std::int32_t top = area.top;
    for (const IndicatorIndex i : kSheetIndicators) {
        const std::string text =
            IndicatorName(i, data) + " " + IndicatorText(values, i, options.Shosu);
        surface.DrawText(text, {area.left, top, area.right, SaturatingAdd(top, line)});
        top = SaturatingAdd(top, line);
    }
}

}  // namespace

void DrawComparisonSheet(DiagramSurface& surface, const SheetLayout& layout,
                         const SheetContent& content) {
    surface.Fill({0, 0, layout.width, layout.height}, kWhite);
    const DiagramOptions& options = content.options;
    const FontRequest previous =
        CreateDiagramFont(kDiagramFace, options.FontSize + options.FontSize / 2, true, surface);
    const TextSize titleSize = surface.MeasureText(content.title);
    const std::int32_t titleTop =
        layout.title.top + (layout.title.bottom - layout.title.top - titleSize.height) / 2;
    surface.DrawText(content.title,
                     {layout.title.left, titleTop, layout.title.right, layout.title.bottom});
    CreateDiagramFont(kDiagramFace, options.FontSize, false, surface);

    const std::size_t n = std::min(content.periods.size(), layout.bs.size());
    for (std::size_t i = 0; i < n; ++i) {
        const StatementData& data = content.periods[i];
        DrawScaledDiagram(surface, layout.bs[i], DiagramKind::BalanceSheet, data, options,
                          content.scale);
        DrawScaledDiagram(surface, layout.pl[i], DiagramKind::ProfitAndLoss, data, options,
                          content.scale);
        // The diagrams chose their own font and put this one back.
        PixelRect label = layout.label[i];
        label.top += (label.bottom - label.top) / 4;
        surface.DrawText(data.period.Normalised(), label);
        if (content.indicators && i < layout.indicators.size()) {
            DrawSheetIndicators(surface, layout.indicators[i], data, options);
        }
    }
    if (n > 0) {
        const int cellHeight = layout.bs[0].bottom - layout.bs[0].top;
        if (const auto bar = ComputeScaleBar(content.scale, cellHeight); bar && bar->pixels > 0) {
            DrawScaleBar(surface, layout.scaleColumn, layout.bs[0].bottom, *bar);
            DrawScaleBar(surface, layout.scaleColumn, layout.pl[0].bottom, *bar);
        }
    }
    surface.SelectFont(previous);
}

}  // namespace quorvex
