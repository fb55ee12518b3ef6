// The main window on the offscreen platform: its controls, start-up state, stored settings
// and placement. Every test has its own HOME and settings file.
#include "tests/gui/window/WindowFixture.h"

namespace quorvex {
namespace {

using test::Store;
using test::WindowTest;

TEST_F(WindowTest, EveryControlOfTheTableExistsByIdAndName) {
    Open();
    int withId = 0;
    for (const ControlEntry& c : MainWindowControls()) {
        if (c.id == kNoId) continue;
        ++withId;
        QWidget* w = dlg_->control(c.id);
        ASSERT_NE(w, nullptr) << c.id;
        EXPECT_EQ(w->objectName(), QString::number(c.id));
        EXPECT_EQ(dlg_->findChild<QWidget*>(QString::number(c.id)), w) << c.id;
        if (!c.tip.empty()) {
            EXPECT_EQ(w->toolTip().toStdString(), c.tip) << c.id;
        }
    }
    EXPECT_EQ(withId, 107);  // the described 102, import, warning line, 比例縮尺, 比較図, 指標
    for (int i = 0; i < kItemCount; ++i) {
        EXPECT_NE(qobject_cast<QLineEdit*>(dlg_->control(1000)), nullptr);
        EXPECT_NE(qobject_cast<QLineEdit*>(dlg_->control(3000 + i)), nullptr);
        EXPECT_NE(qobject_cast<QLineEdit*>(dlg_->control(3100 + i)), nullptr);
        EXPECT_NE(dynamic_cast<ColourButton*>(dlg_->control(3400 + i)), nullptr);
    }
    EXPECT_TRUE(dlg_->control(103)->isHidden());
    EXPECT_TRUE(dlg_->control(1031)->isHidden());
    EXPECT_TRUE(dlg_->control(101)->isHidden());
    EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("Quorvex(財務諸表比率図作成ソフト)"));
    EXPECT_TRUE(dlg_->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(dlg_->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dlg_->windowIcon().isNull());
}

TEST_F(WindowTest, EveryTextFitsItsControl) {
    Open();
    for (QWidget* w : dlg_->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* button = qobject_cast<QAbstractButton*>(w);
        if ((!label || label->text().isEmpty()) && (!button || button->text().isEmpty())) {
            continue;
        }
        const QString text = label ? label->text() : button->text();
        int need = w->sizeHint().width();
        if (qobject_cast<const QPushButton*>(w))
            need = w->fontMetrics().horizontalAdvance(text) + 8;
        EXPECT_LE(need, w->width()) << text.toStdString();
    }
}

TEST_F(WindowTest, FirstStartShowsTheDefaults) {
    Open();
    EXPECT_TRUE(dlg_->initialised());
    EXPECT_EQ(Text(1000), QString());
    for (int i = 0; i < kItemCount; ++i) {
        EXPECT_EQ(Text(3000 + i), QString());
        EXPECT_EQ(Text(3100 + i), QString());
        EXPECT_EQ(Text(3200 + i), QStringLiteral("0円"));
        EXPECT_EQ(Text(3300 + i), QStringLiteral("0.00"));
        EXPECT_EQ(dlg_->itemColour(i), DefaultItemColours[std::size_t(i)]);
        EXPECT_EQ(static_cast<ColourButton*>(dlg_->control(3400 + i))->colour(),
                  DefaultItemColours[std::size_t(i)]);
    }
    EXPECT_EQ(Spin(1015)->value(), 2);
    EXPECT_EQ(Spin(1035)->value(), 10);
    EXPECT_EQ(Spin(1036)->value(), 2);
    EXPECT_EQ(Spin(1037)->value(), 10);
    EXPECT_EQ(Text(1001), QStringLiteral("2"));
    EXPECT_EQ(Text(1010), QStringLiteral("10"));
    for (int id : {1033, 1034, 1039, 1013, 1017, 1018, 1047}) EXPECT_TRUE(Checked(id)) << id;
    for (int id : {1038, 1005, 1014, 1016, 1025, 1030, 1048, 1049}) {
        EXPECT_FALSE(Checked(id)) << id;
    }
    EXPECT_EQ(dlg_->diagramOptions(), DiagramOptions{});
    EXPECT_EQ(dlg_->outputOptions(), OutputOptions{});
    // Placed at the top-left corner, at least at its minimum size.
    EXPECT_EQ(dlg_->pos(), QPoint(0, 0));
    EXPECT_GE(dlg_->width(), dlg_->minimumWidth());
    EXPECT_GE(dlg_->height(), dlg_->minimumHeight());
    EXPECT_EQ(dlg_->minTrackSize(), dlg_->minimumSize());
    Show();
    EXPECT_EQ(dlg_->focusWidget(), dlg_->control(1000));
}

struct StoredCase {
    const char* name;
    QVariant stored;
    int expectedHeld;    // what the next exit saves
    int checkedControl;  // the control that shows it (0: none to check)
};

TEST_F(WindowTest, StoredValuesAreClampedShownAndSavedAgain) {
    const StoredCase cases[] = {
        {"Shosu", 9, 5, 0},       {"FontSize", 3, 5, 0},     {"Futosa", 25, 20, 0},
        {"Yohaku", -4, 0, 0},     {"Separate", 7, 2, 1049},  {"DrawName", 2, 0, 0},
        {"DrawRitu", 1, 1, 1034}, {"DrawUnder", 5, 1, 1039}, {"CenterLine", 7, 7, 1005},
        {"OutType", 3, 3, 1016},  {"OutSaki", 9, 9, 1018},   {"OutSaki", 4, 4, 1028},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(SettingsFilePath());
        Store(QString::fromLatin1(c.name), c.stored);
        Open();
        if (c.checkedControl) {
            EXPECT_TRUE(Checked(c.checkedControl));
        }
        dlg_->reject();
        const StoredSettings s = LoadSettings();
        const std::map<std::string, int> held = {
            {"Shosu", s.diagram.Shosu},           {"FontSize", s.diagram.FontSize},
            {"Futosa", s.diagram.Futosa},         {"Yohaku", s.diagram.Yohaku},
            {"Separate", s.output.Separate},      {"DrawName", s.diagram.DrawName},
            {"DrawRitu", s.diagram.DrawRitu},     {"DrawUnder", s.diagram.DrawUnder},
            {"CenterLine", s.diagram.CenterLine}, {"OutType", s.output.OutType},
            {"OutSaki", s.output.OutSaki},
        };
        EXPECT_EQ(held.at(c.name), c.expectedHeld);
        QSettings raw(SettingsFilePath(), QSettings::IniFormat);
        EXPECT_EQ(raw.value(QStringLiteral("Last/") + QLatin1String(c.name)).toInt(),
                  c.expectedHeld);
    }
}

TEST_F(WindowTest, ShownValuesOfClampedSpinsAndUncheckedBoxes) {
    Store("Shosu", 9);
    Store("FontSize", 3);
    Store("Yohaku", -4);
    Store("DrawName", 2);
    Store("CenterLine", 7);
    Store("Col3", "letters");
    Store("Kingaku0", "12abc");
    Open();
    EXPECT_EQ(Spin(1015)->value(), 5);
    EXPECT_EQ(Spin(1035)->value(), 5);
    EXPECT_EQ(Spin(1037)->value(), 0);
    EXPECT_FALSE(Checked(1033));
    EXPECT_TRUE(Checked(1005));
    EXPECT_FALSE(Checked(1013));
    EXPECT_EQ(dlg_->itemColour(3), 0u);
    EXPECT_EQ(Text(3100), QStringLiteral("12abc"));
    EXPECT_EQ(Text(3200), QStringLiteral("12円"));
    // 7 is held: choosing "なし" is a change and is taken.
    Click(1005);
    EXPECT_EQ(dlg_->diagramOptions().CenterLine, 0);
    dlg_->reject();
    QSettings raw(SettingsFilePath(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Last/Col3").toString(), QStringLiteral("0"));
}

TEST_F(WindowTest, ClosingSavesAllValuesAndTheNextStartShowsThem) {
    Open();
    Edit(1000)->setText(QStringLiteral("5"));
    for (int i = 0; i < kItemCount; ++i) {
        Edit(3000 + i)->setText(QString::fromUtf8(kCanonicalNames[std::size_t(i)].data()));
        Edit(3100 + i)->setText(QString::fromUtf8(kSampleAmounts[std::size_t(i)].data()));
    }
    static_cast<ColourButton*>(dlg_->control(3402))->choose(MakeColour(1, 2, 3));
    Spin(1015)->stepBy(1);
    Spin(1035)->stepBy(-1);
    Spin(1036)->stepBy(1);
    Click(1038);
    Click(1033);
    Click(1008);
    Click(1016);
    Click(1027);
    Click(1049);  // the separator is saved only after a batch run
    const QString before = Text(3301);
    Show();
    Key(Qt::Key_Escape);
    EXPECT_FALSE(dlg_->isVisible());

    QSettings raw(SettingsFilePath(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Last"));
    // 48, then 損益分岐点, 一括作成時に指標も出力 and the indicator window's rectangle.
    EXPECT_EQ(raw.childKeys().size(), 54);
    std::set<QString> keys;
    for (const QString& k : raw.childKeys()) keys.insert(k);
    for (const char* k :
         {"Ki",      "Shosu",    "FontSize", "Futosa",   "Yohaku",    "CenterLine", "OutType",
          "OutSaki", "Separate", "DrawName", "DrawRitu", "DrawUnder", "Zoomed",     "PX",
          "PY",      "SX",       "SY",       "Koumoku9", "Kingaku9",  "Col9"}) {
        EXPECT_TRUE(keys.count(QString::fromLatin1(k))) << k;
    }

    Open();
    EXPECT_EQ(Text(1000), QStringLiteral("5"));
    EXPECT_EQ(Text(3009), QStringLiteral("経常利益"));
    EXPECT_EQ(Text(3105), QStringLiteral("7955680368"));
    EXPECT_EQ(Text(3301), before);
    EXPECT_EQ(dlg_->itemColour(2), MakeColour(1, 2, 3));
    const DiagramOptions d = dlg_->diagramOptions();
    EXPECT_EQ(d.Shosu, 3);
    EXPECT_EQ(d.FontSize, 9);
    EXPECT_EQ(d.Futosa, 3);
    EXPECT_EQ(d.DrawUnder, 0);
    EXPECT_EQ(d.DrawName, 0);
    EXPECT_EQ(d.CenterLine, 2);
    EXPECT_TRUE(Checked(1014));
    EXPECT_TRUE(Checked(1016));
    EXPECT_TRUE(Checked(1027));
    EXPECT_TRUE(Checked(1047));
    EXPECT_EQ(dlg_->outputOptions().Separate, 0);
}

TEST_F(WindowTest, PlacementBeyondThePrimaryScreenIsNotApplied) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Store("PX", screen.width() + 100);
    Store("PY", 10);
    Store("SX", 1500);
    Store("SY", 900);
    Open();
    EXPECT_NE(dlg_->pos().x(), screen.width() + 100);
    EXPECT_EQ(dlg_->size(), dlg_->minimumSize());

    QFile::remove(SettingsFilePath());
    Store("PX", 30);
    Store("PY", 40);
    Store("SX", 1200);
    Store("SY", 700);
    Open();
    EXPECT_EQ(dlg_->pos(), QPoint(30, 40));
    EXPECT_EQ(dlg_->size(), QSize(1200, 700));
    // A stored size below the minimum is raised to it.
    QFile::remove(SettingsFilePath());
    Store("SX", 100);
    Store("SY", 100);
    Open();
    EXPECT_EQ(dlg_->size(), dlg_->minimumSize());
}

TEST_F(WindowTest, AMaximisedWindowOpensMaximisedAndKeepsItsNormalRectangle) {
    Store("Zoomed", 1);
    Store("PX", 20);
    Store("PY", 30);
    Store("SX", 1150);
    Store("SY", 650);
    Open();
    EXPECT_TRUE(dlg_->windowState() & Qt::WindowMaximized);
    Show();
    dlg_->reject();
    const StoredSettings s = LoadSettings();
    EXPECT_EQ(s.Zoomed, 1);
    EXPECT_EQ(QRect(s.PX, s.PY, s.SX, s.SY), QRect(20, 30, 1150, 650));

    // Any other stored value than 1 leaves it normal, and the exit saves 0.
    QFile::remove(SettingsFilePath());
    Store("Zoomed", 2);
    Open();
    EXPECT_FALSE(dlg_->windowState() & Qt::WindowMaximized);
    dlg_->reject();
    EXPECT_EQ(LoadSettings().Zoomed, 0);
}

}  // namespace
}  // namespace quorvex
