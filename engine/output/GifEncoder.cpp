#include "engine/output/GifEncoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
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

// Palette (0x00RRGGBB) and one index per pixel.
struct IndexedImage {
    std::vector<std::uint32_t> palette;
    std::vector<GifPixelType> pixels;
};

struct ColourCount {
    std::uint32_t colour;
    std::uint32_t count;
};

// Distinct colours in order of first appearance with their pixel counts. Runs of one
// colour (most of a diagram) cost one comparison per pixel.
std::vector<ColourCount> CountColours(const QImage& image) {
    std::vector<ColourCount> colours;
    std::unordered_map<std::uint32_t, std::size_t> slot;
    slot.reserve(4 * kMaxColours);
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        int x = 0;
        while (x < width) {
            const std::uint32_t c = row[x] & 0xFFFFFFu;
            int end = x + 1;
            while (end < width && (row[end] & 0xFFFFFFu) == c) ++end;
            const auto [it, added] = slot.try_emplace(c, colours.size());
            if (added) colours.push_back({c, 0});
            colours[it->second].count += static_cast<std::uint32_t>(end - x);
            x = end;
        }
    }
    return colours;
}

// At most 256 colours: all of them, exactly. More: the most frequent ones (a diagram is a
// few flat fills plus the shades of antialiased text), every other colour mapped to its
// nearest. Returns the palette index of every distinct colour.
std::unordered_map<std::uint32_t, GifPixelType> ChoosePalette(std::vector<ColourCount> colours,
                                                              std::vector<std::uint32_t>& palette) {
    std::unordered_map<std::uint32_t, GifPixelType> index;
    index.reserve(colours.size());
    if (colours.size() <= kMaxColours) {
        for (const auto& c : colours) {
            index.emplace(c.colour, static_cast<GifPixelType>(palette.size()));
            palette.push_back(c.colour);
        }
        return index;
    }
    std::sort(colours.begin(), colours.end(), [](const ColourCount& a, const ColourCount& b) {
        return a.count != b.count ? a.count > b.count : a.colour < b.colour;
    });
    // Channels apart, so the distance loop below vectorises.
    std::array<int, kMaxColours> red{}, green{}, blue{};
    for (std::size_t i = 0; i < kMaxColours; ++i) {
        const std::uint32_t c = colours[i].colour;
        palette.push_back(c);
        index.emplace(c, static_cast<GifPixelType>(i));
        red[i] = static_cast<int>((c >> 16) & 0xFF);
        green[i] = static_cast<int>((c >> 8) & 0xFF);
        blue[i] = static_cast<int>(c & 0xFF);
    }
    for (std::size_t k = kMaxColours; k < colours.size(); ++k) {
        const std::uint32_t c = colours[k].colour;
        const int r = static_cast<int>((c >> 16) & 0xFF);
        const int g = static_cast<int>((c >> 8) & 0xFF);
        const int b = static_cast<int>(c & 0xFF);
        // Distance (below 2^18) and index in one key: the smallest key is the nearest entry,
        // the first of equally near ones. A plain minimum, which vectorises.
        int best = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < kMaxColours; ++i) {
            const int d = (r - red[i]) * (r - red[i]) + (g - green[i]) * (g - green[i]) +
                          (b - blue[i]) * (b - blue[i]);
            best = std::min(best, (d << 8) | static_cast<int>(i));
        }
        index.emplace(c, static_cast<GifPixelType>(best & 0xFF));
    }
    return index;
}

IndexedImage IndexImage(const QImage& image) {
    IndexedImage out;
    const auto index = ChoosePalette(CountColours(image), out.palette);
    const int width = image.width();
    out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(image.height()));
    auto* dst = out.pixels.data();
    std::uint32_t last = 0xFFFFFFFFu;  // never a masked colour
    GifPixelType lastIndex = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = row[x] & 0xFFFFFFu;
            if (c != last) {
                last = c;
                lastIndex = index.at(c);
            }
            *dst++ = lastIndex;
        }
    }
    return out;
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
    const IndexedImage indexed = IndexImage(image);

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
