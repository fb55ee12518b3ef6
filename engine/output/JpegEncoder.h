#pragma once
// JPEG straight from the bitmap's 32-bit pixels through TurboJPEG: no converted copy of the
// picture. The settings are those of the files this program has always written (quality 100,
// 4:2:0 chroma, the accurate integer DCT, baseline Huffman tables, JFIF 1.01 at 96 dots per
// inch), so decoders read the same pixels as from earlier files.

#include <QByteArray>
#include <QImage>
#include <optional>

namespace quorvex {

// `image` must be Format_RGB32 or Format_ARGB32 (alpha is ignored). Thread-safe. Nothing on
// failure.
std::optional<QByteArray> EncodeJpeg(const QImage& image);

}  // namespace quorvex
