#pragma once
// The stored settings and the window's controls: what the window shows of the settings at
// start, and what it stores of itself at the end. The placement is the window's own.

#include <array>

#include "core/model/StatementData.h"
#include "engine/settings/SettingsStore.h"
#include "gui/window/ControlFactory.h"

namespace quorvex {

// What the window keeps besides its fields' texts.
struct WindowOptions {
    std::array<Colour, kItemCount> colours = DefaultItemColours;
    DiagramOptions diagram;
    OutputOptions output;
};

// Fills the name, amount and period fields, the colour buttons, the spins (ranges from the
// option table) and the radios and check boxes. Returns the options the controls now show;
// a held value outside a radio group's range checks the group's default radio.
WindowOptions ShowStoredSettings(const StoredSettings& s, const ControlMap& controls);

// The fields' texts and the options, without placement.
StoredSettings SettingsToStore(const StatementData& data, const WindowOptions& options);

}  // namespace quorvex
