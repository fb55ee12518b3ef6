#pragma once
#include <QRect>
#include "model/Messages.h"
#include "model/StatementData.h"
class QWidget;
namespace quorvex {
class AidsHost {
public:
  virtual ~AidsHost() = default;
  virtual QWidget* hostWindow() = 0;          // parent of dialogs and the help panel
  virtual QWidget* control(int id) = 0;       // any control by id: 1000, 3000+i, 3100+i are QLineEdit; 103 is the help panel (QPlainTextEdit, hidden at start)
  virtual Colour itemColour(int i) const = 0;
  virtual void setItemColour(int i, Colour c) = 0;   // item colour + colour button 3400+i
  virtual void repaintFigureArea() = 0;       // RepaintFigureArea
  virtual QRect figureArea() const = 0;       // FigureArea in client pixels
  virtual bool& helpShown() = 0;
  virtual MessageSink& messages() = 0;        // the window's ShowMessage (hookable)
};
}
