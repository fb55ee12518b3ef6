// Reading filings: instances in the shapes EDINET publishes them, the ZIP around them, and
// the hostile inputs an importer of downloaded files meets.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <functional>

#include "engine/import/FilingImport.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"
#include "tests/engine/import/FilingFixtures.h"

namespace quorvex {
namespace {

using test::kConsolidatedRows;
using test::kImportHeader;
using test::kNonConsolidatedRows;
using test::ReadFixture;
using test::Replaced;
using test::WithoutLines;

QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = QString::fromStdString(test::TestHome()) + "/" + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

// The result as the tool would print it, or the problem's message id and detail.
struct Outcome {
    std::string csv;
    int messageId = 0;
    std::string detail;
};

Outcome Import(const QByteArray& bytes, FilingScope scope, const FilingLimits& limits = {},
               const char* name = "filing.xbrl") {
    const MappedFiling m = ImportFilingFile(WriteFile(name, bytes), scope, limits);
    Outcome o;
    o.messageId = m.problem.messageId;
    o.detail = m.problem.detail;
    for (const std::string& note : m.notes) o.detail += note + "\n";  // notes of a success
    if (o.messageId == 0) o.csv = ImportCsvText(m.periods);
    return o;
}

const std::string kConsolidated = std::string(kImportHeader) + kConsolidatedRows;
const std::string kNonConsolidated = std::string(kImportHeader) + kNonConsolidatedRows;
const std::string kConsolidatedRows2024 =
    std::string(kConsolidatedRows).substr(std::string(kConsolidatedRows).find('\n') + 1);

// The element lines of the consolidated or the non-consolidated figures.
QByteArray WithoutConsolidatedFacts(const QByteArray& text) {
    QByteArray out;
    for (const QByteArray& line : text.split('\n')) {
        const bool fact = line.trimmed().startsWith("<jppfs_cor:");
        if (!fact || line.contains("NonConsolidatedMember")) out += line + '\n';
    }
    return out;
}

// The contexts named the other way round: ids mean nothing, the scenario decides.
QByteArray SwappedIds(QByteArray text) {
    for (const char* period :
         {"CurrentYearInstant", "Prior1YearInstant", "CurrentYearDuration", "Prior1YearDuration"}) {
        const QByteArray plain = QByteArray("\"") + period + "\"";
        const QByteArray non = QByteArray("\"") + period + "_NonConsolidatedMember\"";
        text.replace(plain, "\"@@\"").replace(non, plain).replace("\"@@\"", non);
    }
    return text;
}

// Another prefix for the statements' taxonomy (another release date too), and the usual
// prefix bound to a namespace that is not it, with a fact that must not be read.
QByteArray OtherPrefixes(QByteArray text) {
    text.replace("jppfs_cor:", "fs:");
    text.replace(
        "xmlns:jppfs_cor=\"http://disclosure.edinet-fsa.go.jp/taxonomy/jppfs/2023-12-01/"
        "jppfs_cor\"",
        "xmlns:fs=\"http://disclosure.edinet-fsa.go.jp/taxonomy/jppfs/2019-11-01/jppfs_cor\"\n"
        "    xmlns:jppfs_cor=\"http://example.com/not-the-taxonomy/jppfs_cor\"");
    text.replace("  <!-- Consolidated statement of income -->",
                 "  <jppfs_cor:NetSales contextRef=\"CurrentYearDuration\" unitRef=\"JPY\" "
                 "decimals=\"0\">1</jppfs_cor:NetSales>");
    return text;
}

struct InstanceCase {
    const char* name;
    std::function<QByteArray(QByteArray)> edit;
    FilingScope scope;
    std::string csv;       // expected output, or
    int messageId;         // the expected refusal
    const char* mentions;  // in the detail
};

TEST(FilingImport, InstancesMapToPeriods) {
    const QByteArray base = ReadFixture("two-years.xbrl");
    ASSERT_FALSE(base.isEmpty());
    const auto same = [](QByteArray t) { return t; };
    const std::vector<InstanceCase> cases = {
        {"consolidated first", same, FilingScope::Preferred, kConsolidated, 0, ""},
        {"non-consolidated asked", same, FilingScope::NonConsolidated, kNonConsolidated, 0, ""},
        {"ids say the opposite", SwappedIds, FilingScope::Preferred, kConsolidated, 0, ""},
        {"ids say the opposite, non", SwappedIds, FilingScope::NonConsolidated, kNonConsolidated, 0,
         ""},
        {"prefixes differ", OtherPrefixes, FilingScope::Preferred, kConsolidated, 0, ""},
        {"only non-consolidated figures", WithoutConsolidatedFacts, FilingScope::Preferred,
         kNonConsolidated, 0, ""},
        {"no non-consolidated figures",
         [](QByteArray t) {
             return WithoutLines(
                 t,
                 {"contextRef=\"Prior1YearInstant_Non", "contextRef=\"Prior1YearDuration_Non",
                  "contextRef=\"CurrentYearInstant_Non", "contextRef=\"CurrentYearDuration_Non"});
         },
         FilingScope::NonConsolidated, "", kMsgImportNoNonConsolidated, ""},
        {"without GrossProfit: sales less cost",
         [](QByteArray t) {
             return WithoutLines(t, {"<jppfs_cor:GrossProfit contextRef=\"Prior1YearDuration\"",
                                     "<jppfs_cor:GrossProfit contextRef=\"CurrentYearDuration\""});
         },
         FilingScope::Preferred, kConsolidated, 0, ""},
        {"prior year lacks a liability: left out, named in a note",
         [](QByteArray t) {
             return WithoutLines(t, {"NoncurrentLiabilities contextRef=\"Prior1YearInstant\""});
         },
         FilingScope::Preferred, std::string(kImportHeader) + kConsolidatedRows2024, 0,
         "注意: 2023年3月期は次の項目が見つからないため読み込みませんでした: "
         "固定負債(NoncurrentLiabilities)\n"},
        {"no year complete: refused, naming each",
         [](QByteArray t) {
             return WithoutLines(t, {"NoncurrentLiabilities contextRef=\"Prior1YearInstant\"",
                                     "NoncurrentLiabilities contextRef=\"CurrentYearInstant\""});
         },
         FilingScope::Preferred, "", kMsgImportMissingItems,
         "2023年3月期: 固定負債(NoncurrentLiabilities)\n2024年3月期: "
         "固定負債(NoncurrentLiabilities)\n"},
        {"nil counts as missing",
         [](QByteArray t) {
             return Replaced(t,
                             "<jppfs_cor:OrdinaryIncome contextRef=\"CurrentYearDuration\" "
                             "unitRef=\"JPY\" decimals=\"-6\">500000000",
                             "<jppfs_cor:OrdinaryIncome contextRef=\"CurrentYearDuration\" "
                             "unitRef=\"JPY\" xsi:nil=\"true\">");
         },
         FilingScope::Preferred,
         std::string(kImportHeader) + std::string(kConsolidatedRows)
                                          .substr(0, std::string(kConsolidatedRows).find('\n') + 1),
         0,
         "2024年3月期は次の項目が見つからないため読み込みませんでした: 経常利益(OrdinaryIncome)"},
        {"amount that is no number",
         [](QByteArray t) {
             return Replaced(t, ">8000000000</jppfs_cor:NetSales>", ">8,000</jppfs_cor:NetSales>");
         },
         FilingScope::Preferred, "", kMsgImportBadAmount, "2024年3月期: 売上高(NetSales) 8,000\n"},
        {"a loss keeps its sign",
         [](QByteArray t) {
             return Replaced(t, ">300000000</jppfs_cor:OrdinaryIncome>",
                             ">-20000000</jppfs_cor:OrdinaryIncome>");
         },
         FilingScope::Preferred,
         std::string(kImportHeader) +
             "2023年3月期,2800000000,1700000000,1900000000,900000000,1700000000,7000000000,"
             "5300000000,1700000000,1720000000,-20000000\n" +
             std::string(kConsolidatedRows).substr(std::string(kConsolidatedRows).find('\n') + 1),
         0, ""},
        {"not an instance",
         [](QByteArray) { return QByteArray("<?xml version=\"1.0\"?><html><body/></html>"); },
         FilingScope::Preferred, "", kMsgImportNotFiling, ""},
        {"broken XML", [](QByteArray t) { return t.left(t.size() / 2); }, FilingScope::Preferred,
         "", kMsgImportXml, "行"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Import(c.edit(base), c.scope);
        EXPECT_EQ(o.messageId, c.messageId);
        EXPECT_EQ(o.csv, c.csv);
        EXPECT_NE(o.detail.find(c.mentions), std::string::npos) << o.detail;
    }
}

// An IFRS filer whose statements lack lines (no DEI here: the IFRS facts tell the standard)
// is refused naming the IFRS items it lacks, and never given the parent's figures.
TEST(FilingImport, IfrsFilingIsRefusedNamingEveryItem) {
    const Outcome o = Import(ReadFixture("ifrs.xbrl"), FilingScope::Preferred);
    EXPECT_EQ(o.messageId, kMsgImportConsolidatedItems);
    EXPECT_EQ(
        o.detail,
        "2024年3月期: 流動負債(TotalCurrentLiabilitiesIFRS)、固定負債(NonCurrentLabilitiesIFRS)、"
        "自己資本(EquityIFRS)、税引前利益(ProfitLossBeforeTaxIFRS)\n");
}

TEST(FilingImport, DoctypeAndEntitiesAreRefusedUnexpanded) {
    const QByteArray laughs =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE xbrl [\n<!ENTITY a \"aaaaaaaaaa\">\n"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n<!ENTITY c "
        "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n<!ENTITY e "
        "\"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">\n"
        "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">\n<!ENTITY g "
        "\"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">\n"
        "<!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">\n<!ENTITY i "
        "\"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">\n]>\n"
        "<xbrli:xbrl xmlns:xbrli=\"http://www.xbrl.org/2003/instance\">&i;</xbrli:xbrl>\n";
    const QByteArray external =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE xbrli:xbrl SYSTEM \"file:///etc/passwd\">\n"
        "<xbrli:xbrl xmlns:xbrli=\"http://www.xbrl.org/2003/instance\"/>\n";
    const QByteArray plain = "<?xml version=\"1.0\"?>\n<!DOCTYPE html>\n<html/>\n";
    for (const QByteArray& doc : {laughs, external, plain}) {
        EXPECT_EQ(Import(doc, FilingScope::Preferred).messageId, kMsgImportDoctype);
    }
}

TEST(FilingImport, OneHugeTokenEndsTheReadWithinItsLimit) {
    QByteArray doc = ReadFixture("two-years.xbrl");
    const QByteArray filler =
        "<jpcrp_cor:BusinessRisksTextBlock contextRef=\"FilingDateInstant\">" +
        QByteArray(3 << 20, 'x') + "</jpcrp_cor:BusinessRisksTextBlock>\n";
    doc.replace("  <!-- Consolidated statement of income -->", filler);
    FilingLimits limits;
    limits.maxTokenBytes = 1 << 20;
    EXPECT_EQ(Import(doc, FilingScope::Preferred, limits).messageId, kMsgImportTokenTooLarge);
    limits.maxTokenBytes = 4 << 20;  // the same text below the limit is read past
    EXPECT_EQ(Import(doc, FilingScope::Preferred, limits).csv, kConsolidated);
    limits.maxBytes = doc.size() - 1;  // and the whole file above its limit is not
    EXPECT_EQ(Import(doc, FilingScope::Preferred, limits).messageId, kMsgImportTooLarge);
}

TEST(FilingImport, ZipArchives) {
    const QByteArray instance = ReadFixture("two-years.xbrl");
    const QByteArray html = "<html><body>有価証券報告書</body></html>";
    const std::string dir = "S100ABCD/XBRL/PublicDoc/";
    const QByteArray filing = test::MakeZip({
        {"S100ABCD/XBRL/AuditDoc/jpaud-aar-cn-001_E99999-000_2024-03-31_01_2024-06-27.xbrl",
         ReadFixture("ifrs.xbrl")},
        {dir + "0101010_honbun_jpcrp030000-asr-001_E99999-000_2024-03-31_01_2024-06-27_ixbrl.htm",
         html},
        {dir + "jpcrp030000-asr-001_E99999-000_2024-03-31_01_2024-06-27.xsd", "<schema/>"},
        {dir + "jpcrp030000-asr-001_E99999-000_2024-03-31_01_2024-06-27.xbrl", instance},
    });
    const QByteArray noInstance = test::MakeZip({{dir + "0101010_honbun.htm", html},
                                                 {"XBRL/PublicDoc.xbrl", instance},
                                                 {"XBRL/AuditDoc/audit.xbrl", instance}});
    QByteArray truncated = filing.left(filing.size() / 2);
    QByteArray corrupted = filing;  // the deflated instance overwritten, the directory kept
    const qsizetype at =
        corrupted.indexOf(
            "PublicDoc/jpcrp030000-asr-001_E99999-000_2024-03-31_01_2024-06-27.xbrl") +
        200;
    for (qsizetype i = at; i < at + 100; ++i) corrupted[i] = static_cast<char>(corrupted[i] ^ 0x5A);

    struct ZipCase {
        const char* name;
        QByteArray bytes;
        FilingScope scope;
        std::string csv;
        int messageId;
    };
    const std::vector<ZipCase> cases = {
        {"filing", filing, FilingScope::Preferred, kConsolidated, 0},
        {"filing, non-consolidated", filing, FilingScope::NonConsolidated, kNonConsolidated, 0},
        {"no instance in PublicDoc", noInstance, FilingScope::Preferred, "", kMsgImportNoInstance},
        {"truncated", truncated, FilingScope::Preferred, "", kMsgImportDamagedZip},
        {"corrupted data", corrupted, FilingScope::Preferred, "", kMsgImportDamagedZip},
        {"empty archive", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'),
         FilingScope::Preferred, "", kMsgImportNoInstance},
        {"empty file", QByteArray(), FilingScope::Preferred, "", kMsgImportNotFiling},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Import(c.bytes, c.scope, {}, "filing.zip");
        EXPECT_EQ(o.messageId, c.messageId);
        EXPECT_EQ(o.csv, c.csv);
    }
}

// An entry that inflates far beyond the limit ends the read at the limit, whether the
// archive states the true size or a small one.
TEST(FilingImport, ZipBombEndsAtTheLimit) {
    QByteArray big =
        "<?xml version=\"1.0\"?><xbrli:xbrl xmlns:xbrli=\"http://www.xbrl.org/2003/instance\">";
    big += QByteArray(64 << 20, ' ');
    big += "</xbrli:xbrl>";
    const QByteArray honest = test::MakeZip({{"XBRL/PublicDoc/bomb.xbrl", big}});
    ASSERT_LT(honest.size(), 1 << 20);
    // The sizes in both headers patched to 1000 bytes: only counting the bytes finds out.
    QByteArray lying = honest;
    const quint32 stated = static_cast<quint32>(big.size());
    const QByteArray le(reinterpret_cast<const char*>(&stated), 4);
    const QByteArray small("\xE8\x03\x00\x00", 4);
    EXPECT_EQ(lying.count(le), 2);
    lying.replace(le, small);

    FilingLimits limits;
    limits.maxBytes = 8 << 20;
    for (const QByteArray& zip : {honest, lying}) {
        EXPECT_EQ(Import(zip, FilingScope::Preferred, limits, "bomb.zip").messageId,
                  kMsgImportTooLarge);
    }
    limits.maxBytes = limits.maxTokenBytes = 128 << 20;  // below the limits: read through
    EXPECT_EQ(Import(honest, FilingScope::Preferred, limits, "bomb.zip").messageId,
              kMsgImportMissingItems);
}

TEST(FilingImport, ProblemsAreShownWithTheFileName) {
    test::RecordingMessageSink sink;
    ReportFilingProblem("/tmp/x/a.xbrl",
                        {kMsgImportMissingItems, "2024年3月期: 粗利益(GrossProfit)\n"}, sink);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(sink.messages[0].Text(),
              "a.xbrl\n2024年3月期: 粗利益(GrossProfit)\n上の項目が見つからないため読み込めません\n"
              "(日本基準・IFRSの一般商工業の様式の財務諸表のみ読み込めます)");
}

}  // namespace
}  // namespace quorvex
