#include "engine/render/SharedScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/model/NumberText.h"
#include "engine/render/Diagrams.h"

namespace quorvex {
namespace {

// The larger of two sums, then 0 for a total that is negative or not finite (a NaN in
// either sum makes the total not finite).
double SaneTotal(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return 0;
    const double t = std::max(a, b);
    return std::isfinite(t) && t > 0 ? t : 0;
}

}  // namespace

DiagramTotals TotalsOfAmounts(const std::array<std::string_view, kItemCount>& a) {
    std::array<double, kItemCount> v{};
    for (int i = 0; i < kItemCount; ++i) v[i] = ParseAmount(a[i]);
    DiagramTotals t;
    t.bs = SaneTotal(v[0] + v[1], (v[2] + v[3]) + v[4]);
    t.pl = SaneTotal(v[5], v[5]);
    return t;
}

DiagramTotals TotalsOf(const StatementData& data) {
    std::array<std::string_view, kItemCount> amounts;
    for (int i = 0; i < kItemCount; ++i) amounts[i] = data.items[i].amount;
    return TotalsOfAmounts(amounts);
}

DiagramScale BasisScale(double amount) {
    DiagramScale s;
    s.mode = ScaleMode::Shared;
    s.amount = std::isfinite(amount) && amount > 0 ? amount : 0;
    s.perFigure = true;
    return s;
}

void SharedScaleBuilder::Add(int figureHeight, const DiagramTotals& totals) {
    const double m = totals.Larger();
    if (!(m > 0) || figureHeight <= 0) return;
    // H / M smaller than the scale so far: this period needs more amount per pixel.
    if (!any_ || double(figureHeight) / m < double(pixels_) / amount_) {
        any_ = true;
        pixels_ = figureHeight;
        amount_ = m;
    }
}

DiagramScale SharedScaleBuilder::Result() const {
    DiagramScale s;
    s.mode = ScaleMode::Shared;
    if (any_) {
        s.pixels = pixels_;
        s.amount = amount_;
    }
    return s;
}

DiagramScale PeriodScale(const StatementData& data, int figureHeight) {
    SharedScaleBuilder builder;
    builder.Add(figureHeight, TotalsOf(data));
    return builder.Result();
}

int ScaledHeight(const DiagramScale& scale, int figureHeight, double total) {
    if (scale.mode == ScaleMode::Ratio) return figureHeight;
    if (figureHeight <= 0 || !(scale.amount > 0) || !std::isfinite(total) || !(total > 0)) {
        return 0;
    }
    const double pixels = scale.perFigure ? figureHeight : scale.pixels;
    const std::int32_t h =
        total == scale.amount ? TruncToInt32(pixels) : TruncToInt32(pixels * total / scale.amount);
    return std::clamp(h, 0, figureHeight);
}

void DrawScaledDiagram(DiagramSurface& surface, const PixelRect& figure, DiagramKind kind,
                       const StatementData& data, const DiagramOptions& options,
                       const DiagramScale& scale) {
    const std::int64_t width = std::int64_t{figure.right} - figure.left;
    const std::int64_t height = std::int64_t{figure.bottom} - figure.top;
    if (width <= 0 || height <= 0) return;
    const DiagramTotals totals = TotalsOf(data);
    const bool bs = kind == DiagramKind::BalanceSheet;
    const int figureHeight = SaturateToInt32(height);
    const int h = ScaledHeight(scale, figureHeight, bs ? totals.bs : totals.pl);
    if (h < figureHeight) {
        surface.Fill({figure.left, figure.top, figure.right, figure.bottom - h}, 0x00FFFFFF);
    }
    if (h <= 0) return;
    surface.SetViewport({figure.left, figure.bottom - h, figure.right, figure.bottom});
    if (bs) {
        DrawBsDiagram(surface, SaturateToInt32(width), h, data, options);
    } else {
        DrawPlDiagram(surface, SaturateToInt32(width), h, data, options);
    }
    surface.ResetViewport();
}

}  // namespace quorvex
