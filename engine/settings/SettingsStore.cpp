#include "engine/settings/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>

#include "core/model/NumberText.h"

namespace quorvex {
namespace {

constexpr const char* kGroup = "Last";

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
        out.Koumoku[i] = ReadString(s, Indexed("Koumoku", i), "");
        out.Kingaku[i] = ReadString(s, Indexed("Kingaku", i), "");
        const std::string col =
            ReadString(s, Indexed("Col", i), std::to_string(static_cast<std::int32_t>(d.Col[i])));
        out.Col[i] = static_cast<Colour>(Atol(col));
    }
    out.Ki = ReadString(s, QStringLiteral("Ki"), "");

    DiagramOptions& o = out.diagram;
    o.Shosu = std::clamp(ReadInt(s, QStringLiteral("Shosu"), d.diagram.Shosu), 0, 5);
    o.FontSize = std::clamp(ReadInt(s, QStringLiteral("FontSize"), d.diagram.FontSize), 5, 50);
    o.Futosa = std::clamp(ReadInt(s, QStringLiteral("Futosa"), d.diagram.Futosa), 0, 20);
    o.Yohaku = std::clamp(ReadInt(s, QStringLiteral("Yohaku"), d.diagram.Yohaku), 0, 50);
    o.DrawName = ReadInt(s, QStringLiteral("DrawName"), d.diagram.DrawName) == 1 ? 1 : 0;
    o.DrawRitu = ReadInt(s, QStringLiteral("DrawRitu"), d.diagram.DrawRitu) == 1 ? 1 : 0;
    o.DrawUnder = ReadInt(s, QStringLiteral("DrawUnder"), d.diagram.DrawUnder) != 0 ? 1 : 0;
    o.CenterLine = ReadInt(s, QStringLiteral("CenterLine"), d.diagram.CenterLine);
    out.output.OutType = ReadInt(s, QStringLiteral("OutType"), d.output.OutType);
    out.output.OutSaki = ReadInt(s, QStringLiteral("OutSaki"), d.output.OutSaki);
    // Older files lack it: off.
    o.HireiShukushaku =
        ReadInt(s, QStringLiteral("HireiShukushaku"), d.diagram.HireiShukushaku) == 1 ? 1 : 0;
    out.output.Separate =
        std::clamp(ReadInt(s, QStringLiteral("Separate"), d.output.Separate), 0, 2);

    out.PX = ReadInt(s, QStringLiteral("PX"), d.PX);
    out.PY = ReadInt(s, QStringLiteral("PY"), d.PY);
    out.SX = ReadInt(s, QStringLiteral("SX"), d.SX);
    out.SY = ReadInt(s, QStringLiteral("SY"), d.SY);
    out.Zoomed = ReadInt(s, QStringLiteral("Zoomed"), d.Zoomed);
    return out;
}

bool SaveSettings(const StoredSettings& v) {
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    s.beginGroup(QLatin1String(kGroup));
    for (int i = 0; i < kItemCount; ++i) {
        s.setValue(Indexed("Koumoku", i), QString::fromStdString(v.Koumoku[i]));
        s.setValue(Indexed("Kingaku", i), QString::fromStdString(v.Kingaku[i]));
        // Signed decimal text, as a 32-bit long prints it.
        s.setValue(Indexed("Col", i), QString::number(static_cast<std::int32_t>(v.Col[i])));
    }
    s.setValue(QStringLiteral("Ki"), QString::fromStdString(v.Ki));
    const DiagramOptions& o = v.diagram;
    s.setValue(QStringLiteral("Shosu"), o.Shosu);
    s.setValue(QStringLiteral("FontSize"), o.FontSize);
    s.setValue(QStringLiteral("Futosa"), o.Futosa);
    s.setValue(QStringLiteral("Yohaku"), o.Yohaku);
    s.setValue(QStringLiteral("CenterLine"), o.CenterLine);
    s.setValue(QStringLiteral("OutType"), v.output.OutType);
    s.setValue(QStringLiteral("OutSaki"), v.output.OutSaki);
    s.setValue(QStringLiteral("Separate"), v.output.Separate);
    s.setValue(QStringLiteral("DrawName"), o.DrawName);
    s.setValue(QStringLiteral("DrawRitu"), o.DrawRitu);
    s.setValue(QStringLiteral("DrawUnder"), o.DrawUnder);
    s.setValue(QStringLiteral("HireiShukushaku"), o.HireiShukushaku);
    s.setValue(QStringLiteral("Zoomed"), v.Zoomed);
    s.setValue(QStringLiteral("PX"), std::max(v.PX, 0));
    s.setValue(QStringLiteral("PY"), std::max(v.PY, 0));
    s.setValue(QStringLiteral("SX"), v.SX);
    s.setValue(QStringLiteral("SY"), v.SY);
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

}  // namespace quorvex
