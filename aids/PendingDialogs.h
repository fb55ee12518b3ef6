#pragma once
// Temporary: the file dialogs as the window will provide them (app/Dialogs.h). Removed once
// those land.

#include <QString>
#include <functional>

class QWidget;

namespace quorvex {

struct FileDialogRequest {
    bool save;
    QString title;
    QString directory;
    QString defaultName;
    QString filter;
};

QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                        const QString& directory = {});
QString GetSaveFileName(QWidget* parent, const QString& title, const QString& defaultName,
                        const QString& filter, const QString& directory = {});
void SetFileDialogHook(std::function<QString(const FileDialogRequest&)> hook);

}  // namespace quorvex
