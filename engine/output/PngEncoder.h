#pragma once
// PNG for the batch run's mostly flat pictures: the rows go to libdeflate in one piece and the
// few chunks around its zlib stream are framed here (CRC from libdeflate). zlib through
// libpng spent most of a period in deflate and its checksum; Qt's own writer tries every
// filter on every row and is slower still. Lossless: 8-bit RGB, or an exact palette when the
// picture has few enough colours (the canvas is opaque).

#include <QByteArray>
#include <QImage>
#include <optional>

namespace quorvex {

// Measured on the batch run's own pictures (bench/PngChoice.cpp): without a row filter the
// flat blocks become long matches one row back, and every filter made most files larger at
// no gain in time. Diagrams with texts have some 700 to 1,100 colours; without texts a dozen,
// where the palette shrinks the file about four times.
struct PngSettings {
    // libdeflate's level, 1 to 12; 0: chosen by the picture's size (LevelFor in PngEncoder.cpp).
    int level = 0;
    // At most 256 colours: an indexed picture with exactly those colours (in order of first
    // appearance), packed to 1, 2, 4 or 8 bits.
    bool exactPalette = true;
};

// `image` must be Format_RGB32 or Format_ARGB32 (alpha is dropped). Nothing on failure
// (out of memory included).
std::optional<QByteArray> EncodePng(const QImage& image, const PngSettings& settings = {});

}  // namespace quorvex
