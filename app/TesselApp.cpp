#include "app/TesselApp.h"

#include <QApplication>
#include <QIcon>
#include <memory>

#include "app/TesselDlg.h"

namespace quorvex {

bool CTesselApp::InitInstance() {
    // Settings go to $XDG_CONFIG_HOME/Velmora/Quorvex.ini.
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorvex"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quorvex"));
    auto dialog = std::make_unique<CTesselDlg>();
    dialog->exec();
    return false;
}

}  // namespace quorvex
