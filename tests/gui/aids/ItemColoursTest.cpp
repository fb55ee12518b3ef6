// The colour buttons against a stand-in window, with scripted answers and file dialogs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "gui/aids/ItemColours.h"
#include "gui/widgets/Dialogs.h"
#include "tests/common/Isolation.h"
#include "tests/gui/aids/FakeAidsHost.h"

namespace quorvex {
namespace {

using test::FakeAidsHost;
using Colours = std::array<Colour, kItemCount>;

class ItemColoursTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetFileDialogHook([this](const FileDialogRequest& r) {
            requests.push_back(r);
            return answer;
        });
    }
    void TearDown() override { SetFileDialogHook({}); }

    QString InHome(const QString& name) const {
        return QString::fromStdString(test::TestHome()) + "/" + name;
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    FakeAidsHost host;
    QString answer;
    std::vector<FileDialogRequest> requests;
};

const QByteArray kDefaultFile =
    "15459068\r\n11789051\r\n16576989\r\n14545121\r\n15785446\r\n"
    "15459068\r\n11789051\r\n16576989\r\n14545121\r\n15785446\r\n";

TEST_F(ItemColoursTest, DefaultColoursOnlyAfterYes) {
    for (int i = 0; i < kItemCount; ++i) host.setItemColour(i, 0x010203 * i);
    const Colours changed = host.colours();
    host.sink.answers = {kNo, kYes};
    OnDefaultColours(host);
    EXPECT_EQ(host.colours(), changed);
    EXPECT_EQ(host.repaints, 0);
    OnDefaultColours(host);
    EXPECT_TRUE(
        std::equal(DefaultItemColours.begin(), DefaultItemColours.end(), host.colours().begin()));
    EXPECT_EQ(host.repaints, 1);
    EXPECT_EQ(host.sink.Ids(), (std::vector<int>{kMsgDefaultColours, kMsgDefaultColours}));
}

TEST_F(ItemColoursTest, RandomClicksFollowTheFixedSequence) {
    ProgramRand() = RandGenerator{};  // as at start
    OnRandomColours(host);
    EXPECT_EQ(host.colours(), (Colours{MakeColour(240, 255, 200), MakeColour(255, 216, 200),
                                       MakeColour(232, 248, 255), MakeColour(240, 224, 255),
                                       MakeColour(255, 200, 224), MakeColour(255, 216, 200),
                                       MakeColour(216, 200, 255), MakeColour(255, 192, 192),
                                       MakeColour(224, 255, 208), MakeColour(255, 224, 224)}));
    OnRandomColours(host);
    EXPECT_EQ(host.colours()[0], MakeColour(255, 224, 232));
    EXPECT_EQ(host.colours()[1], MakeColour(240, 255, 208));
    EXPECT_EQ(host.colours()[2], MakeColour(208, 216, 255));
    EXPECT_EQ(host.repaints, 2);
    EXPECT_TRUE(host.sink.messages.empty());
}

TEST_F(ItemColoursTest, SaveOffersQuorvexAndAddsTheExtension) {
    answer = InHome("Quorvex");
    host.sink.answers = {kNo};  // do not show the folder
    OnSaveColours(host);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].title, "保存先ファイルを指定");
    EXPECT_EQ(requests[0].defaultName, "Quorvex");
    EXPECT_TRUE(requests[0].filter.contains("色の設定ファイル"));
    EXPECT_TRUE(requests[0].filter.contains("*.col"));
    EXPECT_EQ(Read(InHome("Quorvex.col")), kDefaultFile);
    EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgSavedShowFolder});
}

TEST_F(ItemColoursTest, SaveAndLoadRoundTrip) {
    for (int i = 0; i < kItemCount; ++i) host.setItemColour(i, MakeColour(i, 255 - i, 7 * i));
    host.setItemColour(9, 0xFFFFFFFFu);
    const Colours saved = host.colours();
    answer = InHome("scheme.col");
    host.sink.answers = {kNo};
    OnSaveColours(host);
    EXPECT_TRUE(Read(answer).startsWith("65280\r\n"));

    FakeAidsHost other;
    SetFileDialogHook([&](const FileDialogRequest& r) {
        requests.push_back(r);
        return answer;
    });
    OnLoadColours(other);
    EXPECT_EQ(other.colours(), saved);
    EXPECT_EQ(other.repaints, 1);
    EXPECT_TRUE(other.sink.messages.empty());
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].save);
    EXPECT_EQ(requests[1].title, "色の設定ファイルを指定");
}

TEST_F(ItemColoursTest, OverwriteQuestion) {
    answer = InHome("old.col");
    Write(answer, "1\r\n2\r\n");
    host.sink.answers = {kNo};
    OnSaveColours(host);
    EXPECT_EQ(Read(answer), "1\r\n2\r\n");
    EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgOverwrite});

    host.sink.messages.clear();
    host.sink.answers = {kYes, kNo};
    OnSaveColours(host);
    EXPECT_EQ(Read(answer), kDefaultFile);
    EXPECT_EQ(host.sink.Ids(), (std::vector<int>{kMsgOverwrite, kMsgSavedShowFolder}));
}

TEST_F(ItemColoursTest, FailedSaveIsReportedAndKeepsNothingPartial) {
    Write(InHome("notafolder"), "x");
    answer = InHome("notafolder/scheme.col");
    OnSaveColours(host);
    EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgOpenFailed});
    EXPECT_EQ(host.sink.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(Read(InHome("notafolder")), "x");
    EXPECT_EQ(QDir(QString::fromStdString(test::TestHome())).entryList({"*.col"}, QDir::Files),
              QStringList());
}

TEST_F(ItemColoursTest, CancelledDialogsDoNothing) {
    answer.clear();
    OnSaveColours(host);
    OnLoadColours(host);
    EXPECT_EQ(requests.size(), 2u);
    EXPECT_TRUE(host.sink.messages.empty());
    EXPECT_EQ(host.repaints, 0);
}

TEST_F(ItemColoursTest, LoadChangesOnlyTheLinesItHas) {
    const Colours before = host.colours();
    answer = InHome("short.col");
    Write(answer, "16777215\n-1\n\n");
    OnLoadColours(host);
    EXPECT_EQ(host.colours()[0], 0x00FFFFFFu);
    EXPECT_EQ(host.colours()[1], 0xFFFFFFFFu);
    EXPECT_EQ(host.colours()[2], 0u);
    for (int i = 3; i < kItemCount; ++i) EXPECT_EQ(host.colours()[i], before[i]);
    EXPECT_EQ(host.repaints, 1);

    answer = InHome("long.col");
    Write(answer, "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n");
    OnLoadColours(host);
    EXPECT_EQ(host.colours(), (Colours{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    answer = InHome("huge.col");
    Write(answer, "  7" + QByteArray(1 << 20, 'x') + "\r\n" + QByteArray(300, '5') + "\n-3");
    OnLoadColours(host);
    EXPECT_EQ(host.colours(), (Colours{7, 0x7FFFFFFF, 0xFFFFFFFD, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(ItemColoursTest, UnreadableFileIsReported) {
    const Colours before = host.colours();
    ASSERT_TRUE(QDir(QString::fromStdString(test::TestHome())).mkdir("folder.col"));
    for (const char* name : {"missing.col", "folder.col"}) {
        host.sink.messages.clear();
        answer = InHome(name);
        OnLoadColours(host);
        EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgOpenFailed}) << name;
        EXPECT_EQ(host.colours(), before) << name;
        EXPECT_EQ(host.repaints, 0) << name;
    }
}

}  // namespace
}  // namespace quorvex
