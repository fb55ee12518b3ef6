#pragma once
// GIF through giflib (Qt has no GIF writer). One 8-bit palette: exact when the picture has
// at most 256 colours, else the 256 most frequent colours with every other colour mapped
// to its nearest (deterministic, so every run gives the same bytes).

#include <QByteArray>
#include <QImage>
#include <optional>

namespace quorvex {

// `image` must be Format_RGB32 or Format_ARGB32 (alpha is dropped). Nothing on failure or
// when a side exceeds the format's 65535.
std::optional<QByteArray> EncodeGif(const QImage& image);

}  // namespace quorvex
