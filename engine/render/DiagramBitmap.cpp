#include "engine/render/DiagramBitmap.h"

namespace quorvex {

bool PrepareDiagramBitmap(DiagramBitmap& bitmap, int width, int height) {
    QImage& image = bitmap.image_;
    if (width > 0 && height > 0 && !image.isNull() && image.width() == width &&
        image.height() == height && image.format() == QImage::Format_RGB32 && image.isDetached()) {
        // Nobody else holds these pixels and the next diagram covers all of them.
        return true;
    }
    // A copy handed out (say, to an encoder) keeps its pixels; painting gets a new buffer
    // rather than a useless copy of the old picture.
    image = QImage();
    if (width <= 0 || height <= 0) return false;
    QImage fresh(width, height, QImage::Format_RGB32);
    if (fresh.isNull()) return false;
    fresh.setDotsPerMeterX(kDiagramDotsPerMeter);
    fresh.setDotsPerMeterY(kDiagramDotsPerMeter);
    image = std::move(fresh);
    return true;
}

}  // namespace quorvex
