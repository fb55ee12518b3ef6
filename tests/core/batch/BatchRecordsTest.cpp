#include <gtest/gtest.h>

#include "core/batch/BatchRecords.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

using test::RecordingMessageSink;

constexpr const char* kHeader =
    "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益";
constexpr const char* kRecord = "1,60,40,30,20,50,1000,600,400,300,100";
constexpr FigureSize kScreen{731, 512};

TEST(ReadHeaderRecord, SetsTheNamesAndBuildsTheSummaryHeader) {
    StatementData data;
    RecordingMessageSink sink;
    EXPECT_EQ(
        ReadHeaderRecord(kHeader, ',', data, sink),
        "BSファイル名,PLファイル名,流動資産,流動資産率,固定資産,固定資産率,流動負債,流動負債率,"
        "固定負債,固定負債率,自己資本,自己資本率,売上高,売上原価,売上原価率,粗利益,粗利益率,"
        "固定費,固定費率,経常利益,経常利益率");
    EXPECT_TRUE(sink.messages.empty());
    for (int i = 0; i < kItemCount; ++i) EXPECT_EQ(data.items[i].name, kCanonicalNames[i]);

    // Any first field, empty names, extra fields; the tab-separated summary.
    EXPECT_EQ(
        ReadHeaderRecord("\xEF\xBB\xBFx,a,,c,d,e,f,g,h,i,j,k,l", '\t', data, sink),
        "BSファイル名\tPLファイル名\ta\ta率\t\t率\tc\tc率\td\td率\te\te率\tf\tg\tg率\th\th率\t"
        "i\ti率\tj\tj率");
    EXPECT_EQ(data.items[1].name, "");
    EXPECT_EQ(data.items[9].name, "j");
}

TEST(ReadHeaderRecord, FewerThanTenCommasIsRejectedWithTheNamesFound) {
    struct Case {
        const char* line;
        const char* prefix;
    };
    const Case cases[] = {
        {"期,a,b,c,d,e,f,g,h,i", "項目数:9\n"},
        {"期\ta\tb\tc\td\te\tf\tg\th\ti\tj", "項目数:0\n"},
        {"", "項目数:0\n"},
    };
    for (const auto& c : cases) {
        StatementData data;
        data.items[0].name = "kept";
        RecordingMessageSink sink;
        EXPECT_EQ(ReadHeaderRecord(c.line, ',', data, sink), "");
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].Text(), std::string(c.prefix) + "項目数が10個ありません");
        EXPECT_EQ(sink.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(data.items[0].name, "kept");
    }
}

TEST(ReadPeriodRecord, RejectedRecordsShowTheirMessageAndChangeNothing) {
    struct Case {
        const char* line;
        std::string text;
    };
    const Case cases[] = {
        {"1,1,2,3,4,5,6,7,8,9", "期と金額数:10\n期と金額数が合せて11個ありません"},
        {"", "期と金額数:1\n期と金額数が合せて11個ありません"},
        {",1,2,3,4,5,6,7,8,9,10", "期がセットされていません"},
    };
    StatementData before;
    before.period.text = "old";
    before.items[3] = StatementItem{"", "77", 0};
    for (const auto& c : cases) {
        StatementData data = before;
        FigureSize size{1, 2};
        RecordingMessageSink sink;
        EXPECT_EQ(ReadPeriodRecord(c.line, {}, kScreen, data, size, sink), "");
        ASSERT_EQ(sink.messages.size(), 1u) << c.line;
        EXPECT_EQ(sink.messages[0].Text(), c.text);
        EXPECT_EQ(data.period.text, "old");
        EXPECT_EQ(data.items[3].amount, "77");
        EXPECT_EQ(size, (FigureSize{1, 2}));
    }
}

TEST(ReadPeriodRecord, LoadsTheRecordVerbatim) {
    StatementData data;
    FigureSize size;
    RecordingMessageSink sink;
    EXPECT_FALSE(ReadPeriodRecord("第123期, 9876543210,\"1,000\",3,4,5,6,7,8,9,10", {}, kScreen,
                                  data, size, sink)
                     .empty());
    EXPECT_EQ(data.period.text, "第123期");
    EXPECT_EQ(data.items[0].amount, " 9876543210");  // the leading space stays
    EXPECT_EQ(data.items[1].amount, "\"1");          // no quoting: every later field moves
    EXPECT_EQ(data.items[2].amount, "000\"");
    EXPECT_EQ(data.items[9].amount, "9");
    EXPECT_FALSE(ReadPeriodRecord(" ,1,2,3,4,5,6,7,8,9,10", {}, kScreen, data, size, sink).empty());
    EXPECT_EQ(data.period.text, " ");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(BatchFigureSize, SizeFieldsClampedOrTheScreenSize) {
    struct Case {
        const char* line;
        FigureSize size;
    };
    const Case cases[] = {
        {"1,1,2,3,4,5,6,7,8,9,10,300,400", {300, 400}},
        {"1,1,2,3,4,5,6,7,8,9,10,150,1500", {200, 1000}},
        {"1,1,2,3,4,5,6,7,8,9,10,500", {500, 200}},
        {"1,1,2,3,4,5,6,7,8,9,10,", {200, 200}},
        {"1,1,2,3,4,5,6,7,8,9,10,abc,600px", {200, 600}},
        {"1,1,2,3,4,5,6,7,8,9,10, 640,+480,x", {640, 480}},
        {"1,1,2,3,4,5,6,7,8,9,10,99999999999999,-99999999999", {1000, 200}},
        {"1,1,2,3,4,5,6,7,8,9,10", kScreen},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BatchFigureSize(c.line, kScreen), c.size) << c.line;
        StatementData data;
        FigureSize size{1, 1};
        RecordingMessageSink sink;
        ReadPeriodRecord(c.line, {}, kScreen, data, size, sink);
        EXPECT_EQ(size, c.size) << c.line;
    }
}

TEST(SummaryPeriodColumns, SeparatorsDecimalsAndOddAmounts) {
    struct Case {
        const char* record;
        SummaryFormat format;
        const char* columns;
    };
    const Case cases[] = {
        {kRecord,
         {kSeparateNone, 2},
         "60,60.00%,40,40.00%,30,30.00%,20,20.00%,50,50.00%,1000,600,60.00%,400,40.00%,300,"
         "30.00%,100,10.00%"},
        {kRecord,
         {kSeparateComma, 2},
         "60\t60.00%\t40\t40.00%\t30\t30.00%\t20\t20.00%\t50\t50.00%\t1,000\t600\t60.00%\t400\t"
         "40.00%\t300\t30.00%\t100\t10.00%"},
        {kRecord,
         {kSeparateKanji, 2},
         "60円,60.00%,40円,40.00%,30円,30.00%,20円,20.00%,50円,50.00%,1000円,600円,60.00%,400円,"
         "40.00%,300円,30.00%,100円,10.00%"},
        {kRecord,
         {kSeparateNone, 0},
         "60,60%,40,40%,30,30%,20,20%,50,50%,1000,600,60%,400,40%,300,30%,100,10%"},
        // Fixed costs above gross profit: a negative ordinary-profit ratio.
        {"1,60,40,30,20,50,1000,600,400,500,-100",
         {kSeparateNone, 2},
         "60,60.00%,40,40.00%,30,30.00%,20,20.00%,50,50.00%,1000,600,60.00%,400,40.00%,500,"
         "50.00%,-100,-10.00%"},
        // Empty amounts: empty, 0円 and empty again; the empty side gives 0.00%.
        {"1,,,,,,,,,,",
         {kSeparateNone, 2},
         ",0.00%,,0.00%,,0.00%,,0.00%,,0.00%,,,0.00%,,0.00%,,0.00%,,0.00%"},
        {"1,,,,,,,,,,",
         {kSeparateKanji, 2},
         "0円,0.00%,0円,0.00%,0円,0.00%,0円,0.00%,0円,0.00%,0円,0円,0.00%,0円,0.00%,0円,0.00%,0円,"
         "0.00%"},
        {"1,,,,,,,,,,",
         {kSeparateComma, 2},
         "\t0.00%\t\t0.00%\t\t0.00%\t\t0.00%\t\t0.00%\t\t\t0.00%\t\t0.00%\t\t0.00%\t\t0.00%"},
        // 16 digits stay ungrouped, 15 are grouped.
        {"1,1234567890123456,123456789012345,0,0,0,0,0,0,0,0",
         {kSeparateComma, 1},
         "1234567890123456\t90.9%\t123,456,789,012,345\t9.1%\t0\t0.0%\t0\t0.0%\t0\t0.0%\t0\t0\t"
         "0.0%\t0\t0.0%\t0\t0.0%\t0\t0.0%"},
    };
    for (const auto& c : cases) {
        StatementData data;
        FigureSize size;
        RecordingMessageSink sink;
        EXPECT_EQ(ReadPeriodRecord(c.record, c.format, kScreen, data, size, sink), c.columns)
            << c.record << " separate " << c.format.separate;
    }
}

TEST(SummaryPeriodLine, FileNamesThenColumns) {
    EXPECT_EQ(SummaryPeriodLine("第1期_BS.jpeg", "第1期_PL.jpeg", ',', "60,60.00%"),
              "第1期_BS.jpeg,第1期_PL.jpeg,60,60.00%");
    EXPECT_EQ(SummarySeparator(kSeparateComma), '\t');
    EXPECT_EQ(SummarySeparator(kSeparateKanji), ',');
    EXPECT_EQ(SummaryExtension(kSeparateComma), "tsv");
    EXPECT_EQ(SummaryExtension(kSeparateNone), "csv");
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

// CP932 codes some characters twice (NEC and IBM extensions); a decoded name would come
// back with the other code, so the summary header keeps the header's own bytes.
TEST(SummaryHeaderBytes, NamesKeepTheirBytesInEveryEncoding) {
    const Cp932Codec codec;
    const std::string twice = "\x87\x90\xED\x40\xEE\xEF";  // ≒ 纊 ⅰ
    const std::string raw = "\x8A\xFA," + twice + ",b,c,d,e,f,g,h,i,j";
    const std::string header = SummaryHeaderBytes(raw, ',', TextEncoding::Cp932, codec);
    EXPECT_EQ(header.substr(0, header.find(',' + twice)),
              codec.Encode("BSファイル名,PLファイル名"));
    EXPECT_NE(header.find(',' + twice + ',' + twice + codec.Encode("率") + ",b,"),
              std::string::npos)
        << header;
    // Decoded and encoded again, the same name has other bytes.
    EXPECT_NE(codec.Encode(codec.Decode(twice)), twice);

    StatementData data;
    test::RecordingMessageSink sink;
    const std::string utf8 = kHeader;
    EXPECT_EQ(SummaryHeaderBytes(utf8, '\t', TextEncoding::Utf8, codec),
              ReadHeaderRecord(utf8, '\t', data, sink));
}

}  // namespace
}  // namespace quorvex
