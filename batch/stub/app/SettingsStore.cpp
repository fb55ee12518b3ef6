// TEMPORARY stand-in until the settings store lands.
#include "app/SettingsStore.h"

#include <QSettings>

namespace quorvex {
StoredSettings DefaultSettings() { return {}; }
StoredSettings LoadSettings() {
    StoredSettings s;
    QSettings q(QSettings::IniFormat, QSettings::UserScope, "Velmora", "Quorvex");
    q.beginGroup("Last");
    s.output.OutSaki = q.value("OutSaki", 0).toInt();
    s.output.Separate = q.value("Separate", 0).toInt();
    s.diagram.Shosu = q.value("Shosu", 2).toInt();
    return s;
}
}  // namespace quorvex
