#pragma once
// Temporary: the file dialogs and the folder window as the window and the output code will
// provide them (app/Dialogs.h, output/OutputFiles.h). Removed once those land.

#include <QString>
#include <functional>

#include "model/Messages.h"

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

bool OpenFolderWindow(const QString& folder, MessageSink& messages);

}  // namespace quorvex
