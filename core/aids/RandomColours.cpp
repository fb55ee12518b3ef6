#include "core/aids/RandomColours.h"

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

}  // namespace quorvex
