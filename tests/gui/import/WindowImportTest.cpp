// Filings into the window (button, drop, year chooser) and the warning line, on the real
// main window with scripted dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <memory>

#include "gui/import/WindowImport.h"
#include "gui/widgets/ChoiceDialog.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/ControlTable.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"
#include "tests/engine/import/FilingFixtures.h"

namespace quorvex {
namespace {

using test::ReadFixture;

class WindowImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageHook(&sink_);
        SetChoiceHook([this](const ChoiceRequest& r) {
            asked_.push_back(r);
            return answer_;
        });
        dlg_ = std::make_unique<CTesselDlg>();
    }
    void TearDown() override {
        SetMessageHook(nullptr);
        SetChoiceHook(nullptr);
        SetFileDialogHook(nullptr);
    }
    QString Text(int id) {
        QWidget* w = dlg_->control(id);
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        return {};
    }
    QString Write(const char* name, const QByteArray& bytes) {
        const QString path = QString::fromStdString(test::TestHome()) + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // The ten amounts, the period and the first name as the fields hold them.
    QStringList Fields() {
        QStringList out;
        for (int i = 0; i < kItemCount; ++i) out << Text(kIdAmountBase + i);
        out << Text(kIdPeriod) << Text(kIdNameBase);
        return out;
    }
    bool Drop(const QString& path) {
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(path)});
        // As a drag does it: entering first, then the drop.
        QDragEnterEvent enter(QPoint(20, 300), Qt::CopyAction, mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(dlg_.get(), &enter);
        QDropEvent drop(QPointF(20, 300), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        const bool handled = QApplication::sendEvent(dlg_.get(), &drop);
        delete mime;
        return enter.isAccepted() && handled && drop.isAccepted();
    }

    test::RecordingMessageSink sink_;
    std::vector<ChoiceRequest> asked_;
    int answer_ = 0;
    std::unique_ptr<CTesselDlg> dlg_;
};

const QStringList k2024 = {"3000000000", "2000000000", "2000000000",  "1000000000",
                           "2000000000", "8000000000", "6000000000",  "2000000000",
                           "1500000000", "500000000",  "2024年3月期", "流動資産"};
const QStringList k2023 = {"2800000000", "1700000000", "1900000000",  "900000000",
                           "1700000000", "7000000000", "5300000000",  "1700000000",
                           "1400000000", "300000000",  "2023年3月期", "流動資産"};

TEST_F(WindowImportTest, ButtonAndLineAreInTheTableBesideTheDescribedControls) {
    const auto& table = MainWindowControls();
    for (int id : {kIdImportFiling, kIdConsistencyLine}) {
        const auto mine = std::find_if(table.begin(), table.end(),
                                       [id](const ControlEntry& c) { return c.id == id; });
        ASSERT_NE(mine, table.end()) << id;
        for (const ControlEntry& other : table) {
            if (other.id == id || other.kind == ControlKind::GroupBox ||
                (other.flags & kFlagHidden)) {
                continue;
            }
            const DialogRect a = mine->rect, b = other.rect;
            const bool overlap =
                a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
            EXPECT_FALSE(overlap) << id << " overlaps " << other.id << " " << other.text;
        }
    }
    auto* button = qobject_cast<QPushButton*>(dlg_->control(kIdImportFiling));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("読込(&EDINET)..."));
    EXPECT_FALSE(button->toolTip().isEmpty());
}

TEST_F(WindowImportTest, ImportFillsTheChosenYear) {
    const QString two = Write("two.xbrl", ReadFixture("two-years.xbrl"));
    struct Case {
        const char* name;
        int answer;
        QStringList fields;
    };
    const QStringList empty = {"", "", "", "", "", "", "", "", "", "", "", ""};
    const Case cases[] = {
        {"confirmed: the latest", 0, k2024},
        {"the prior year", 1, k2023},
        {"cancelled: nothing changes", -1, empty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dlg_ = std::make_unique<CTesselDlg>();
        for (int i = 0; i < kItemCount; ++i)
            qobject_cast<QLineEdit*>(dlg_->control(kIdNameBase + i))->clear();
        asked_.clear();
        answer_ = c.answer;
        EXPECT_EQ(ImportFilingIntoWindow(*dlg_, two), c.answer >= 0);
        ASSERT_EQ(asked_.size(), 1u);
        // Each year with the company (none in this filing), standard and basis.
        EXPECT_EQ(asked_[0].items,
                  (QStringList{"2024年3月期  (日本基準・連結)", "2023年3月期  (日本基準・連結)"}));
        EXPECT_EQ(asked_[0].current, 0);
        EXPECT_EQ(asked_[0].label, QStringLiteral("読み込む期を選んでください"));
        EXPECT_EQ(Fields(), c.fields);
        EXPECT_TRUE(sink_.messages.empty());
    }
    // The amount labels follow as typing would have made them.
    EXPECT_EQ(Text(kIdAmountLabelBase), QStringLiteral("0円"));
}

TEST_F(WindowImportTest, OneYearAsksNothingAndRefusalsChangeNothing) {
    const QByteArray twoYears = ReadFixture("two-years.xbrl");
    // Without the prior year's income statement there is one fiscal year only.
    const QString one =
        Write("one.xbrl", test::WithoutLines(twoYears, {"contextRef=\"Prior1YearDuration"}));
    EXPECT_TRUE(ImportFilingIntoWindow(*dlg_, one));
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(Fields(), k2024);

    // IFRS lines missing: the parent's figures are offered; this filing has none either.
    const QString ifrs = Write("ifrs.xbrl", ReadFixture("ifrs.xbrl"));
    sink_.answers = {kYes};
    EXPECT_FALSE(ImportFilingIntoWindow(*dlg_, ifrs));
    ASSERT_EQ(sink_.messages.size(), 2u);
    EXPECT_EQ(sink_.messages[0].id, kMsgImportAskNonConsolidated);
    EXPECT_EQ(sink_.messages[1].id, kMsgImportNoNonConsolidated);
    EXPECT_TRUE(sink_.messages[1].prefix.starts_with("ifrs.xbrl\n"));
    EXPECT_EQ(Fields(), k2024);
}

TEST_F(WindowImportTest, ButtonAndDrop) {
    const QString zip = Write(
        "filing.ZIP", test::MakeZip({{"XBRL/PublicDoc/f.xbrl", ReadFixture("two-years.xbrl")}}));
    std::vector<FileDialogRequest> requests;
    SetFileDialogHook([&](const FileDialogRequest& r) {
        requests.push_back(r);
        return zip;
    });
    qobject_cast<QPushButton*>(dlg_->control(kIdImportFiling))->click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].save);
    EXPECT_EQ(Fields(), k2024);

    dlg_ = std::make_unique<CTesselDlg>();
    answer_ = 1;
    EXPECT_TRUE(Drop(zip));
    EXPECT_EQ(Fields(), k2023);
    // Anything else dropped on the window is not taken.
    EXPECT_FALSE(Drop(Write("data.csv", "期\n")));
    EXPECT_TRUE(sink_.messages.empty());
}

// A group whose consolidated statements the filing lacks (its DEI says IFRS): the parent's
// figures only when the user says so, and the line says whose they are.
TEST_F(WindowImportTest, ParentFiguresOnlyWhenAsked) {
    const QString ifrs = Write(
        "ifrs-parent-only.xbrl",
        test::Replaced(ReadFixture("two-years.xbrl"), "  <jpdei_cor:CurrentFiscalYearEndDateDEI",
                       "  <jpdei_cor:AccountingStandardsDEI contextRef=\"FilingDateInstant\">IFRS"
                       "</jpdei_cor:AccountingStandardsDEI>\n"
                       "  <jpdei_cor:CurrentFiscalYearEndDateDEI"));
    sink_.messages.clear();
    sink_.answers = {kNo};
    EXPECT_FALSE(ImportFilingIntoWindow(*dlg_, ifrs));
    ASSERT_EQ(sink_.messages.size(), 1u);
    EXPECT_EQ(sink_.messages[0].kind, MessageKind::Question);
    EXPECT_TRUE(asked_.empty());

    sink_.answers = {kYes};
    answer_ = 0;
    EXPECT_TRUE(ImportFilingIntoWindow(*dlg_, ifrs));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].items.front(), QStringLiteral("2024年3月期  (日本基準・単体)"));
    EXPECT_EQ(Fields()[4], QStringLiteral("1000000000"));  // the parent's 自己資本
    EXPECT_TRUE(ConsistencyLineText(*dlg_).startsWith(QStringLiteral("注意: ")));
    EXPECT_TRUE(ConsistencyLineText(*dlg_).contains(QStringLiteral("親会社単体")));
}

TEST_F(WindowImportTest, WarningLineFollowsTheAmounts) {
    struct Case {
        const char* name;
        QStringList amounts;
        QString line;
    };
    const Case cases[] = {
        {"adds up", {"60", "40", "30", "20", "50", "100", "70", "30", "20", "10"}, ""},
        {"balance",
         {"60", "41", "30", "20", "50", "100", "70", "30", "20", "10"},
         "警告: 貸借の合計が一致しません(差額 1円)"},
        {"sales",
         {"60", "40", "30", "20", "50", "101", "70", "30", "20", "10"},
         "警告: 売上高≠売上原価＋粗利益(差額 1円)"},
        {"gross profit",
         {"60", "40", "30", "20", "50", "100", "70", "30", "25", "10"},
         "警告: 粗利益≠固定費＋経常利益(差額 ▲5円)"},
        {"negative equity",
         {"60", "40", "80", "30", "-10", "100", "70", "30", "20", "10"},
         "警告: 債務超過(自己資本がマイナス)"},
        {"empty fields", {"", "", "", "", "", "", "", "", "", ""}, ""},
        {"published in millions, 1 million off: rounding, no warning",
         {"2573302000000", "578092000000", "479276000000", "67119000000", "2604998000000",
          "1671865000000", "717530000000", "954335000000", "273838000000", "680497000000"},
         "端数差"},
        {"published in millions, 5 million off",
         {"2573306000000", "578092000000", "479276000000", "67119000000", "2604998000000",
          "1671865000000", "717530000000", "954335000000", "273838000000", "680497000000"},
         "警告: 貸借の合計が一致しません(差額 500万円)"},
    };
    auto* line = qobject_cast<QLabel*>(dlg_->control(kIdConsistencyLine));
    ASSERT_NE(line, nullptr);
    auto* period = qobject_cast<QLineEdit*>(dlg_->control(kIdPeriod));
    ASSERT_NE(period, nullptr);
    period->clear();
    dlg_->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < kItemCount; ++i) {
            qobject_cast<QLineEdit*>(dlg_->control(kIdAmountBase + i))->setText(c.amounts[i]);
        }
        EXPECT_EQ(ConsistencyLineText(*dlg_), c.line);
        EXPECT_EQ(line->toolTip(), c.line);
        EXPECT_EQ(line->text().isEmpty(), c.line.isEmpty());
    }
    // The period as the files name it: 第2期 for "2", like the tool's warning.
    period->setText(QStringLiteral("2"));
    EXPECT_EQ(line->toolTip(),
              QStringLiteral("警告: 第2期: 貸借の合計が一致しません(差額 500万円)"));
    EXPECT_TRUE(sink_.messages.empty());  // never a message box
}

}  // namespace
}  // namespace quorvex
