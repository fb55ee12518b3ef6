#include "gui/window/SheetCommand.h"

#include <QFileInfo>

#include "engine/output/OutputFiles.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/ControlTable.h"

namespace quorvex {
namespace {

QString Text(const char* key) {
    const auto& props = MainWindowProperties();
    const auto it = props.find(key);
    return it == props.end() ? QString() : QString::fromStdString(it->second);
}

}  // namespace

SheetResult RunSheetCommand(QWidget* parent, SheetRequest options, MessageSink& sink) {
    const QString csv = options.csvPath.isEmpty() ? GetOpenFileName(parent, Text("sheet_csv_title"),
                                                                    Text("sheet_csv_filter"))
                                                  : options.csvPath;
    if (csv.isEmpty()) return SheetResult::Failed;
    const QFileInfo input(csv);
    QString target = GetSaveFileName(parent, Text("sheet_save_title"),
                                     input.completeBaseName() + QStringLiteral(".png"),
                                     Text("sheet_save_filter"), input.absolutePath());
    if (target.isEmpty()) return SheetResult::Failed;
    if (!SheetTargetOf(target)) {
        target += QStringLiteral(".png");
    }
    // The file dialog does not ask about replacing a file; the command does.
    if (QFileInfo::exists(target) &&
        !Confirmed(sink.ShowMessage(kMsgOverwrite, "", MessageKind::Question))) {
        return SheetResult::Failed;
    }
    options.csvPath = csv;
    options.outputPath = target;
    const SheetResult result = WriteComparisonSheet(options, sink);
    if (result == SheetResult::Written &&
        sink.ShowMessage(kMsgSavedShowFolder, "", MessageKind::Question) == kYes) {
        OpenFolderWindow(target, sink);
    }
    return result;
}

}  // namespace quorvex
