#pragma once
// The main window's control list, kept as data (resources/controls.tsv), and the window's
// own properties (resources/window.tsv).

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

enum class ControlKind {
    Label,
    Edit,
    MultiEdit,
    ItemColour,
    Frame,
    ImageButton,
    TextButton,
    Radio,
    Check,
    Spin,
    GroupBox,
    VLine,
    HLine,
    Progress,
};

enum ControlFlag : unsigned {
    kFlagCentre = 1u << 0,
    kFlagRight = 1u << 1,
    kFlagTab = 1u << 2,
    kFlagGroup = 1u << 3,
    kFlagDigits = 1u << 4,
    kFlagReadOnly = 1u << 5,
    kFlagHidden = 1u << 6,
    kFlagDrop = 1u << 7,
    kFlagVScroll = 1u << 8,
};

inline constexpr int kNoId = -1;

struct DialogRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const DialogRect&) const = default;
};

struct ControlEntry {
    int id = kNoId;
    ControlKind kind = ControlKind::Label;
    std::string text;  // UTF-8; "&" marks a mnemonic, "&&" is a literal "&"
    DialogRect rect;   // dialog units
    unsigned flags = 0;
    std::string picture;  // name of the button picture, empty for none
    std::string tip;
    std::string accessibleName;  // empty: the text names the control
};

// Offsets in dialog units of the ten item rows from the first one.
inline constexpr int kItemRowOffsets[10] = {0, 15, 30, 45, 60, 93, 108, 123, 138, 153};

// The row label of item i for accessible names: "貸借対照表 1行目" .. "損益計算書 5行目".
std::string ItemRowLabel(int item);

// Parses the control table; a row with an id range "a..b" gives one control per item,
// placed at the item's row. Malformed rows are skipped.
std::vector<ControlEntry> ParseControlTable(std::string_view tsv);
// The embedded table of the main window.
const std::vector<ControlEntry>& MainWindowControls();

// key -> value of resources/window.tsv.
std::map<std::string, std::string> ParseKeyValues(std::string_view tsv);
const std::map<std::string, std::string>& MainWindowProperties();

}  // namespace quorvex
