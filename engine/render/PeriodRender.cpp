#include "engine/render/PeriodRender.h"

#include "engine/render/Diagrams.h"

namespace quorvex {

bool RenderPeriodDiagrams(const StatementData& data, const DiagramOptions& options, int width,
                          int height, DiagramBitmap& bs, DiagramBitmap& pl,
                          const DiagramScale& scale) {
    return RenderPeriodDiagram(data, options, width, height, DiagramKind::BalanceSheet, bs,
                               scale) &&
           RenderPeriodDiagram(data, options, width, height, DiagramKind::ProfitAndLoss, pl, scale);
}

bool RenderPeriodDiagram(const StatementData& data, const DiagramOptions& options, int width,
                         int height, DiagramKind kind, DiagramBitmap& bitmap,
                         const DiagramScale& scale) {
    return PrepareDiagramBitmap(bitmap, width, height) &&
           DrawScaledDiagram(bitmap, kind, data, options, scale);
}

bool DrawScaledDiagram(DiagramBitmap& bitmap, DiagramKind kind, const StatementData& data,
                       const DiagramOptions& options, const DiagramScale& scale) {
    if (scale.mode == ScaleMode::Ratio) {
        return kind == DiagramKind::BalanceSheet ? DrawBsDiagram(bitmap, data, options)
                                                 : DrawPlDiagram(bitmap, data, options);
    }
    return DrawOnBitmap(bitmap, [&](DiagramSurface& surface, int width, int height) {
        DrawScaledDiagram(surface, {0, 0, width, height}, kind, data, options, scale);
        return true;
    });
}

QImage DrawCentreLinePreview(int centreLineMode, int width, int height) {
    StatementData data;
    // Proportions that make both centre-line positions easy to tell apart.
    data.ratios = {60, 40, 30, 20, 50, 0, 0, 0, 0, 0};
    for (int i = 0; i < kItemCount; ++i) data.items[i].colour = DefaultItemColours[i];
    DiagramOptions options;
    options.CenterLine = centreLineMode;
    options.Futosa = 1;
    options.DrawName = 0;
    options.DrawRitu = 0;
    DiagramBitmap bitmap;
    if (!PrepareDiagramBitmap(bitmap, width, height) || !DrawBsDiagram(bitmap, data, options)) {
        return QImage();
    }
    return bitmap.image();
}

}  // namespace quorvex
