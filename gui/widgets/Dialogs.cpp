#include "gui/widgets/Dialogs.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <string>

namespace quorvex {
namespace {

MessageSink* g_messageHook = nullptr;
std::function<QString(const FileDialogRequest&)> g_fileHook;

QString Utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString AskFile(QWidget* parent, const FileDialogRequest& request) {
    if (g_fileHook) return g_fileHook(request);
    QString start = request.directory;
    if (!request.defaultName.isEmpty()) {
        start = start.isEmpty() ? request.defaultName : QDir(start).filePath(request.defaultName);
    }
    if (request.save) {
        return QFileDialog::getSaveFileName(parent, request.title, start, request.filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
    return QFileDialog::getOpenFileName(parent, request.title, start, request.filter, nullptr,
                                        QFileDialog::ReadOnly);
}

}  // namespace

int MessageBoxSink::ShowMessage(int id, std::string_view prefix, MessageKind kind) {
    return quorvex::ShowMessage(id, owner_, prefix, kind);
}

int ShowMessage(int id, QWidget* owner, std::string_view prefix, MessageKind kind) {
    if (g_messageHook) return g_messageHook->ShowMessage(id, prefix, kind);
    const std::string text = MessageText(id);
    if (text.empty()) return kNoText;
    QMessageBox box(owner);
    PrepareMessageBox(box, text, prefix, kind);
    const int answer = box.exec();
    if (answer == QMessageBox::Yes) return kYes;
    if (answer == QMessageBox::No) return kNo;
    // Closing a question box with Esc or its close box counts as No, as on the desktop
    // the box had no cancel button either.
    return kind == MessageKind::Question ? kNo : kOk;
}

void PrepareMessageBox(QMessageBox& box, std::string_view text, std::string_view prefix,
                       MessageKind kind) {
    // A dialog's hints: title and close box, no minimise or maximise.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    box.setWindowTitle(Utf8(ApplicationTitle()));
    // File names, periods and filing values are shown as the characters they are: a name
    // such as "<font size=7>" must not become markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(Utf8(prefix) + Utf8(text));
    switch (kind) {
        case MessageKind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageKind::Question:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MessageKind::Information:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    // Japanese button texts whatever translations are installed.
    if (QAbstractButton* b = box.button(QMessageBox::Yes)) b->setText(QStringLiteral("はい(&Y)"));
    if (QAbstractButton* b = box.button(QMessageBox::No)) b->setText(QStringLiteral("いいえ(&N)"));
}

void SetMessageHook(MessageSink* hook) {
    g_messageHook = hook;
}

void SetFileDialogHook(std::function<QString(const FileDialogRequest&)> hook) {
    g_fileHook = std::move(hook);
}

QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                        const QString& directory) {
    return AskFile(parent, FileDialogRequest{false, false, title, directory, {}, filter});
}

QStringList GetOpenFileNames(QWidget* parent, const QString& title, const QString& filter,
                             const QString& directory) {
    FileDialogRequest request{false, true, title, directory, {}, filter};
    if (g_fileHook) {
        const QString answer = g_fileHook(request);
        return answer.isEmpty() ? QStringList() : answer.split(QChar(0));
    }
    return QFileDialog::getOpenFileNames(parent, title, directory, filter, nullptr,
                                         QFileDialog::ReadOnly);
}

QString GetSaveFileName(QWidget* parent, const QString& title, const QString& defaultName,
                        const QString& filter, const QString& directory) {
    return AskFile(parent, FileDialogRequest{true, false, title, directory, defaultName, filter});
}

}  // namespace quorvex
