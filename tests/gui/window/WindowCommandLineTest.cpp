// Files on the window's command line ("quorvex FILE.csv"): the window asks, then runs the
// batch as a drop on the batch button would. Messages are scripted.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <memory>

#include "gui/widgets/Dialogs.h"
#include "gui/window/CommandLineFile.h"
#include "gui/window/TesselApp.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

QString Home() {
    return QString::fromStdString(test::TestHome());
}
QString Folder() {
    return Home() + QStringLiteral("/Desktop/BS_PL");
}

QString WriteCsv(const QString& name) {
    const QString path = Home() + QLatin1Char('/') + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n"
        "1,300,100,100,50,250,1000,600,400,300,100\n"
        "2,300,100,100,50,250,1000,600,400,300,100\n");
    return path;
}

class WindowCommandLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageHook(&sink_);
        QDir::setCurrent(Home());
    }
    // A fresh window, shown, with PNG as the output target.
    void NewWindow() {
        dlg_ = std::make_unique<CTesselDlg>();
        dlg_->show();
        QApplication::processEvents();
        qobject_cast<QAbstractButton*>(dlg_->control(1027))->click();
    }
    void TearDown() override {
        dlg_.reset();
        SetMessageHook(nullptr);
    }
    test::RecordingMessageSink sink_;
    std::unique_ptr<CTesselDlg> dlg_;
};

TEST_F(WindowCommandLineTest, OneFileIsOfferedThenRunAsADrop) {
    const QString csv = WriteCsv(QStringLiteral("決算 2026.csv"));
    const QString txt = WriteCsv(QStringLiteral("notes.txt"));
    struct Case {
        const char* what;
        QStringList arguments;
        std::deque<int> answers;
        std::vector<test::RecordedMessage> messages;  // prefix and id; kinds follow the catalogue
        QString ranPath;                              // empty: no run
    };
    const std::string csvPrefix = csv.toStdString() + "\n";
    const Case cases[] = {
        {"nothing named", {}, {}, {}, {}},
        {"declined", {csv}, {kNo}, {{kMsgOfferBatch, csvPrefix, MessageKind::Question}}, {}},
        {"accepted",
         {csv},
         {kYes, kNo},
         {{kMsgOfferBatch, csvPrefix, MessageKind::Question},
          {kMsgSavedShowFolder, "", MessageKind::Question}},
         csv},
        {"relative to the start folder",
         {QStringLiteral("決算 2026.csv")},
         {kYes, kNo},
         {{kMsgOfferBatch, csvPrefix, MessageKind::Question},
          {kMsgSavedShowFolder, "", MessageKind::Question}},
         csv},
        {"not a CSV: refused as a drop is",
         {txt},
         {kYes},
         {{kMsgOfferBatch, txt.toStdString() + "\n", MessageKind::Question},
          {kMsgNotCsv, "", MessageKind::Error}},
         {}},
        {"two files: refused as a drop of two is, without asking",
         {csv, csv},
         {},
         {{kMsgMultipleFiles, "", MessageKind::Error}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewWindow();
        QDir(Folder()).removeRecursively();
        sink_.messages.clear();
        sink_.answers = c.answers;
        OfferBatchFiles(*dlg_, c.arguments);
        ASSERT_EQ(sink_.messages.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(sink_.messages[i].id, c.messages[i].id);
            EXPECT_EQ(sink_.messages[i].prefix, c.messages[i].prefix);
            EXPECT_EQ(sink_.messages[i].kind, c.messages[i].kind);
        }
        EXPECT_EQ(dlg_->lastBatchPath(), c.ranPath);
        EXPECT_EQ(QFile::exists(Folder() + QStringLiteral("/決算 2026_Out.csv")),
                  !c.ranPath.isEmpty());
        EXPECT_EQ(QFile::exists(Folder() + QStringLiteral("/第2期_PL.png")), !c.ranPath.isEmpty());
    }
}

// The program's own start: the question comes once the window is up, with the window
// behind it, and the answer No leaves the window open for the user.
TEST_F(WindowCommandLineTest, TheApplicationAsksOnceItsWindowIsShown) {
    const QString csv = WriteCsv(QStringLiteral("start.csv"));
    struct ClosingSink final : MessageSink {
        std::vector<int> ids;
        bool windowShown = false;
        int ShowMessage(int id, std::string_view, MessageKind) override {
            ids.push_back(id);
            auto* window = dynamic_cast<CTesselDlg*>(QApplication::activeModalWidget());
            windowShown = window && window->isVisible() && window->initialised();
            // The user reads the question, says No and later closes the window.
            QTimer::singleShot(0, [] {
                if (QWidget* w = QApplication::activeModalWidget()) w->close();
            });
            return kNo;
        }
    } sink;
    SetMessageHook(&sink);
    CTesselApp app;
    EXPECT_FALSE(app.InitInstance({csv}));
    EXPECT_EQ(sink.ids, std::vector<int>{kMsgOfferBatch});
    EXPECT_TRUE(sink.windowShown);
    EXPECT_FALSE(QDir(Folder()).exists());
}

}  // namespace
}  // namespace quorvex
