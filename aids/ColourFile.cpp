#include "aids/ColourFile.h"

#include "model/NumberText.h"

namespace quorvex {

RandGenerator& ProgramRand() {
    static RandGenerator rand;
    return rand;
}

Colour RandomItemColour(RandGenerator& rand) {
    int r = (31 - rand.Next() % 8) * 8;
    int g = (31 - rand.Next() % 8) * 8;
    int b = (31 - rand.Next() % 8) * 8;
    switch (rand.Next() % 3) {
        case 0:
            r = 255;
            break;
        case 1:
            g = 255;
            break;
        default:
            b = 255;
            break;
    }
    return MakeColour(r, g, b);
}

Colour RandomItemColour() {
    return RandomItemColour(ProgramRand());
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

std::vector<Colour> ReadColourFileText(std::string_view text) {
    std::vector<Colour> colours;
    while (!text.empty() && colours.size() < kItemCount) {
        const std::size_t eol = text.find('\n');
        // atol stops at the CR of a CR LF line end, so the line may keep it.
        colours.push_back(static_cast<Colour>(Atol(text.substr(0, eol))));
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    }
    return colours;
}

}  // namespace quorvex
