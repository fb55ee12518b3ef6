#include "core/model/ColourFile.h"

#include "core/model/NumberText.h"

namespace quorvex {

void ReadColourFileText(std::string_view text, std::array<Colour, kItemCount>& colours) {
    // A text-mode read ends at Ctrl-Z.
    text = text.substr(0, text.find('\x1A'));
    for (int i = 0; i < kItemCount && !text.empty(); ++i) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        if (eol != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        colours[i] = static_cast<Colour>(Atol(line));
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    }
}

}  // namespace quorvex
