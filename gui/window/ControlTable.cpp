#include "gui/window/ControlTable.h"

#include <charconv>

#include "core/model/TextLines.h"

namespace quorvex {
namespace data {
extern const std::string_view kControlsTsv;
extern const std::string_view kWindowTsv;
}  // namespace data

namespace {

std::vector<std::string_view> Split(std::string_view line, char sep) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (true) {
        const auto pos = line.find(sep, start);
        out.push_back(line.substr(start, pos == std::string_view::npos ? pos : pos - start));
        if (pos == std::string_view::npos) break;
        start = pos + 1;
    }
    return out;
}

bool ToInt(std::string_view s, int& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// Calls f with each row of a data table, without its CR.
template <typename F>
void ForEachRow(std::string_view text, F&& f) {
    for (const std::string_view line : TextLines(text)) {
        if (IsTableRow(line)) f(WithoutCr(line));
    }
}

bool KindOf(std::string_view s, ControlKind& k) {
    static const std::pair<std::string_view, ControlKind> kinds[] = {
        {"label", ControlKind::Label},         {"edit", ControlKind::Edit},
        {"multiedit", ControlKind::MultiEdit}, {"colour", ControlKind::ItemColour},
        {"frame", ControlKind::Frame},         {"imagebutton", ControlKind::ImageButton},
        {"button", ControlKind::TextButton},   {"radio", ControlKind::Radio},
        {"check", ControlKind::Check},         {"spin", ControlKind::Spin},
        {"groupbox", ControlKind::GroupBox},   {"vline", ControlKind::VLine},
        {"hline", ControlKind::HLine},         {"progress", ControlKind::Progress},
    };
    for (const auto& [name, kind] : kinds) {
        if (name == s) {
            k = kind;
            return true;
        }
    }
    return false;
}

unsigned FlagsOf(std::string_view s) {
    static const std::pair<std::string_view, unsigned> names[] = {
        {"center", kFlagCentre}, {"right", kFlagRight},   {"tab", kFlagTab},
        {"group", kFlagGroup},   {"digits", kFlagDigits}, {"readonly", kFlagReadOnly},
        {"hidden", kFlagHidden}, {"drop", kFlagDrop},     {"vscroll", kFlagVScroll},
    };
    unsigned flags = 0;
    if (s.empty()) return flags;
    for (std::string_view f : Split(s, ',')) {
        for (const auto& [name, bit] : names) {
            if (name == f) flags |= bit;
        }
    }
    return flags;
}

}  // namespace

std::string ItemRowLabel(int item) {
    const bool bs = item < 5;
    return std::string(bs ? "貸借対照表 " : "損益計算書 ") +
           std::to_string((bs ? item : item - 5) + 1) + "行目";
}

std::vector<ControlEntry> ParseControlTable(std::string_view tsv) {
    std::vector<ControlEntry> out;
    ForEachRow(tsv, [&](std::string_view line) {
        const auto f = Split(line, '\t');
        if (f.size() < 7) return;
        ControlEntry c;
        if (!KindOf(f[1], c.kind)) return;
        c.text = std::string(f[2]);
        if (!ToInt(f[3], c.rect.x) || !ToInt(f[4], c.rect.y) || !ToInt(f[5], c.rect.w) ||
            !ToInt(f[6], c.rect.h)) {
            return;
        }
        if (f.size() > 7) c.flags = FlagsOf(f[7]);
        if (f.size() > 8) c.picture = std::string(f[8]);
        if (f.size() > 9) c.tip = std::string(f[9]);
        if (f.size() > 10) c.accessibleName = std::string(f[10]);
        const std::string_view id = f[0];
        if (id == "-") {
            out.push_back(c);
            return;
        }
        const auto dots = id.find("..");
        if (dots == std::string_view::npos) {
            if (!ToInt(id, c.id)) return;
            out.push_back(c);
            return;
        }
        int first = 0, last = 0;
        if (!ToInt(id.substr(0, dots), first) || !ToInt(id.substr(dots + 2), last) ||
            last - first != 9) {
            return;
        }
        const int y0 = c.rect.y;
        const std::string name = c.accessibleName;
        for (int i = 0; i < 10; ++i) {
            c.id = first + i;
            c.rect.y = y0 + kItemRowOffsets[i];
            c.accessibleName = name;
            if (const auto at = name.find("%r"); at != std::string::npos) {
                c.accessibleName.replace(at, 2, ItemRowLabel(i));
            }
            out.push_back(c);
        }
    });
    return out;
}

const std::vector<ControlEntry>& MainWindowControls() {
    static const std::vector<ControlEntry> table = ParseControlTable(data::kControlsTsv);
    return table;
}

std::map<std::string, std::string> ParseKeyValues(std::string_view tsv) {
    std::map<std::string, std::string> out;
    ForEachRow(tsv, [&](std::string_view line) {
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) return;
        out[std::string(line.substr(0, tab))] = std::string(line.substr(tab + 1));
    });
    return out;
}

const std::map<std::string, std::string>& MainWindowProperties() {
    static const std::map<std::string, std::string> props = ParseKeyValues(data::kWindowTsv);
    return props;
}

}  // namespace quorvex
