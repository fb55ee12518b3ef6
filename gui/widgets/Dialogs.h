#pragma once
// The window's message box and file dialogs, each behind a hook so that tests script
// the answers and no real dialog ever opens there.

#include <QString>
#include <QStringList>
#include <functional>
#include <string_view>

#include "core/model/Messages.h"

class QMessageBox;
class QWidget;

namespace quorvex {

// QMessageBox with caption "Quorvex", icon by kind, Yes the default button. Returns kOk,
// kYes or kNo, or kNoText (showing nothing) when the id has no text.
class MessageBoxSink final : public MessageSink {
  public:
    explicit MessageBoxSink(QWidget* owner) : owner_(owner) {}
    int ShowMessage(int id, std::string_view prefix, MessageKind kind) override;

  private:
    QWidget* owner_;
};

int ShowMessage(int id, QWidget* owner, std::string_view prefix, MessageKind kind);
// Caption, plain text (prefix, then the message text), icon and buttons of the box that
// ShowMessage opens.
void PrepareMessageBox(QMessageBox& box, std::string_view text, std::string_view prefix,
                       MessageKind kind);
// While set, every ShowMessage goes to the hook instead of a message box. nullptr restores.
void SetMessageHook(MessageSink* hook);

struct FileDialogRequest {
    bool save = false;
    bool several = false;  // an open dialog that takes several files
    QString title;
    QString directory;
    QString defaultName;
    QString filter;
};
// While set, the file dialogs ask the hook; an empty answer means cancelled. For several
// files the answer holds the paths separated by NUL (no path can hold one).
void SetFileDialogHook(std::function<QString(const FileDialogRequest&)> hook);

// Full path of the chosen file, or empty when cancelled.
QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                        const QString& directory = {});
// Full paths of the files chosen (one or more), or none when cancelled.
QStringList GetOpenFileNames(QWidget* parent, const QString& title, const QString& filter,
                             const QString& directory = {});
// Never asks about overwriting: the callers ask their own question.
QString GetSaveFileName(QWidget* parent, const QString& title, const QString& defaultName,
                        const QString& filter, const QString& directory = {});

}  // namespace quorvex
