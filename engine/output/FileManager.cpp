#include "engine/output/FileManager.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace quorvex {

bool LaunchFileManager(const QString& folder, std::chrono::milliseconds wait) {
    // QDesktopServices::openUrl starts xdg-open detached and so reports success whether or
    // not anything opened; its exit status is the only word on that.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({QUrl::fromLocalFile(folder).toString()});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);

    bool finished = false;
    QEventLoop loop;
    QObject::connect(process, &QProcess::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QObject::connect(process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            finished = true;
            loop.quit();
        }
    });
    QTimer::singleShot(wait, &loop, &QEventLoop::quit);
    process->start();
    if (!finished) loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!finished) {
        // A file manager in the foreground: leave it running, tidy up when it ends.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool opened = process->error() != QProcess::FailedToStart &&
                        process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
}

}  // namespace quorvex
