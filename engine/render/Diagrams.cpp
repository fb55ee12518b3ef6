#include "engine/render/Diagrams.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/model/Indicators.h"
#include "core/model/NumberText.h"
#include "engine/render/PainterSurface.h"

namespace quorvex {

namespace {

constexpr Colour kGray = 0x00808080;
constexpr Colour kCentreLineRed = 0x000000FF;
// Dark grey dashes stay readable on every item colour, light or dark.
constexpr Colour kBreakEvenGrey = 0x00404040;
constexpr int kBreakEvenDash = 8;
constexpr int kBreakEvenGap = 4;

// Line widths come from settings; far beyond any sensible value they are capped so that
// width arithmetic cannot overflow.
constexpr int kMaxLineWidth = 1 << 16;

int SaneLineWidth(int lineWidth) {
    return std::clamp(lineWidth, 0, kMaxLineWidth);
}

// QPainter's raster code leaves the upper halves of the vector registers in use, and every
// SSE instruction run afterwards on this thread then pays a transition penalty: zlib's
// deflate in the PNG encoder, for one, runs at about half speed after a drawing. Cleared
// once a diagram is drawn, so the window's output and the batch run both start clean.
void ClearUpperVectorState() {
#if defined(__x86_64__)
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) __asm__ volatile("vzeroupper" ::: "memory");
#endif
}

}  // namespace

bool DrawOnBitmap(DiagramBitmap& bitmap,
                  const std::function<bool(DiagramSurface&, int, int)>& draw) {
    if (bitmap.isNull()) return false;
    bool ok = false;
    {
        PainterSurface surface(bitmap.image());
        ok = surface.isActive() && draw(surface, bitmap.width(), bitmap.height());
    }  // the painter ends here: its last drawing is done
    ClearUpperVectorState();
    return ok;
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = std::int64_t{a} * b;
    const std::int64_t half = (c > 0 ? c : -std::int64_t{c}) / 2;
    // Round half away from zero, as the platform call does.
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (product < 0 ? -product : product) + half;
    const std::int64_t quotient = magnitude / (c > 0 ? c : -std::int64_t{c});
    return SaturateToInt32(negative ? -quotient : quotient);
}

int DiagramFontPixelSize(int points, int dotsPerInch) {
    return MulDiv(std::max(points, 2), dotsPerInch, 72);
}

FontRequest CreateDiagramFont(std::string_view face, int points, bool bold,
                              DiagramSurface& surface) {
    FontRequest font;
    font.face = std::string(face.empty() ? kDiagramFace : face);
    font.pixelSize = DiagramFontPixelSize(points, surface.DotsPerInchY());
    font.weight = bold ? 700 : 400;
    return surface.SelectFont(font);
}

Colour BorderColour(Colour colour) {
    if (colour == 0) return kGray;
    const auto lower = [](int byte) { return static_cast<Colour>(std::max(byte - 0x60, 0)); };
    return lower(RedOf(colour)) | (lower(GreenOf(colour)) << 8) | (lower(BlueOf(colour)) << 16);
}

void DrawBlock(DiagramSurface& surface, const PixelRect& rect, Colour colour, int lineWidth) {
    lineWidth = SaneLineWidth(lineWidth);
    if (lineWidth == 0) {
        surface.Fill(rect, colour);
        return;
    }
    const Colour pen = colour == kNoColour ? kGray : BorderColour(colour);
    surface.Rectangle(rect, pen, lineWidth, colour);
}

void DrawBlockText(DiagramSurface& surface, std::string_view name, std::string_view ratio,
                   int blockIndex, const PixelRect& rect, const DiagramOptions& options) {
    if (options.DrawName == 0 && options.DrawRitu == 0) return;
    const bool showRatio = options.DrawRitu != 0 && !ratio.empty();
    std::string wrapped;
    if (showRatio) {
        // Appended piece by piece: GCC 12 warns falsely about operator+ chains at -O3.
        wrapped.reserve(ratio.size() + 3);
        wrapped.append("(").append(ratio).append("%)");
    }

    std::string text;
    bool twoLines = false;
    if (options.DrawName != 0) {
        text = name;
        if (showRatio) {
            twoLines = options.DrawUnder != 0;
            if (twoLines) text += '\n';
            text += wrapped;
        }
    } else {
        text = wrapped;
    }
    if (text.empty()) return;

    int halfWidth = 0;
    int halfHeight = 0;
    if (twoLines) {
        const TextSize first = surface.MeasureText(name);
        const TextSize second = surface.MeasureText(wrapped);
        halfWidth = std::max(first.width, second.width) / 2;
        halfHeight = first.height;  // half the height of two lines
    } else {
        const TextSize size = surface.MeasureText(text);
        halfWidth = size.width / 2;
        halfHeight = size.height / 2;
    }
    surface.DrawText(text, BlockTextRect(BlockTextArea(blockIndex, rect), halfWidth, halfHeight));
}

void DrawCentreLine(DiagramSurface& surface, int width, int ca, int cl, int fl, int mode,
                    int lineWidth) {
    const std::int32_t half = width / 2;
    const std::int32_t y = mode == kCentreLineUpper ? cl : SaturatingAdd(cl, fl);
    const std::array<DiagramPoint, 4> points = {{{0, ca}, {half, ca}, {half, y}, {width, y}}};
    surface.Polyline(points, kCentreLineRed, SaneLineWidth(lineWidth) + 3);
}

bool DrawBsDiagram(DiagramSurface& surface, int width, int height, const StatementData& data,
                   const DiagramOptions& options) {
    const FontRequest previous = CreateDiagramFont(kDiagramFace, options.FontSize, false, surface);
    const BsGeometry g = ComputeBsGeometry(width, height, data.ratios);
    for (int i = 0; i < 5; ++i) {
        DrawBlock(surface, g.blocks[i], data.items[kBsFirst + i].colour, options.Futosa);
    }
    if (options.CenterLine > 0 && std::int64_t{g.ca} + g.cl + g.fl != 0) {
        DrawCentreLine(surface, width, g.ca, g.cl, g.fl, options.CenterLine, options.Futosa);
    }
    for (int i = 0; i < 5; ++i) {
        DrawBlockText(surface, data.items[kBsFirst + i].name,
                      FormatRatio(data.ratios[kBsFirst + i], options.Shosu), i, g.blocks[i],
                      options);
    }
    surface.SelectFont(previous);
    return true;
}

void DrawBreakEvenLine(DiagramSurface& surface, const PlGeometry& g, int height,
                       const StatementData& data) {
    const IndicatorValues values = ComputeIndicators(data);
    const BreakEvenLine line = ComputeBreakEvenLine(g, height, values[kBreakEvenRatio]);
    if (!line.drawn) return;
    for (const PixelRect& dash : BreakEvenDashes(line.band, kBreakEvenDash, kBreakEvenGap)) {
        surface.Fill(dash, kBreakEvenGrey);
    }
    const std::string text = BreakEvenText(*values[kBreakEvenRatio]);
    const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    const int lineHeight = surface.MeasureText(text.substr(0, text.find('\n'))).height;
    surface.DrawText(text, BreakEvenTextRect(line, height, lines * lineHeight));
}

bool DrawPlDiagram(DiagramSurface& surface, int width, int height, const StatementData& data,
                   const DiagramOptions& options) {
    const FontRequest previous = CreateDiagramFont(kDiagramFace, options.FontSize, false, surface);
    const PlGeometry g = ComputePlGeometry(width, height, data.ratios);
    for (int i = 0; i < 5; ++i) {
        DrawBlock(surface, g.blocks[i], data.items[kPlFirst + i].colour, options.Futosa);
    }
    for (int i = 0; i < 5; ++i) {
        // Sales never shows a ratio.
        const std::string ratio =
            i == 0 ? std::string() : FormatRatio(data.ratios[kPlFirst + i], options.Shosu);
        DrawBlockText(surface, data.items[kPlFirst + i].name, ratio, i, g.blocks[i], options);
    }
    if (options.BreakEven == 1) DrawBreakEvenLine(surface, g, height, data);
    surface.SelectFont(previous);
    return true;
}

bool DrawBsDiagram(DiagramBitmap& bitmap, const StatementData& data,
                   const DiagramOptions& options) {
    return DrawOnBitmap(bitmap, [&](DiagramSurface& surface, int width, int height) {
        return DrawBsDiagram(surface, width, height, data, options);
    });
}

bool DrawPlDiagram(DiagramBitmap& bitmap, const StatementData& data,
                   const DiagramOptions& options) {
    return DrawOnBitmap(bitmap, [&](DiagramSurface& surface, int width, int height) {
        return DrawPlDiagram(surface, width, height, data, options);
    });
}

}  // namespace quorvex
