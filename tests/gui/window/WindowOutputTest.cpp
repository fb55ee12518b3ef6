// The output command of the window: files into the desktop folder BS_PL, the clipboard,
// the empty-period message. Messages are scripted; the folder window is never opened.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QToolButton>
#include <memory>

#include "gui/widgets/Dialogs.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

class WindowOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageHook(&sink_);
        dlg_ = std::make_unique<CTesselDlg>();
        for (int i = 0; i < kItemCount; ++i) {
            Edit(3000 + i)->setText(QString::fromUtf8(kCanonicalNames[std::size_t(i)].data()));
            Edit(3100 + i)->setText(QString::fromUtf8(kSampleAmounts[std::size_t(i)].data()));
        }
        dlg_->show();
        for (int k = 0; k < 3; ++k) QApplication::processEvents();
        dlg_->resize(1200, 700);
    }
    void TearDown() override {
        dlg_.reset();
        SetMessageHook(nullptr);
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(dlg_->control(id)); }
    void Click(int id) { qobject_cast<QAbstractButton*>(dlg_->control(id))->click(); }
    QString Folder() const {
        return QString::fromStdString(test::TestHome()) + QStringLiteral("/Desktop/BS_PL");
    }

    test::RecordingMessageSink sink_;
    std::unique_ptr<CTesselDlg> dlg_;
};

TEST_F(WindowOutputTest, EveryTargetWritesTheChosenDiagramAtTheFigureSize) {
    struct Case {
        int radio;
        int kind;
        const char* name;
    };
    const Case cases[] = {
        {1027, 1017, "第5期_PL.png"}, {1018, 1016, "第5期_BS.jpeg"}, {1025, 1017, "第5期_PL.bmp"},
        {1026, 1016, "第5期_BS.gif"}, {1028, 1017, "第5期_PL.tiff"}, {1029, 1016, "第5期_BS.pdf"},
    };
    Edit(1000)->setText(QStringLiteral("5"));
    const QSize size = dlg_->figureSize();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Click(c.radio);
        Click(c.kind);
        sink_.messages.clear();
        sink_.answers = {kNo};
        Click(1003);
        ASSERT_EQ(sink_.Ids(), std::vector<int>{kMsgSavedShowFolder});
        const QString path = Folder() + QLatin1Char('/') + QString::fromUtf8(c.name);
        ASSERT_TRUE(QFile::exists(path));
        if (!path.endsWith(QLatin1String(".pdf"))) {
            EXPECT_EQ(QImageReader(path).size(), size);
        }
    }
    // The PNG holds the profit-and-loss diagram as painted.
    const QImage png(Folder() + QStringLiteral("/第5期_PL.png"));
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              dlg_->plBitmap().image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(WindowOutputTest, EmptyPeriodIsReportedForFilesOnly) {
    Edit(1000)->clear();
    Edit(3000)->setFocus();
    Click(1027);
    Click(1003);
    EXPECT_EQ(sink_.Ids(), std::vector<int>{kMsgNoText});
    EXPECT_EQ(dlg_->focusWidget(), dlg_->control(1000));
    EXPECT_TRUE(QDir(Folder()).isEmpty());

    sink_.messages.clear();
    Click(1030);
    Click(1016);
    Click(1003);
    ASSERT_EQ(sink_.Ids(), std::vector<int>{kMsgClipboardSaved});
    EXPECT_EQ(sink_.messages[0].Text(), "貸借対照表をクリップボードに保存しました");
    const QImage clip = QApplication::clipboard()->image();
    EXPECT_EQ(clip.size(), dlg_->figureSize());
    EXPECT_EQ(clip.convertToFormat(QImage::Format_RGB32),
              dlg_->bsBitmap().image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(WindowOutputTest, MnemonicsOfTheCommandButtons) {
    auto* button = qobject_cast<QToolButton*>(dlg_->control(1003));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->shortcut(), QKeySequence(Qt::ALT | Qt::Key_W));
    EXPECT_EQ(qobject_cast<QToolButton*>(dlg_->control(1011))->shortcut(),
              QKeySequence(Qt::ALT | Qt::Key_B));
    EXPECT_EQ(qobject_cast<QToolButton*>(dlg_->control(2))->shortcut(),
              QKeySequence(Qt::ALT | Qt::Key_X));
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

QString WriteCsv(const QString& name, int periods) {
    std::string text =
        "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n";
    for (int p = 1; p <= periods; ++p) {
        text += std::to_string(p) + ",300,100," + std::to_string(100 + p) +
                ",50,150,1000,600,400," + std::to_string(300 + p) + ",90\n";
    }
    const QString path = QString::fromStdString(test::TestHome()) + QLatin1Char('/') + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), qint64(text.size()));
    return path;
}

void Drop(QWidget* target, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths) urls.push_back(QUrl::fromLocalFile(p));
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

TEST_F(WindowOutputTest, DroppedFilesAreCheckedBeforeARun) {
    struct Case {
        QStringList files;
        std::vector<int> messages;
    };
    const Case cases[] = {
        {{WriteCsv("a.csv", 2), WriteCsv("b.csv", 2)}, {kMsgMultipleFiles}},
        {{WriteCsv("data.txt", 2)}, {kMsgNotCsv}},
        {{WriteCsv("data.csv.bak", 2)}, {kMsgNotCsv}},
    };
    ASSERT_TRUE(dlg_->control(1011)->acceptDrops());
    Click(1027);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.join(' ').toStdString());
        sink_.messages.clear();
        Drop(dlg_->control(1011), c.files);
        EXPECT_EQ(sink_.Ids(), c.messages);
        EXPECT_TRUE(dlg_->lastBatchPath().isEmpty());
        EXPECT_FALSE(QDir(Folder()).exists());
    }
}

TEST_F(WindowOutputTest, ADroppedCsvRunsAndLeavesTheWindowAtItsLastRecord) {
    Click(1027);  // PNG
    Click(1016);  // BS: put back after the run
    Click(1049);  // comma: a tab-separated summary
    Edit(3000)->setText(QStringLiteral("前の名前"));
    sink_.answers = {kNo};
    Drop(dlg_->control(1011), {WriteCsv("DATA.CSV", 3)});
    EXPECT_EQ(sink_.Ids(), std::vector<int>{kMsgSavedShowFolder});
    EXPECT_EQ(dlg_->lastBatchTitle(), QStringLiteral("DATA"));
    for (const char* name :
         {"第1期_BS.png", "第1期_PL.png", "第3期_BS.png", "第3期_PL.png", "DATA_Out.tsv"}) {
        EXPECT_TRUE(QFile::exists(Folder() + QLatin1Char('/') + QString::fromUtf8(name))) << name;
    }
    EXPECT_EQ(QDir(Folder()).entryList(QDir::Files).size(), 7);
    // The header's names, the last record's period and amounts, with their labels.
    EXPECT_EQ(Edit(3000)->text(), QStringLiteral("流動資産"));
    EXPECT_EQ(Edit(3009)->text(), QStringLiteral("経常利益"));
    EXPECT_EQ(Edit(1000)->text(), QStringLiteral("3"));
    EXPECT_EQ(Edit(3102)->text(), QStringLiteral("103"));
    EXPECT_EQ(Edit(3108)->text(), QStringLiteral("303"));
    EXPECT_EQ(qobject_cast<QLabel*>(dlg_->control(3200))->text(), QStringLiteral("300円"));
    EXPECT_EQ(qobject_cast<QLabel*>(dlg_->control(3300))->text(), QStringLiteral("75.00"));
    EXPECT_EQ(qobject_cast<QProgressBar*>(dlg_->control(1041))->value(), 0);
    EXPECT_EQ(qobject_cast<QProgressBar*>(dlg_->control(1041))->maximum(), 4);
    EXPECT_EQ(dlg_->outputOptions().OutType, kOutTypeBs);
    EXPECT_EQ(dlg_->outputOptions().Separate, kSeparateComma);
    EXPECT_EQ(dlg_->batchFigureSize(), dlg_->figureSize());
}

TEST_F(WindowOutputTest, ClickingTheBatchButtonAsksForTheCsv) {
    std::vector<FileDialogRequest> asked;
    QString answer;
    SetFileDialogHook([&](const FileDialogRequest& r) {
        asked.push_back(r);
        return answer;
    });
    Click(1011);  // cancelled
    EXPECT_TRUE(dlg_->lastBatchPath().isEmpty());
    EXPECT_FALSE(QDir(Folder()).exists());
    // A name typed into the dialog runs whatever its extension.
    answer = WriteCsv("期末.data.txt", 2);
    Click(1026);  // GIF
    sink_.answers = {kNo};
    Click(1011);
    SetFileDialogHook(nullptr);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].title, QStringLiteral("CSVファイルを指定"));
    EXPECT_EQ(asked[0].filter, QStringLiteral("コンマ区切りファイル(*.csv)"));
    EXPECT_EQ(dlg_->lastBatchTitle(), QStringLiteral("期末.data"));
    EXPECT_EQ(sink_.Ids(), std::vector<int>{kMsgSavedShowFolder});
    EXPECT_TRUE(QFile::exists(Folder() + QStringLiteral("/期末.data_Out.csv")));
    EXPECT_TRUE(QFile::exists(Folder() + QStringLiteral("/第2期_PL.gif")));
}

TEST_F(WindowOutputTest, TheClipboardTargetIsRefusedForABatch) {
    Click(1030);
    Drop(dlg_->control(1011), {WriteCsv("c.csv", 2)});
    EXPECT_EQ(sink_.Ids(), std::vector<int>{kMsgBatchClipboard});
    EXPECT_FALSE(QDir(Folder()).exists());
    EXPECT_EQ(Edit(1000)->text(), QString());
}

}  // namespace
}  // namespace quorvex
