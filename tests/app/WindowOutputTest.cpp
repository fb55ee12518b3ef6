// The output command of the window: files into the desktop folder BS_PL, the clipboard,
// the empty-period message. Messages are scripted; the folder window is never opened.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>
#include <memory>

#include "app/Dialogs.h"
#include "app/TesselDlg.h"
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

TEST_F(WindowOutputTest, AltWStartsTheOutput) {
    auto* button = qobject_cast<QToolButton*>(dlg_->control(1003));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->shortcut(), QKeySequence(Qt::ALT | Qt::Key_W));
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

QMimeData* Files(const QStringList& paths) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths) urls.push_back(QUrl::fromLocalFile(p));
    mime->setUrls(urls);
    return mime;
}

TEST_F(WindowOutputTest, DroppedFilesAreCheckedBeforeARun) {
    struct Case {
        QStringList files;
        std::vector<int> messages;
        const char* title;  // nullptr: no run
    };
    const Case cases[] = {
        {{"/tmp/a.csv", "/tmp/b.csv"}, {kMsgMultipleFiles}, nullptr},
        {{"/tmp/data.txt"}, {kMsgNotCsv}, nullptr},
        {{"/tmp/data.csv.bak"}, {kMsgNotCsv}, nullptr},
        {{"/tmp/DATA.CSV"}, {}, "DATA"},
        {{"/tmp/my.data.csv"}, {}, "my.data"},
    };
    QWidget* button = dlg_->control(1011);
    ASSERT_TRUE(button->acceptDrops());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.join(' ').toStdString());
        sink_.messages.clear();
        std::unique_ptr<QMimeData> mime(Files(c.files));
        const QString before = dlg_->lastBatchPath();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(button, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &drop);
        EXPECT_EQ(sink_.Ids(), c.messages);
        if (c.title) {
            EXPECT_EQ(dlg_->lastBatchPath(), c.files.front());
            EXPECT_EQ(dlg_->lastBatchTitle(), QString::fromUtf8(c.title));
        } else {
            EXPECT_EQ(dlg_->lastBatchPath(), before);
        }
    }
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
    answer = QStringLiteral("/tmp/期末.data.txt");
    Click(1011);
    SetFileDialogHook(nullptr);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].title, QStringLiteral("CSVファイルを指定"));
    EXPECT_EQ(asked[0].filter, QStringLiteral("コンマ区切りファイル(*.csv)"));
    EXPECT_EQ(dlg_->lastBatchPath(), answer);
    EXPECT_EQ(dlg_->lastBatchTitle(), QStringLiteral("期末.data"));
}

}  // namespace
}  // namespace quorvex
