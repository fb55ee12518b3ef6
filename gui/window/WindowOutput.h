#pragma once
// The window's output buttons: the shown diagram to a file or the clipboard, and a batch
// run over a CSV chosen in the file dialog or dropped on the batch button.

#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>

namespace quorvex {

class CTesselDlg;

// Button 1003: the diagram of the chosen statement to the chosen target.
void OutputShownDiagram(CTesselDlg& window);

// Button 1011: a CSV chosen in the file dialog; a name typed there runs whatever its
// extension.
void ChooseAndRunBatch(CTesselDlg& window);

// Files dropped on button 1011: exactly one, named *.csv (any case), else a message.
void RunDroppedBatch(CTesselDlg& window, const QList<QUrl>& urls);

// Lets a widget take dropped files and hands their URLs on.
class FileDropFilter final : public QObject {
  public:
    FileDropFilter(QWidget& target, std::function<void(const QList<QUrl>&)> onDrop);
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(const QList<QUrl>&)> onDrop_;
};

}  // namespace quorvex
