// The main window on the offscreen platform: start-up state, settings, handlers, painting
// and ending. Every test has its own HOME and settings file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>
#include <memory>
#include <set>

#include "engine/settings/SettingsStore.h"
#include "gui/widgets/ColourButton.h"
#include "gui/window/ControlTable.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/TesselDlg.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex {
namespace {

void Store(const QString& name, const QVariant& value) {
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    s.setValue(QStringLiteral("Last/") + name, value);
}

class WindowTest : public ::testing::Test {
  protected:
    void TearDown() override { SetMessageHook(nullptr); }

    CTesselDlg& Open() {
        dlg_ = std::make_unique<CTesselDlg>();
        return *dlg_;
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(dlg_->control(id)); }
    QString Text(int id) {
        QWidget* w = dlg_->control(id);
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        return {};
    }
    bool Checked(int id) {
        auto* b = qobject_cast<QAbstractButton*>(dlg_->control(id));
        return b && b->isChecked();
    }
    QSpinBox* Spin(int id) { return qobject_cast<QSpinBox*>(dlg_->control(id)); }
    void Click(int id) { qobject_cast<QAbstractButton*>(dlg_->control(id))->click(); }
    void Show() {
        dlg_->show();
        for (int k = 0; k < 3; ++k) QApplication::processEvents();
    }
    void Key(int key) {
        QWidget* target = dlg_->focusWidget() ? dlg_->focusWidget() : dlg_.get();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    std::unique_ptr<CTesselDlg> dlg_;
};

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
    EXPECT_EQ(withId, 104);
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
    EXPECT_EQ(raw.childKeys().size(), 48);
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

TEST_F(WindowTest, TypingAnAmountRefreshesLabelsButNotTheDiagrams) {
    Open();
    Show();
    const int paints = dlg_->paintCount();
    Edit(3100)->setText(QStringLiteral("5"));
    EXPECT_EQ(Text(3200), QStringLiteral("5円"));
    EXPECT_EQ(Text(3300), QStringLiteral("100.00"));
    EXPECT_EQ(Text(3301), QStringLiteral("0.00"));
    EXPECT_EQ(Text(3305), QStringLiteral("0.00"));
    EXPECT_EQ(dlg_->paintCount(), paints);
    Edit(3100)->clear();
    EXPECT_EQ(Text(3200), QStringLiteral("0円"));
    Edit(3106)->setText(QStringLiteral("123456789"));
    EXPECT_EQ(Text(3206), QStringLiteral("1億2345万6789円"));
    // Names and the period change nothing else.
    Edit(3000)->setText(QStringLiteral("現金"));
    Edit(1000)->setText(QStringLiteral("3"));
    // Not even once the labels have been drawn again.
    for (int k = 0; k < 3; ++k) QApplication::processEvents();
    dlg_->repaint(dlg_->control(3200)->geometry());
    EXPECT_EQ(dlg_->paintCount(), paints);
    // Anything that uncovers the figure area draws the new amounts.
    dlg_->repaint(dlg_->figureArea().adjusted(0, 0, 0, -100));
    EXPECT_EQ(dlg_->paintCount(), paints + 1);
}

TEST_F(WindowTest, DecimalsSpinRefreshesAllRatioLabelsAndClampsAtTheEnds) {
    Open();
    Show();
    // Liabilities and equity share one side; profit and loss items are parts of sales.
    for (int id : {3102, 3103, 3104, 3106}) Edit(id)->setText(QStringLiteral("1"));
    Edit(3105)->setText(QStringLiteral("3"));
    Edit(3107)->setText(QStringLiteral("2"));
    EXPECT_EQ(Text(3302), QStringLiteral("33.33"));
    EXPECT_EQ(Text(3306), QStringLiteral("33.33"));
    int paints = dlg_->paintCount();
    Spin(1015)->stepBy(1);
    EXPECT_EQ(Text(3302), QStringLiteral("33.333"));
    EXPECT_EQ(Text(3306), QStringLiteral("33.333"));
    EXPECT_EQ(Text(3305), QStringLiteral("100.000"));
    EXPECT_EQ(Text(3300), QStringLiteral("0.000"));
    EXPECT_EQ(dlg_->diagramOptions().Shosu, 3);
    EXPECT_EQ(Text(1001), QStringLiteral("3"));
    EXPECT_GT(dlg_->paintCount(), paints);
    Spin(1015)->stepBy(1);
    Spin(1015)->stepBy(1);
    paints = dlg_->paintCount();
    Spin(1015)->stepBy(1);  // already at 5: stays, still repaints
    EXPECT_EQ(dlg_->diagramOptions().Shosu, 5);
    EXPECT_EQ(Spin(1015)->value(), 5);
    EXPECT_GT(dlg_->paintCount(), paints);

    struct SpinCase {
        int id;
        int steps;
        int expected;
        int DiagramOptions::*field;
    };
    const SpinCase cases[] = {
        {1035, -20, 5, &DiagramOptions::FontSize}, {1035, 60, 50, &DiagramOptions::FontSize},
        {1036, -5, 0, &DiagramOptions::Futosa},    {1036, 30, 20, &DiagramOptions::Futosa},
        {1037, -15, 0, &DiagramOptions::Yohaku},   {1037, 70, 50, &DiagramOptions::Yohaku},
    };
    for (const SpinCase& c : cases) {
        for (int k = 0; k < std::abs(c.steps); ++k) Spin(c.id)->stepBy(c.steps > 0 ? 1 : -1);
        EXPECT_EQ(dlg_->diagramOptions().*c.field, c.expected) << c.id;
        EXPECT_EQ(Spin(c.id)->value(), c.expected) << c.id;
    }
    // The edit of a spin takes no typing.
    EXPECT_TRUE(Edit(1002)->isReadOnly());
}

TEST_F(WindowTest, CentreLinePicturesCheckTheirRadio) {
    Open();
    Show();
    int paints = dlg_->paintCount();
    Click(1007);  // upper already set
    EXPECT_EQ(dlg_->paintCount(), paints);
    EXPECT_TRUE(Checked(1013));
    Click(1006);
    EXPECT_EQ(dlg_->diagramOptions().CenterLine, 0);
    EXPECT_TRUE(Checked(1005));
    EXPECT_FALSE(Checked(1013));
    EXPECT_GT(dlg_->paintCount(), paints);
    Click(1008);
    EXPECT_TRUE(Checked(1014));
    EXPECT_FALSE(Checked(1005));
    EXPECT_EQ(dlg_->diagramOptions().CenterLine, 2);
    paints = dlg_->paintCount();
    Click(1013);
    EXPECT_EQ(dlg_->diagramOptions().CenterLine, 1);
    EXPECT_GT(dlg_->paintCount(), paints);
    paints = dlg_->paintCount();
    Click(1013);  // no change, no repaint
    EXPECT_EQ(dlg_->paintCount(), paints);
}

TEST_F(WindowTest, OptionHandlersAndTheirRepaints) {
    Open();
    Show();
    struct ClickCase {
        int id;
        bool repaints;
    };
    const ClickCase cases[] = {
        {1016, false}, {1017, false}, {1029, false}, {1030, false}, {1048, false},
        {1038, true},  {1039, true},  {1033, true},  {1034, true},
    };
    for (const ClickCase& c : cases) {
        const int paints = dlg_->paintCount();
        Click(c.id);
        EXPECT_EQ(dlg_->paintCount() > paints, c.repaints) << c.id;
    }
    EXPECT_EQ(dlg_->outputOptions().OutType, 1);
    EXPECT_EQ(dlg_->outputOptions().OutSaki, 6);
    EXPECT_EQ(dlg_->outputOptions().Separate, 0);
    EXPECT_EQ(dlg_->diagramOptions().DrawUnder, 1);
    EXPECT_EQ(dlg_->diagramOptions().DrawName, 0);
    EXPECT_EQ(dlg_->diagramOptions().DrawRitu, 0);
    // The radio groups are independent of each other.
    EXPECT_TRUE(Checked(1017));
    EXPECT_TRUE(Checked(1030));
    EXPECT_TRUE(Checked(1048));
    EXPECT_TRUE(Checked(1039));
    EXPECT_TRUE(Checked(1013));

    const int paints = dlg_->paintCount();
    static_cast<ColourButton*>(dlg_->control(3407))->choose(MakeColour(10, 20, 30));
    EXPECT_EQ(dlg_->itemColour(7), MakeColour(10, 20, 30));
    EXPECT_GT(dlg_->paintCount(), paints);
    dlg_->setItemColour(1, MakeColour(200, 0, 0));
    EXPECT_EQ(static_cast<ColourButton*>(dlg_->control(3401))->colour(), MakeColour(200, 0, 0));
}

TEST_F(WindowTest, ColourButtonPopupOffersAFiveColumnPaletteAndOtherColours) {
    Open();
    Show();
    auto* button = dynamic_cast<ColourButton*>(dlg_->control(3404));
    ASSERT_NE(button, nullptr);
    button->click();
    QFrame* popup = nullptr;
    for (QFrame* f : button->findChildren<QFrame*>()) {
        if (f->windowFlags() & Qt::Popup) popup = f;
    }
    ASSERT_NE(popup, nullptr);
    auto* more = popup->findChild<QPushButton*>();
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(more->text(), QStringLiteral("その他の色..."));
    const auto cells = popup->findChildren<QToolButton*>();
    ASSERT_EQ(cells.size(), qsizetype(ColourButton::Palette().size()));
    EXPECT_EQ(ColourButton::Palette().size() % ColourButton::kPaletteColumns, 0u);
    // The seventh cell is the second of the second row.
    EXPECT_EQ(cells[6]->x(), cells[1]->x());
    EXPECT_GT(cells[6]->y(), cells[1]->y());
    const int paints = dlg_->paintCount();
    cells[6]->click();
    EXPECT_EQ(dlg_->itemColour(4), ColourButton::Palette()[6]);
    EXPECT_EQ(button->colour(), ColourButton::Palette()[6]);
    EXPECT_GT(dlg_->paintCount(), paints);
}

TEST_F(WindowTest, ControlsInsideTheOutputGroupTakeTheirClicks) {
    Open();
    Show();
    for (int id : {1016, 1017, 1018, 1030, 1003, 1000}) {
        QWidget* w = dlg_->control(id);
        const QPoint centre = w->geometry().center();
        QWidget* hit = dlg_->childAt(centre);
        while (hit && hit->parentWidget() != dlg_.get()) hit = hit->parentWidget();
        EXPECT_EQ(hit, w) << id;
    }
}

TEST_F(WindowTest, MarginSpinLaysOutAgain) {
    Open();
    Show();
    dlg_->resize(1000, 600);
    const QSize before = dlg_->figureSize();
    for (int k = 0; k < 10; ++k) Spin(1037)->stepBy(1);
    EXPECT_EQ(dlg_->figureSize(), before - QSize(15, 20));
    EXPECT_EQ(
        Text(1020),
        QStringLiteral("図の大きさ : %1 × %2").arg(before.width() - 15).arg(before.height() - 20));
}

TEST_F(WindowTest, WindowLayoutAtClient1000x600) {
    Open();
    Show();
    // Smaller than this font's template allows, to meet the reference figures.
    dlg_->setMinimumSize(0, 0);
    dlg_->resize(1000, 600);
    ASSERT_EQ(dlg_->size(), QSize(1000, 600));
    const int s = dlg_->control(1031)->geometry().top();
    // With IPAPGothic 11 pt the base units are about 8.9 x 16 pixels.
    if (QFontInfo(dlg_->font()).family() == QStringLiteral("IPAPGothic")) {
        EXPECT_EQ(s, 374);
        EXPECT_EQ(dlg_->baseUnits().cy, 16);
    }
    EXPECT_EQ(s, dlg_->baseUnits().Y(187));
    EXPECT_EQ(dlg_->figureArea(), QRect(0, s, 1000, 600 - s));
    EXPECT_EQ(dlg_->bsFigureRect(), (PixelRect{10, s + 10, 495, 590}));
    EXPECT_EQ(dlg_->plFigureRect(), (PixelRect{505, s + 10, 990, 590}));
    EXPECT_EQ(dlg_->control(101)->geometry(), QRect(10, s + 10, 485, 580 - s));
    EXPECT_TRUE(dlg_->control(101)->isHidden());
    if (s == 374) {
        EXPECT_EQ(Text(1020), QStringLiteral("図の大きさ : 485 × 206"));
    }
}

TEST_F(WindowTest, PaintedWindowShowsBothDiagramsAtTheirRectangles) {
    Open();
    const Colour bsColour = MakeColour(250, 10, 10);
    const Colour plColour = MakeColour(10, 10, 250);
    for (int i = 0; i < kItemCount; ++i) {
        Edit(3100 + i)->setText(QString::fromUtf8(kSampleAmounts[std::size_t(i)].data()));
    }
    dlg_->setItemColour(0, bsColour);
    dlg_->setItemColour(5, plColour);
    Show();
    dlg_->resize(1000, 600);
    const QImage shot = dlg_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto countIn = [&](const PixelRect& r, Colour c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (shot.pixel(x, y) == ToQColor(c).rgb()) ++n;
            }
        }
        return n;
    };
    const PixelRect bs = dlg_->bsFigureRect();
    const PixelRect pl = dlg_->plFigureRect();
    EXPECT_GT(countIn(bs, bsColour), bs.width() * bs.height() / 10);
    EXPECT_EQ(countIn(pl, bsColour), 0);
    EXPECT_GT(countIn(pl, plColour), pl.width() * pl.height() / 10);
    EXPECT_EQ(countIn(bs, plColour), 0);
    EXPECT_EQ(dlg_->bsBitmap().image().size(), QSize(bs.width(), bs.height()));
    EXPECT_EQ(dlg_->plBitmap().image().size(), QSize(pl.width(), pl.height()));
    // Between the diagrams the window's own background remains.
    EXPECT_EQ(countIn(PixelRect{bs.right, bs.top, pl.left, pl.bottom}, bsColour), 0);
}

TEST_F(WindowTest, NothingIsPaintedWhileAHelpTextIsShown) {
    Open();
    Show();
    dlg_->helpShown() = true;
    const int paints = dlg_->paintCount();
    dlg_->repaintFigureArea();
    EXPECT_EQ(dlg_->paintCount(), paints);
    dlg_->resize(1100, 700);
    EXPECT_TRUE(dlg_->control(103)->isVisible());
    EXPECT_EQ(dlg_->control(103)->geometry(), dlg_->figureArea());
}

TEST_F(WindowTest, EnterKeepsTheWindowOpenAndEscClosesIt) {
    Open();
    Show();
    Edit(3100)->setFocus();
    Edit(3100)->setText(QStringLiteral("42"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Enter);
    EXPECT_TRUE(dlg_->isVisible());
    EXPECT_EQ(Text(3100), QStringLiteral("42"));
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(dlg_->isVisible());
    EXPECT_TRUE(QFile::exists(SettingsFilePath()));
    EXPECT_EQ(LoadSettings().Kingaku[0], "42");
}

TEST_F(WindowTest, ExitButtonAndCloseBoxSaveLikeEsc) {
    for (int way = 0; way < 2; ++way) {
        QFile::remove(SettingsFilePath());
        Open();
        Show();
        Edit(1000)->setText(QString::number(way + 7));
        if (way == 0)
            Click(2);
        else
            dlg_->close();
        EXPECT_FALSE(dlg_->isVisible());
        EXPECT_EQ(LoadSettings().Ki, std::to_string(way + 7));
    }
}

TEST_F(WindowTest, MessagesGoToTheHook) {
    test::RecordingMessageSink sink;
    sink.answers.push_back(kNo);
    SetMessageHook(&sink);
    Open();
    EXPECT_EQ(dlg_->messages().ShowMessage(kMsgClear, "", MessageKind::Question), kNo);
    EXPECT_EQ(ShowMessage(kMsgWriteFailed, dlg_.get(), "a.png\n", MessageKind::Error), kOk);
    EXPECT_EQ(ShowMessage(30016, dlg_.get(), "", MessageKind::Error), kNoText);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1].Text(), "a.png\nファイルの書き込みに失敗しました");
    SetMessageHook(nullptr);
    // Without the hook an id without text still shows nothing.
    EXPECT_EQ(ShowMessage(30016, dlg_.get(), "", MessageKind::Error), kNoText);
}

TEST_F(WindowTest, FileDialogsAskTheHook) {
    std::vector<FileDialogRequest> asked;
    SetFileDialogHook([&](const FileDialogRequest& r) {
        asked.push_back(r);
        return r.save ? QStringLiteral("/tmp/x.col") : QString();
    });
    EXPECT_EQ(GetOpenFileName(nullptr, QStringLiteral("CSVファイルを指定"),
                              QStringLiteral("コンマ区切りファイル(*.csv)")),
              QString());
    EXPECT_EQ(GetSaveFileName(nullptr, QStringLiteral("t"), QStringLiteral("a.col"),
                              QStringLiteral("*.col")),
              QStringLiteral("/tmp/x.col"));
    SetFileDialogHook(nullptr);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].filter, QStringLiteral("コンマ区切りファイル(*.csv)"));
    EXPECT_TRUE(asked[1].save);
    EXPECT_EQ(asked[1].defaultName, QStringLiteral("a.col"));
}

}  // namespace
}  // namespace quorvex
