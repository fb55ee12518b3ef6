#pragma once
// PNG through libpng: Qt's own writer tries every filter on every row and is several times
// slower, which the batch run cannot afford. Lossless: 8-bit RGB, or an exact palette when the
// picture has few enough colours (the canvas is opaque).

#include <QByteArray>
#include <QImage>
#include <optional>

namespace quorvex {

// Measured on the batch run's own pictures (bench/PngChoice.cpp): every row filter but none
// makes most files larger at no gain in time; Z_RLE makes them many times larger. Levels 1
// to 3 take the same time within the noise, but only from level 3 on is no file larger than
// the one the toolkit's own writer made before. Diagrams with texts have some 700 to 1,100
// colours; without texts a dozen, where the palette halves the time and shrinks the file
// about four times.
struct PngSettings {
    int zlibLevel = 3;
    int filter = 0x08;  // PNG_FILTER_NONE: one fixed filter for every row
    int strategy = 0;   // Z_DEFAULT_STRATEGY
    // At most 256 colours: an indexed picture with exactly those colours (in order of first
    // appearance), packed to 1, 2, 4 or 8 bits.
    bool exactPalette = true;
};

// `image` must be Format_RGB32 or Format_ARGB32 (alpha is dropped). Nothing on failure.
std::optional<QByteArray> EncodePng(const QImage& image, const PngSettings& settings = {});

}  // namespace quorvex
