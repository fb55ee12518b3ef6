#pragma once
// The colour file: the ten item colours as signed decimal values, one per line. Toolkit-free,
// shared by the window's colour-file buttons and the batch tool.

#include <array>
#include <string>
#include <string_view>

#include "core/model/StatementData.h"

namespace quorvex {

// Lines end with LF or CR LF; each of the first ten lines is read like atol (a line without
// digits gives 0, black) into the colour of its item. A text with fewer lines changes only
// the colours of the lines it has; values are used without a range check.
void ReadColourFileText(std::string_view text, std::array<Colour, kItemCount>& colours);

// The file as written: every colour as a signed 32-bit decimal, CR LF after each line.
std::string ColourFileText(const std::array<Colour, kItemCount>& colours);

}  // namespace quorvex
