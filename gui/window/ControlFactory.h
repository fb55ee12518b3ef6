#pragma once
// Makes the main window's widgets from its control table: one widget per row, placed in
// pixels of the window font, each carrying its identifier as object name.

#include <QWidget>
#include <array>
#include <map>
#include <vector>

#include "core/model/StatementData.h"
#include "gui/widgets/DialogUnits.h"
#include "gui/window/ControlTable.h"

namespace quorvex {

class ColourButton;

// The window's controls by identifier.
class ControlMap {
  public:
    // nullptr for an identifier without control.
    QWidget* operator()(int id) const {
        const auto it = byId_.find(id);
        return it == byId_.end() ? nullptr : it->second;
    }
    void add(int id, QWidget* widget) { byId_[id] = widget; }
    // Checks or clears a radio or check box; other identifiers are ignored.
    void check(int id, bool checked = true) const;

  private:
    std::map<int, QWidget*> byId_;
};

struct BuiltControls {
    ControlMap controls;
    std::array<ColourButton*, kItemCount> colourButtons{};
};

// Children of window, in table order. An edit followed by a spin becomes one spin box over
// the edit's rectangle (the edit's identifier names its line edit). Lines and group boxes
// are put below the other controls so they never take their clicks.
BuiltControls BuildControls(QWidget& window, const std::vector<ControlEntry>& table,
                            const BaseUnits& units);

}  // namespace quorvex
