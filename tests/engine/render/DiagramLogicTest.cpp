// The diagram logic against a recording surface: which blocks, lines and texts are drawn,
// where, in which colours and in which order.
#include <gtest/gtest.h>

#include <limits>

#include "engine/render/Diagrams.h"
#include "tests/engine/render/RecordingSurface.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

using test::RecordingSurface;
using Call = RecordingSurface::Call;

constexpr CompositionRatios kWorked = {60, 40, 30, 20, 50, 100, 60, 40, 30, 10};

DiagramOptions Options(int lineWidth = 2, int centreLine = kCentreLineUpper) {
    DiagramOptions o;
    o.Futosa = lineWidth;
    o.CenterLine = centreLine;
    return o;
}

TEST(BorderColour, Examples) {
    struct Case {
        Colour in, out;
    };
    const Case cases[] = {
        {0x00000000, 0x00808080},  // black gets gray
        {0x00FFC080, 0x009F6020}, {0x00FFFFFF, 0x009F9F9F},
        {0x00606060, 0x00000000},  // exactly at the floor
        {0x00505A5F, 0x00000000},  // below the floor
        {0x00616263, 0x00010203},  // each byte on its own: no swap of red and blue
        {0x000000FF, 0x0000009F}, {0xFF000000, 0x00000000},  // the top byte is dropped
        {0xFFFFFFFF, 0x009F9F9F},
    };
    for (const Case& c : cases) EXPECT_EQ(BorderColour(c.in), c.out) << std::hex << c.in;
}

TEST(DrawBlock, FillBorderAndNoColour) {
    RecordingSurface s;
    DrawBlock(s, {1, 2, 3, 4}, 0x00FFC080, 0);
    DrawBlock(s, {1, 2, 3, 4}, 0x00FFC080, 5);
    DrawBlock(s, {1, 2, 3, 4}, kNoColour, 1);
    DrawBlock(s, {1, 2, 3, 4}, 0, 1);
    DrawBlock(s, {1, 2, 3, 4}, 0x00FFC080, -7);  // nonsense widths are taken as 0
    ASSERT_EQ(s.calls.size(), 5u);
    EXPECT_EQ(s.calls[0].kind, Call::kFill);
    EXPECT_EQ(s.calls[0].colour, 0x00FFC080u);
    EXPECT_EQ(s.calls[1].kind, Call::kRectangle);
    EXPECT_EQ(s.calls[1].pen, 0x009F6020u);
    EXPECT_EQ(s.calls[1].colour, 0x00FFC080u);
    EXPECT_EQ(s.calls[1].width, 5);
    EXPECT_EQ(s.calls[2].pen, 0x00808080u);
    EXPECT_EQ(s.calls[3].pen, 0x00808080u);
    EXPECT_EQ(s.calls[4].kind, Call::kFill);
}

TEST(CreateDiagramFont, PixelSizesAndFace) {
    struct Case {
        int points, pixels;
    };
    const Case cases[] = {{5, 7},   {10, 13}, {50, 67}, {9, 12}, {11, 15},
                          {12, 16}, {2, 3},   {1, 3},   {0, 3},  {-4, 3}};
    for (const Case& c : cases) {
        EXPECT_EQ(DiagramFontPixelSize(c.points, 96), c.pixels) << c.points;
        RecordingSurface s;
        const FontRequest previous = CreateDiagramFont("", c.points, false, s);
        EXPECT_EQ(previous.face, "system");
        EXPECT_EQ(s.current, (FontRequest{"MS UI Gothic", c.pixels, 400}));
    }
    RecordingSurface s;
    CreateDiagramFont("IPAGothic", 10, true, s);
    EXPECT_EQ(s.current, (FontRequest{"IPAGothic", 13, 700}));
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndSaturates) {
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(10, 96, 72), 13);
    EXPECT_EQ(MulDiv(7, 1, 0), -1);
    EXPECT_EQ(MulDiv(std::numeric_limits<int>::max(), 4, 1), std::numeric_limits<int>::max());
    EXPECT_EQ(MulDiv(std::numeric_limits<int>::min(), -1, 1), std::numeric_limits<int>::max());
}

TEST(DrawBlockText, TextAndRectangleByOptions) {
    // Block (200, 90, 400, 150) as block 1: centre (300, 120); as block 3: centre (250, 120).
    // Fake metrics: 10 px a character, 16 px a line. "固定負債" is 40 px, "(20.00%)" 80 px.
    struct Case {
        const char* what;
        int drawName, drawRitu, drawUnder, index;
        const char* ratio;
        const char* text;  // nullptr: nothing drawn
        PixelRect rect;
    };
    const Case cases[] = {
        {"name above ratio", 1, 1, 1, 1, "20.00", "固定負債\n(20.00%)", {256, 104, 344, 136}},
        {"ratio right of the name", 1, 1, 0, 1, "20.00", "固定負債(20.00%)", {236, 112, 364, 128}},
        {"name only", 1, 0, 1, 1, "20.00", "固定負債", {276, 112, 324, 128}},
        {"ratio only", 0, 1, 1, 1, "20.00", "(20.00%)", {256, 112, 344, 128}},
        {"nothing", 0, 0, 1, 1, "20.00", nullptr, {}},
        {"empty ratio text is never shown", 1, 1, 1, 1, "", "固定負債", {276, 112, 324, 128}},
        {"ratio only, empty ratio", 0, 1, 0, 1, "", nullptr, {}},
        {"block 3 uses the left half",
         1,
         1,
         1,
         3,
         "20.00",
         "固定負債\n(20.00%)",
         {206, 104, 294, 136}},
        {"block 4 uses the right half", 1, 0, 0, 4, "20.00", "固定負債", {326, 112, 374, 128}},
    };
    for (const Case& c : cases) {
        DiagramOptions o;
        o.DrawName = c.drawName;
        o.DrawRitu = c.drawRitu;
        o.DrawUnder = c.drawUnder;
        RecordingSurface s;
        DrawBlockText(s, "固定負債", c.ratio, c.index, {200, 90, 400, 150}, o);
        if (c.text == nullptr) {
            EXPECT_TRUE(s.calls.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(s.calls.size(), 1u) << c.what;
        EXPECT_EQ(s.calls[0].text, c.text) << c.what;
        EXPECT_EQ(s.calls[0].rect, c.rect) << c.what;
    }
}

TEST(DrawBlockText, LongNameBelowAndLowBlocks) {
    DiagramOptions o;  // name above ratio
    RecordingSurface s;
    // The wider line decides: 13 characters = 130 px, plus 8 px of slack.
    DrawBlockText(s, "とても長い項目の名前です。", "5.00", 0, {0, 0, 400, 300}, o);
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0].rect, (PixelRect{200 - 65 - 4, 134, 200 + 65 + 4, 166}));

    // An empty block at y = 217 (fixed liabilities 0): the text stands on y = 217.
    o.DrawUnder = 0;
    s.calls.clear();
    DrawBlockText(s, "固定負債", "0.00", 3, {200, 217, 400, 217}, o);
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0].text, "固定負債(0.00%)");
    EXPECT_EQ(s.calls[0].rect.bottom, 217);
    EXPECT_EQ(s.calls[0].rect.top, 201);
    EXPECT_EQ((s.calls[0].rect.left + s.calls[0].rect.right) / 2, 250);

    // "&" is text like any other character (measured literally).
    s.calls.clear();
    DrawBlockText(s, "R&D", "", 0, {0, 0, 100, 100}, o);
    ASSERT_EQ(s.calls.size(), 1u);
    EXPECT_EQ(s.calls[0].text, "R&D");
    EXPECT_EQ(s.calls[0].rect.right - s.calls[0].rect.left, 30 + 8);
}

TEST(DrawBsDiagram, CallsInOrderForTheWorkedExample) {
    RecordingSurface s;
    const StatementData data = test::DataWithRatios(kWorked);
    ASSERT_TRUE(DrawBsDiagram(s, 400, 300, data, Options(2, kCentreLineUpper)));
    ASSERT_EQ(s.calls.size(), 1u + 5 + 1 + 5 + 1);
    EXPECT_EQ(s.calls.front().kind, Call::kSelectFont);
    EXPECT_EQ(s.calls.front().font, (FontRequest{"MS UI Gothic", 13, 400}));
    const PixelRect blocks[] = {{0, 0, 200, 180},
                                {0, 180, 200, 300},
                                {200, 0, 400, 90},
                                {200, 90, 400, 150},
                                {200, 150, 400, 300}};
    for (int i = 0; i < 5; ++i) {
        const Call& c = s.calls[1 + i];
        EXPECT_EQ(c.kind, Call::kRectangle);
        EXPECT_EQ(c.rect, blocks[i]);
        EXPECT_EQ(c.colour, DefaultItemColours[i]);
        EXPECT_EQ(c.pen, BorderColour(DefaultItemColours[i]));
        EXPECT_EQ(c.width, 2);
    }
    const Call& line = s.calls[6];
    ASSERT_EQ(line.kind, Call::kPolyline);
    EXPECT_EQ(line.pen, 0x000000FFu);
    EXPECT_EQ(line.width, 5);
    EXPECT_EQ(line.points, (std::vector<DiagramPoint>{{0, 180}, {200, 180}, {200, 90}, {400, 90}}));
    for (int i = 0; i < 5; ++i) {
        const Call& c = s.calls[7 + i];
        EXPECT_EQ(c.kind, Call::kDrawText);
        EXPECT_EQ(c.text, std::string(kCanonicalNames[i]) + "\n(" +
                              std::to_string(static_cast<int>(kWorked[i])) + ".00%)");
    }
    // Text of block 3 centred at (250, 120), two lines of 16 px.
    EXPECT_EQ(s.calls[10].rect.top, 120 - 16);
    EXPECT_EQ(s.calls[10].rect.bottom, 120 + 16);
    EXPECT_EQ((s.calls[10].rect.left + s.calls[10].rect.right) / 2, 250);
    EXPECT_EQ(s.calls.back().kind, Call::kSelectFont);
    EXPECT_EQ(s.current.face, "system");  // the previous font is back
}

TEST(DrawBsDiagram, CentreLineModesAndWidths) {
    struct Case {
        const char* what;
        CompositionRatios ratios;
        int mode, lineWidth;
        std::vector<DiagramPoint> points;  // empty: no line
        int width;
    };
    const CompositionRatios zero{};
    const CompositionRatios noFixedLiabilities = {60, 40, 30, 0, 70, 0, 0, 0, 0, 0};
    const Case cases[] = {
        {"upper", kWorked, 1, 0, {{0, 180}, {200, 180}, {200, 90}, {400, 90}}, 3},
        {"lower", kWorked, 2, 20, {{0, 180}, {200, 180}, {200, 150}, {400, 150}}, 23},
        {"none", kWorked, 0, 2, {}, 0},
        {"all balance-sheet ratios 0", zero, 1, 2, {}, 0},
        {"fixed liabilities 0, upper",
         noFixedLiabilities,
         1,
         1,
         {{0, 180}, {200, 180}, {200, 90}, {400, 90}},
         4},
        {"fixed liabilities 0, lower",
         noFixedLiabilities,
         2,
         1,
         {{0, 180}, {200, 180}, {200, 90}, {400, 90}},
         4},
    };
    for (const Case& c : cases) {
        RecordingSurface s;
        DrawBsDiagram(s, 400, 300, test::DataWithRatios(c.ratios), Options(c.lineWidth, c.mode));
        const auto lines = s.Of(Call::kPolyline);
        if (c.points.empty()) {
            EXPECT_TRUE(lines.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(lines.size(), 1u) << c.what;
        EXPECT_EQ(lines[0].points, c.points) << c.what;
        EXPECT_EQ(lines[0].width, c.width) << c.what;
    }
}

TEST(DrawBsDiagram, LineWidthZeroFillsAndNegativeEquityLabel) {
    RecordingSurface s;
    const CompositionRatios negativeEquity = {50, 50, 75, 37.5, -12.5, 0, 0, 0, 0, 0};
    DrawBsDiagram(s, 400, 300, test::DataWithRatios(negativeEquity), Options(0, 0));
    EXPECT_EQ(s.Of(Call::kFill).size(), 5u);
    EXPECT_TRUE(s.Of(Call::kRectangle).empty());
    const auto texts = s.Of(Call::kDrawText);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[4].text, "自己資本\n(-12.50%)");
    EXPECT_EQ(texts[4].rect.bottom, 300);  // on the bitmap's bottom edge
    EXPECT_EQ((texts[4].rect.left + texts[4].rect.right) / 2, 350);
}

TEST(DrawPlDiagram, SalesShowNoRatioAndNoCentreLine) {
    RecordingSurface s;
    DiagramOptions o = Options(1, kCentreLineLower);
    o.DrawUnder = 0;
    ASSERT_TRUE(DrawPlDiagram(s, 600, 300, test::DataWithRatios(kWorked), o));
    EXPECT_TRUE(s.Of(Call::kPolyline).empty());
    const auto blocks = s.Of(Call::kRectangle);
    ASSERT_EQ(blocks.size(), 5u);
    EXPECT_EQ(blocks[4].rect, (PixelRect{400, 270, 600, 300}));
    EXPECT_EQ(blocks[4].colour, DefaultItemColours[9]);
    const auto texts = s.Of(Call::kDrawText);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].text, "売上高");
    EXPECT_EQ(texts[1].text, "売上原価(60.00%)");
    EXPECT_EQ(texts[4].text, "経常利益(10.00%)");
    // Ordinary profit: area (500, 270, 600, 300), centre (550, 285).
    EXPECT_EQ(texts[4].rect.top, 285 - 8);
    EXPECT_EQ((texts[4].rect.left + texts[4].rect.right) / 2, 550);

    // Ratios only: the sales block shows nothing at all.
    o.DrawName = 0;
    RecordingSurface r;
    DrawPlDiagram(r, 600, 300, test::DataWithRatios(kWorked), o);
    const auto ratioTexts = r.Of(Call::kDrawText);
    ASSERT_EQ(ratioTexts.size(), 4u);
    EXPECT_EQ(ratioTexts[0].text, "(60.00%)");
}

TEST(DrawPlDiagram, SampleDataOrdinaryProfitStandsOnTheBottomEdge) {
    RecordingSurface s;
    DrawPlDiagram(s, 400, 300, test::SampleData(), Options());
    const auto texts = s.Of(Call::kDrawText);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[4].text, "経常利益\n(0.54%)");
    EXPECT_EQ(texts[4].rect.bottom, 300);
    EXPECT_EQ(texts[4].rect.top, 300 - 32);
    EXPECT_EQ((texts[4].rect.left + texts[4].rect.right) / 2, 366);  // (333 + 400) / 2
}

TEST(DrawDiagrams, DecimalsAndNonFiniteRatios) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CompositionRatios odd = {inf, -inf, nan, 1e300, -1e300, nan, inf, -inf, 1e300, nan};
    for (int decimals : {0, 5}) {
        DiagramOptions o = Options(2, kCentreLineLower);
        o.Shosu = decimals;
        RecordingSurface s;
        EXPECT_TRUE(DrawBsDiagram(s, 400, 300, test::DataWithRatios(odd), o));
        EXPECT_TRUE(DrawPlDiagram(s, 400, 300, test::DataWithRatios(odd), o));
        RecordingSurface w;
        DrawBsDiagram(w, 400, 300, test::DataWithRatios(kWorked), o);
        EXPECT_EQ(w.Of(Call::kDrawText)[0].text,
                  decimals == 0 ? "流動資産\n(60%)" : "流動資産\n(60.00000%)");
    }
    RecordingSurface s;
    DrawBsDiagram(s, 400, 300, test::DataWithRatios(odd), Options());
    const auto texts = s.Of(Call::kDrawText);
    EXPECT_EQ(texts[0].text, "流動資産\n(inf%)");
    EXPECT_EQ(texts[2].text, "流動負債\n(nan%)");
}

}  // namespace
}  // namespace quorvex
