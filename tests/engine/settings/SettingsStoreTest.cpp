#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include "engine/settings/SettingsStore.h"
#include "tests/common/Isolation.h"

namespace quorvex {
namespace {

void Store(const char* name, const QVariant& value) {
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    s.setValue(QStringLiteral("Last/") + QLatin1String(name), value);
}

TEST(SettingsStore, FirstStartGivesDefaults) {
    EXPECT_TRUE(SettingsFilePath().startsWith(QString::fromStdString(test::TestHome())));
    const StoredSettings s = LoadSettings();
    EXPECT_EQ(s, DefaultSettings());
    EXPECT_EQ(s.Col[3], DefaultItemColours[3]);
    EXPECT_EQ(s.SX, 640);
    EXPECT_EQ(s.SY, 480);
}

TEST(SettingsStore, LoadClampsAndHoldsAsDescribed) {
    Store("Shosu", 9);
    Store("FontSize", 3);
    Store("Futosa", 21);
    Store("Yohaku", -4);
    Store("Separate", 7);
    Store("DrawName", 2);
    Store("DrawRitu", 1);
    Store("DrawUnder", 5);
    Store("CenterLine", 7);
    Store("OutType", 4);
    Store("OutSaki", 9);
    Store("Col3", "letters");
    Store("Col4", " -1");
    Store("Kingaku0", "12abc");
    Store("Koumoku1", "売上, 高");
    Store("PX", "not a number");
    Store("Zoomed", 1);
    const StoredSettings s = LoadSettings();
    EXPECT_EQ(s.diagram.Shosu, 5);
    EXPECT_EQ(s.diagram.FontSize, 5);
    EXPECT_EQ(s.diagram.Futosa, 20);
    EXPECT_EQ(s.diagram.Yohaku, 0);
    EXPECT_EQ(s.output.Separate, 2);
    EXPECT_EQ(s.diagram.DrawName, 0);
    EXPECT_EQ(s.diagram.DrawRitu, 1);
    EXPECT_EQ(s.diagram.DrawUnder, 1);
    EXPECT_EQ(s.diagram.CenterLine, 7);
    EXPECT_EQ(s.output.OutType, 4);
    EXPECT_EQ(s.output.OutSaki, 9);
    EXPECT_EQ(s.Col[3], 0u);
    EXPECT_EQ(s.Col[4], 0xFFFFFFFFu);
    EXPECT_EQ(s.Kingaku[0], "12abc");
    EXPECT_EQ(s.Koumoku[1], "売上, 高");
    EXPECT_EQ(s.PX, 0);
    EXPECT_EQ(s.Zoomed, 1);
}

TEST(SettingsStore, RoundTripWritesAll54Values) {
    StoredSettings v;
    for (int i = 0; i < kItemCount; ++i) {
        v.Koumoku[i] = "項目" + std::to_string(i);
        v.Kingaku[i] = std::to_string(1000 * i);
        v.Col[i] = MakeColour(i, 2 * i, 3 * i);
    }
    v.Ki = "第5期";
    v.diagram = DiagramOptions{2, 3, 12, 0, 50, 0, 0, 0, 1};
    v.output = OutputOptions{0, 5, 1};
    v.Zoomed = 1;
    v.PX = -8;
    v.PY = 20;
    v.SX = 1200;
    v.SY = 700;
    v.IndicatorPX = -3;
    v.IndicatorPY = 40;
    v.IndicatorSX = 300;
    v.IndicatorSY = 420;
    v.diagram.BreakEven = 1;
    v.output.BatchIndicators = 1;
    ASSERT_TRUE(SaveSettings(v));

    QSettings raw(SettingsFilePath(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Last"));
    // 48 values, then 損益分岐点, 一括作成時に指標も出力 and the indicator window's rectangle.
    EXPECT_EQ(raw.childKeys().size(), 54);
    EXPECT_EQ(raw.value(QStringLiteral("Col1")).toString(), QString::number(MakeColour(1, 2, 3)));
    EXPECT_EQ(raw.value(QStringLiteral("PX")).toInt(), 0);  // raised to 0

    StoredSettings expected = v;
    expected.PX = 0;
    expected.IndicatorPX = 0;
    EXPECT_EQ(LoadSettings(), expected);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(test::TestHome()) +
                              QStringLiteral("/.config/Velmora/Quorvex.ini")));
}

TEST(SettingsStore, ProportionalScaleIsOnOnlyForOne) {
    struct Case {
        QVariant stored;  // invalid: an older file without the value
        int loaded;
    };
    const Case cases[] = {{QVariant(), 0}, {1, 1}, {0, 0}, {2, 0}, {-1, 0}, {"yes", 0}, {" 1", 1}};
    for (const Case& c : cases) {
        Store("FontSize", 12);  // the file exists either way
        if (c.stored.isValid()) Store("HireiShukushaku", c.stored);
        EXPECT_EQ(LoadSettings().diagram.HireiShukushaku, c.loaded)
            << c.stored.toString().toStdString();
        QFile::remove(SettingsFilePath());
    }
}

}  // namespace
}  // namespace quorvex
