#pragma once
// Diagrams at a screen's pixel density. The window paints each diagram into a bitmap of
// its figure size times the device pixel ratio: the same diagram logic runs at that many
// pixels (so block edges and the integer rules fall on device pixels) through a surface
// that scales line widths and font sizes by the ratio. At ratio 1 nothing is wrapped.

#include "core/model/StatementData.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/DiagramSurface.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

// Device pixels of a logical extent: ceil(logical * ratio), so the bitmap covers the whole
// figure. Ratios below 1 or not finite count as 1; a non-positive extent stays as it is.
int DevicePixels(int logical, double ratio);

// Hands every call on to `inner`, with pen widths and font pixel sizes multiplied by the
// ratio (rounded, a positive width at least 1). Coordinates pass unchanged: the caller
// draws at the device size.
class RatioSurface final : public DiagramSurface {
  public:
    RatioSurface(DiagramSurface& inner, double ratio) : inner_(inner), ratio_(ratio) {}

    int DotsPerInchY() const override { return inner_.DotsPerInchY(); }
    FontRequest SelectFont(const FontRequest& font) override;
    void Fill(const PixelRect& rect, Colour colour) override { inner_.Fill(rect, colour); }
    void Rectangle(const PixelRect& rect, Colour pen, int penWidth, Colour brush) override;
    void Polyline(std::span<const DiagramPoint> points, Colour pen, int width) override;
    TextSize MeasureText(std::string_view text) override { return inner_.MeasureText(text); }
    void DrawText(std::string_view text, const PixelRect& rect) override {
        inner_.DrawText(text, rect);
    }
    void SetViewport(const PixelRect& viewport) override { inner_.SetViewport(viewport); }
    void ResetViewport() override { inner_.ResetViewport(); }

  private:
    int Scaled(int value) const;

    DiagramSurface& inner_;
    double ratio_;
    FontRequest font_;  // the request as the diagram made it, unscaled
};

// One diagram of width x height logical pixels into bitmap at DevicePixels of both, with
// `scale` built for the device height (PeriodScale(data, DevicePixels(height, ratio))).
// Afterwards the bitmap's devicePixelRatio is the ratio, so a painter draws it at the
// logical size. At ratio 1 the pixels are exactly DrawScaledDiagram's at width x height.
bool DrawDiagramAtRatio(DiagramBitmap& bitmap, DiagramKind kind, int width, int height,
                        double ratio, const StatementData& data, const DiagramOptions& options,
                        const DiagramScale& scale);

}  // namespace quorvex
