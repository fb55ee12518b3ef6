#pragma once
// Reading the ten item colours from the text of a colour file. Toolkit-free, shared by the
// window's colour-file button and the batch tool.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/StatementData.h"

namespace quorvex {

// Lines end with LF or CR LF; each of the first ten lines is read like atol (a line without
// digits gives 0, black) into the colour of its item. A text with fewer lines changes only
// the colours of the lines it has; values are used without a range check.
void ReadColourFileText(std::string_view text, std::array<Colour, kItemCount>& colours);

// What a line of a colour file may take (ample for a signed decimal colour), and so what
// the ten lines together may take with their line ends.
inline constexpr std::size_t kMaxColourLineBytes = 256;
inline constexpr std::size_t kMaxColourFileBytes = kItemCount * (kMaxColourLineBytes + 2);

// The text of the colour file at `path`, read at once and in full: nothing for anything but
// a regular file of at most kMaxColourFileBytes (a folder, a device such as /dev/zero, a
// FIFO, a larger file), which is never read further, nor waited for.
std::optional<std::string> ReadSmallColourFile(const std::string& path);

}  // namespace quorvex
