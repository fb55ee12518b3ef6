#include "gui/window/CommandLineFile.h"

#include <QFileInfo>
#include <QList>
#include <QUrl>

#include "gui/window/TesselDlg.h"
#include "gui/window/WindowOutput.h"

namespace quorvex {

void OfferBatchFiles(CTesselDlg& dialog, const QStringList& arguments) {
    if (arguments.isEmpty()) return;
    QList<QUrl> urls;
    // Relative to the folder the program was started in, which the run does not keep.
    for (const QString& arg : arguments)
        urls.push_back(QUrl::fromLocalFile(QFileInfo(arg).absoluteFilePath()));
    if (urls.size() == 1) {
        const std::string prefix = urls.front().toLocalFile().toStdString() + "\n";
        if (!Confirmed(
                dialog.messages().ShowMessage(kMsgOfferBatch, prefix, MessageKind::Question))) {
            return;
        }
    }
    RunDroppedBatch(dialog, urls);
}

}  // namespace quorvex
