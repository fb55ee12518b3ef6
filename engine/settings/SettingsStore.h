#pragma once
// The per-user settings store, group "Last" of $XDG_CONFIG_HOME/Velmora/Quorvex.ini. Read
// once at start, written once at exit. QtCore only: the batch tool reads it too.

#include <QString>
#include <array>
#include <string>

#include "core/model/StatementData.h"

namespace quorvex {

struct StoredSettings {
    std::array<std::string, kItemCount> Koumoku;  // item names
    std::array<std::string, kItemCount> Kingaku;  // amount texts
    std::array<Colour, kItemCount> Col = DefaultItemColours;
    std::string Ki;  // period text
    DiagramOptions diagram;
    OutputOptions output;
    int Zoomed = 0;
    int PX = 0;
    int PY = 0;
    int SX = 640;
    int SY = 480;
    // The indicator window's client rectangle; a width of 0: never placed (older files
    // lack these keys).
    int IndicatorPX = 0;
    int IndicatorPY = 0;
    int IndicatorSX = 0;
    int IndicatorSY = 0;

    bool operator==(const StoredSettings&) const = default;
};

// The first-start values.
StoredSettings DefaultSettings();

// Missing or unreadable values give their defaults; a stored option value is treated by
// its row of the option table (clamped, 0/1, or held exactly as read).
StoredSettings LoadSettings();

// Writes every value in the save order. Returns false when the file could not be written
// (the window does not report it).
bool SaveSettings(const StoredSettings& settings);

// Where the store lives, following XDG_CONFIG_HOME at the moment of the call.
QString SettingsFilePath();

}  // namespace quorvex
