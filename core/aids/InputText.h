#pragma once
// Text side of the paste buttons: a row copied from a spreadsheet (tab-separated) or typed
// with commas becomes the ten item fields. Toolkit-free.

#include <array>
#include <string>
#include <string_view>

#include "core/model/StatementData.h"

namespace quorvex {

// Replaces every tab by a comma, in place; returns how many were replaced. In UTF-8 a tab
// byte is never part of a longer character, so a byte walk is a character walk.
int TabsToCommas(std::string& text);

// The ten field texts a paste puts into one column: tabs read as commas, then field n of
// the text for n = 1..10. Missing fields are empty; nothing is trimmed, line breaks are
// ordinary characters, fields after the tenth are dropped.
std::array<std::string, kItemCount> PasteFields(std::string text);

}  // namespace quorvex
