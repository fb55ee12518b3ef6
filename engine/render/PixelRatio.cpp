#include "engine/render/PixelRatio.h"

#include <cmath>
#include <limits>

#include "engine/render/Diagrams.h"
#include "engine/render/PeriodRender.h"

namespace quorvex {
namespace {

double SaneRatio(double ratio) {
    return std::isfinite(ratio) && ratio > 1.0 ? ratio : 1.0;
}

}  // namespace

int DevicePixels(int logical, double ratio) {
    if (logical <= 0) return logical;
    const double r = SaneRatio(ratio);
    if (r == 1.0) return logical;
    // A hair below the integer counts as the integer: 300 x 1.1 is 330, not 331.
    const double device = std::ceil(logical * r - 1e-9);
    return device >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                     : static_cast<int>(device);
}

int RatioSurface::Scaled(int value) const {
    if (value <= 0) return value;
    const double scaled = std::round(value * SaneRatio(ratio_));
    if (scaled >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return std::max(1, static_cast<int>(scaled));
}

FontRequest RatioSurface::SelectFont(const FontRequest& font) {
    FontRequest previous = font_;
    font_ = font;
    FontRequest device = font;
    device.pixelSize = Scaled(font.pixelSize);
    inner_.SelectFont(device);
    return previous;
}

void RatioSurface::Rectangle(const PixelRect& rect, Colour pen, int penWidth, Colour brush) {
    inner_.Rectangle(rect, pen, Scaled(penWidth), brush);
}

void RatioSurface::Polyline(std::span<const DiagramPoint> points, Colour pen, int width) {
    inner_.Polyline(points, pen, Scaled(width));
}

bool DrawDiagramAtRatio(DiagramBitmap& bitmap, DiagramKind kind, int width, int height,
                        double ratio, const StatementData& data, const DiagramOptions& options,
                        const DiagramScale& scale) {
    const double r = SaneRatio(ratio);
    if (!PrepareDiagramBitmap(bitmap, DevicePixels(width, r), DevicePixels(height, r))) {
        return false;
    }
    // A painter on an image with a ratio draws in logical units; the diagram is drawn in
    // device pixels, so the ratio is set only once it is done.
    bitmap.image().setDevicePixelRatio(1.0);
    bool ok = false;
    if (r == 1.0) {
        ok = DrawScaledDiagram(bitmap, kind, data, options, scale);
    } else {
        ok = DrawOnBitmap(bitmap, [&](DiagramSurface& surface, int w, int h) {
            RatioSurface scaled(surface, r);
            DrawScaledDiagram(scaled, {0, 0, w, h}, kind, data, options, scale);
            return true;
        });
        bitmap.image().setDevicePixelRatio(r);
    }
    return ok;
}

}  // namespace quorvex
