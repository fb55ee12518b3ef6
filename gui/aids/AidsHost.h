#pragma once
// What the input aids need of the main window. The window implements it; the aids see
// nothing else of it, and tests can host them in a small stand-in.

#include <QRect>

#include "core/model/Messages.h"
#include "core/model/StatementData.h"

class QWidget;

namespace quorvex {

class AidsHost {
  public:
    virtual ~AidsHost() = default;
    // Parent of the aids' dialogs and of the help panel.
    virtual QWidget* hostWindow() = 0;
    // Any control by identifier: 1000, 3000+i and 3100+i are QLineEdit; 103 is the help
    // panel (QPlainTextEdit, hidden at start). nullptr for an unknown identifier.
    virtual QWidget* control(int id) = 0;
    virtual Colour itemColour(int i) const = 0;
    // Sets item colour i and shows it on colour button 3400+i.
    virtual void setItemColour(int i, Colour c) = 0;
    // Redraws both diagrams at once.
    virtual void repaintFigureArea() = 0;
    // The region below the input area, in client pixels.
    virtual QRect figureArea() const = 0;
    virtual bool& helpShown() = 0;
    // The window's message box (replaced by the test hook in tests).
    virtual MessageSink& messages() = 0;
};

}  // namespace quorvex
