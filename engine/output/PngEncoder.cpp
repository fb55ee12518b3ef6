#include "engine/output/PngEncoder.h"

#include <png.h>

#include <QSysInfo>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace quorvex {
namespace {

// A picture of at most 256 colours as palette indices, one byte per pixel.
struct Indexed {
    std::vector<png_color> palette;
    std::vector<png_byte> pixels;
};

// The exact palette and indices, or false as soon as a 257th colour turns up. Runs of one
// colour (most of a diagram) cost one comparison per pixel; a small open-addressing table
// finds the others.
bool IndexExactly(const QImage& image, Indexed& out) {
    constexpr std::size_t kSlots = 1024;           // a power of two, four times the palette
    constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // never a masked colour
    std::array<std::uint32_t, kSlots> colour;
    std::array<png_byte, kSlots> index{};
    colour.fill(kEmpty);
    const int width = image.width();
    out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(image.height()));
    png_byte* dst = out.pixels.data();
    std::uint32_t last = kEmpty;
    png_byte lastIndex = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = row[x] & 0xFFFFFFu;
            if (c != last) {
                std::size_t slot = (c * 2654435761u) >> 22;  // top 10 bits
                while (colour[slot] != c && colour[slot] != kEmpty)
                    slot = (slot + 1) & (kSlots - 1);
                if (colour[slot] == kEmpty) {
                    if (out.palette.size() == 256) return false;
                    colour[slot] = c;
                    index[slot] = static_cast<png_byte>(out.palette.size());
                    out.palette.push_back({static_cast<png_byte>(c >> 16),
                                           static_cast<png_byte>(c >> 8),
                                           static_cast<png_byte>(c)});
                }
                last = c;
                lastIndex = index[slot];
            }
            *dst++ = lastIndex;
        }
    }
    return true;
}

int PaletteBitDepth(std::size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 4) return 2;
    if (colours <= 16) return 4;
    return 8;
}

// One row of 32-bit pixels (0xAARRGGBB) as R, G, B bytes: one pass, where libpng's own
// transforms take two over the row. Each pixel is stored as four bytes R, G, B, 0, the fourth
// overwritten by the next pixel: `rgb` holds 3 * width + 1 bytes.
void ToRgb(const uchar* pixels, png_uint_32 width, png_bytep rgb) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(pixels);
    for (png_uint_32 x = 0; x < width; ++x) {
        const std::uint32_t c = in[x] << 8;  // 0xRRGGBB00
        const std::uint32_t bytes =
            QSysInfo::ByteOrder == QSysInfo::LittleEndian ? __builtin_bswap32(c) : c;
        std::memcpy(rgb, &bytes, 4);
        rgb += 3;
    }
}

// A full memory ends the encoding through libpng's own error path: no C++ exception may
// cross its C frames.
void AppendData(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    bool full = false;
    try {
        out->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    } catch (const std::bad_alloc&) {
        full = true;
    }
    if (full) png_error(png, "out of memory");
}

// libpng would print its errors and warnings on stderr; the caller reports the failure.
[[noreturn]] void SilentError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void SilentWarning(png_structp, png_const_charp) {}

void NoFlush(png_structp) {}

// Kept apart from EncodePng so that nothing with a destructor lives across setjmp. `indexed`
// is null for an RGB picture.
bool WriteRows(png_structp png, png_infop info, const QImage& image, const Indexed* indexed,
               png_bytep rgbRow, QByteArray* out, const PngSettings& settings) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, AppendData, NoFlush);
    png_set_compression_level(png, settings.zlibLevel);
    png_set_compression_strategy(png, settings.strategy);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filter);
    const auto width = static_cast<png_uint_32>(image.width());
    const auto height = static_cast<png_uint_32>(image.height());
    if (indexed) {
        png_set_IHDR(png, info, width, height, PaletteBitDepth(indexed->palette.size()),
                     PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                     PNG_FILTER_TYPE_BASE);
        png_set_PLTE(png, info, indexed->palette.data(), static_cast<int>(indexed->palette.size()));
    } else {
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    }
    // The canvas's resolution (96 dpi), as the other formats write it.
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        png_set_pHYs(png, info, static_cast<png_uint_32>(image.dotsPerMeterX()),
                     static_cast<png_uint_32>(image.dotsPerMeterY()), PNG_RESOLUTION_METER);
    }
    png_write_info(png, info);
    if (indexed) {
        png_set_packing(png);  // one index per byte in, 1, 2 or 4 bits per pixel out
        const png_byte* row = indexed->pixels.data();
        for (png_uint_32 y = 0; y < height; ++y, row += width) {
            png_write_row(png, const_cast<png_bytep>(row));
        }
    } else {
        for (png_uint_32 y = 0; y < height; ++y) {
            ToRgb(image.constScanLine(static_cast<int>(y)), width, rgbRow);
            png_write_row(png, rgbRow);
        }
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

std::optional<QByteArray> EncodePng(const QImage& image, const PngSettings& settings) {
    if (image.isNull() ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)) {
        return std::nullopt;
    }
    Indexed indexed;
    const bool usePalette = settings.exactPalette && IndexExactly(image, indexed);
    std::vector<png_byte> rgbRow(usePalette ? 0 : static_cast<std::size_t>(image.width()) * 3 + 1);
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    if (!png) return std::nullopt;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return std::nullopt;
    }
    QByteArray out;
    out.reserve(static_cast<qsizetype>(image.width()) * image.height() / 8 + 1024);
    const bool ok =
        WriteRows(png, info, image, usePalette ? &indexed : nullptr, rgbRow.data(), &out, settings);
    png_destroy_write_struct(&png, &info);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace quorvex
