#pragma once
// TEMPORARY stand-in until the settings store lands.
#include <array>
#include <string>
#include "model/StatementData.h"
namespace quorvex {
struct StoredSettings {
    std::array<std::string, 10> Koumoku, Kingaku;
    std::array<Colour, 10> Col = DefaultItemColours;
    std::string Ki;
    DiagramOptions diagram;
    OutputOptions output;
    int Zoomed = 0, PX = 0, PY = 0, SX = 0, SY = 0;
};
StoredSettings LoadSettings();
StoredSettings DefaultSettings();
}  // namespace quorvex
