#pragma once
// The numbers of inline XBRL pages as XBRL writes them: the displayed text read with the
// fact's format (the transformation registry's number formats the filings use), moved by its
// scale and given its sign.

#include <string>
#include <string_view>

namespace quorvex {

// The format's local name, as "numdotdecimal" or "num-dot-decimal" (registries 2 to 5);
// empty for a fact without format. False when the text does not fit the format or the
// format is not one the filings use, so the fact is never guessed at.
bool InlineNumber(std::string_view text, std::string_view format, std::string_view scale,
                  bool negative, std::string& lexical);

}  // namespace quorvex
