#pragma once
// An off-screen diagram: a 32-bit RGB image at 96 dots per inch. Drawing opens a painter on
// it for the duration of one diagram (PainterSurface), so the image can be copied and
// encoded freely between drawings.

#include <QImage>

namespace quorvex {

inline constexpr int kDiagramDotsPerInch = 96;
// The same in a QImage's own unit.
inline constexpr int kDiagramDotsPerMeter = 3780;

class DiagramBitmap final {
  public:
    DiagramBitmap() = default;

    const QImage& image() const { return image_; }
    QImage& image() { return image_; }
    bool isNull() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    // Releases the pixels; the bitmap is null afterwards.
    void reset() { image_ = QImage(); }

  private:
    friend bool PrepareDiagramBitmap(DiagramBitmap& bitmap, int width, int height);
    QImage image_;
};

// (Re)makes the bitmap at width x height, Format_RGB32, 96 dpi. The pixels are not cleared:
// a diagram covers every pixel. A buffer of the same size that nobody else shares is reused.
// False, leaving a null bitmap, when a size is <= 0 or the buffer cannot be allocated.
bool PrepareDiagramBitmap(DiagramBitmap& bitmap, int width, int height);

}  // namespace quorvex
