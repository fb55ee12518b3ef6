#include "core/aids/ColourFile.h"

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

}  // namespace quorvex
