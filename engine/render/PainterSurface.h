#pragma once
// The QPainter back end of DiagramSurface. On a QImage (the raster diagrams) fills and lines
// are not antialiased so every edge lands on the exact pixel; text is antialiased. On a
// vector device (an SVG or PDF generator) the same calls become rectangles, a polyline and
// text, at the same coordinates, laid out with the raster's 96-dpi font metrics.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/render/DiagramSurface.h"

namespace quorvex {

// The installed family for a requested face: the face itself when installed, otherwise the
// first installed of "IPAPGothic", "Noto Sans CJK JP", "IPAGothic", otherwise the application
// font's family. Chosen explicitly so that the picture never depends on the font matcher.
QString ResolveFontFamily(std::string_view face);

// The resolved family of a face first, then the other Japanese faces that stand in for it
// ("IPAPGothic", "Noto Sans CJK JP", "IPAGothic", and the diagram face itself), each once:
// what a vector file names so that a viewer without the resolved face picks a close one.
QStringList FontFamilyList(std::string_view face);

// 0x00BBGGRR to a Qt colour value (the top byte is ignored).
QRgb ToQRgb(Colour colour);

class PainterSurface final : public DiagramSurface {
  public:
    // Paints on image (which must stay alive) until destroyed.
    explicit PainterSurface(QImage& image);
    // Paints on a vector device of width x height units (one unit per pixel of the raster
    // diagram) until destroyed; fonts are measured at kDiagramDotsPerInch.
    PainterSurface(QPaintDevice& device, int width, int height);
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    bool isActive() const { return painter_.isActive(); }

    int DotsPerInchY() const override;
    FontRequest SelectFont(const FontRequest& font) override;
    void Fill(const PixelRect& rect, Colour colour) override;
    void Rectangle(const PixelRect& rect, Colour pen, int penWidth, Colour brush) override;
    void Polyline(std::span<const DiagramPoint> points, Colour pen, int width) override;
    TextSize MeasureText(std::string_view text) override;
    void DrawText(std::string_view text, const PixelRect& rect) override;
    void SetViewport(const PixelRect& viewport) override;
    void ResetViewport() override;

  private:
    struct Span {
        std::int64_t left, top, right, bottom;
    };
    void Begin();
    // The part of rect inside the surface and the viewport, if any, in device coordinates.
    std::optional<QRect> Visible(const PixelRect& rect) const;
    const QFontMetrics& Metrics();
    // Names the current font and the metrics device's resolution for the width store.
    void NameFont();
    // The width of one line of text in the current font, measured once per thread.
    int Advance(std::string_view text);
    // A rectangle in viewport coordinates, in image coordinates.
    Span Placed(const PixelRect& rect) const;
    // Span clipped to the viewport and the image.
    Span Clipped(const Span& span) const;
    // The painter's clip: the viewport, or none for the whole image.
    void RestoreClip();

    QPaintDevice& device_;
    int width_, height_;
    QImage metricsReference_;  // a vector device's stand-in for the font metrics
    const QPaintDevice* metricsDevice_;
    bool vector_ = false;
    QPainter painter_;
    QFont defaultFont_;  // the surface's own font, for a request of pixel size 0
    FontRequest font_;
    std::string fontKey_;
    std::optional<QFontMetrics> metrics_;
    std::optional<PixelRect> viewport_;  // in image coordinates; none: the whole image
};

}  // namespace quorvex
