#pragma once
// The drawing and output options in one table: the settings key, the range the window's
// controls and the batch tool's arguments accept, and what loading does with a stored
// value outside it. The settings store, the window and the tool all read it from here.
// A value's default is the record's own initial value (DiagramOptions{}, OutputOptions{}).

#include <array>
#include <string_view>

#include "core/model/StatementData.h"

namespace quorvex {

enum class StoredRule {
    Clamp,         // brought into low..high
    OneOnly,       // 1 stays 1, anything else is 0
    NonZeroIsOne,  // 0 stays 0, anything else is 1
    Kept,          // held exactly as read, even outside low..high
};

struct OptionEntry {
    std::string_view key;  // settings key, also the record field's name
    int low = 0;
    int high = 0;
    StoredRule rule = StoredRule::Kept;
    // Exactly one of the two points at the value.
    int DiagramOptions::*diagram = nullptr;
    int OutputOptions::*output = nullptr;
};

// In the order the settings store writes them.
inline constexpr std::array<OptionEntry, 14> kOptionTable = {{
    {"Shosu", 0, 5, StoredRule::Clamp, &DiagramOptions::Shosu, nullptr},
    {"FontSize", 5, 50, StoredRule::Clamp, &DiagramOptions::FontSize, nullptr},
    {"Futosa", 0, 20, StoredRule::Clamp, &DiagramOptions::Futosa, nullptr},
    {"Yohaku", 0, 50, StoredRule::Clamp, &DiagramOptions::Yohaku, nullptr},
    {"CenterLine", kCentreLineNone, kCentreLineLower, StoredRule::Kept, &DiagramOptions::CenterLine,
     nullptr},
    {"OutType", kOutTypeBs, kOutTypePl, StoredRule::Kept, nullptr, &OutputOptions::OutType},
    {"OutSaki", kOutJpeg, kOutClipboard, StoredRule::Kept, nullptr, &OutputOptions::OutSaki},
    {"Separate", kSeparateNone, kSeparateComma, StoredRule::Clamp, nullptr,
     &OutputOptions::Separate},
    {"DrawName", 0, 1, StoredRule::OneOnly, &DiagramOptions::DrawName, nullptr},
    {"DrawRitu", 0, 1, StoredRule::OneOnly, &DiagramOptions::DrawRitu, nullptr},
    {"DrawUnder", 0, 1, StoredRule::NonZeroIsOne, &DiagramOptions::DrawUnder, nullptr},
    // 比例縮尺; files written before it existed lack it and load it as off.
    {"HireiShukushaku", 0, 1, StoredRule::OneOnly, &DiagramOptions::HireiShukushaku, nullptr},
    // 損益分岐点 and 一括作成時に指標も出力; older files lack them and load them as off.
    {"BreakEven", 0, 1, StoredRule::OneOnly, &DiagramOptions::BreakEven, nullptr},
    {"BatchIndicators", 0, 1, StoredRule::OneOnly, nullptr, &OutputOptions::BatchIndicators},
}};

// The row of key, found while compiling: a key not in the table does not compile.
consteval const OptionEntry& Option(std::string_view key) {
    for (const OptionEntry& entry : kOptionTable) {
        if (entry.key == key) return entry;
    }
    throw "unknown option key";
}

// The field an entry names in the two records.
int& OptionValue(const OptionEntry& entry, DiagramOptions& diagram, OutputOptions& output);
int OptionValue(const OptionEntry& entry, const DiagramOptions& diagram,
                const OutputOptions& output);

// The value of a fresh record.
int OptionDefault(const OptionEntry& entry);

// What loading keeps of a stored value, by the row's rule.
int StoredOptionValue(const OptionEntry& entry, int stored);

}  // namespace quorvex
