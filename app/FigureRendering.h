#pragma once
// The window's bridge to the diagram renderer: one statement's diagram at a given size,
// and the small centre-line pictures of the image buttons.

#include <QImage>

#include "model/StatementData.h"

namespace quorvex {

// Renders the diagram of one statement at w x h into image (RGB32). False when it cannot
// be made or drawn; image is then left empty.
bool RenderStatementDiagram(Statement which, QImage& image, int w, int h, const StatementData& data,
                            const DiagramOptions& options);

// Picture of a balance sheet with the given centre-line mode, for the three image buttons.
QImage CentreLinePicture(int centreLineMode, int w, int h);

}  // namespace quorvex
