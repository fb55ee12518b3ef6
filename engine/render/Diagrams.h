#pragma once
// The balance-sheet and profit-and-loss ratio diagrams, and the block, border, text and
// font rules they share. The surface overloads hold all the logic; the DiagramBitmap
// overloads run it on the QPainter back end.

#include <functional>
#include <string_view>

#include "core/model/StatementData.h"
#include "engine/render/BlockGeometry.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/DiagramSurface.h"

namespace quorvex {

// The face the diagrams ask for; the back end substitutes an installed Japanese font.
inline constexpr std::string_view kDiagramFace = "MS UI Gothic";

// a * b / c rounded to the nearest integer (halves away from zero), saturated; -1 when c is 0.
int MulDiv(int a, int b, int c);
// Character height in pixels of a font of the given points: points * dpi / 72 rounded, with
// points below 2 taken as 2. At 96 dpi: 5 -> 7, 10 -> 13, 50 -> 67.
int DiagramFontPixelSize(int points, int dotsPerInch);
// Selects the diagram font (the given face, or kDiagramFace when empty) into the surface and
// returns the font it replaced.
FontRequest CreateDiagramFont(std::string_view face, int points, bool bold,
                              DiagramSurface& surface);

// The border colour of a block colour: black gives gray 0x808080, otherwise each of red,
// green and blue is lowered by 0x60 (not below 0). Example: 0x00FFC080 -> 0x009F6020.
Colour BorderColour(Colour colour);
// The "no colour" value; its blocks get a 0x808080 border.
inline constexpr Colour kNoColour = 0xFFFFFFFF;

// A block in its colour: line width 0 fills it exactly; otherwise it gets a border of that
// width in BorderColour, centred on its edges.
void DrawBlock(DiagramSurface& surface, const PixelRect& rect, Colour colour, int lineWidth);

// The name and/or "(" + ratio + "%)" of block index 0..4, placed by DrawName, DrawRitu and
// DrawUnder. An empty ratio text is never shown.
void DrawBlockText(DiagramSurface& surface, std::string_view name, std::string_view ratio,
                   int blockIndex, const PixelRect& rect, const DiagramOptions& options);

// The red financial centre line (width lineWidth + 3) from the left edge along the asset
// boundary ca to the column boundary W / 2, down or up to the top (mode 1) or the bottom
// (any other mode) of the fixed-liabilities block, and on to the right edge.
void DrawCentreLine(DiagramSurface& surface, int width, int ca, int cl, int fl, int mode,
                    int lineWidth);

// The break-even line of the period on the profit and loss diagram of geometry g: grey
// dashes across the sales block and the text "損益分岐点 xx.x%" beside them; nothing when
// the break-even sales cannot be computed. DrawPlDiagram draws it when options.BreakEven.
void DrawBreakEvenLine(DiagramSurface& surface, const PlGeometry& g, int height,
                       const StatementData& data);

// The two diagrams at width x height. They cover every pixel. Ratios come from
// data.ratios, names and colours from data.items (0..4 and 5..9).
bool DrawBsDiagram(DiagramSurface& surface, int width, int height, const StatementData& data,
                   const DiagramOptions& options);
bool DrawPlDiagram(DiagramSurface& surface, int width, int height, const StatementData& data,
                   const DiagramOptions& options);

// The same into a prepared bitmap, at its size. False for a null bitmap. They leave the
// upper halves of the vector registers clear (on x86-64 with AVX), so SSE code that runs
// next on the thread, such as an encoder, pays no transition penalty.
bool DrawBsDiagram(DiagramBitmap& bitmap, const StatementData& data, const DiagramOptions& options);
// Runs draw(surface, width, height) on the QPainter back end of a prepared bitmap, the same
// way. False for a null bitmap or when draw returns false.
bool DrawOnBitmap(DiagramBitmap& bitmap,
                  const std::function<bool(DiagramSurface&, int, int)>& draw);
bool DrawPlDiagram(DiagramBitmap& bitmap, const StatementData& data, const DiagramOptions& options);

}  // namespace quorvex
