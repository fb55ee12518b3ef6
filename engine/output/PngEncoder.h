#pragma once
// PNG through libpng: Qt's own writer tries every filter on every row and is several times
// slower, which the batch run cannot afford. Lossless 8-bit RGB (the canvas is opaque).

#include <QByteArray>
#include <QImage>
#include <optional>

namespace quorvex {

struct PngSettings {
    int zlibLevel = 2;  // 1..3 keeps the batch fast; flat diagrams compress well anyway
    int filter = 0x08;  // PNG_FILTER_NONE: one fixed filter for every row
    int strategy = 0;   // Z_DEFAULT_STRATEGY
};

// `image` must be Format_RGB32 or Format_ARGB32 (alpha is dropped). Nothing on failure.
std::optional<QByteArray> EncodePng(const QImage& image, const PngSettings& settings = {});

}  // namespace quorvex
