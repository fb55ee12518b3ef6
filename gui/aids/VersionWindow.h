#pragma once
// The version window: program name, icon and the version history, newest first.

#include <QDialog>

namespace quorvex {

// Each click of the version button makes a new one and runs it modally. Child controls
// carry their identifier as object name ("1" the close button, "1001" the version list).
class CAboutDlg final : public QDialog {
  public:
    explicit CAboutDlg(QWidget* parent);
};

}  // namespace quorvex
