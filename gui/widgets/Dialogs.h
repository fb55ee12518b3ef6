#pragma once
// The window's message box and file dialogs, each behind a hook so that tests script
// the answers and no real dialog ever opens there.

#include <QString>
#include <functional>
#include <string_view>

#include "core/model/Messages.h"

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
// While set, every ShowMessage goes to the hook instead of a message box. nullptr restores.
void SetMessageHook(MessageSink* hook);

struct FileDialogRequest {
    bool save = false;
    QString title;
    QString directory;
    QString defaultName;
    QString filter;
};
// While set, the file dialogs ask the hook; an empty answer means cancelled.
void SetFileDialogHook(std::function<QString(const FileDialogRequest&)> hook);

// Full path of the chosen file, or empty when cancelled.
QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                        const QString& directory = {});
// Never asks about overwriting: the callers ask their own question.
QString GetSaveFileName(QWidget* parent, const QString& title, const QString& defaultName,
                        const QString& filter, const QString& directory = {});

}  // namespace quorvex
