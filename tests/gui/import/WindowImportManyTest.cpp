// Many filings at once in the real main window (several files chosen, several files or a
// folder dropped), with scripted dialogs: the CSV saved, then the window's comparison
// sheet or batch run on it. And the message box, which shows names as plain text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QXmlStreamReader>
#include <memory>

#include "core/batch/CsvText.h"
#include "engine/import/FilingImport.h"
#include "gui/import/WindowImport.h"
#include "gui/widgets/ChoiceDialog.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"
#include "tests/engine/import/FilingFixtures.h"

namespace quorvex {
namespace {

using test::ReadFixture;

const QString kCompany = QStringLiteral("株式会社テスト");

// two-years.xbrl (fiscal years to March 2023 and 2024) n years later, with the filer's
// name among its DEI facts.
QByteArray FilingYearsLater(int n) {
    QByteArray t = ReadFixture("two-years.xbrl");
    for (int y = 2024; y >= 2022; --y) {
        t.replace(QByteArray::number(y) + "-0", QByteArray::number(y + n) + "-0");
    }
    const QByteArray dei = "<jpdei_cor:CurrentFiscalYearEndDateDEI";
    t.replace(dei, "<jpdei_cor:FilerNameInJapaneseDEI contextRef=\"FilingDateInstant\">" +
                       kCompany.toUtf8() + "</jpdei_cor:FilerNameInJapaneseDEI>\n  " + dei);
    return t;
}

QString Home(const QString& name) {
    return QString::fromStdString(test::TestHome()) + "/" + name;
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The texts of every <text> element of an SVG, joined; empty when it is not XML.
QString SvgTexts(const QByteArray& svg) {
    QXmlStreamReader xml(svg);
    QString out;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text") {
            out += xml.readElementText() + "|";
        }
    }
    return xml.hasError() ? QString() : out;
}

class WindowImportManyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageHook(&sink_);
        SetChoiceHook([this](const ChoiceRequest& r) {
            choices_.push_back(r);
            return choice_;
        });
        SetFileDialogHook([this](const FileDialogRequest& r) {
            files_.push_back(r);
            if (answers_.empty()) return QString();
            const QString a = answers_.front();
            answers_.erase(answers_.begin());
            return a;
        });
        folder_ = Home("filings");
        // Three filings, the middle one zipped: years 2023 to 2026, each later one
        // restating the year before it.
        paths_ = {WriteFile(folder_ + "/a.xbrl", FilingYearsLater(0)),
                  WriteFile(folder_ + "/b.zip",
                            test::MakeZip({{"XBRL/PublicDoc/b.xbrl", FilingYearsLater(1)}})),
                  WriteFile(folder_ + "/c.xbrl", FilingYearsLater(2))};
        // "Show the folder?" is declined: no file manager in a test.
        sink_.answers = {kNo, kNo, kNo};
        dlg_ = std::make_unique<CTesselDlg>();
    }
    void TearDown() override {
        SetMessageHook(nullptr);
        SetChoiceHook(nullptr);
        SetFileDialogHook(nullptr);
    }
    bool Drop(const QStringList& paths) {
        auto* mime = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
        mime->setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 300), Qt::CopyAction, mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(dlg_.get(), &enter);
        QDropEvent drop(QPointF(20, 300), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        const bool handled = QApplication::sendEvent(dlg_.get(), &drop);
        delete mime;
        return enter.isAccepted() && handled && drop.isAccepted();
    }
    // The company the mapping finds in the fixtures (none before it reads the DEI name).
    std::string Company() {
        const auto imported = ImportFilingPaths(paths_, FilingScope::Preferred);
        return imported.periods.empty() ? std::string() : imported.periods.back().company;
    }

    test::RecordingMessageSink sink_;
    std::vector<ChoiceRequest> choices_;
    int choice_ = 0;
    std::vector<FileDialogRequest> files_;
    std::vector<QString> answers_;
    QString folder_;
    QStringList paths_;
    std::unique_ptr<CTesselDlg> dlg_;
};

const QStringList kYears = {"2023年3月期", "2024年3月期", "2025年3月期", "2026年3月期"};

TEST_F(WindowImportManyTest, ChosenFilingsGiveTheCsvAndTheSheetOfEveryPeriod) {
    const QString csv = Home("out/imported.csv");
    const QString sheet = Home("out/sheet.svg");
    QDir().mkpath(Home("out"));
    answers_ = {paths_.join(QChar(0)), Home("out/imported"), sheet};
    choice_ = 0;  // the comparison sheet
    qobject_cast<QPushButton*>(dlg_->control(kIdImportFiling))->click();

    ASSERT_EQ(files_.size(), 3u);
    EXPECT_FALSE(files_[0].save);
    EXPECT_TRUE(files_[0].several);
    // The save dialog: beside the filings, named after the company.
    EXPECT_TRUE(files_[1].save);
    EXPECT_EQ(files_[1].directory, folder_);
    const std::string company = Company();
    EXPECT_TRUE(company.empty() || QString::fromStdString(company) == kCompany) << company;
    EXPECT_EQ(files_[1].defaultName,
              company.empty() ? QStringLiteral("EDINET読込.csv") : kCompany + ".csv");
    // The CSV: UTF-8, every period once, oldest first; the later filing's figures win.
    const QByteArray bytes = ReadFile(csv);
    EXPECT_TRUE(IsValidUtf8(bytes.toStdString()));
    const QStringList lines = QString::fromUtf8(bytes).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << bytes.constData();
    EXPECT_EQ(lines[0] + "\n", QString::fromUtf8(test::kImportHeader));
    for (int i = 0; i < kYears.size(); ++i) EXPECT_TRUE(lines[i + 1].startsWith(kYears[i] + ","));
    EXPECT_EQ(ImportCsvText(ImportFilingPaths(paths_, FilingScope::Preferred).periods),
              bytes.toStdString());
    // Then the choice, and the window's sheet of the CSV: every period drawn.
    ASSERT_EQ(choices_.size(), 1u);
    EXPECT_EQ(choices_[0].items.size(), 2);
    EXPECT_TRUE(files_[2].save);
    const QString texts = SvgTexts(ReadFile(sheet));
    for (const QString& year : kYears) EXPECT_TRUE(texts.contains(year)) << year.toStdString();
    std::vector<int> shown = {kMsgSavedShowFolder};
    if (!ImportFilingPaths(paths_, FilingScope::Preferred).notes.empty()) {
        shown.insert(shown.begin(), kMsgImportNotes);
    }
    EXPECT_EQ(sink_.Ids(), shown);
}

TEST_F(WindowImportManyTest, DroppedFilingsOrFolderOfferTheBatchRun) {
    struct Case {
        const char* what;
        QStringList dropped;
    };
    const Case cases[] = {{"three files", paths_}, {"their folder", {folder_}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dlg_ = std::make_unique<CTesselDlg>();
        files_.clear();
        choices_.clear();
        sink_.messages.clear();
        const QString csv = Home(QStringLiteral("dropped-%1.csv").arg(c.dropped.size()));
        answers_ = {csv};
        choice_ = 1;  // the batch run
        ASSERT_TRUE(Drop(c.dropped));
        const auto imported = ImportFilingPaths(c.dropped, FilingScope::Preferred);
        if (imported.problem.messageId != 0) {
            // Folders are read once the import takes them: until then the refusal is
            // shown and nothing is saved.
            EXPECT_EQ(sink_.Ids(), std::vector<int>{imported.problem.messageId});
            EXPECT_TRUE(files_.empty());
            continue;
        }
        ASSERT_EQ(files_.size(), 1u);
        EXPECT_TRUE(files_[0].save);
        EXPECT_EQ(dlg_->lastBatchPath(), csv);
        EXPECT_EQ(dlg_->lastBatchTitle(), QFileInfo(csv).completeBaseName());
        // The batch run loaded the latest period into the fields.
        EXPECT_EQ(qobject_cast<QLineEdit*>(dlg_->control(kIdPeriod))->text(), kYears.back());
    }
}

TEST_F(WindowImportManyTest, RefusalsAndCancelsWriteNothing) {
    // One refused filing among them: its message, no save dialog.
    const QString ifrs = WriteFile(Home("ifrs.xbrl"), ReadFixture("ifrs.xbrl"));
    ImportFilingsIntoWindow(*dlg_, *dlg_, {paths_[0], ifrs});
    ASSERT_EQ(sink_.messages.size(), 1u);
    EXPECT_EQ(sink_.messages[0].id, kMsgImportConsolidatedItems);
    EXPECT_TRUE(sink_.messages[0].prefix.starts_with("ifrs.xbrl\n"));
    EXPECT_TRUE(files_.empty());

    // The save dialog cancelled: no file, no choice.
    sink_.messages.clear();
    answers_ = {QString()};
    EXPECT_FALSE(ImportManyFilings(*dlg_, *dlg_, paths_));
    EXPECT_EQ(files_.size(), 1u);
    EXPECT_TRUE(choices_.empty());
    EXPECT_TRUE(QDir(Home("")).entryList({"*.csv"}).isEmpty());

    // The choice cancelled: the CSV stays, nothing runs.
    answers_ = {Home("kept.csv")};
    choice_ = -1;
    EXPECT_TRUE(ImportManyFilings(*dlg_, *dlg_, paths_));
    EXPECT_TRUE(QFileInfo::exists(Home("kept.csv")));
    EXPECT_EQ(dlg_->lastBatchPath(), QString());
    // An existing CSV is replaced only when the user says so.
    sink_.answers = {kNo};
    answers_ = {Home("kept.csv")};
    WriteFile(Home("kept.csv"), "old");
    EXPECT_FALSE(ImportManyFilings(*dlg_, *dlg_, paths_));
    EXPECT_EQ(ReadFile(Home("kept.csv")), QByteArray("old"));
}

TEST(ImportCsvName, CompanyOrPlainName) {
    const std::pair<std::string, QString> cases[] = {
        {"株式会社テスト", "株式会社テスト.csv"},
        {"  A/B\\C  ", "A_B_C.csv"},
        {"x\ty\x01", "x_y_.csv"},
        {"", "EDINET読込.csv"},
        {"..", "EDINET読込.csv"},
        {"   ", "EDINET読込.csv"},
    };
    for (const auto& [company, name] : cases) {
        EXPECT_EQ(ImportCsvFileName(company), name) << company;
    }
}

// The message box lays names out as the characters they are, never as markup.
TEST(MessageBoxText, NamesArePlainText) {
    const char* prefixes[] = {"<font size=7 color=red>大きな文字</font>.xbrl\n", "<b>R&D</b>\n",
                              "<img src=\"x\">\n", "&lt;tag&gt;\n"};
    for (const char* prefix : prefixes) {
        QMessageBox box;
        PrepareMessageBox(box, MessageText(kMsgImportOpen), prefix, MessageKind::Error);
        EXPECT_EQ(box.textFormat(), Qt::PlainText) << prefix;
        const QString shown = QString::fromUtf8(prefix) + QStringLiteral("ファイルを開けません");
        EXPECT_EQ(box.text(), shown);
        bool laidOut = false;
        for (const QLabel* label : box.findChildren<QLabel*>()) {
            if (label->text() != shown) continue;
            laidOut = true;
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << prefix;
        }
        EXPECT_TRUE(laidOut) << prefix;
    }
}

}  // namespace
}  // namespace quorvex
