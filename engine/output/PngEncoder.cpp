#include "engine/output/PngEncoder.h"

#include <libdeflate.h>

#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

#include <QSysInfo>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace quorvex {
namespace {

// libdeflate's levels against zlib level 3 (what libpng wrote before), on the batch run's
// diagrams with texts (bench/PngChoice.cpp). At 400 x 300 level 1 is 0.7 % smaller on
// average (a third of the files a little larger, none by more than 3 %) at 5.1 million
// instructions a picture against zlib's 9.2 (its Adler-32 alone took 1.3); level 2 saves 4 %
// more bytes for twice the instructions. Small pictures are mostly text, where level 1 is
// 14 % larger at 160 x 120 and level 6 is 1 % smaller; they cost little at any level.
constexpr int kFastLevel = 1;
constexpr int kSmallPictureLevel = 6;
constexpr std::size_t kSmallPictureRows = 320 * 1024;  // row bytes; 400 x 300 RGB has 360,300

int LevelFor(const PngSettings& settings, std::size_t rowBytes) {
    if (settings.level > 0) return settings.level;
    return rowBytes < kSmallPictureRows ? kSmallPictureLevel : kFastLevel;
}

// A buffer this large is given back after use rather than kept for the thread's next picture.
constexpr std::size_t kKeepBytes = std::size_t{8} << 20;

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// What each thread keeps between pictures: the compressor's tables and the row buffers are
// large, and allocating them anew for every picture faulted their pages in every time.
struct Scratch {
    std::array<std::unique_ptr<libdeflate_compressor, CompressorDeleter>, 13> compressors;
    std::vector<std::uint8_t> indices;  // one palette index per pixel
    std::vector<std::uint8_t> rows;     // the PNG's rows, each after its filter byte

    libdeflate_compressor* CompressorFor(int level) {
        if (level < 1 || level > 12) return nullptr;
        auto& c = compressors[static_cast<std::size_t>(level)];
        if (!c) c.reset(libdeflate_alloc_compressor(level));
        return c.get();
    }
    void Trim() {
        if (indices.capacity() > kKeepBytes) std::vector<std::uint8_t>().swap(indices);
        if (rows.capacity() > kKeepBytes) std::vector<std::uint8_t>().swap(rows);
    }
};

Scratch& ThreadScratch() {
    thread_local Scratch scratch;
    return scratch;
}

// Finds each colour's palette index: an open-addressing table of four times the palette's
// 256 entries. Runs of one colour (most of a diagram) cost one comparison per pixel.
class ColourTable {
  public:
    ColourTable() { colour_.fill(kEmpty); }

    // The index of `c` (0x00RRGGBB), added when new; -1 when it would be the 257th colour.
    int IndexOf(std::uint32_t c, std::vector<std::uint32_t>& palette) {
        if (c == last_) return lastIndex_;
        std::size_t slot = (c * 2654435761u) >> 22;  // top 10 bits
        while (colour_[slot] != c && colour_[slot] != kEmpty) slot = (slot + 1) & (kSlots - 1);
        if (colour_[slot] == kEmpty) {
            if (palette.size() == 256) return -1;
            colour_[slot] = c;
            index_[slot] = static_cast<std::uint8_t>(palette.size());
            palette.push_back(c);
        }
        last_ = c;
        lastIndex_ = index_[slot];
        return lastIndex_;
    }

  private:
    static constexpr std::size_t kSlots = 1024;           // a power of two
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // never a masked colour
    std::array<std::uint32_t, kSlots> colour_;
    std::array<std::uint8_t, kSlots> index_{};
    std::uint32_t last_ = kEmpty;
    int lastIndex_ = 0;
};

// True when every `step`th row alone already has more than 256 colours. A diagram with texts
// has hundreds of antialiased shades all over it, and the full search would otherwise run
// through most of the picture before its 257th colour turned up.
bool SampledRowsHaveTooManyColours(const QImage& image, int step) {
    ColourTable table;
    std::vector<std::uint32_t> palette;
    palette.reserve(256);
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; y += step) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (table.IndexOf(row[x] & 0xFFFFFFu, palette) < 0) return true;
        }
    }
    return false;
}

// The exact palette (0x00RRGGBB, in order of first appearance) and indices, or false when the
// picture has more than 256 colours.
bool IndexExactly(const QImage& image, std::vector<std::uint32_t>& palette,
                  std::vector<std::uint8_t>& indices) {
    if (SampledRowsHaveTooManyColours(image, 8)) return false;
    ColourTable table;
    const int width = image.width(), height = image.height();
    indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::uint8_t* dst = indices.data();
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const int index = table.IndexOf(row[x] & 0xFFFFFFu, palette);
            if (index < 0) return false;
            *dst++ = static_cast<std::uint8_t>(index);
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

std::size_t RowBytes(std::size_t width, int bitsPerPixel) {
    return (width * static_cast<std::size_t>(bitsPerPixel) + 7) / 8;
}

// Indices packed to `depth` bits, the first pixel in the highest bits, the last byte of a
// row padded with zeros.
void PackIndices(const std::uint8_t* indices, std::size_t width, std::size_t height, int depth,
                 std::uint8_t* rows) {
    const std::size_t rowBytes = RowBytes(width, depth);
    for (std::size_t y = 0; y < height; ++y, indices += width) {
        std::uint8_t* out = rows + y * (rowBytes + 1);
        *out++ = 0;  // filter: none
        if (depth == 8) {
            std::memcpy(out, indices, width);
            continue;
        }
        const int perByte = 8 / depth;
        std::memset(out, 0, rowBytes);
        for (std::size_t x = 0; x < width; ++x) {
            const int shift = 8 - depth * (1 + static_cast<int>(x % perByte));
            out[x / perByte] |= static_cast<std::uint8_t>(indices[x] << shift);
        }
    }
}

// One pixel (0xAARRGGBB) as the bytes R, G, B, 0 read as a little-endian word.
inline std::uint32_t RgbWord(std::uint32_t pixel) {
    return __builtin_bswap32(pixel << 8);
}

// One row of 32-bit pixels as R, G, B bytes. Four pixels become three words, so the loop
// stores whole words.
void ToRgbRow(const std::uint32_t* in, std::size_t width, std::uint8_t* out) {
    static_assert(QSysInfo::ByteOrder == QSysInfo::LittleEndian, "words are stored little-endian");
    std::size_t x = 0;
    for (; x + 4 <= width; x += 4, out += 12) {
        const std::uint32_t a = RgbWord(in[x]), b = RgbWord(in[x + 1]), c = RgbWord(in[x + 2]),
                            d = RgbWord(in[x + 3]);
        const std::uint32_t words[3] = {a | b << 24, b >> 8 | c << 16, c >> 16 | d << 8};
        std::memcpy(out, words, sizeof words);
    }
    for (; x < width; ++x, out += 3) {
        const std::uint32_t a = RgbWord(in[x]);
        std::memcpy(out, &a, 3);
    }
}

#if defined(__x86_64__)
// The same with one byte shuffle for four pixels (B, G, R, A in memory), where the processor
// has it: it was a sixth of the encoder's own time.
__attribute__((target("ssse3"))) void ToRgbRowShuffled(const std::uint32_t* in, std::size_t width,
                                                       std::uint8_t* out) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    std::size_t x = 0;
    // Each store writes 16 bytes of which 12 count: it stays inside the row while six pixels
    // are left.
    for (; x + 6 <= width; x += 4, out += 12) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(pixels, order));
    }
    ToRgbRow(in + x, width - x, out);
}
#endif

// The picture as rows of R, G, B bytes, each after its filter byte.
void ToRgbRows(const QImage& image, std::uint8_t* rows) {
    const auto width = static_cast<std::size_t>(image.width());
    auto* convert = &ToRgbRow;
#if defined(__x86_64__)
    if (__builtin_cpu_supports("ssse3")) convert = &ToRgbRowShuffled;
#endif
    for (int y = 0; y < image.height(); ++y, rows += 3 * width + 1) {
        rows[0] = 0;  // filter: none
        convert(reinterpret_cast<const std::uint32_t*>(image.constScanLine(y)), width, rows + 1);
    }
}

void PutBigEndian(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// A chunk whose `length` data bytes already stand at `at` + 8: its length, type and CRC
// (over type and data) around them.
void FrameChunk(std::uint8_t* at, const char (&type)[5], std::size_t length) {
    PutBigEndian(at, static_cast<std::uint32_t>(length));
    std::memcpy(at + 4, type, 4);
    PutBigEndian(at + 8 + length, libdeflate_crc32(0, at + 4, length + 4));
}

constexpr std::size_t kChunkFrame = 12;  // length, type, CRC
constexpr std::uint32_t kMaxChunkData = 0x7FFFFFFFu;
constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::optional<QByteArray> Encode(const QImage& image, const PngSettings& settings) {
    Scratch& scratch = ThreadScratch();
    const auto width = static_cast<std::size_t>(image.width());
    const auto height = static_cast<std::size_t>(image.height());
    std::vector<std::uint32_t> palette;
    const bool indexed = settings.exactPalette && IndexExactly(image, palette, scratch.indices);
    const int depth = indexed ? PaletteBitDepth(palette.size()) : 8;
    const std::size_t rowBytes = RowBytes(width, indexed ? depth : 24);
    scratch.rows.resize((rowBytes + 1) * height);
    if (indexed) {
        PackIndices(scratch.indices.data(), width, height, depth, scratch.rows.data());
    } else {
        ToRgbRows(image, scratch.rows.data());
    }
    const std::size_t rawBytes = (rowBytes + 1) * height;

    libdeflate_compressor* compressor = scratch.CompressorFor(LevelFor(settings, rawBytes));
    if (!compressor) return std::nullopt;
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor, rawBytes);
    const bool withPhys = image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0;
    const std::size_t fixed = kSignature.size() + (kChunkFrame + 13) +
                              (indexed ? kChunkFrame + 3 * palette.size() : 0) +
                              (withPhys ? kChunkFrame + 9 : 0) + kChunkFrame + kChunkFrame;
    QByteArray out;
    out.resize(static_cast<qsizetype>(fixed + bound));
    auto* at = reinterpret_cast<std::uint8_t*>(out.data());
    std::memcpy(at, kSignature.data(), kSignature.size());
    at += kSignature.size();

    PutBigEndian(at + 8, static_cast<std::uint32_t>(width));
    PutBigEndian(at + 12, static_cast<std::uint32_t>(height));
    at[16] = static_cast<std::uint8_t>(depth);
    at[17] = indexed ? 3 : 2;  // palette, RGB
    at[18] = at[19] = at[20] =
        0;  // deflate, adaptive filtering (each row says which), no interlace
    FrameChunk(at, "IHDR", 13);
    at += kChunkFrame + 13;

    if (indexed) {
        std::uint8_t* entry = at + 8;
        for (const std::uint32_t c : palette) {
            *entry++ = static_cast<std::uint8_t>(c >> 16);
            *entry++ = static_cast<std::uint8_t>(c >> 8);
            *entry++ = static_cast<std::uint8_t>(c);
        }
        FrameChunk(at, "PLTE", 3 * palette.size());
        at += kChunkFrame + 3 * palette.size();
    }
    // The canvas's resolution (96 dpi), as the other formats write it.
    if (withPhys) {
        PutBigEndian(at + 8, static_cast<std::uint32_t>(image.dotsPerMeterX()));
        PutBigEndian(at + 12, static_cast<std::uint32_t>(image.dotsPerMeterY()));
        at[16] = 1;  // per metre
        FrameChunk(at, "pHYs", 9);
        at += kChunkFrame + 9;
    }
    const std::size_t deflated =
        libdeflate_zlib_compress(compressor, scratch.rows.data(), rawBytes, at + 8, bound);
    scratch.Trim();
    if (deflated == 0 || deflated > kMaxChunkData) return std::nullopt;
    FrameChunk(at, "IDAT", deflated);
    at += kChunkFrame + deflated;
    FrameChunk(at, "IEND", 0);
    at += kChunkFrame;
    out.resize(static_cast<qsizetype>(at - reinterpret_cast<std::uint8_t*>(out.data())));
    out.squeeze();  // the bound's spare room would otherwise wait with the file in the writer
    return out;
}

}  // namespace

std::optional<QByteArray> EncodePng(const QImage& image, const PngSettings& settings) {
    if (image.isNull() ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)) {
        return std::nullopt;
    }
    try {
        return Encode(image, settings);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace quorvex
