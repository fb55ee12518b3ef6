#pragma once
// One period of the two statements: ten items, the period label and the option records.
// Plain data; texts are UTF-8.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// 0..4 balance sheet, 5..9 profit and loss, in the order of the window's rows.
using ItemIndex = int;
inline constexpr int kItemCount = 10;
inline constexpr int kBsFirst = 0;
inline constexpr int kPlFirst = 5;

enum class Statement { BalanceSheet = 0, ProfitAndLoss = 1 };
constexpr Statement StatementOf(ItemIndex i) {
    return i < kPlFirst ? Statement::BalanceSheet : Statement::ProfitAndLoss;
}

// Colours are 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;
constexpr Colour MakeColour(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

struct StatementItem {
    std::string name;    // as typed, pasted or read; never trimmed
    std::string amount;  // the amount as text; parsed only when needed
    Colour colour = 0;
};

// Ten composition ratios in percent, indexed by ItemIndex.
using CompositionRatios = std::array<double, kItemCount>;

// Only the ten ASCII digits count; the empty text is digits-only.
bool IsDigitsOnly(std::string_view text);

struct PeriodLabel {
    std::string text;
    // "第" + text + "期" for a non-empty digits-only text, else the text itself.
    std::string Normalised() const;
};

struct StatementData {
    std::array<StatementItem, kItemCount> items;
    PeriodLabel period;
    CompositionRatios ratios{};
};

enum CentreLineMode : int { kCentreLineNone = 0, kCentreLineUpper = 1, kCentreLineLower = 2 };

// Field names are the names of the settings values that store them; ranges and the
// treatment of stored values are in OptionTable.h. The initial values are the defaults.
struct DiagramOptions {
    int CenterLine = kCentreLineUpper;
    int Shosu = 2;      // decimals of ratio texts
    int FontSize = 10;  // points
    int Futosa = 2;     // border width in pixels
    int Yohaku = 10;    // window margin in pixels
    int DrawName = 1;
    int DrawRitu = 1;
    int DrawUnder = 1;        // 0 ratio right of the name, 1 below it
    int HireiShukushaku = 0;  // 1: diagrams on one shared scale (比例縮尺)
    int BreakEven = 0;        // 1: the break-even line on the profit and loss diagram

    bool operator==(const DiagramOptions&) const = default;
};

enum OutTypeValue : int { kOutTypeBs = 0, kOutTypePl = 1 };
enum OutSakiValue : int {
    kOutJpeg = 0,
    kOutBmp = 1,
    kOutGif = 2,
    kOutPng = 3,
    kOutTiff = 4,
    kOutPdf = 5,
    kOutClipboard = 6,
    // Vector files, for the batch tool and the diagrams' context menu; the window's target
    // radios end at the clipboard.
    kOutSvg = 7,
    kOutPdfVector = 8,
};
enum SeparateValue : int { kSeparateNone = 0, kSeparateKanji = 1, kSeparateComma = 2 };

struct OutputOptions {
    int OutType = kOutTypePl;
    int OutSaki = kOutJpeg;
    int Separate = kSeparateNone;
    int BatchIndicators = 0;  // 1: the window's batch run writes the indicators file too

    bool operator==(const OutputOptions&) const = default;
};

// The five balance-sheet colours repeat for the five profit-and-loss items.
inline constexpr std::array<Colour, kItemCount> DefaultItemColours = {
    0x00EBE2FC, 0x00B3E2FB, 0x00FCF1DD, 0x00DDF0E1, 0x00F0DDE6,
    0x00EBE2FC, 0x00B3E2FB, 0x00FCF1DD, 0x00DDF0E1, 0x00F0DDE6,
};

// Names the sample data sets and the help texts show; not defaults.
inline constexpr std::array<std::string_view, kItemCount> kCanonicalNames = {
    "流動資産", "固定資産", "流動負債", "固定負債", "自己資本",
    "売上高",   "売上原価", "粗利益",   "固定費",   "経常利益",
};

inline constexpr std::array<std::string_view, kItemCount> kSampleAmounts = {
    "3201234567", "765432123",  "2876543210", "345678901",  "744444579",
    "7955680368", "6789012345", "1166668023", "1123456789", "43211234",
};

}  // namespace quorvex
