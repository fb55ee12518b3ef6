// The kanji amount labels show every amount of up to 16 digits whole, in the window's font
// when it fits and smaller only when it does not, with the whole text as a tip.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "core/model/NumberText.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {
namespace {

int TextWidth(const QLabel& label) {
    const QFontMetrics metrics(label.font());
    return std::max(metrics.horizontalAdvance(label.text()),
                    metrics.boundingRect(label.text()).width());
}

TEST(AmountLabel, EveryAmountOfUpTo16DigitsIsShownWhole) {
    CTesselDlg dlg;
    dlg.show();
    struct Case {
        const char* amount;
        const char* shown;  // empty: whatever the kanji formatting gives
        bool smaller;       // needs a smaller font than the window's
    };
    const Case cases[] = {
        {"90123456789012", "90兆1234億5678万9012円", true},
        {"-90123456789012", "▲90兆1234億5678万9012円", true},
        {"8888888888888888", "8888兆8888億8888万8888円", true},
        {"-8888888888888888", "▲8888兆8888億8888万8888円", true},
        {"9999999999999999", "", false},  // beyond a double's exact integers
        {"-1000000000000001", "", false},
        {"1000000000000000", "1000兆円", false},
        {"12345678", "1234万5678円", false},
        {"1", "1円", false},
        {"", "0円", false},
    };
    const QFont windowFont = dlg.font();
    for (int i = 0; i < kItemCount; ++i) {
        auto* edit = qobject_cast<QLineEdit*>(dlg.control(kIdAmountBase + i));
        auto* label = qobject_cast<QLabel*>(dlg.control(kIdAmountLabelBase + i));
        ASSERT_TRUE(edit && label);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(i) + " " + c.amount);
            edit->setText(QString::fromUtf8(c.amount));
            const QString expected = *c.shown ? QString::fromUtf8(c.shown)
                                              : QString::fromStdString(FormatKanjiAmount(c.amount));
            EXPECT_EQ(label->text(), expected);
            EXPECT_EQ(label->toolTip(), expected);
            EXPECT_LE(TextWidth(*label), label->contentsRect().width());
            EXPECT_EQ(QFontInfo(label->font()).pixelSize() < QFontInfo(windowFont).pixelSize(),
                      c.smaller);
            if (!c.smaller) {
                EXPECT_EQ(QFontInfo(label->font()).pixelSize(), QFontInfo(windowFont).pixelSize());
            }
            // Still legible.
            EXPECT_GE(QFontInfo(label->font()).pixelSize(), 8);
        }
    }
}

}  // namespace
}  // namespace quorvex
