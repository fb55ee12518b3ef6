#include "engine/output/PngEncoder.h"

#include <png.h>

#include <csetjmp>
#include <new>

namespace quorvex {
namespace {

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

// Kept apart from EncodePng so that nothing with a destructor lives across setjmp.
bool WriteRows(png_structp png, png_infop info, const QImage& image, QByteArray* out,
               const PngSettings& settings) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, AppendData, NoFlush);
    png_set_compression_level(png, settings.zlibLevel);
    png_set_compression_strategy(png, settings.strategy);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filter);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    // The canvas's resolution (96 dpi), as the other formats write it.
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        png_set_pHYs(png, info, static_cast<png_uint_32>(image.dotsPerMeterX()),
                     static_cast<png_uint_32>(image.dotsPerMeterY()), PNG_RESOLUTION_METER);
    }
    png_write_info(png, info);
    // The 32-bit pixels are B, G, R, A in memory: let libpng reorder and drop the fourth.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < image.height(); ++y) {
        png_write_row(png, const_cast<png_bytep>(image.constScanLine(y)));
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
    const bool ok = WriteRows(png, info, image, &out, settings);
    png_destroy_write_struct(&png, &info);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace quorvex
