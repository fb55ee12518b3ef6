// The window on the screen it is shown on: the diagrams at the pixel ratio (run at
// QT_SCALE_FACTOR 1, 1.5 and 2), the scroll area on a small screen (QUORVEX_TEST_SCREEN),
// the colour popup by keys, accessible names, radio tab stops and the session's end.
#include <QAccessible>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>

#include "engine/render/PeriodRender.h"
#include "engine/render/PixelRatio.h"
#include "tests/gui/window/WindowFixture.h"

namespace quorvex::test {
namespace {

void FillSample(CTesselDlg& dlg) {
    for (int i = 0; i < kItemCount; ++i) {
        qobject_cast<QLineEdit*>(dlg.control(3000 + i))
            ->setText(QString::fromUtf8(kCanonicalNames[std::size_t(i)].data()));
        qobject_cast<QLineEdit*>(dlg.control(3100 + i))
            ->setText(QString::fromUtf8(kSampleAmounts[std::size_t(i)].data()));
    }
}

// Whatever the scale factor, the screen gets device pixels and output the figure size.
TEST_F(WindowTest, DiagramsArePaintedAtTheScreensPixelRatio) {
    Open();
    FillSample(*dlg_);
    Show();
    dlg_->resize(1100, 700);
    dlg_->RepaintFigureArea();
    const qreal ratio = dlg_->devicePixelRatioF();
    // The factor the run was started with reaches the window (else this test checks nothing).
    EXPECT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
    const QSize figure = dlg_->figureSize();
    ASSERT_GT(figure.width(), 0);
    if (ratio == 1.0) {
        EXPECT_TRUE(dlg_->bsScreenBitmap().isNull());
    } else {
        const QImage& screen = dlg_->bsScreenBitmap().image();
        EXPECT_EQ(screen.width(), int(std::ceil(figure.width() * ratio - 1e-9)));
        EXPECT_EQ(screen.height(), int(std::ceil(figure.height() * ratio - 1e-9)));
        EXPECT_EQ(screen.devicePixelRatio(), ratio);
        EXPECT_EQ(dlg_->plScreenBitmap().image().devicePixelRatio(), ratio);
    }
    // What output writes: the figure size, the pixels of a plain figure-size drawing.
    DiagramBitmap expected;
    ASSERT_TRUE(PrepareDiagramBitmap(expected, figure.width(), figure.height()));
    ASSERT_TRUE(DrawScaledDiagram(expected, DiagramKind::BalanceSheet, dlg_->statementData(),
                                  dlg_->diagramOptions(), {}));
    EXPECT_EQ(dlg_->bsBitmap().image().size(), figure);
    EXPECT_TRUE(dlg_->bsBitmap().image() == expected.image());
    EXPECT_EQ(Text(1020),
              QStringLiteral("図の大きさ : %1 × %2").arg(figure.width()).arg(figure.height()));

    // At an integer ratio the window shows the device bitmap pixel for pixel: no scaling
    // smears an edge.
    if (ratio == std::floor(ratio) && ratio > 1.0) {
        const QImage shot = dlg_->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const PixelRect r = dlg_->bsFigureRect();
        const QImage& screen = dlg_->bsScreenBitmap().image();
        const QImage part =
            shot.copy(int(r.left * ratio), int(r.top * ratio), screen.width(), screen.height());
        QImage want = screen;
        want.setDevicePixelRatio(1.0);
        QImage got = part;
        got.setDevicePixelRatio(1.0);
        EXPECT_TRUE(got == want);
    }
}

// On a screen smaller than the window (QUORVEX_TEST_SCREEN=1024x600) every control can be
// scrolled into view; on a large one there is no scroll area.
TEST_F(WindowTest, SmallScreenScrollsToEveryControl) {
    Open();
    Show();
    const QRect available = dlg_->screen()->availableGeometry();
    QScrollArea* scroll = dlg_->scrollArea();
    const bool small = qEnvironmentVariableIsSet("QUORVEX_TEST_SCREEN");
    EXPECT_EQ(small, available.width() < 1200);
    if (!small) {
        EXPECT_EQ(scroll, nullptr);
        EXPECT_EQ(dlg_->canvas(), dlg_.get());
        return;
    }
    ASSERT_NE(scroll, nullptr);
    EXPECT_LE(dlg_->width(), available.width());
    EXPECT_LE(dlg_->height(), available.height());
    QWidget* content = dlg_->canvas();
    ASSERT_NE(content, dlg_.get());
    int checked = 0;
    for (const ControlEntry& entry : MainWindowControls()) {
        QWidget* w = dlg_->control(entry.id);
        if (!w || w->isHidden() || entry.kind == ControlKind::Frame) continue;
        ASSERT_TRUE(content->isAncestorOf(w)) << entry.id;
        scroll->ensureWidgetVisible(w, 0, 0);
        QApplication::processEvents();
        const QRect inViewport(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(scroll->viewport()->rect().contains(inViewport.center())) << entry.id;
        ++checked;
    }
    EXPECT_GT(checked, 60);
    // The exit button answers a click once scrolled to.
    scroll->ensureWidgetVisible(dlg_->control(kIdExit));
    Click(kIdExit);
    EXPECT_FALSE(dlg_->isVisible());
}

ColourButton* ColourOf(CTesselDlg& dlg, int i) {
    return static_cast<ColourButton*>(dlg.control(3400 + i));
}

QFrame* OpenPopup(ColourButton& button) {
    button.click();
    QApplication::processEvents();
    return button.findChild<QFrame*>(QStringLiteral("colourPopup"));
}

void Press(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

TEST_F(WindowTest, ColourPopupIsDrivenByKeys) {
    Open();
    Show();
    const auto& palette = ColourButton::Palette();
    struct Case {
        std::vector<int> keys;  // after the popup opened on the current colour (cell 0)
        int picked;             // -1: closed unchanged
    };
    const Case cases[] = {
        {{Qt::Key_Right, Qt::Key_Down, Qt::Key_Return}, 6},
        {{Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Space}, 11},
        {{Qt::Key_Left, Qt::Key_Up, Qt::Key_Enter}, 0},  // stays at the corner
        {{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
          Qt::Key_Return},
         4},  // the row ends at column 5
        {{Qt::Key_Down, Qt::Key_Escape}, -1},
    };
    for (const Case& c : cases) {
        ColourButton* button = ColourOf(*dlg_, 0);
        dlg_->setItemColour(0, palette[0]);
        QPointer<QFrame> popup = OpenPopup(*button);
        ASSERT_TRUE(popup);
        EXPECT_EQ(popup->focusWidget(), popup->findChild<QWidget*>(QStringLiteral("cell0")));
        for (int key : c.keys) {
            ASSERT_TRUE(popup && popup->focusWidget());
            Press(popup->focusWidget(), key);
        }
        QApplication::processEvents();
        EXPECT_TRUE(!popup || !popup->isVisible());
        EXPECT_EQ(dlg_->itemColour(0), palette[std::size_t(c.picked < 0 ? 0 : c.picked)]);
        QApplication::processEvents();
    }
    // Tab leaves the grid for その他の色...
    QFrame* popup = OpenPopup(*ColourOf(*dlg_, 0));
    ASSERT_TRUE(popup && popup->focusWidget());
    Press(popup->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(popup->focusWidget(), popup->findChild<QWidget*>(QStringLiteral("moreColours")));
    popup->close();
}

QString Accessible(QWidget* w, QAccessible::Text what) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(what) : QString();
}

TEST_F(WindowTest, EveryControlHasAnAccessibleName) {
    Open();
    FillSample(*dlg_);
    Show();
    for (const ControlEntry& entry : MainWindowControls()) {
        // Labels name themselves; the hidden figure frames lend theirs to the diagrams.
        if (entry.id == kNoId || entry.kind == ControlKind::Label ||
            entry.kind == ControlKind::HLine || entry.kind == ControlKind::Frame)
            continue;
        QWidget* w = dlg_->control(entry.id);
        ASSERT_NE(w, nullptr) << entry.id;
        EXPECT_FALSE(Accessible(w, QAccessible::Name).isEmpty()) << entry.id;
    }
    struct Named {
        int id;
        const char* name;
    };
    const Named named[] = {
        {3000, "貸借対照表 1行目 項目名"}, {3109, "損益計算書 5行目 金額"},
        {3400, "流動資産 の色"},           {1000, "期"},
        {1035, "フォントサイズ"},          {1002, "フォントサイズ"},
        {1021, "項目名を貼り付け"},        {kIdExit, "終了(X)"},
    };
    for (const Named& n : named) {
        EXPECT_EQ(Accessible(dlg_->control(n.id), QAccessible::Name).remove(QLatin1Char('&')),
                  QString::fromUtf8(n.name))
            << n.id;
    }
    EXPECT_EQ(Accessible(dlg_->control(3400), QAccessible::Description),
              ToQColor(dlg_->itemColour(0)).name());
    EXPECT_EQ(Accessible(dlg_->diagramObject(0), QAccessible::Name), QStringLiteral("貸借対照表"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dlg_->diagramObject(0))->role(),
              QAccessible::Graphic);
    EXPECT_EQ(Accessible(dlg_->diagramObject(1), QAccessible::Name), QStringLiteral("損益計算書"));
    const QString bs = Accessible(dlg_->diagramObject(0), QAccessible::Description);
    EXPECT_TRUE(bs.startsWith(QStringLiteral("流動資産 32億123万4567円 (80.70%)、")))
        << bs.toStdString();
    const QString pl = Accessible(dlg_->diagramObject(1), QAccessible::Description);
    EXPECT_TRUE(pl.startsWith(QStringLiteral("売上高 79億5568万368円、売上原価")))
        << pl.toStdString();
    // Kept up to date: a new name and amount show at once.
    Edit(3005)->setText(QStringLiteral("営業収益"));
    EXPECT_TRUE(Accessible(dlg_->diagramObject(1), QAccessible::Description)
                    .startsWith(QStringLiteral("営業収益 ")));
    EXPECT_EQ(Accessible(dlg_->control(3405), QAccessible::Name), QStringLiteral("営業収益 の色"));
    Edit(3005)->clear();
    EXPECT_EQ(Accessible(dlg_->control(3405), QAccessible::Name),
              QStringLiteral("損益計算書 1行目 の色"));
}

TEST_F(WindowTest, TabEntersARadioGroupAtItsCheckedButton) {
    Open();
    Show();
    dlg_->activateWindow();
    qobject_cast<QRadioButton*>(dlg_->control(kIdCentreLower))->setChecked(true);
    // 終了 is the control before the centre-line radios in the tab order.
    dlg_->control(kIdExit)->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_EQ(dlg_->focusWidget(), dlg_->control(kIdCentreLower));
    Key(Qt::Key_Tab);
    EXPECT_NE(dlg_->focusWidget(), dlg_->control(kIdCentreNone));
    EXPECT_NE(dlg_->focusWidget(), dlg_->control(kIdCentreUpper));
    Key(Qt::Key_Backtab);
    EXPECT_EQ(dlg_->focusWidget(), dlg_->control(kIdCentreLower));
}

// The session's end saves what a close box saves: the typed amounts among them.
TEST_F(WindowTest, SessionEndSavesAsTheCloseBox) {
    Open();
    Show();
    Edit(3100)->setText(QStringLiteral("123456"));
    Edit(1000)->setText(QStringLiteral("2031"));
    dlg_->CloseForSession();
    EXPECT_FALSE(dlg_->isVisible());
    const StoredSettings s = LoadSettings();
    EXPECT_EQ(s.Kingaku[0], "123456");
    EXPECT_EQ(s.Ki, "2031");
}

}  // namespace
}  // namespace quorvex::test
