// The colour-file reader on any text: a text of fewer than ten lines leaves the colours past
// them as they were, and what the program writes it reads back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/aids/ColourFile.h"
#include "core/model/ColourFile.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr quorvex::Colour kUntouched = 0xA5A5A5A5u;
    std::array<quorvex::Colour, quorvex::kItemCount> colours;
    colours.fill(kUntouched);
    quorvex::ReadColourFileText(text, colours);

    // Lines before Ctrl-Z each set one colour; the colours past them stay as they were.
    const std::string_view body = text.substr(0, text.find('\x1A'));
    std::size_t lines = body.empty() ? 0 : 1;
    for (std::size_t lf = body.find('\n'); lf != std::string_view::npos && lf + 1 < body.size();
         lf = body.find('\n', lf + 1)) {
        ++lines;
    }
    for (std::size_t i = lines; i < colours.size(); ++i) FUZZ_CHECK(colours[i] == kUntouched);

    // Round trip of what the program writes.
    std::array<quorvex::Colour, quorvex::kItemCount> back;
    back.fill(0);
    quorvex::ReadColourFileText(quorvex::ColourFileText(colours), back);
    FUZZ_CHECK(back == colours);
    return 0;
}
