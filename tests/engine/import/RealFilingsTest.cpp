// Every filing of the shared real-data folder (when it is there) against the figures its
// expected.tsv lists, and every refusal of goal-refusals.tsv: the whole path from the file
// to the batch CSV's periods. QUORVEX_REALDATA in the environment overrides the folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <map>

#include "engine/import/FilingImport.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

QString Folder() {
    const QByteArray env = qgetenv("QUORVEX_REALDATA");
    return env.isEmpty() ? QStringLiteral(QUORVEX_REALDATA_DIR) : QString::fromLocal8Bit(env);
}

std::vector<QStringList> ReadTsv(const QString& path) {
    QFile f(path);
    std::vector<QStringList> rows;
    if (!f.open(QIODevice::ReadOnly)) return rows;
    bool header = true;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        if (!std::exchange(header, false)) rows.push_back(QString::fromUtf8(line).split('\t'));
    }
    return rows;
}

TEST(RealFilings, EveryListedPeriodWithAllTenFigures) {
    const QString folder = Folder();
    if (!QFileInfo(folder + "/expected.tsv").exists())
        GTEST_SKIP() << "no " << folder.toStdString();
    // file -> the rows "period,ten figures" it must give, in order.
    std::map<QString, std::vector<std::string>> expected;
    for (const QStringList& row : ReadTsv(folder + "/expected.tsv")) {
        ASSERT_GE(row.size(), 14) << row.join('\t').toStdString();
        QStringList record{row[3]};
        for (int i = 4; i < 14; ++i) record << row[i];
        expected[row[0]].push_back(record.join(',').toStdString());
    }
    ASSERT_FALSE(expected.empty());
    for (const auto& [file, rows] : expected) {
        SCOPED_TRACE(file.toStdString());
        QString path = folder + "/files/" + file;
        if (path.endsWith('/')) path.chop(1);
        const ImportedFilings got = ImportFilingPaths({path}, FilingScope::Preferred);
        ASSERT_EQ(got.problem.messageId, 0) << got.problem.detail;
        std::vector<std::string> records;
        for (const ImportedPeriod& p : got.periods) {
            std::string r = p.name;
            for (const std::string& a : p.amounts) r += "," + a;
            records.push_back(r);
        }
        EXPECT_EQ(records, rows);
    }
}

TEST(RealFilings, EveryGoalRefusalIsRefusedWithItsMessage) {
    const QString folder = Folder();
    if (!QFileInfo(folder + "/goal-refusals.tsv").exists()) GTEST_SKIP();
    const auto rows = ReadTsv(folder + "/goal-refusals.tsv");
    ASSERT_FALSE(rows.empty());
    for (const QStringList& row : rows) {
        SCOPED_TRACE(row.join('\t').toStdString());
        const QString path = folder + "/files/" + row[0];
        const ImportedFilings got = ImportFilingPaths({path}, FilingScope::Preferred);
        ASSERT_NE(got.problem.messageId, 0);
        EXPECT_TRUE(got.periods.empty());
        test::RecordingMessageSink sink;
        ReportFilingProblem(got.problemPath, got.problem, sink);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].kind, MessageKind::Error);
        // A balance sheet without the current/non-current split is told for what it is.
        if (row.value(1).contains(QLatin1String("no current/non-current split"))) {
            EXPECT_EQ(got.problem.messageId, kMsgImportIndustryFormat);
            EXPECT_NE(got.problem.detail.find("流動資産(CurrentAssets)"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace quorvex
