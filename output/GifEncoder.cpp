#include "output/GifEncoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace quorvex {
namespace {

constexpr std::size_t kMaxColours = 256;

int AppendData(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    return length;
}

int DistanceSquared(std::uint32_t a, std::uint32_t b) {
    const int dr = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
    const int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
    const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

// Palette (0x00RRGGBB) and one index per pixel.
struct IndexedImage {
    std::vector<std::uint32_t> palette;
    std::vector<GifPixelType> pixels;
};

// Exact palette in order of first appearance; false once a 257th colour turns up.
bool IndexExactly(const QImage& image, IndexedImage& out) {
    std::unordered_map<std::uint32_t, GifPixelType> lookup;
    lookup.reserve(2 * kMaxColours);
    std::uint32_t last = 0xFFFFFFFFu;  // never a masked colour
    GifPixelType lastIndex = 0;
    auto* dst = out.pixels.data();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t c = row[x] & 0xFFFFFFu;
            if (c != last) {
                auto it = lookup.find(c);
                if (it == lookup.end()) {
                    if (out.palette.size() == kMaxColours) return false;
                    const auto index = static_cast<GifPixelType>(out.palette.size());
                    out.palette.push_back(c);
                    it = lookup.emplace(c, index).first;
                }
                last = c;
                lastIndex = it->second;
            }
            *dst++ = lastIndex;
        }
    }
    return true;
}

// More than 256 colours: keep the most frequent ones (diagrams are a few flat fills plus
// the shades of antialiased text) and map every other colour to its nearest.
void IndexByFrequency(const QImage& image, IndexedImage& out) {
    std::unordered_map<std::uint32_t, std::uint32_t> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) ++counts[row[x] & 0xFFFFFFu];
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> byCount(counts.begin(), counts.end());
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    out.palette.clear();
    for (std::size_t i = 0; i < kMaxColours && i < byCount.size(); ++i) {
        out.palette.push_back(byCount[i].first);
    }
    std::unordered_map<std::uint32_t, GifPixelType> nearest;
    nearest.reserve(counts.size());
    for (const auto& [colour, count] : byCount) {
        (void)count;
        int best = 0;
        int bestDistance = DistanceSquared(colour, out.palette[0]);
        for (std::size_t i = 1; i < out.palette.size() && bestDistance != 0; ++i) {
            const int d = DistanceSquared(colour, out.palette[i]);
            if (d < bestDistance) {
                best = static_cast<int>(i);
                bestDistance = d;
            }
        }
        nearest.emplace(colour, static_cast<GifPixelType>(best));
    }
    auto* dst = out.pixels.data();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) *dst++ = nearest.at(row[x] & 0xFFFFFFu);
    }
}

bool WriteGif(GifFileType* gif, const IndexedImage& indexed, int width, int height) {
    int bits = 1;
    while ((std::size_t{1} << bits) < indexed.palette.size()) ++bits;
    std::vector<GifColorType> colours(std::size_t{1} << bits, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < indexed.palette.size(); ++i) {
        const std::uint32_t c = indexed.palette[i];
        colours[i] = GifColorType{static_cast<GifByteType>((c >> 16) & 0xFF),
                                  static_cast<GifByteType>((c >> 8) & 0xFF),
                                  static_cast<GifByteType>(c & 0xFF)};
    }
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    if (!map) return false;
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y) {
        auto* row = const_cast<GifPixelType*>(indexed.pixels.data()) +
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        ok = EGifPutLine(gif, row, width) == GIF_OK;
    }
    GifFreeMapObject(map);
    return ok;
}

}  // namespace

std::optional<QByteArray> EncodeGif(const QImage& image) {
    if (image.isNull() ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) ||
        image.width() > 65535 || image.height() > 65535) {
        return std::nullopt;
    }
    IndexedImage indexed;
    indexed.pixels.resize(static_cast<std::size_t>(image.width()) *
                          static_cast<std::size_t>(image.height()));
    if (!IndexExactly(image, indexed)) IndexByFrequency(image, indexed);

    QByteArray out;
    out.reserve(static_cast<qsizetype>(indexed.pixels.size() / 8 + 1024));
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendData, &error);
    if (!gif) return std::nullopt;
    const bool written = WriteGif(gif, indexed, image.width(), image.height());
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    if (!written || !closed) return std::nullopt;
    return out;
}

}  // namespace quorvex
