// The version window's content.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/aids/VersionWindow.h"

namespace quorvex {
namespace {

const QString kHistory =
    "Ver. 1.03 2022.11.14 Windows 11対応\n"
    "Ver. 1.02 2015.03.23 一括作成時の出力オプションを追加\n"
    "Ver. 1.01 2014.09.29 一括作成時、図の大きさの個別設定を追加\n"
    "Ver. 1.00 2014.09.05 新規作成\n";

TEST(VersionWindow, ShowsTheHistoryNewestFirstEveryTime) {
    for (int opening = 0; opening < 2; ++opening) {
        CAboutDlg dialog(nullptr);
        EXPECT_EQ(dialog.windowTitle(), "バージョン情報");
        auto* field = dialog.findChild<QPlainTextEdit*>("1001");
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->toPlainText(), kHistory);
        EXPECT_EQ(field->document()->blockCount(), 5);  // the empty line after the last
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_TRUE(field->textInteractionFlags() & Qt::TextSelectableByMouse);

        bool named = false;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            named = named || label->text() == "Quorvex\n(財務諸表比率図作成ソフト)";
        EXPECT_TRUE(named);
    }
}

TEST(VersionWindow, CloseButtonEndsWithOk) {
    CAboutDlg dialog(nullptr);
    auto* close = dialog.findChild<QPushButton*>("1");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "確認(&Y)");
    EXPECT_EQ(close->toolTip(), "バージョン情報ウィンドウを閉じて戻ります");
    dialog.show();
    close->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace quorvex
