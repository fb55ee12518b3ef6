// The input aids in the real main window: its buttons, its labels and its help panel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <memory>

#include "core/aids/HelpTexts.h"
#include "core/aids/RandomColours.h"
#include "core/model/ColourFile.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

class WindowAidsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageHook(&sink);
        SetFileDialogHook([this](const FileDialogRequest&) { return fileAnswer; });
        dlg = std::make_unique<CTesselDlg>();
        dlg->show();
        for (int k = 0; k < 3; ++k) QApplication::processEvents();
    }
    void TearDown() override {
        dlg.reset();
        SetMessageHook(nullptr);
        SetFileDialogHook({});
    }
    void Click(int id) {
        auto* button = qobject_cast<QAbstractButton*>(dlg->control(id));
        ASSERT_NE(button, nullptr) << id;
        button->click();
        QApplication::processEvents();
    }
    QString Text(int id) {
        QWidget* w = dlg->control(id);
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        return {};
    }
    void SetText(int id, const QString& text) {
        qobject_cast<QLineEdit*>(dlg->control(id))->setText(text);
    }

    test::RecordingMessageSink sink;
    QString fileAnswer;
    std::unique_ptr<CTesselDlg> dlg;
};

TEST_F(WindowAidsTest, PasteAndClearUpdateTheLabels) {
    QGuiApplication::clipboard()->setText("3201234567\t765432123\t\t\t\t7955680368\n");
    Click(1022);
    EXPECT_EQ(Text(3100), "3201234567");
    EXPECT_EQ(Text(3105), "7955680368\n");
    EXPECT_EQ(Text(3200), "32億123万4567円");
    EXPECT_TRUE(sink.messages.empty());

    QGuiApplication::clipboard()->setText("流動資産,固定資産");
    Click(1021);
    EXPECT_EQ(Text(3000), "流動資産");
    EXPECT_EQ(Text(3002), "");

    sink.answers = {kNo, kYes};
    Click(1024);
    EXPECT_EQ(Text(3100), "3201234567");
    Click(1024);
    EXPECT_EQ(Text(3100), "");
    EXPECT_EQ(Text(3200), "0円");
    EXPECT_EQ(sink.Ids(), (std::vector<int>{kMsgClear, kMsgClear}));
}

TEST_F(WindowAidsTest, SampleKeepsPeriodAndColoursAndRepaints) {
    SetText(1000, "7");
    dlg->setItemColour(4, 0x00123456);
    const int paints = dlg->paintCount();
    sink.answers = {kYes};
    Click(1045);
    EXPECT_EQ(Text(3000), "流動資産");
    EXPECT_EQ(Text(3109), "43211234");
    EXPECT_EQ(Text(3200), "32億123万4567円");
    EXPECT_EQ(Text(1000), "7");
    EXPECT_EQ(dlg->itemColour(4), 0x00123456u);
    EXPECT_GT(dlg->paintCount(), paints);
}

TEST_F(WindowAidsTest, ColourButtonsAndColourFiles) {
    ProgramRand() = RandGenerator{};
    Click(1042);
    EXPECT_EQ(dlg->itemColour(0), MakeColour(240, 255, 200));
    EXPECT_EQ(dlg->itemColour(9), MakeColour(255, 224, 224));

    fileAnswer = QString::fromStdString(test::TestHome()) + "/scheme";
    sink.answers = {kNo};
    Click(1043);
    const Colour saved9 = dlg->itemColour(9);

    sink.answers = {kYes};
    Click(1032);
    EXPECT_EQ(dlg->itemColour(9), DefaultItemColours[9]);

    fileAnswer += ".col";
    Click(1044);
    EXPECT_EQ(dlg->itemColour(0), MakeColour(240, 255, 200));
    EXPECT_EQ(dlg->itemColour(9), saved9);
    EXPECT_EQ(sink.Ids(), (std::vector<int>{kMsgSavedShowFolder, kMsgDefaultColours}));
}

TEST_F(WindowAidsTest, HelpButtonsShareOneState) {
    auto* panel = qobject_cast<QPlainTextEdit*>(dlg->control(103));
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());
    Click(1019);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry(), dlg->figureArea());
    EXPECT_TRUE(panel->toPlainText().startsWith("【全般説明】\n"));
    EXPECT_EQ(panel->accessibleName(), QStringLiteral("全般説明"));
    Click(1040);
    EXPECT_FALSE(panel->isVisible());
    Click(1040);
    EXPECT_TRUE(panel->toPlainText().startsWith("【一括作成の説明】\n"));
    EXPECT_EQ(panel->accessibleName(), QStringLiteral("一括作成の説明"));
    dlg->resize(dlg->width() + 40, dlg->height() + 30);
    QApplication::processEvents();
    EXPECT_EQ(panel->geometry(), dlg->figureArea());
}

TEST_F(WindowAidsTest, VersionButtonOpensTheVersionWindow) {
    QString title, history;
    QTimer::singleShot(0, [&] {
        if (auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            title = window->windowTitle();
            if (auto* field = window->findChild<QPlainTextEdit*>("1001"))
                history = field->toPlainText();
            window->close();
        }
    });
    Click(1004);
    EXPECT_EQ(title, "バージョン情報");
    EXPECT_TRUE(history.startsWith("Ver. 1.03 2022.11.14 Windows 11対応\n"));
}

}  // namespace
}  // namespace quorvex
