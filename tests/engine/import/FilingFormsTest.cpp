// One filing in every form users download gives the same figures, and the hostile inputs
// of each form end with a message within the limits.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <cmath>
#include <cstring>
#include <thread>

#include "engine/import/FilingImport.h"
#include "engine/import/FilingReaders.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"
#include "tests/engine/import/FilingFixtures.h"

namespace quorvex {
namespace {

using test::ReadFixture;

const std::string kConsolidated = std::string(test::kImportHeader) + test::kConsolidatedRows;

QString Home() {
    return QString::fromStdString(test::TestHome());
}
QString Write(const QString& relative, const QByteArray& bytes) {
    const QString path = Home() + "/" + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

struct Outcome {
    std::string csv;
    int messageId = 0;
    std::string detail;
};
Outcome ImportPaths(const QStringList& paths, const FilingLimits& limits = {}) {
    const ImportedFilings f = ImportFilingPaths(paths, FilingScope::Preferred, limits);
    Outcome o{{}, f.problem.messageId, f.problem.detail};
    if (o.messageId == 0) o.csv = ImportCsvText(f.periods);
    return o;
}

// The facts of the fixture instance: element, context, decimals, value.
struct FixtureFact {
    QString element, context;
    int decimals;
    qint64 value;
};
std::vector<FixtureFact> FactsOf(const QByteArray& xbrl) {
    static const QRegularExpression fact(
        R"re(<jppfs_cor:(\w+) contextRef="([^"]+)" unitRef="JPY" decimals="(-?\d+)">(-?\d+)<)re");
    std::vector<FixtureFact> out;
    for (auto m = fact.globalMatch(QString::fromUtf8(xbrl)); m.hasNext();) {
        const auto f = m.next();
        out.push_back(
            {f.captured(1), f.captured(2), f.captured(3).toInt(), f.captured(4).toLongLong()});
    }
    return out;
}

// The fixture as inline XBRL, as EDINET's PublicDoc has it: a header page with the
// contexts in ix:resources, and a statement page of ix:nonFraction in millions or
// thousands of yen, grouped with commas (X99001's pages write them so).
std::pair<QByteArray, QByteArray> AsInline(const QByteArray& xbrl) {
    const QByteArray open =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:ix=\"http://www.xbrl.org/2008/inlineXBRL\" "
        "xmlns:ixt=\"http://www.xbrl.org/inlineXBRL/transformation/2011-07-31\" "
        "xmlns:xbrli=\"http://www.xbrl.org/2003/instance\" "
        "xmlns:xbrldi=\"http://xbrl.org/2006/xbrldi\" "
        "xmlns:iso4217=\"http://www.xbrl.org/2003/iso4217\" "
        "xmlns:jppfs_cor=\"http://disclosure.edinet-fsa.go.jp/taxonomy/jppfs/2024-11-01/"
        "jppfs_cor\" "
        "xmlns:jpcrp_cor=\"http://disclosure.edinet-fsa.go.jp/taxonomy/jpcrp/2024-11-01/"
        "jpcrp_cor\">"
        "<head><title>t</title></head><body>\n";
    const qsizetype from = xbrl.indexOf("  <xbrli:context id=\"FilingDateInstant\">");
    const qsizetype to = xbrl.indexOf("  <jpdei_cor:");
    const QByteArray header = open +
                              "<div style=\"display:none\"><ix:header><ix:hidden/>"
                              "<ix:resources>\n" +
                              xbrl.mid(from, to - from) + "</ix:resources></ix:header></div>" +
                              "</body></html>\n";
    QByteArray page = open + "<table>";
    for (const FixtureFact& f : FactsOf(xbrl)) {
        const int scale = -f.decimals;
        const qint64 shown = std::abs(f.value) / static_cast<qint64>(std::pow(10, scale));
        QString grouped = QString::number(shown);
        for (qsizetype i = grouped.size() - 3; i > 0; i -= 3) grouped.insert(i, ',');
        page += QStringLiteral(
                    "<tr><td><span><ix:nonFraction name=\"jppfs_cor:%1\" contextRef=\"%2\" "
                    "unitRef=\"JPY\" decimals=\"%3\" scale=\"%4\" %5"
                    "format=\"ixt:numdotdecimal\">%6</ix:nonFraction></span></td></tr>\n")
                    .arg(f.element, f.context)
                    .arg(f.decimals)
                    .arg(scale)
                    .arg(f.value < 0 ? "sign=\"-\" " : "", grouped)
                    .toUtf8();
    }
    return {header, page + "</table></body></html>\n"};
}

QByteArray Utf16(const QString& text) {
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE", 2) + QByteArray(encoder.encode(text));
}

// The fixture as EDINET's CSV download: the DEI dates, then one row a fact.
QString CsvRow(const QString& element, const QString& context, const QString& unit,
               const QString& value) {
    return QStringLiteral(
               "\"%1\"\t\"名\"\t\"%2\"\t\"当期\"\t\"連結\"\t\"期間\"\t\"%3\"\t\"円\"\t\"%4\"\r\n")
        .arg(element, context, unit, value);
}
QByteArray AsCsv(const QByteArray& xbrl) {
    QString text = QStringLiteral(
        "\"要素ID\"\t\"項目名\"\t\"コンテキストID\"\t\"相対年度\"\t\"連結・個別\"\t\"期間・時点\"\t"
        "\"ユニットID\"\t\"単位\"\t\"値\"\r\n");
    const std::pair<const char*, const char*> dei[] = {
        {"CurrentFiscalYearStartDateDEI", "2023-04-01"},
        {"CurrentPeriodEndDateDEI", "2024-03-31"},
        {"TypeOfCurrentPeriodDEI", "FY"},
        {"CurrentFiscalYearEndDateDEI", "2024-03-31"},
        {"PreviousFiscalYearStartDateDEI", "2022-04-01"},
        {"ComparativePeriodEndDateDEI", "2023-03-31"},
        {"PreviousFiscalYearEndDateDEI", "2023-03-31"}};
    for (const auto& [name, value] : dei) {
        text += CsvRow(QStringLiteral("jpdei_cor:") + name, "FilingDateInstant", "", value);
    }
    for (const FixtureFact& f : FactsOf(xbrl)) {
        text += CsvRow("jppfs_cor:" + f.element, f.context, "JPY", QString::number(f.value));
    }
    return Utf16(text);
}

TEST(FilingForms, OneFilingInEveryFormGivesTheSameCsv) {
    const QByteArray xbrl = ReadFixture("two-years.xbrl");
    const auto [header, statements] = AsInline(xbrl);
    const QByteArray csv = AsCsv(xbrl);
    const std::string doc = "S100ABCD/XBRL/PublicDoc/";
    const std::string name = "jpcrp030000-asr-001_E99999-000_2024-03-31_01_2024-06-27";
    const QString h =
        Write("inline/0000000_header_" + QString::fromStdString(name) + "_ixbrl.htm", header);
    const QString s =
        Write("inline/0105020_honbun_" + QString::fromStdString(name) + "_ixbrl.htm", statements);
    Write("unpacked/a/" + QString::fromStdString(doc + name) + ".xbrl", xbrl);
    Write("unpacked/a/S100ABCD/XBRL/AuditDoc/jpaud-aar-cn-001.xbrl", ReadFixture("ifrs.xbrl"));
    Write("unpacked/a/" + QString::fromStdString(doc) + "0101010_honbun_" +
              QString::fromStdString(name) + "_ixbrl.htm",
          "<html/>");
    const std::pair<const char*, QStringList> forms[] = {
        {"instance", {Write("f.xbrl", xbrl)}},
        {"inline pages", {h, s}},
        {"inline pages in the other order", {s, h}},
        {"folder of inline pages", {Home() + "/inline"}},
        {"ZIP of inline pages",
         {Write("ix.zip",
                test::MakeZip({{doc + "0000000_header_" + name + "_ixbrl.htm", header},
                               {doc + "0105020_honbun_" + name + "_ixbrl.htm", statements}}))}},
        {"ZIP of the instance", {Write("x.zip", test::MakeZip({{doc + name + ".xbrl", xbrl}}))}},
        {"CSV file", {Write(QString::fromStdString(name) + ".tsv", csv)}},
        {"CSV ZIP",
         {Write("csv.zip",
                test::MakeZip({{"XBRL_TO_CSV/" + name + ".csv", csv},
                               {"XBRL_TO_CSV/jpaud-aar-cn-001_" + name + ".csv", "x"}}))}},
        {"unpacked ZIP with its audit report", {Home() + "/unpacked"}},
    };
    for (const auto& [form, paths] : forms) {
        SCOPED_TRACE(form);
        const Outcome o = ImportPaths(paths);
        EXPECT_EQ(o.messageId, 0) << o.detail;
        EXPECT_EQ(o.csv, kConsolidated);
    }
    // A statement page without its header has no contexts: not a filing on its own.
    EXPECT_EQ(ImportPaths({s}).messageId, kMsgImportNotFiling);
}

// An instance with text in place of its first consolidated fact.
QByteArray Edited(const QByteArray& before, const QByteArray& insert) {
    QByteArray x = ReadFixture("two-years.xbrl");
    return x.replace(before, insert + before);
}
const QByteArray kFirstFact = "  <!-- Consolidated balance sheet";

TEST(FilingForms, ValuesAsXmlSchemaDefinesThem) {
    const auto fact = [](const char* attributes, const char* value) {
        return QByteArray(
                   "<jppfs_cor:CurrentAssets contextRef=\"CurrentYearInstant\" unitRef=\"JPY\" ") +
               attributes + ">" + value + "</jppfs_cor:CurrentAssets>\n";
    };
    const auto context = [](const char* id, const char* period) {
        return QByteArray("<xbrli:context id=\"") + id +
               "\"><xbrli:entity><xbrli:identifier scheme=\"s\">E</xbrli:identifier></xbrli:entity>"
               "<xbrli:period>" +
               period + "</xbrli:period></xbrli:context>\n";
    };
    struct Case {
        const char* name;
        QByteArray insert;
        int messageId;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        {"xsi:nil=\"1\" is nil", fact("xsi:nil=\"1\"", ""), 0, ""},
        {"xsi:nil=\"true\" is nil", fact("xsi:nil=\"true\"", ""), 0, ""},
        {"xsi:nil=\"0\" is a value", fact("xsi:nil=\"0\"", "3000000000"), 0, ""},
        {"xsi:nil of another word", fact("xsi:nil=\"yes\"", ""), kMsgImportXml, "CurrentAssets"},
        {"an equal duplicate", fact("", "3000000000"), 0, ""},
        {"a conflicting fact", fact("", "3000000001"), kMsgImportConflict, "「3000000001」"},
        {"two contexts with one id",
         context("CurrentYearInstant", "<xbrli:instant>2023-03-31</xbrli:instant>"),
         kMsgImportConflict, "CurrentYearInstant"},
        {"no 31 February", context("X", "<xbrli:instant>2024-02-31</xbrli:instant>"),
         kMsgImportBadDate, "X: 2024-02-31"},
        {"no year 0",
         context("Y",
                 "<xbrli:startDate>0000-04-01</xbrli:startDate><xbrli:endDate>"
                 "2024-03-31</xbrli:endDate>"),
         kMsgImportBadDate, "Y"},
        {"no hour 99", context("Z", "<xbrli:instant>2024-03-31T99:99garbage</xbrli:instant>"),
         kMsgImportBadDate, "Z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = ImportPaths({Write("v.xbrl", Edited(kFirstFact, c.insert))});
        EXPECT_EQ(o.messageId, c.messageId) << o.detail;
        EXPECT_NE(o.detail.find(c.mentions), std::string::npos) << o.detail;
        if (c.messageId == 0) {
            EXPECT_EQ(o.csv, kConsolidated);
        }
    }
}

// Nested elements, each declaring a namespace: 20,000 of them took 1.68 GB before the
// scopes shared one stack.
QByteArray Nested(const QByteArray& root, int depth, const QByteArray& tag) {
    QByteArray doc = root;
    for (int i = 0; i < depth; ++i) doc += "<" + tag + " xmlns:p=\"urn:p\">";
    for (int i = 0; i < depth; ++i) doc += "</" + tag + ">";
    return doc;
}
const QByteArray kInstanceRoot = "<xbrli:xbrl xmlns:xbrli=\"http://www.xbrl.org/2003/instance\">";
const QByteArray kPageRoot = "<html xmlns=\"http://www.w3.org/1999/xhtml\">";

TEST(FilingForms, HostileDocumentsEndWithTheLimitTheyHit) {
    QByteArray attributes = kInstanceRoot + "<a";
    for (int i = 0; i < 200000; ++i) attributes += " a" + QByteArray::number(i) + "=\"\"";
    attributes += "/></xbrli:xbrl>";
    FilingLimits few;
    few.maxKept = 5;
    FilingLimits smallToken;
    smallToken.maxTokenBytes = 1 << 20;
    struct Case {
        const char* name;
        QByteArray bytes;
        FilingLimits limits;
        int messageId;
    };
    const std::vector<Case> cases = {
        {"20,000 nested namespaced elements",
         Nested(kInstanceRoot, 20000, "x") + "</xbrli:xbrl>",
         {},
         kMsgImportTooDeep},
        {"an inline page 20,000 deep",
         Nested(kPageRoot, 20000, "div") + "</html>",
         {},
         kMsgImportTooDeep},
        {"9,000 deep is read",
         Nested(kInstanceRoot, 9000, "x") + "</xbrli:xbrl>",
         {},
         kMsgImportMissingItems},
        {"200,000 attributes", attributes, {}, kMsgImportTooManyAttributes},
        {"more facts than kept", ReadFixture("two-years.xbrl"), few, kMsgImportTooManyFacts},
        {"a 2 MB attribute",
         kInstanceRoot + "<a b=\"" + QByteArray(2 << 20, 'x') + "\"/></xbrli:xbrl>", smallToken,
         kMsgImportTokenTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(ImportPaths({Write("h.xbrl", c.bytes)}, c.limits).messageId, c.messageId);
        EXPECT_LT(timer.elapsed(), 10000);
    }
    FilingLimits entries;
    entries.maxZipEntries = 10;
    std::vector<std::pair<std::string, QByteArray>> many;
    for (int i = 0; i < 11; ++i) many.push_back({"e" + std::to_string(i), "x"});
    EXPECT_EQ(ImportPaths({Write("many.zip", test::MakeZip(many))}, entries).messageId,
              kMsgImportTooManyEntries);
    // A CSV ZIP bomb: 64 MB of rows in a small archive, read to the byte limit only.
    QByteArray rows = AsCsv(ReadFixture("two-years.xbrl"));
    rows += QByteArray(64 << 20, ' ');
    FilingLimits bytes;
    bytes.maxBytes = 8 << 20;
    EXPECT_EQ(ImportPaths({Write("bomb.zip", test::MakeZip({{"XBRL_TO_CSV/a.csv", rows}}))}, bytes)
                  .messageId,
              kMsgImportTooLarge);
}

TEST(FilingForms, Utf16MustBeWellFormed) {
    const QByteArray csv = AsCsv(ReadFixture("two-years.xbrl"));
    const QByteArray lone("\x00\xD8", 2), low("\x00\xDC", 2);
    const QByteArray pair("\x3D\xD8\x00\xDE", 4);  // U+1F600
    // In the 項目名 of the first row after the header.
    const qsizetype row =
        csv.indexOf(QByteArray("\x0D\x54", 2), csv.indexOf(QByteArray("\n\x00", 2)));
    const std::pair<QByteArray, int> cases[] = {
        {csv.left(row) + pair + csv.mid(row), 0},  // a paired one is a character
        {csv.left(row) + lone + csv.mid(row), kMsgImportBadUtf16},
        {csv.left(row) + low + csv.mid(row), kMsgImportBadUtf16},
        {csv + lone, kMsgImportBadUtf16},
    };
    for (const auto& [bytes, id] : cases) {
        EXPECT_EQ(ImportPaths({Write("s.csv", bytes)}).messageId, id);
    }
}

TEST(FilingForms, SpecialFilesNeverBlock) {
    const QString fifo = Home() + "/fifo.xbrl";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(ImportPaths({fifo}).messageId, kMsgImportNotFiling);  // no writer: nothing in it
    EXPECT_LT(timer.elapsed(), 2000);
    // A ZIP through a pipe, as a process substitution gives it, is read whole, then opened
    // as any other.
    const QByteArray zip =
        test::MakeZip({{"XBRL/PublicDoc/a.xbrl", ReadFixture("two-years.xbrl")}});
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::thread writer([&] {
        for (qsizetype at = 0; at < zip.size();) {
            const ssize_t n =
                write(ends[1], zip.constData() + at, static_cast<std::size_t>(zip.size() - at));
            if (n <= 0) break;
            at += n;
        }
        close(ends[1]);
    });
    const Outcome piped = ImportPaths({QStringLiteral("/dev/fd/%1").arg(ends[0])});
    writer.join();
    close(ends[0]);
    EXPECT_EQ(piped.csv, kConsolidated);

    const QString socketPath = Home() + "/s.sock";
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(socketPath);
    std::memcpy(address.sun_path, encoded.constData(), std::min<std::size_t>(encoded.size(), 100));
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(ImportPaths({socketPath}).messageId, kMsgImportNotRegular);
    close(fd);
    EXPECT_EQ(ImportPaths({"/dev/zero"}).messageId, kMsgImportNotRegular);
}

TEST(FilingForms, FoldersAreBoundedAndStayInside) {
    const QString root = Home() + "/filings";
    Write("filings/a/f.xbrl", ReadFixture("two-years.xbrl"));
    Write("outside/g.xbrl", ReadFixture("ifrs.xbrl"));
    // A link back to the folder itself, and one to a filing outside it: neither is read.
    ASSERT_EQ(symlink("..", QFile::encodeName(root + "/a/loop").constData()), 0);
    ASSERT_EQ(symlink(QFile::encodeName(Home() + "/outside/g.xbrl").constData(),
                      QFile::encodeName(root + "/g.xbrl").constData()),
              0);
    EXPECT_EQ(ImportPaths({root}).csv, kConsolidated);
    FilingLimits few;
    few.maxFolderEntries = 10;
    for (int i = 0; i < 10; ++i) Write("filings/b/" + QString::number(i) + ".txt", "x");
    EXPECT_EQ(ImportPaths({root}, few).messageId, kMsgImportTooManyFiles);
    QDir().mkpath(Home() + "/empty/x");
    EXPECT_EQ(ImportPaths({Home() + "/empty"}).messageId, kMsgImportNothingInFolder);
}

TEST(FilingForms, ReportedProblemsAreBounded) {
    std::string detail;
    for (int y = 1960; y < 2021; ++y)
        detail += std::to_string(y) + "年3月期: 粗利益(GrossProfit)\n";
    detail += "x\n警告: 偽の行\x1b[31m\n";
    test::RecordingMessageSink sink;
    ReportFilingProblem("/tmp/a\nb.xbrl", {kMsgImportMissingItems, detail}, sink);
    ASSERT_EQ(sink.messages.size(), 1u);
    const std::string& shown = sink.messages[0].prefix;
    EXPECT_TRUE(shown.starts_with("a\uFFFDb.xbrl\n1960年3月期")) << shown;
    EXPECT_NE(shown.find("\nほか 43期\n"), std::string::npos) << shown;
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 22);
}

// The filer's linkbases, in the shape of EDINET's *_pre.xml, *_cal.xml and *_lab.xml (the
// roles and hrefs as X99001's filing writes them).
TEST(FilingForms, LinkbasesBesideTheStatements) {
    const QByteArray open =
        "<link:linkbase xmlns:link=\"http://www.xbrl.org/2003/linkbase\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
        "xmlns:xml=\"http://www.w3.org/XML/1998/namespace\">";
    const QByteArray std =
        "http://disclosure.edinet-fsa.go.jp/taxonomy/jppfs/2024-11-01/jppfs_cor_2024-11-01.xsd";
    const QByteArray own = "jpcrp030000-asr-001_X99001-000_2025-03-31_01_2025-06-28.xsd";
    const QByteArray pre =
        open +
        "<link:presentationLink xlink:type=\"extended\" "
        "xlink:role=\"http://disclosure.edinet-fsa.go.jp/role/jppfs/rol_ConsolidatedBalanceSheet\">"
        "<link:loc xlink:type=\"locator\" xlink:href=\"" +
        std +
        "#jppfs_cor_CurrentAssets\" xlink:label=\"a\"/>"
        "<link:presentationArc xlink:type=\"arc\" xlink:from=\"a\" xlink:to=\"b\" order=\"2.0\"/>"
        "<link:loc xlink:type=\"locator\" xlink:href=\"" +
        own +
        "#jpcrp030000-asr_X99001-000_OtherCurrentAssetsX\" xlink:label=\"b\"/>"
        "</link:presentationLink></link:linkbase>";
    const QByteArray cal =
        open +
        "<link:calculationLink xlink:type=\"extended\" xlink:role=\"r\">"
        "<link:loc xlink:type=\"locator\" xlink:href=\"" +
        std +
        "#jppfs_cor_CurrentAssets\" xlink:label=\"a\"/>"
        "<link:loc xlink:type=\"locator\" xlink:href=\"" +
        own +
        "#jpcrp030000-asr_X99001-000_OtherCurrentAssetsX\" xlink:label=\"b\"/>"
        "<link:calculationArc xlink:type=\"arc\" xlink:from=\"a\" xlink:to=\"b\" weight=\"-1\"/>"
        "</link:calculationLink></link:linkbase>";
    const QByteArray lab =
        open +
        "<link:labelLink xlink:type=\"extended\" xlink:role=\"http://www.xbrl.org/2003/role/link\">"
        "<link:loc xlink:type=\"locator\" xlink:href=\"" +
        own +
        "#jpcrp030000-asr_X99001-000_OtherCurrentAssetsX\" xlink:label=\"b\"/>"
        "<link:label xlink:type=\"resource\" xlink:label=\"l\" "
        "xlink:role=\"http://www.xbrl.org/2003/role/label\" "
        "xml:lang=\"ja\">その他の流動資産</link:label>"
        "<link:label xlink:type=\"resource\" xlink:label=\"l\" "
        "xlink:role=\"http://www.xbrl.org/2003/role/label\" xml:lang=\"en\">Other</link:label>"
        "<link:labelArc xlink:type=\"arc\" xlink:from=\"b\" xlink:to=\"l\"/>"
        "</link:labelLink></link:linkbase>";
    FilingLinkbases linkbases;
    for (const QByteArray& doc : {pre, cal, lab}) {
        QByteArray bytes = doc;
        GuardedInput input(
            [&bytes, at = qsizetype{0}](char* data, std::int64_t max) mutable -> std::int64_t {
                const qsizetype n = std::min<qsizetype>(max, bytes.size() - at);
                std::memcpy(data, bytes.constData() + at, static_cast<std::size_t>(n));
                at += n;
                return n;
            },
            1 << 20, 1 << 20);
        EXPECT_EQ(ReadLinkbase(input, linkbases, {}, kMsgImportOpen).messageId, 0);
    }
    EXPECT_TRUE(linkbases.present);
    const FilingElement current{FilingTaxonomy::Jppfs, "CurrentAssets"};
    const FilingElement other{FilingTaxonomy::Filer, "OtherCurrentAssetsX"};
    ASSERT_EQ(linkbases.presentation.size(), 1u);
    EXPECT_EQ(linkbases.presentation[0].from, current);
    EXPECT_EQ(linkbases.presentation[0].to, other);
    EXPECT_EQ(linkbases.presentation[0].order, 2.0);
    ASSERT_EQ(linkbases.calculation.size(), 1u);
    EXPECT_EQ(linkbases.calculation[0].weight, -1.0);
    EXPECT_EQ(linkbases.calculation[0].role, "r");
    ASSERT_EQ(linkbases.labels.size(), 1u);  // the Japanese one only
    EXPECT_EQ(linkbases.labels[0].first, other);
    EXPECT_EQ(linkbases.labels[0].second, "その他の流動資産");
}

}  // namespace
}  // namespace quorvex
