#pragma once
// Item colours without a toolkit: the program's own random sequence for light colours, and
// the colour file (ten signed decimal values, one per line) as written. Reading it is
// ReadColourFileText (model/ColourFile.h), shared with the batch tool.

#include <array>
#include <cstdint>
#include <string>

#include "core/model/ColourFile.h"
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

// The file as written: every colour as a signed 32-bit decimal, CR LF after each line.
std::string ColourFileText(const std::array<Colour, kItemCount>& colours);

}  // namespace quorvex
