#pragma once
// Both diagrams of one period rendered off screen at a given size, as the batch run needs
// them, and the miniature balance sheet shown on the window's centre-line buttons.
// Thread-compatible: no shared mutable state; different bitmaps may be rendered on
// different threads.

#include <QImage>

#include "core/model/StatementData.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

// Prepares both bitmaps at width x height and draws the balance sheet into bs and profit and
// loss into pl, stopping at the first failure. True only when all four steps succeeded.
// On a shared scale each diagram stands at the bottom of its bitmap, white above.
bool RenderPeriodDiagrams(const StatementData& data, const DiagramOptions& options, int width,
                          int height, DiagramBitmap& bs, DiagramBitmap& pl,
                          const DiagramScale& scale = {});
// Prepares `bitmap` at width x height and draws the diagram of `kind` into it, as
// RenderPeriodDiagrams draws that one.
bool RenderPeriodDiagram(const StatementData& data, const DiagramOptions& options, int width,
                         int height, DiagramKind kind, DiagramBitmap& bitmap,
                         const DiagramScale& scale = {});
// One diagram into a prepared bitmap at its size, on the given scale (the ratio mode draws
// exactly as DrawBsDiagram / DrawPlDiagram).
bool DrawScaledDiagram(DiagramBitmap& bitmap, DiagramKind kind, const StatementData& data,
                       const DiagramOptions& options, const DiagramScale& scale);

// A miniature balance-sheet diagram (default colours, thin borders, no texts) showing the
// centre line of the given CentreLineMode. A null image when the size is not positive.
QImage DrawCentreLinePreview(int centreLineMode, int width, int height);

}  // namespace quorvex
