#pragma once
// The four colour buttons of the item input area: defaults, random light colours, and
// colour files to keep several schemes.

#include "core/aids/RandomColours.h"
#include "core/model/ColourFile.h"
#include "gui/aids/AidsHost.h"

namespace quorvex {

// Default colours after a question, then a repaint.
void OnDefaultColours(AidsHost& host);
// A random light colour for every item, then a repaint.
void OnRandomColours(AidsHost& host);
// Writes the ten colours into a colour file the user names. The file is replaced only
// when written completely; a failed write is reported and no success question follows.
void OnSaveColours(AidsHost& host);
// Reads up to ten colours from a colour file the user chooses, then a repaint.
void OnLoadColours(AidsHost& host);

}  // namespace quorvex
