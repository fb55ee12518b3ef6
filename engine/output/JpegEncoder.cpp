#include "engine/output/JpegEncoder.h"

#include <turbojpeg.h>

#include <QSysInfo>
#include <memory>

namespace quorvex {
namespace {

constexpr int kQuality = 100;
constexpr int kDotsPerInch = 96;

struct HandleDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleDeleter>;

// One compressor per thread, made on first use: setting one up costs about as much as
// encoding a small picture.
tjhandle ThreadCompressor() {
    thread_local Handle handle(tjInitCompress());
    return handle.get();
}

// TurboJPEG writes the JFIF header with an aspect ratio only (unit 0, 1:1); the files say
// 96 dots per inch, as every other format does. APP0 comes right after SOI.
bool SetJfifDensity(unsigned char* data, unsigned long size) {
    constexpr unsigned char kApp0[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
    if (size < sizeof kApp0 + 7) return false;
    for (std::size_t i = 0; i < sizeof kApp0; ++i) {
        if (data[i] != kApp0[i]) return false;
    }
    unsigned char* density = data + sizeof kApp0 + 2;  // after the version
    density[0] = 1;                                    // dots per inch
    density[1] = 0;
    density[2] = kDotsPerInch;
    density[3] = 0;
    density[4] = kDotsPerInch;
    return true;
}

}  // namespace

std::optional<QByteArray> EncodeJpeg(const QImage& image) {
    if (image.isNull() ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)) {
        return std::nullopt;
    }
    tjhandle compressor = ThreadCompressor();
    if (!compressor) return std::nullopt;
    // A buffer TurboJPEG allocates and grows itself; freed below whatever happens.
    unsigned char* data = nullptr;
    unsigned long size = 0;
    // A 32-bit pixel 0xAARRGGBB in memory order.
    constexpr int kPixelFormat =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
    const int failed = tjCompress2(
        compressor, image.constBits(), image.width(), static_cast<int>(image.bytesPerLine()),
        image.height(), kPixelFormat, &data, &size, TJSAMP_420, kQuality, TJFLAG_ACCURATEDCT);
    const std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(data, tjFree);
    if (failed || !data || !SetJfifDensity(data, size)) return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

}  // namespace quorvex
