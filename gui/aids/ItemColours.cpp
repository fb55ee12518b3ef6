#include "gui/aids/ItemColours.h"

#include <QFile>
#include <QFileInfo>

#include "core/files/AtomicFile.h"
#include "engine/output/OutputFiles.h"
#include "gui/widgets/Dialogs.h"

namespace quorvex {

namespace {

const QString kColourFilter = QStringLiteral("色の設定ファイル (*.col)");

int Ask(AidsHost& host, int id) {
    return host.messages().ShowMessage(id, "", MessageKind::Question);
}
void Fail(AidsHost& host, int id) {
    host.messages().ShowMessage(id, "", MessageKind::Error);
}

bool WriteColourFile(const QString& path, const std::string& text) {
    return WriteFileAtomically(QFile::encodeName(path).toStdString(), text, Durability::Durable) ==
           WriteOutcome::Written;
}

// The first ten lines, each cut to its first kMaxLineBytes bytes (ample for a decimal
// colour), so that choosing a large file of another kind costs no memory.
std::string FirstLines(QFile& file) {
    constexpr auto kMaxLineBytes = static_cast<qint64>(kMaxColourLineBytes);
    std::string text;
    for (int line = 0; line < kItemCount && !file.atEnd(); ++line) {
        const QByteArray head = file.readLine(kMaxLineBytes + 1);
        text.append(head.constData(), static_cast<std::size_t>(head.size()));
        if (head.endsWith('\n')) continue;
        // Skip the rest of an overlong line up to its line end.
        char c = 0;
        while (file.getChar(&c) && c != '\n') {
        }
        if (c == '\n') text += '\n';
    }
    return text;
}

}  // namespace

void OnDefaultColours(AidsHost& host) {
    if (!Confirmed(Ask(host, kMsgDefaultColours))) return;
    for (int i = 0; i < kItemCount; ++i) host.setItemColour(i, DefaultItemColours[i]);
    host.repaintFigureArea();
}

void OnRandomColours(AidsHost& host) {
    for (int i = 0; i < kItemCount; ++i) host.setItemColour(i, RandomItemColour());
    host.repaintFigureArea();
}

void OnSaveColours(AidsHost& host) {
    QString path = GetSaveFileName(host.hostWindow(), QStringLiteral("保存先ファイルを指定"),
                                   QStringLiteral("Quorvex"), kColourFilter);
    if (path.isEmpty()) return;
    // The default extension, added when the name has none.
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".col");
    if (QFileInfo::exists(path) && !Confirmed(Ask(host, kMsgOverwrite))) return;

    std::array<Colour, kItemCount> colours{};
    for (int i = 0; i < kItemCount; ++i) colours[i] = host.itemColour(i);
    if (!WriteColourFile(path, ColourFileText(colours))) {
        Fail(host, kMsgOpenFailed);
        return;
    }
    if (Ask(host, kMsgSavedShowFolder) == kYes)
        OpenFolderWindow(QFileInfo(path).absolutePath() + "/", host.messages());
}

void OnLoadColours(AidsHost& host) {
    const QString path =
        GetOpenFileName(host.hostWindow(), QStringLiteral("色の設定ファイルを指定"), kColourFilter);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(host, kMsgOpenFailed);
        return;
    }
    std::array<Colour, kItemCount> colours{};
    for (int i = 0; i < kItemCount; ++i) colours[i] = host.itemColour(i);
    ReadColourFileText(FirstLines(file), colours);
    for (int i = 0; i < kItemCount; ++i) host.setItemColour(i, colours[i]);
    host.repaintFigureArea();
}

}  // namespace quorvex
