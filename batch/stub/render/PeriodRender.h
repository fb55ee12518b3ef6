#pragma once
// TEMPORARY stand-in until the renderer lands.
#include "model/StatementData.h"
#include "render/DiagramBitmap.h"
namespace quorvex {
bool RenderPeriodDiagrams(const StatementData& data, const DiagramOptions& options, int width,
                          int height, DiagramBitmap& bs, DiagramBitmap& pl);
}
