#pragma once
// The fixed texts of the help panels and of the version window, kept as data under
// resources/. Toolkit-free.

#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

enum class HelpText { General, Batch, Indicators };

// The whole text, every line ended by CR LF (so it ends with CR LF CR LF).
std::string HelpTextOf(HelpText which);

// The version lines, oldest first.
std::vector<std::string_view> VersionLines();

// The version window's list: newest first, each line ended by CR LF.
std::string VersionHistoryText();

}  // namespace quorvex
