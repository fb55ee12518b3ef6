// Hostile names and titles in every SVG the program writes (each diagram, the comparison
// sheet) and in the vector PDF's title: the files stay well-formed XML and read back as
// the text given, with what XML cannot hold as U+FFFD.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "engine/batch/SheetRun.h"
#include "engine/output/VectorDiagram.h"
#include "tests/engine/batch/BatchTestSupport.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

using test::kHeaderLine;
using test::ReadBytes;
using test::TestPath;
using test::WriteTestFile;

struct Hostile {
    const char* what;
    QString text;
    QString readBack;  // what a reader of the file sees
};

const std::vector<Hostile>& HostileTexts() {
    static const std::vector<Hostile> table = {
        {"ampersand", QStringLiteral("R&D"), QStringLiteral("R&D")},
        {"closing the title", QStringLiteral("</title><script>alert(1)</script>"),
         QStringLiteral("</title><script>alert(1)</script>")},
        {"quotes", QStringLiteral("a\"b'c"), QStringLiteral("a\"b'c")},
        {"markup", QStringLiteral("<font size=7 color=red>x"),
         QStringLiteral("<font size=7 color=red>x")},
        {"entity", QStringLiteral("&amp;&#0;&lt;"), QStringLiteral("&amp;&#0;&lt;")},
        {"controls",
         QStringLiteral("a\x01\x08\x0b\x0c\x1f"
                        "b"),
         QStringLiteral("a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDb")},
        {"non-characters", QStringLiteral("x") + QChar(0xFFFE) + QChar(0xFFFF),
         QStringLiteral("x\uFFFD\uFFFD")},
        // Names and titles travel as UTF-8, where an unpaired surrogate becomes "?".
        {"unpaired surrogates", QString(QChar(0xD800)) + "y" + QChar(0xDC00),
         QStringLiteral("?y?")},
        {"paired surrogate stays", QString::fromUtf8("\xF0\x9F\x98\x80"),
         QString::fromUtf8("\xF0\x9F\x98\x80")},
    };
    return table;
}

// Parses the document strictly; returns the texts of its <title> and <desc> and the names
// of all elements, or the parser's error.
struct ParsedSvg {
    QString error;
    QString title;
    QString description;
    QStringList elements;
    QStringList texts;  // of the <text> elements
};
ParsedSvg Parse(const QByteArray& svg) {
    ParsedSvg out;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QString name = xml.name().toString();
        out.elements << name;
        if (name == QLatin1String("title"))
            out.title = xml.readElementText();
        else if (name == QLatin1String("desc"))
            out.description = xml.readElementText();
        else if (name == QLatin1String("text"))
            out.texts << xml.readElementText();
    }
    if (xml.hasError()) out.error = xml.errorString();
    return out;
}

TEST(SvgText, DiagramsWithHostileNamesAndPeriodsStayXml) {
    for (const Hostile& h : HostileTexts()) {
        StatementData data = test::SampleData();
        data.period.text = h.text.toStdString();
        for (int i = 0; i < kItemCount; ++i) data.items[i].name = h.text.toStdString();
        for (const int kind : {kOutTypeBs, kOutTypePl}) {
            const auto svg = RenderVectorDiagram(VectorFormat::Svg, kind, data, {}, 400, 300);
            ASSERT_TRUE(svg) << h.what;
            const ParsedSvg parsed = Parse(*svg);
            EXPECT_EQ(parsed.error.toStdString(), "") << h.what << "\n" << svg->constData();
            EXPECT_FALSE(parsed.elements.contains("script")) << h.what;
            EXPECT_FALSE(parsed.elements.contains("font")) << h.what;
            // The names are drawn as they read (lines may break inside them).
            EXPECT_TRUE(parsed.texts.join("").contains(h.readBack.left(3))) << h.what;
        }
    }
}

TEST(SvgText, SheetTitlesAndCsvNamesStayXmlAndPdfTitlesReadBack) {
    for (const Hostile& h : HostileTexts()) {
        // The header's names and the periods carry the text; the title is either given
        // or the CSV's own name (file names cannot hold "/" or NUL, the rest they can).
        const std::string name = h.text.toStdString();
        std::string csv = "期";
        for (int i = 0; i < kItemCount; ++i) csv += "," + name;
        csv += "\n" + name + ",1,2,3,4,5,6,7,8,9,10\n" + name + "2,2,3,4,5,6,7,8,9,10,11\n";
        QString fileName = h.text;
        fileName.replace('/', '_');
        for (const bool titled : {true, false}) {
            SCOPED_TRACE(std::string(h.what) + (titled ? " (title)" : " (CSV name)"));
            SheetRequest request;
            request.csvPath = WriteTestFile(fileName + ".csv", csv);
            if (titled) request.title = h.text;
            QString expected = h.readBack;
            if (!titled) expected.replace('/', '_');
            for (const char* ext : {"svg", "pdf"}) {
                request.outputPath = TestPath(QStringLiteral("sheet.%1").arg(ext));
                test::RecordingMessageSink sink;
                ASSERT_EQ(WriteComparisonSheet(request, sink), SheetResult::Written);
                const QByteArray bytes = QByteArray::fromStdString(ReadBytes(request.outputPath));
                if (QLatin1String(ext) == QLatin1String("svg")) {
                    const ParsedSvg parsed = Parse(bytes);
                    ASSERT_EQ(parsed.error.toStdString(), "") << bytes.left(600).constData();
                    EXPECT_FALSE(parsed.elements.contains("script"));
                    if (titled) {
                        EXPECT_EQ(parsed.title, expected);
                    }
                    continue;
                }
                if (!titled) continue;
                QProcess info;
                info.start("pdfinfo", {"-enc", "UTF-8", request.outputPath});
                if (!info.waitForFinished(20000)) continue;  // no poppler: the SVG suffices
                const QString out = QString::fromUtf8(info.readAllStandardOutput());
                const auto line = out.split('\n').filter(QRegularExpression("^Title:"));
                ASSERT_EQ(line.size(), 1) << out.toStdString();
                EXPECT_EQ(line.first().mid(6).trimmed(), expected.trimmed());
            }
        }
    }
}

}  // namespace
}  // namespace quorvex
