#pragma once
// Turns a diagram bitmap into the bytes of an image file (JPEG, BMP, GIF, PNG, TIFF) or of a
// one-page PDF. Encoding happens in memory and is thread-safe, so the batch run can encode
// on several threads; writing the bytes to disk is CommitFile's job (OutputFiles.h). The
// single-file path and the batch path give byte-identical files because both go through
// EncodeDiagram's encoders.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>
#include <string>

#include "core/model/Messages.h"

namespace quorvex {

enum class ImageEncoder { Jpeg, Bmp, Gif, Png, Tiff };

// "image/" + the extension in lower case ("JPEG" -> "image/jpeg").
QString MimeTypeOfExtension(const QString& extension);

// The encoder whose MIME type equals `mimeType` exactly (case-sensitive, whole string):
// image/jpeg, image/bmp, image/gif, image/png, image/tiff. Anything else: none.
std::optional<ImageEncoder> FindImageEncoder(const QString& mimeType);

// Extension text of the image targets 0..4 ("jpeg", "bmp", "gif", "png", "tiff"); empty for
// PDF, clipboard and unknown targets.
QString ImageExtension(int outSaki);

// The canvas that is encoded: exactly width x height, Format_RGB32. Equal sizes give the
// bitmap's own pixels (shared, not copied); other sizes stretch the whole bitmap (smooth
// filter). Null when the bitmap is null, a size is not positive or memory is short.
QImage MakeCanvas(const QImage& bitmap, int width, int height);

// The file bytes of `canvas` in the given format. JPEG at quality 100; BMP 24-bit; GIF
// with an exact palette when the picture has at most 256 colours (else the 256 most
// frequent colours, the others mapped to the nearest); PNG lossless (PngEncoder.h);
// TIFF LZW-compressed. Nothing on failure.
std::optional<QByteArray> EncodeCanvas(const QImage& canvas, ImageEncoder encoder);

// Result of EncodeDiagram. On failure, messageId/prefix are what the single-file path
// would have shown (messageId 0: no message); for kMsgWriteFailed the prefix is empty and
// ReportEncodingFailure puts the file name in front.
struct EncodedDiagram {
    QByteArray bytes;
    bool ok = false;
    int messageId = 0;
    std::string prefix;
};

// Thread-safe, in memory, no files touched: the bytes of the file that target `outSaki`
// (0 jpeg, 1 bmp, 2 gif, 3 png, 4 tiff, 5 pdf) gives for `bitmap` on a width x height
// canvas. Clipboard and unknown targets: not ok, no message. A null bitmap or an
// impossible canvas: message 30001. Prints nothing.
EncodedDiagram EncodeDiagram(const QImage& bitmap, int width, int height, int outSaki);

// Shows the message of a failed EncodeDiagram for the file shown as `name` (the name
// inside the output folder; nothing when the failure has no message). Write-failure
// messages get the name (QuoteField) and a line break in front.
void ReportEncodingFailure(const EncodedDiagram& encoded, const QString& name,
                           MessageSink& messages);

// Writes `bitmap` on a width x height canvas to `path` with the encoder that `extension`
// selects. Unknown extension: false, no file, no message. Canvas failure: message 30001.
// Encoding or writing failure: message 30050 with the file name in front, and an existing
// file of that name stays as it was (the write is atomic).
bool SaveBitmapImage(const QImage& bitmap, int width, int height, const QString& path,
                     const QString& extension, MessageSink& messages);
// The same for the file `name` inside `folder` (CommitFileIn); messages name it as `name`.
bool SaveBitmapImage(const QImage& bitmap, int width, int height, const QString& folder,
                     const QString& name, const QString& extension, MessageSink& messages);

}  // namespace quorvex
