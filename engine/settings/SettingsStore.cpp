#include "engine/settings/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>

#include "core/model/NumberText.h"
#include "core/model/OptionTable.h"

namespace quorvex {
namespace {

constexpr const char* kGroup = "Last";
// Per item: Koumoku0..9, Kingaku0..9, Col0..9.
constexpr const char* kNameKey = "Koumoku";
constexpr const char* kAmountKey = "Kingaku";
constexpr const char* kColourKey = "Col";
constexpr const char* kPeriodKey = "Ki";

// The placement of the window and of the indicator window, in the order written after the
// options.
struct PlacementKey {
    const char* key;
    int StoredSettings::*field;
    bool notNegative;  // written as 0 when negative (a window partly off the left or top)
};
constexpr PlacementKey kPlacementKeys[] = {
    {"Zoomed", &StoredSettings::Zoomed, false},
    {"PX", &StoredSettings::PX, true},
    {"PY", &StoredSettings::PY, true},
    {"SX", &StoredSettings::SX, false},
    {"SY", &StoredSettings::SY, false},
    {"IndicatorPX", &StoredSettings::IndicatorPX, true},
    {"IndicatorPY", &StoredSettings::IndicatorPY, true},
    {"IndicatorSX", &StoredSettings::IndicatorSX, false},
    {"IndicatorSY", &StoredSettings::IndicatorSY, false},
};

QString Key(std::string_view key) {
    return QString::fromLatin1(key.data(), qsizetype(key.size()));
}

QString Indexed(const char* stem, int i) {
    return QString::fromLatin1(stem) + QString::number(i);
}

// A hand-edited value with an unquoted comma comes back as a list; join it again.
std::string ReadString(const QSettings& s, const QString& name, const std::string& fallback) {
    const QVariant v = s.value(name);
    if (!v.isValid()) return fallback;
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(',')).toStdString();
    if (!v.canConvert<QString>()) return fallback;
    return v.toString().toStdString();
}

int ReadInt(const QSettings& s, const QString& name, int fallback) {
    const QVariant v = s.value(name);
    if (!v.isValid()) return fallback;
    bool ok = false;
    const int value = v.toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

QString SettingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velmora/Quorvex.ini");
}

StoredSettings DefaultSettings() {
    return StoredSettings{};
}

StoredSettings LoadSettings() {
    const StoredSettings d;
    StoredSettings out;
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    s.beginGroup(QLatin1String(kGroup));
    for (int i = 0; i < kItemCount; ++i) {
        out.Koumoku[i] = ReadString(s, Indexed(kNameKey, i), "");
        out.Kingaku[i] = ReadString(s, Indexed(kAmountKey, i), "");
        const std::string col = ReadString(s, Indexed(kColourKey, i),
                                           std::to_string(static_cast<std::int32_t>(d.Col[i])));
        out.Col[i] = static_cast<Colour>(Atol(col));
    }
    out.Ki = ReadString(s, QLatin1String(kPeriodKey), "");
    for (const OptionEntry& entry : kOptionTable) {
        const int stored = ReadInt(s, Key(entry.key), OptionDefault(entry));
        OptionValue(entry, out.diagram, out.output) = StoredOptionValue(entry, stored);
    }
    for (const PlacementKey& p : kPlacementKeys) out.*p.field = ReadInt(s, Key(p.key), d.*p.field);
    return out;
}

bool SaveSettings(const StoredSettings& v) {
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    s.beginGroup(QLatin1String(kGroup));
    for (int i = 0; i < kItemCount; ++i) {
        s.setValue(Indexed(kNameKey, i), QString::fromStdString(v.Koumoku[i]));
        s.setValue(Indexed(kAmountKey, i), QString::fromStdString(v.Kingaku[i]));
        // Signed decimal text, as a 32-bit long prints it.
        s.setValue(Indexed(kColourKey, i), QString::number(static_cast<std::int32_t>(v.Col[i])));
    }
    s.setValue(QLatin1String(kPeriodKey), QString::fromStdString(v.Ki));
    for (const OptionEntry& entry : kOptionTable) {
        s.setValue(Key(entry.key), OptionValue(entry, v.diagram, v.output));
    }
    for (const PlacementKey& p : kPlacementKeys) {
        s.setValue(Key(p.key), p.notNegative ? std::max(v.*p.field, 0) : v.*p.field);
    }
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

}  // namespace quorvex
