// TEMPORARY stand-in until the output subsystem lands.
#include "output/ImageEncoding.h"

#include <QBuffer>
#include <QImageWriter>

namespace quorvex {
EncodedDiagram EncodeDiagram(const QImage& bitmap, int width, int height, int outSaki) {
    static const char* const formats[] = {"jpeg", "bmp", "png", "png", "tiff", "jpeg"};
    EncodedDiagram out;
    QBuffer buffer(&out.bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, formats[outSaki]);
    writer.setQuality(100);
    out.ok = writer.write(bitmap.copy(0, 0, width, height));
    if (!out.ok) out.messageId = 30001;
    return out;
}
}  // namespace quorvex
