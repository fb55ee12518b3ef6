#pragma once
// The QPainter back end of DiagramSurface, drawing into a QImage. Fills and lines are not
// antialiased so every edge lands on the exact pixel; text is antialiased.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/render/DiagramSurface.h"

namespace quorvex {

// The installed family for a requested face: the face itself when installed, otherwise the
// first installed of "IPAPGothic", "Noto Sans CJK JP", "IPAGothic", otherwise the application
// font's family. Chosen explicitly so that the picture never depends on the font matcher.
QString ResolveFontFamily(std::string_view face);

// 0x00BBGGRR to a Qt colour value (the top byte is ignored).
QRgb ToQRgb(Colour colour);

class PainterSurface final : public DiagramSurface {
  public:
    // Paints on image (which must stay alive) until destroyed.
    explicit PainterSurface(QImage& image);
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    bool isActive() const { return painter_.isActive(); }

    int DotsPerInchY() const override;
    FontRequest SelectFont(const FontRequest& font) override;
    void Fill(const BlockRect& rect, Colour colour) override;
    void Rectangle(const BlockRect& rect, Colour pen, int penWidth, Colour brush) override;
    void Polyline(std::span<const DiagramPoint> points, Colour pen, int width) override;
    TextSize MeasureText(std::string_view text) override;
    void DrawText(std::string_view text, const BlockRect& rect) override;
    void SetViewport(const BlockRect& viewport) override;
    void ResetViewport() override;

  private:
    struct Span {
        std::int64_t left, top, right, bottom;
    };
    const QFontMetrics& Metrics();
    // A rectangle in viewport coordinates, in image coordinates.
    Span Placed(const BlockRect& rect) const;
    // Span clipped to the viewport and the image.
    Span Clipped(const Span& span) const;
    // The painter's clip: the viewport, or none for the whole image.
    void RestoreClip();

    QImage& image_;
    QPainter painter_;
    QFont defaultFont_;  // the surface's own font, for a request of pixel size 0
    FontRequest font_;
    std::optional<QFontMetrics> metrics_;
    std::optional<BlockRect> viewport_;  // in image coordinates; none: the whole image
};

}  // namespace quorvex
