#include "engine/output/ImageEncoding.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <array>

#include "core/model/StatementData.h"
#include "core/output/Jpg2Pdf.h"
#include "engine/output/GifEncoder.h"
#include "engine/output/OutputFiles.h"
#include "engine/output/PngEncoder.h"

namespace quorvex {
namespace {

constexpr int kDotsPerMeter96 = 3780;  // round(96 / 0.0254)

struct EncoderEntry {
    const char* mimeType;
    ImageEncoder encoder;
};

// In the order the targets list them.
constexpr std::array<EncoderEntry, 5> kEncoders = {{
    {"image/jpeg", ImageEncoder::Jpeg},
    {"image/bmp", ImageEncoder::Bmp},
    {"image/gif", ImageEncoder::Gif},
    {"image/png", ImageEncoder::Png},
    {"image/tiff", ImageEncoder::Tiff},
}};

std::optional<QByteArray> EncodeWithQt(const QImage& image, const char* format, int quality,
                                       int compression) {
    QByteArray out;
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    if (compression >= 0) writer.setCompression(compression);
    if (!writer.write(image)) return std::nullopt;
    buffer.close();
    return out;
}

}  // namespace

QString MimeTypeOfExtension(const QString& extension) {
    return QStringLiteral("image/") + extension.toLower();
}

std::optional<ImageEncoder> FindImageEncoder(const QString& mimeType) {
    for (const auto& entry : kEncoders) {
        if (mimeType == QLatin1String(entry.mimeType)) return entry.encoder;
    }
    return std::nullopt;
}

QString ImageExtension(int outSaki) {
    switch (outSaki) {
        case 0:
            return QStringLiteral("jpeg");
        case 1:
            return QStringLiteral("bmp");
        case 2:
            return QStringLiteral("gif");
        case 3:
            return QStringLiteral("png");
        case 4:
            return QStringLiteral("tiff");
        default:
            return {};
    }
}

QImage MakeCanvas(const QImage& bitmap, int width, int height) {
    if (bitmap.isNull() || width <= 0 || height <= 0) return {};
    // Drawn opaque, as the diagram is: alpha never reaches the file.
    const QImage opaque = bitmap.hasAlphaChannel() || bitmap.format() != QImage::Format_RGB32
                              ? bitmap.convertToFormat(QImage::Format_RGB32)
                              : bitmap;
    if (opaque.isNull()) return {};
    QImage canvas;
    if (opaque.width() == width && opaque.height() == height) {
        canvas = opaque.convertToFormat(QImage::Format_ARGB32);
    } else {
        canvas = opaque.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32);
    }
    if (canvas.isNull() || canvas.width() != width || canvas.height() != height) return {};
    return canvas;
}

std::optional<QByteArray> EncodeCanvas(const QImage& canvas, ImageEncoder encoder) {
    if (canvas.isNull()) return std::nullopt;
    // The canvas is opaque; telling the Qt writers so keeps alpha out of BMP and TIFF.
    QImage opaque(canvas.constBits(), canvas.width(), canvas.height(), canvas.bytesPerLine(),
                  QImage::Format_RGB32);
    // Always 96 dpi in the file, whatever screen the program runs on, so the window and the
    // headless batch tool write the same bytes.
    opaque.setDotsPerMeterX(kDotsPerMeter96);
    opaque.setDotsPerMeterY(kDotsPerMeter96);
    switch (encoder) {
        case ImageEncoder::Jpeg:
            return EncodeWithQt(opaque, "jpeg", 100, -1);
        case ImageEncoder::Bmp:
            return EncodeWithQt(opaque, "bmp", -1, -1);
        case ImageEncoder::Gif:
            return EncodeGif(opaque);
        case ImageEncoder::Png:
            return EncodePng(opaque);
        case ImageEncoder::Tiff:
            return EncodeWithQt(opaque, "tiff", -1, 1);  // 1: LZW
    }
    return std::nullopt;
}

EncodedDiagram EncodeDiagram(const QImage& bitmap, int width, int height, int outSaki) {
    EncodedDiagram result;
    const bool pdf = outSaki == kOutPdf;
    const QString extension = pdf ? QStringLiteral("jpeg") : ImageExtension(outSaki);
    const auto encoder = FindImageEncoder(MimeTypeOfExtension(extension));
    if (extension.isEmpty() || !encoder) return result;  // clipboard or unknown: no message

    const QImage canvas = MakeCanvas(bitmap, width, height);
    if (canvas.isNull()) {
        result.messageId = kMsgMemory;
        return result;
    }
    auto bytes = EncodeCanvas(canvas, *encoder);
    if (!bytes) {
        result.messageId = kMsgWriteFailed;
        // The single-file path fails writing the work file temp.jpeg for a PDF.
        if (pdf) result.prefix = QString(kWorkJpegName).toStdString() + "\n";
        return result;
    }
    if (!pdf) {
        result.bytes = std::move(*bytes);
        result.ok = true;
        return result;
    }
    const auto document =
        CJpg2Pdf::ConvertBytes(std::string_view(bytes->constData(), bytes->size()));
    if (!document) {
        result.messageId = kMsgPdfFailed;
        result.prefix = std::string(CJpg2Pdf::kPrefixGetSize);
        return result;
    }
    result.bytes = QByteArray(document->data(), static_cast<qsizetype>(document->size()));
    result.ok = true;
    return result;
}

void ReportEncodingFailure(const EncodedDiagram& encoded, const QString& name,
                           MessageSink& messages) {
    if (encoded.ok || encoded.messageId == 0) return;
    std::string prefix = encoded.prefix;
    if (encoded.messageId == kMsgWriteFailed && prefix.empty()) {
        prefix = QuoteField(name.toStdString()) + "\n";
    }
    messages.ShowMessage(encoded.messageId, prefix, MessageKind::Error);
}

namespace {

// Encodes for SaveBitmapImage; the message and nothing on failure.
std::optional<QByteArray> EncodeForSave(const QImage& bitmap, int width, int height,
                                        ImageEncoder encoder, const QString& shownName,
                                        MessageSink& messages) {
    const QImage canvas = MakeCanvas(bitmap, width, height);
    if (canvas.isNull()) {
        messages.ShowMessage(kMsgMemory, {}, MessageKind::Error);
        return std::nullopt;
    }
    auto bytes = EncodeCanvas(canvas, encoder);
    if (!bytes) {
        messages.ShowMessage(kMsgWriteFailed, QuoteField(shownName.toStdString()) + "\n",
                             MessageKind::Error);
    }
    return bytes;
}

}  // namespace

bool SaveBitmapImage(const QImage& bitmap, int width, int height, const QString& path,
                     const QString& extension, MessageSink& messages) {
    const auto encoder = FindImageEncoder(MimeTypeOfExtension(extension));
    if (!encoder) return false;
    const auto bytes =
        EncodeForSave(bitmap, width, height, *encoder, QFileInfo(path).fileName(), messages);
    return bytes && CommitFile(path, *bytes, FileRole::Image, messages);
}

bool SaveBitmapImage(const QImage& bitmap, int width, int height, const QString& folder,
                     const QString& name, const QString& extension, MessageSink& messages) {
    const auto encoder = FindImageEncoder(MimeTypeOfExtension(extension));
    if (!encoder) return false;
    const auto bytes = EncodeForSave(bitmap, width, height, *encoder, name, messages);
    return bytes && CommitFileIn(folder, name, *bytes, messages);
}

}  // namespace quorvex
