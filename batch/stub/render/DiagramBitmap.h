#pragma once
// TEMPORARY stand-in until the renderer lands.
#include <QImage>
namespace quorvex {
class DiagramBitmap final {
public:
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

private:
    QImage image_;
};
}  // namespace quorvex
