// The paste, clear and sample buttons against a stand-in window.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "gui/aids/InputAids.h"
#include "tests/gui/aids/FakeAidsHost.h"

namespace quorvex {
namespace {

using test::FakeAidsHost;

QStringList Column(FakeAidsHost& host, int base) {
    QStringList texts;
    for (int i = 0; i < kItemCount; ++i) texts << host.text(base + i);
    return texts;
}

void FillColumns(FakeAidsHost& host) {
    for (int i = 0; i < kItemCount; ++i) {
        host.setText(kIdNameBase + i, QString("名%1").arg(i));
        host.setText(kIdAmountBase + i, QString::number(100 + i));
    }
}

TEST(Paste, FillsOnlyItsColumnWithoutAsking) {
    struct Case {
        const char* what;
        int base;
        QString clipboard;
        QStringList expected;
    };
    const QStringList tenth = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const std::vector<Case> cases = {
        {"two names",
         kIdNameBase,
         "流動資産,固定資産",
         {"流動資産", "固定資産", "", "", "", "", "", "", "", ""}},
        {"a spreadsheet row", kIdAmountBase, "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\n",
         tenth + QStringList{"10\n"}},
        {"two rows", kIdAmountBase, "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\n11\t12\n",
         tenth + QStringList{"10\n11"}},
        {"more than ten fields",
         kIdNameBase,
         "a,b,c,d,e,f,g,h,i,j,k",
         {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}},
        {"grouping commas",
         kIdAmountBase,
         "1,234,567",
         {"1", "234", "567", "", "", "", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        FakeAidsHost host;
        FillColumns(host);
        const int other = c.base == kIdNameBase ? kIdAmountBase : kIdNameBase;
        const QStringList untouched = Column(host, other);
        QGuiApplication::clipboard()->setText(c.clipboard);
        OnPaste(host, c.base);
        EXPECT_EQ(Column(host, c.base), c.expected) << c.what;
        EXPECT_EQ(Column(host, other), untouched) << c.what;
        EXPECT_EQ(host.text(1000), "5") << c.what;
        EXPECT_TRUE(host.sink.messages.empty()) << c.what;
        EXPECT_EQ(host.repaints, 0) << c.what;
    }
}

TEST(Paste, PictureOnlyClipboardEmptiesTheColumn) {
    FakeAidsHost host;
    FillColumns(host);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(picture);
    ASSERT_TRUE(GetClipboardText().isEmpty());
    OnPaste(host, kIdAmountBase);
    EXPECT_EQ(Column(host, kIdAmountBase), QStringList(kItemCount, QString()));
    EXPECT_EQ(host.text(kIdNameBase), "名0");
    EXPECT_TRUE(host.sink.messages.empty());
}

TEST(Clear, AsksAndActsOnlyOnItsColumn) {
    for (const int base : {kIdNameBase, kIdAmountBase}) {
        for (const int answer : {kNo, kYes}) {
            FakeAidsHost host;
            FillColumns(host);
            const QStringList before = Column(host, base);
            const int other = base == kIdNameBase ? kIdAmountBase : kIdNameBase;
            const QStringList otherBefore = Column(host, other);
            host.sink.answers = {answer};
            OnClear(host, base);
            ASSERT_EQ(host.sink.Ids(), std::vector<int>{kMsgClear});
            EXPECT_EQ(host.sink.messages[0].kind, MessageKind::Question);
            EXPECT_EQ(Column(host, base),
                      answer == kNo ? before : QStringList(kItemCount, QString()));
            EXPECT_EQ(Column(host, other), otherBefore);
            EXPECT_EQ(host.repaints, 0);
        }
    }
}

TEST(Sample, YesSetsNamesAndAmountsAndRepaints) {
    FakeAidsHost host;
    host.setItemColour(3, 0x123456);
    const auto colours = host.colours();
    host.sink.answers = {kYes};
    OnSample(host);
    EXPECT_EQ(host.sink.Ids(), std::vector<int>{kMsgSetSample});
    EXPECT_EQ(host.text(3000), "流動資産");
    EXPECT_EQ(host.text(3009), "経常利益");
    EXPECT_EQ(host.text(3100), "3201234567");
    EXPECT_EQ(host.text(3109), "43211234");
    for (int i = 0; i < kItemCount; ++i) {
        EXPECT_EQ(host.text(3000 + i).toStdString(), kCanonicalNames[i]);
        EXPECT_EQ(host.text(3100 + i).toStdString(), kSampleAmounts[i]);
    }
    EXPECT_EQ(host.repaints, 1);
    EXPECT_EQ(host.text(1000), "5");
    EXPECT_EQ(host.colours(), colours);
}

TEST(Sample, NoChangesNothing) {
    FakeAidsHost host;
    FillColumns(host);
    host.sink.answers = {kNo};
    OnSample(host);
    EXPECT_EQ(host.text(3000), "名0");
    EXPECT_EQ(host.text(3100), "100");
    EXPECT_EQ(host.repaints, 0);
}

}  // namespace
}  // namespace quorvex
