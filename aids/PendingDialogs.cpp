#include "aids/PendingDialogs.h"

#include <QFileDialog>

namespace quorvex {

namespace {
std::function<QString(const FileDialogRequest&)>& Hook() {
    static std::function<QString(const FileDialogRequest&)> hook;
    return hook;
}
}  // namespace

QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                        const QString& directory) {
    if (Hook()) return Hook()({false, title, directory, {}, filter});
    return QFileDialog::getOpenFileName(parent, title, directory, filter);
}

QString GetSaveFileName(QWidget* parent, const QString& title, const QString& defaultName,
                        const QString& filter, const QString& directory) {
    if (Hook()) return Hook()({true, title, directory, defaultName, filter});
    const QString start = directory.isEmpty() ? defaultName : directory + "/" + defaultName;
    return QFileDialog::getSaveFileName(parent, title, start, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

void SetFileDialogHook(std::function<QString(const FileDialogRequest&)> hook) {
    Hook() = std::move(hook);
}

}  // namespace quorvex
