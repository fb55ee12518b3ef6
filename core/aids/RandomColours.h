#pragma once
// The random-colour button's light colours: the program's own random sequence, the same in
// every run.

#include <cstdint>

#include "core/model/StatementData.h"

namespace quorvex {

// Linear congruential generator with the classic C library constants, so the random
// colours follow the same sequence in every run: state starts at 1, results 0..32767.
class RandGenerator final {
  public:
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

  private:
    std::uint32_t state_ = 1;
};

// The one generator of the process; nothing but the random-colour button draws from it.
RandGenerator& ProgramRand();

// Each channel one of 192, 200, ..., 248, then one channel chosen at random set to 255:
// always a light colour.
Colour RandomItemColour(RandGenerator& rand);
Colour RandomItemColour();

}  // namespace quorvex
