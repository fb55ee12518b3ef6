#pragma once
// The help panel (control 103): a read-only text that takes the place of the diagrams.
// Both help buttons share one shown/hidden state, so a click on either one while a text is
// shown brings the diagrams back.

#include "core/aids/HelpTexts.h"
#include "gui/aids/AidsHost.h"
#include "gui/widgets/ControlIds.h"

namespace quorvex {

// Shows the chosen text over the figure area, or hides the panel when a text is shown.
void ToggleHelpPanel(AidsHost& host, HelpText which);

// Keeps a shown panel over the figure area; the window calls it after each layout.
void PlaceHelpPanel(AidsHost& host);

}  // namespace quorvex
