#include <gtest/gtest.h>

#include "engine/batch/IndicatorsFile.h"
#include "engine/batch/SheetRun.h"
#include "engine/render/ComparisonSheet.h"
#include "tests/engine/batch/BatchTestSupport.h"

namespace quorvex::test {
namespace {

// The sample period, a loss (fixed costs above the gross profit) and one without sales.
constexpr const char* kPeriods[] = {
    "5,3201234567,765432123,2876543210,345678901,744444579,7955680368,6789012345,1166668023,"
    "1123456789,43211234",
    "6,1000,500,600,300,600,1000,700,300,400,-100",
    "7,100,0,100,0,0,0,0,0,0,0",
};

// What the file holds for those periods (UTF-8, LF), the profit item named `profit`.
std::string Expected(const std::string& profit, char sep) {
    std::string text = "期";
    for (const std::string& name : std::vector<std::string>{
             "流動比率(%)", "自己資本比率(%)", "固定比率(%)", "固定長期適合率(%)",
             "総資本回転率(回)", "売上高総利益率(%)", "売上高" + profit + "率(%)",
             "総資本" + profit + "率(%)", "限界利益率(%)", "損益分岐点売上高(円)",
             "損益分岐点比率(%)", "安全余裕率(%)"}) {
        text += sep + name;
    }
    text += "\n";
    const char* lines[] = {
        "第5期,111.29,18.77,102.82,70.22,2.01,14.66,0.54,1.09,14.66,7661016625,96.30,3.70",
        "第6期,166.67,40.00,83.33,55.56,0.67,30.00,-10.00,-6.67,30.00,1333,133.33,-33.33",
        "第7期,100.00,0.00,―,―,0.00,―,―,0.00,―,―,―,―",
    };
    for (std::string line : lines) {
        for (char& c : line) c = c == ',' ? sep : c;
        text += line + "\n";
    }
    return text;
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

TEST(IndicatorsFile, ByteExactInEveryEncodingAndSeparatorBesideAnUnchangedSummary) {
    struct Case {
        const char* what;
        TextEncoding encoding;
        int separate;
        std::string profit;  // the header's name of the profit row
        bool beside;         // the window's option instead of a path
    };
    const Case cases[] = {
        {"utf-8", TextEncoding::Utf8, kSeparateNone, "経常利益", false},
        {"utf-8 with mark, IFRS name", TextEncoding::Utf8WithBom, kSeparateNone, "税引前利益",
         false},
        {"cp932", TextEncoding::Cp932, kSeparateNone, "経常利益", false},
        {"cp932, comma groups", TextEncoding::Cp932, kSeparateComma, "税引前利益", true},
    };
    const Cp932Codec codec;
    int n = 0;
    for (const Case& c : cases) {
        std::string csv =
            "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,"
            "固定費," +
            c.profit + "\r\n";
        for (const char* line : kPeriods) csv += std::string(line) + "\r\n";
        if (c.encoding == TextEncoding::Cp932) csv = codec.Encode(csv);
        if (c.encoding == TextEncoding::Utf8WithBom) csv = std::string(kUtf8Bom) + csv;
        const QString name = QStringLiteral("in%1.csv").arg(++n);
        const QString input = WriteTestFile(name, csv);

        // Once as today, once with the indicators file.
        TestHost plainHost, host;
        plainHost.output.Separate = host.output.Separate = c.separate;
        const QString plainFolder = TestPath(QStringLiteral("plain%1").arg(n));
        const QString folder = TestPath(QStringLiteral("out%1").arg(n));
        ASSERT_TRUE(RunIn(plainHost, input, 1, plainFolder).ok) << c.what;
        BatchRequest request;
        request.csvPath = input;
        request.title = BatchTitle(input);
        request.outputFolder = folder;
        const QString path = TestPath(QStringLiteral("ind%1.txt").arg(n));
        if (c.beside) {
            request.indicatorsBesideSummary = true;
        } else {
            request.indicatorsPath = path;
        }
        ASSERT_TRUE(RunBatch(host, request).ok) << c.what;

        const char sep = SummarySeparator(c.separate);
        std::string expected = Crlf(Expected(c.profit, sep));
        if (c.encoding == TextEncoding::Cp932) expected = codec.Encode(expected);
        if (c.encoding == TextEncoding::Utf8WithBom) expected = std::string(kUtf8Bom) + expected;
        const QString written =
            c.beside ? folder + "/" + IndicatorsFileName(request.title, c.separate) : path;
        EXPECT_EQ(ReadBytes(written), expected) << c.what;
        if (c.encoding == TextEncoding::Cp932) {
            EXPECT_EQ(ReadBytes(written).substr(0, 3), std::string("\x8A\xFA") + sep);  // 期
            // "―" is a character of the code page, not a "?".
            EXPECT_NE(ReadBytes(written).find(std::string(1, sep) + "\x81\x5C\r\n"),
                      std::string::npos);
        }

        auto files = FolderContents(folder);
        if (c.beside) {
            EXPECT_EQ(files.erase(IndicatorsFileName(request.title, c.separate)), 1u) << c.what;
        }
        EXPECT_EQ(files, FolderContents(plainFolder)) << c.what;
    }
}

TEST(IndicatorsFile, ComparisonSheetWithAndWithoutTheFourRatios) {
    std::string csv = std::string(kHeaderLine) + "\n";
    for (const char* line : kPeriods) csv += std::string(line) + "\n";
    const QString input = WriteTestFile("sheet.csv", csv);
    struct Case {
        const char* what;
        bool indicators;
        QString indicatorsPath;
    };
    const Case cases[] = {
        {"as today", false, {}},
        {"with the ratios", true, TestPath("sheet-ind.csv")},
    };
    std::map<bool, QImage> pictures;
    for (const Case& c : cases) {
        SheetRequest request;
        request.csvPath = input;
        request.outputPath = TestPath(c.indicators ? "with.png" : "without.png");
        request.cell = {200, 150};
        request.indicators = c.indicators;
        request.indicatorsPath = c.indicatorsPath;
        RecordingMessageSink sink;
        ASSERT_EQ(WriteComparisonSheet(request, sink), SheetResult::Written) << c.what;
        pictures[c.indicators] = QImage(request.outputPath);
        ASSERT_FALSE(pictures[c.indicators].isNull()) << c.what;
    }
    const QImage& without = pictures[false];
    const QImage& with = pictures[true];
    // Four lines more under the columns, everything above them the same.
    EXPECT_EQ(with.width(), without.width());
    EXPECT_EQ(with.height(), without.height() + 4 * (13 * 3 / 2));
    const int labelsEnd = without.height() - kSheetMargin;
    EXPECT_EQ(with.copy(0, 0, with.width(), labelsEnd),
              without.copy(0, 0, with.width(), labelsEnd));
    // Something is drawn in the band that holds the ratios.
    const QImage band = with.copy(0, labelsEnd, with.width(), 4 * (13 * 3 / 2));
    bool ink = false;
    for (int y = 0; y < band.height() && !ink; ++y) {
        for (int x = 0; x < band.width() && !ink; ++x) ink = qGray(band.pixel(x, y)) < 128;
    }
    EXPECT_TRUE(ink);
    EXPECT_EQ(ReadBytes(TestPath("sheet-ind.csv")), Crlf(Expected("経常利益", ',')));
}

}  // namespace
}  // namespace quorvex::test
