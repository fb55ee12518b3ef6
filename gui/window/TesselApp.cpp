#include "gui/window/TesselApp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "gui/window/CommandLineFile.h"
#include "gui/window/SessionSignals.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {

bool CTesselApp::InitInstance(const QStringList& files) {
    // Settings go to $XDG_CONFIG_HOME/Velmora/Quorvex.ini.
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorvex"));
    // The installed desktop entry, so task bars and docks match the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVEX_APP_ID));
    // Every text the user sees is Japanese: the toolkit's own dialogs too (file and colour
    // dialogs), whatever the locale. Without the translation files they stay English.
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&translator);
    }
    auto dialog = std::make_unique<CTesselDlg>();
    if (!files.isEmpty()) {
        // Asked once the window is shown, so the question has its window behind it.
        QTimer::singleShot(0, dialog.get(), [&dialog, files] { OfferBatchFiles(*dialog, files); });
    }
    // Logout, shutdown or a plain kill: the window closes as at its close box, so the
    // settings and everything typed are kept.
    const SessionSignals sessionSignals([&dialog](int) { dialog->CloseForSession(); });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, dialog.get(),
                     [&dialog](QSessionManager&) { dialog->CloseForSession(); });
    dialog->exec();
    return false;
}

}  // namespace quorvex
