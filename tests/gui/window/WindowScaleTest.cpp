// 比例縮尺 and 比較図... in the window: the check box and its stored value, the painted and
// written diagrams on the period's own scale, the batch run on the file's scale, and the
// comparison sheet command with scripted dialogs and messages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <memory>

#include "engine/render/Diagrams.h"
#include "engine/settings/SettingsStore.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/ControlTable.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

QString Home(const QString& name) {
    return QString::fromStdString(test::TestHome()) + QLatin1Char('/') + name;
}

void WriteFile(const QString& path, const std::string& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), qint64(text.size()));
}

constexpr const char* kHeader =
    "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n";

class WindowScaleTest : public ::testing::Test {
  protected:
    void SetUp() override { SetMessageHook(&sink_); }
    void TearDown() override {
        dlg_.reset();
        SetMessageHook(nullptr);
        SetFileDialogHook(nullptr);
    }
    void Open(bool sample = true) {
        dlg_ = std::make_unique<CTesselDlg>();
        if (sample) {
            for (int i = 0; i < kItemCount; ++i) {
                Edit(3000 + i)->setText(QString::fromUtf8(kCanonicalNames[std::size_t(i)].data()));
                Edit(3100 + i)->setText(QString::fromUtf8(kSampleAmounts[std::size_t(i)].data()));
            }
        }
        dlg_->show();
        for (int k = 0; k < 3; ++k) QApplication::processEvents();
        dlg_->resize(1200, 700);
        QApplication::processEvents();
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(dlg_->control(id)); }
    QCheckBox* Box() { return qobject_cast<QCheckBox*>(dlg_->control(kIdProportional)); }
    void Click(int id) { qobject_cast<QAbstractButton*>(dlg_->control(id))->click(); }
    void Close() {
        dlg_->reject();
        dlg_.reset();
    }

    test::RecordingMessageSink sink_;
    std::unique_ptr<CTesselDlg> dlg_;
};

TEST_F(WindowScaleTest, CheckBoxRoundTripThroughTheSettingsStore) {
    struct Case {
        const char* what;
        QVariant stored;  // invalid: a file written before the option existed
        bool shownOn;
        bool clicked;
        int savedAfter;
    };
    const Case cases[] = {
        {"older file", QVariant(), false, false, 0},
        {"older file, turned on", QVariant(), false, true, 1},
        {"stored on", 1, true, false, 1},
        {"stored on, turned off", 1, true, true, 0},
        {"nonsense", 7, false, false, 0},
    };
    for (const Case& c : cases) {
        QFile::remove(SettingsFilePath());
        {
            QSettings s(SettingsFilePath(), QSettings::IniFormat);
            s.setValue(QStringLiteral("Last/FontSize"), 10);
            if (c.stored.isValid()) s.setValue(QStringLiteral("Last/HireiShukushaku"), c.stored);
        }
        Open(false);
        ASSERT_NE(Box(), nullptr);
        EXPECT_EQ(Box()->isChecked(), c.shownOn) << c.what;
        EXPECT_EQ(dlg_->diagramOptions().HireiShukushaku, c.shownOn ? 1 : 0) << c.what;
        if (c.clicked) Click(kIdProportional);
        Close();
        EXPECT_EQ(LoadSettings().diagram.HireiShukushaku, c.savedAfter) << c.what;
    }
}

TEST_F(WindowScaleTest, CheckBoxHasItsMnemonicAndTip) {
    Open(false);
    EXPECT_EQ(Box()->text(), QStringLiteral("比例縮尺(&P)"));
    EXPECT_FALSE(Box()->toolTip().isEmpty());
    EXPECT_FALSE(dlg_->control(kIdComparisonSheet)->toolTip().isEmpty());
}

TEST(WindowScaleControls, NewControlsCoverNoOtherControl) {
    const auto overlaps = [](const DialogRect& a, const DialogRect& b) {
        return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
    };
    int found = 0;
    for (const ControlEntry& mine : MainWindowControls()) {
        if (mine.id != kIdProportional && mine.id != kIdComparisonSheet &&
            mine.id != kIdIndicators) {
            continue;
        }
        ++found;
        for (const ControlEntry& other : MainWindowControls()) {
            if (&other == &mine || other.kind == ControlKind::GroupBox ||
                (other.flags & kFlagHidden)) {
                continue;
            }
            EXPECT_FALSE(overlaps(mine.rect, other.rect))
                << mine.id << " covers " << other.id << " " << other.text;
        }
    }
    EXPECT_EQ(found, 3);
}

TEST_F(WindowScaleTest, ShownDiagramsStandInProportionAndOutputWritesThem) {
    Open();
    const QImage ratioBs = dlg_->bsBitmap().image().copy();
    const int painted = dlg_->paintCount();
    Click(kIdProportional);
    EXPECT_GT(dlg_->paintCount(), painted);  // repainted at once

    // Sample: sales 7,955,680,368 fill the figure; the balance sheet (3,966,666,690) stands
    // at trunc(H x 3966666690 / 7955680368).
    const QSize size = dlg_->figureSize();
    const int h = int(double(size.height()) * 3966666690.0 / 7955680368.0);
    const QImage bs = dlg_->bsBitmap().image();
    const QImage pl = dlg_->plBitmap().image();
    ASSERT_EQ(bs.size(), size);
    EXPECT_EQ(bs.pixel(size.width() / 2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(bs.pixel(size.width() / 2, size.height() - h - 1), 0xFFFFFFFFu);
    EXPECT_NE(bs.pixel(size.width() / 2, size.height() - h + 3), 0xFFFFFFFFu);
    EXPECT_NE(pl.pixel(size.width() / 4, 3), 0xFFFFFFFFu);
    DiagramBitmap alone;
    ASSERT_TRUE(PrepareDiagramBitmap(alone, size.width(), h));
    ASSERT_TRUE(DrawBsDiagram(alone, dlg_->statementData(), dlg_->diagramOptions()));
    EXPECT_EQ(bs.copy(0, size.height() - h, size.width(), h), alone.image());

    // Output writes what is shown.
    Edit(kIdPeriod)->setText(QStringLiteral("9"));
    Click(1027);  // PNG
    Click(kIdKindBs);
    sink_.answers = {kNo};
    Click(kIdOutput);
    EXPECT_EQ(QImage(Home("Desktop/BS_PL/第9期_BS.png")).convertToFormat(QImage::Format_RGB32),
              dlg_->bsBitmap().image());

    Click(kIdProportional);  // off: the described drawing again
    EXPECT_EQ(dlg_->bsBitmap().image(), ratioBs);
}

TEST_F(WindowScaleTest, BatchRunFollowsTheCheckBox) {
    const QString csv = Home("w.csv");
    WriteFile(csv, std::string(kHeader) + "1,50,50,50,0,50,50,30,20,10,10\n" +
                       "2,200,200,200,0,200,100,60,40,20,20\n");
    for (const bool on : {false, true}) {
        Open(false);
        Click(1027);  // PNG
        if (on) Click(kIdProportional);
        sink_.answers = {kNo};
        dlg_->RunBatchFile(csv, on ? QStringLiteral("on") : QStringLiteral("off"));
        const QImage first(Home("Desktop/BS_PL/第1期_BS.png"));
        ASSERT_FALSE(first.isNull());
        // Period 1 is a quarter of period 2: white on top only on the shared scale.
        EXPECT_EQ(first.pixel(first.width() / 2, 0) == 0xFFFFFFFFu, on);
        Close();
    }
}

TEST_F(WindowScaleTest, ComparisonSheetCommand) {
    Open();
    const QString csv = Home("three.csv");
    WriteFile(csv, std::string(kHeader) + "1,50,50,50,0,50,50,30,20,10,10\n" +
                       "2,100,100,100,0,100,100,60,40,20,20\n" +
                       "3,200,200,200,0,200,200,120,80,40,40\n");
    std::vector<FileDialogRequest> asked;
    QStringList answers = {csv, Home("out/sheet")};
    SetFileDialogHook([&](const FileDialogRequest& r) {
        asked.push_back(r);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    });
    QDir().mkpath(Home("out"));
    sink_.answers = {kNo};
    Click(kIdComparisonSheet);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].save);
    EXPECT_TRUE(asked[1].save);
    EXPECT_EQ(asked[1].defaultName, QStringLiteral("three.png"));
    EXPECT_EQ(sink_.Ids(), std::vector<int>{kMsgSavedShowFolder});
    const QImage sheet(Home("out/sheet.png"));  // ".png" added to a typed name
    EXPECT_FALSE(sheet.isNull());

    // An existing file: replaced only after Yes.
    answers = {csv, Home("out/sheet.png")};
    sink_.messages.clear();
    sink_.answers = {kNo};
    Click(kIdComparisonSheet);
    EXPECT_EQ(sink_.Ids(), std::vector<int>{kMsgOverwrite});

    // Cancelled at the first dialog: nothing happens.
    answers = {QString()};
    sink_.messages.clear();
    Click(kIdComparisonSheet);
    EXPECT_TRUE(sink_.messages.empty());

    // 61 periods are refused with their own message.
    std::string many = kHeader;
    for (int i = 1; i <= 61; ++i) many += std::to_string(i) + ",1,1,1,1,1,1,1,1,1,1\n";
    WriteFile(Home("many.csv"), many);
    answers = {Home("many.csv"), Home("out/many.png")};
    sink_.messages.clear();
    Click(kIdComparisonSheet);
    EXPECT_EQ(sink_.Ids(), std::vector<int>{kMsgSheetTooManyPeriods});
    EXPECT_FALSE(QFile::exists(Home("out/many.png")));
}

}  // namespace
}  // namespace quorvex
