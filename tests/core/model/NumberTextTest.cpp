#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/model/Messages.h"
#include "core/model/NumberText.h"

namespace quorvex {
namespace {

TEST(ParseAmount, Grammar) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"", 0},
        {"1,234", 1},
        {"12abc", 12},
        {"abc", 0},
        {"inf", 0},
        {"nan", 0},
        {"0x10", 0},
        {"  42", 42},
        {"\t-7", -7},
        {"+5", 5},
        {"1.5", 1.5},
        {".5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"1e3", 1000},
        {"1E+2x", 100},
        {"2e", 2},
        {"2e+", 2},
        {"3e-1", 0.3},
        {"--5", 0},
        {"1234.9", 1234.9},
        {"１２", 0},
        {"7 8", 7},
        {"1234567890123456789012345", 1234567890123456789012345.0},
        {"1e-999", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseAmount(c.text), c.value) << c.text;
    EXPECT_EQ(ParseAmount("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseAmount("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseAmount("1e99999999999999999999"), std::numeric_limits<double>::infinity());
}

TEST(CIntegerReaders, GrammarAndSaturation) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {" 600px", 600},
        {"-1", -1},
        {"+16777215", 16777215},
        {"1.9", 1},
        {"0x10", 0},
        {"99999999999999999999", 2147483647},
        {"-99999999999999999999", -2147483647 - 1},
        {"1,000", 1},
        {"\n12", 12},
        {"- 3", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Atol(c.text), c.value) << c.text;
        EXPECT_EQ(Atoi(c.text), c.value) << c.text;
    }
}

TEST(FormatKanjiAmount, WorkedExamplesAndEdges) {
    struct Case {
        const char* text;
        const char* kanji;
    };
    const Case cases[] = {
        {"999923456789", "9999億2345万6789円"},
        {"123456789", "1億2345万6789円"},
        {"100000000", "1億円"},
        {"100000005", "1億5円"},
        {"20000000000005", "20兆5円"},
        {"1234567890123456", "1234兆5678億9012万3456円"},
        {"-1234", "▲1234円"},
        {"3201234567", "32億123万4567円"},
        {"7955680368", "79億5568万368円"},
        {"0", "0円"},
        {"abc", "0円"},
        {"-0", "0円"},
        {"0.5", "円"},
        {"1234.9", "1234円"},
        {"--5", "▲円"},
        {"10000000000000000", "10000兆円"},
        {"5", "5円"},
        {"765432123", "7億6543万2123円"},
        {"43211234", "4321万1234円"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatKanjiAmount(c.text), c.kanji) << c.text;
}

TEST(FormatKanjiAmount, AbsurdAmountsAreDefined) {
    // Out of the supported range, but never undefined: parts saturate or stay empty.
    for (const char* text : {"1e999", "-1e999", "1e30", "1234567890123456789012345", "1e308"}) {
        const std::string s = FormatKanjiAmount(text);
        EXPECT_NE(s.find("円"), std::string::npos) << text;
    }
    EXPECT_EQ(FormatKanjiAmount("1e999"), "2147483647兆2147483647億2147483647万2147483647円");
    EXPECT_EQ(FormatKanjiAmount("-1e999"), "▲2147483647兆2147483647億2147483647万2147483647円");
}

TEST(Ratios, BalanceSheet) {
    struct Case {
        std::array<std::string_view, 5> amounts;
        std::array<double, 5> ratios;
    };
    const Case cases[] = {
        {{"60", "40", "30", "20", "50"}, {60, 40, 30, 20, 50}},
        {{"1", "2", "", "", ""}, {33.333333333333336, 66.66666666666666, 0, 0, 0}},
        {{"", "", "", "", ""}, {0, 0, 0, 0, 0}},
        {{"5", "-3", "0", "0", "0"}, {250, -150, 0, 0, 0}},
        {{"1", "7", "1", "1", "2"}, {12.5, 87.5, 25, 25, 50}},
    };
    for (const auto& c : cases) {
        const auto r = ComputeBsRatios(c.amounts);
        for (int k = 0; k < 5; ++k) EXPECT_EQ(r[k], c.ratios[k]) << k << " " << c.amounts[0];
    }
    const auto r = ComputeBsRatios({"0", "0", "1", "2", "0"});
    EXPECT_EQ(r[4], (100 - 100.0 / 3) - 200.0 / 3);
    EXPECT_LT(r[4], 0);
    EXPECT_EQ(FormatRatio(r[4], 2), "-0.00");
}

TEST(Ratios, ProfitAndLoss) {
    struct Case {
        std::array<std::string_view, 5> amounts;
        std::array<double, 5> ratios;
    };
    const Case cases[] = {
        {{"1000", "600", "400", "300", "100"}, {100, 60, 40, 30, 10}},
        {{"1000", "600", "400", "500", "100"}, {100, 60, 40, 50, -10}},
        {{"0", "600", "400", "300", "999"}, {0, 60, 40, 30, 10}},
        {{"1000", "0", "0", "300", "100"}, {100, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto r = ComputePlRatios(c.amounts);
        for (int k = 0; k < 5; ++k) EXPECT_EQ(r[k], c.ratios[k]) << k << " " << c.amounts[3];
    }
    EXPECT_EQ(FormatRatio(ComputePlRatios({"1000", "600", "400", "500", ""})[4], 2), "-10.00");
}

TEST(Ratios, SampleDataGivesTheDocumentedTexts) {
    const StatementData data = SampleStatementData();
    const char* expected[] = {"80.70",  "19.30", "72.52", "8.71",  "18.77",
                              "100.00", "85.34", "14.66", "14.12", "0.54"};
    const char* kanji[] = {"32億123万4567円",  "7億6543万2123円",  "28億7654万3210円",
                           "3億4567万8901円",  "7億4444万4579円",  "79億5568万368円",
                           "67億8901万2345円", "11億6666万8023円", "11億2345万6789円",
                           "4321万1234円"};
    for (int i = 0; i < kItemCount; ++i) {
        EXPECT_EQ(FormatRatio(data.ratios[i], 2), expected[i]) << i;
        EXPECT_EQ(FormatKanjiAmount(data.items[i].amount), kanji[i]) << i;
    }
}

TEST(FormatRatio, RoundingAndSign) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {12.5, 0, "13"},
        {12.5, 2, "12.50"},
        {0.125, 2, "0.13"},
        {-1.4e-14, 2, "-0.00"},
        {33.333333333333336, 2, "33.33"},
        {50.12345, 5, "50.12345"},
        {66.66666666666666, 2, "66.67"},
        {0, 2, "0.00"},
        {0, 0, "0"},
        {-0.0, 2, "-0.00"},
        {100, 2, "100.00"},
        {99.995, 2, "100.00"},  // 99.99499999999999744 reduced to 17 digits is 99.995000000000000
        {-2.5, 0, "-3"},
        {9.9999999999999995, 0, "10"},
        {1e-300, 5, "0.00000"},
        {1e20, 1, "100000000000000000000.0"},
        {123456.789, 1, "123456.8"},
        {0.000005, 5, "0.00001"},
        {250, 3, "250.000"},
        {-150, 0, "-150"},
        {12.5, 9, "12.50000"},  // clamped to 5
        {12.5, -1, "13"},       // clamped to 0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatRatio(c.value, c.decimals), c.text) << c.value << " n=" << c.decimals;
    }
    EXPECT_EQ(FormatRatio(std::numeric_limits<double>::infinity(), 2), "inf");
    EXPECT_EQ(FormatRatio(-std::numeric_limits<double>::infinity(), 2), "-inf");
    EXPECT_EQ(FormatRatio(std::nan(""), 2), "nan");
}

TEST(FormatCommaGrouped, Lengths) {
    struct Case {
        const char* text;
        const char* grouped;
    };
    const Case cases[] = {
        {"", ""},
        {"123", "123"},
        {"1234", "1,234"},
        {"123456", "123,456"},
        {"1234567", "1,234,567"},
        {"123456789", "123,456,789"},
        {"1234567890", "1,234,567,890"},
        {"123456789012", "123,456,789,012"},
        {"1234567890123", "1,234,567,890,123"},
        {"123456789012345", "123,456,789,012,345"},
        {"1234567890123456", "1234567890123456"},
        {"-1234", "-1,234"},
        {"-123", "-,123"},
        {"一二三四", "一,二三四"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatCommaGrouped(c.text), c.grouped) << c.text;
}

TEST(Messages, CatalogueAndTitle) {
    EXPECT_EQ(MessageText(kMsgSavedShowFolder), "正常に保存しました\n保存場所を表示しますか");
    EXPECT_EQ(MessageKindOf(kMsgSavedShowFolder), MessageKind::Question);
    EXPECT_EQ(MessageKindOf(kMsgClipboardSaved), MessageKind::Information);
    EXPECT_EQ(MessageText(kMsgWriteFailed), "ファイルの書き込みに失敗しました");
    EXPECT_EQ(MessageText(kMsgTooManyPeriods), "期の数が制限(5,000期)を超えます");
    EXPECT_EQ(MessageText(30016), "");
    EXPECT_EQ(ApplicationTitle(), "Quorvex");
}

}  // namespace
}  // namespace quorvex
