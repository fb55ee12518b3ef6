#include "core/model/ColourFile.h"

#include "core/model/NumberText.h"
#include "core/model/TextLines.h"

namespace quorvex {

void ReadColourFileText(std::string_view text, std::array<Colour, kItemCount>& colours) {
    // A text-mode read ends at Ctrl-Z.
    text = text.substr(0, text.find('\x1A'));
    int i = 0;
    for (const std::string_view line : TextLines(text)) {
        if (i == kItemCount) break;
        colours[std::size_t(i++)] = static_cast<Colour>(Atol(WithoutCr(line)));
    }
}

std::string ColourFileText(const std::array<Colour, kItemCount>& colours) {
    std::string text;
    for (const Colour c : colours) {
        // Signed, as the files have always held them: 0xFFFFFFFF is written as -1.
        text += std::to_string(static_cast<std::int32_t>(c));
        text += "\r\n";
    }
    return text;
}

}  // namespace quorvex
