#include "gui/import/WindowImportMany.h"

#include <QFileInfo>

#include "core/import/FilingFigures.h"
#include "engine/import/FilingImport.h"
#include "engine/output/OutputFiles.h"
#include "gui/widgets/ChoiceDialog.h"
#include "gui/widgets/Dialogs.h"

namespace quorvex {
namespace {

QString Text(int id) {
    return QString::fromStdString(MessageText(id));
}

// The company of the latest filing that names one: periods are oldest first.
std::string CompanyOf(const std::vector<ImportedPeriod>& periods) {
    for (auto p = periods.rbegin(); p != periods.rend(); ++p) {
        if (!p->company.empty()) return p->company;
    }
    return {};
}

// The CSV's place: beside the filings (a folder's parent, a file's own folder).
QString StartFolder(const QStringList& paths) {
    const QFileInfo first(paths.front());
    return first.absolutePath();
}

}  // namespace

bool IsManyFilings(const QStringList& paths) {
    return paths.size() > 1 || (paths.size() == 1 && QFileInfo(paths.front()).isDir());
}

QString ImportCsvFileName(const std::string& company) {
    QString name = QString::fromStdString(company).trimmed();
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c.category() == QChar::Other_Control) {
            c = QLatin1Char('_');
        }
    }
    // "." and ".." are folders, not names.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        name = Text(kMsgImportCsvPlainName);
    }
    return name + QStringLiteral(".csv");
}

bool ImportManyFilings(AidsHost& host, FilingRunHost& runs, const QStringList& paths) {
    if (paths.isEmpty()) return false;
    MessageSink& sink = host.messages();
    const ImportedFilings imported = ImportFilingPaths(paths, FilingScope::Preferred);
    if (imported.problem.messageId != 0) {
        ReportFilingProblem(imported.problemPath, imported.problem, sink);
        return false;
    }
    if (!imported.notes.empty()) {
        std::string notes;
        for (const std::string& note : imported.notes) notes += note + "\n";
        sink.ShowMessage(kMsgImportNotes, notes, MessageKind::Information);
    }
    if (imported.periods.empty()) {
        sink.ShowMessage(kMsgNoData, "", MessageKind::Error);
        return false;
    }
    QString target =
        GetSaveFileName(host.hostWindow(), QStringLiteral("CSVファイルの保存先"),
                        ImportCsvFileName(CompanyOf(imported.periods)),
                        QStringLiteral("コンマ区切りファイル(*.csv)"), StartFolder(paths));
    if (target.isEmpty()) return false;
    if (QFileInfo(target).suffix().isEmpty()) target += QStringLiteral(".csv");
    // The file dialog does not ask about replacing a file; the command does.
    if (QFileInfo::exists(target) &&
        !Confirmed(sink.ShowMessage(kMsgOverwrite, "", MessageKind::Question))) {
        return false;
    }
    if (!CommitFile(target, QByteArray::fromStdString(ImportCsvText(imported.periods)),
                    FileRole::Image, sink)) {
        return false;
    }
    ChoiceRequest request;
    request.title = QString::fromStdString(ApplicationTitle());
    request.label = Text(kMsgImportThenWhat);
    request.items << Text(kMsgImportThenSheet) << Text(kMsgImportThenBatch);
    switch (ChooseOne(host.hostWindow(), request)) {
        case 0:
            runs.runSheetOn(target);
            break;
        case 1:
            runs.runBatchOn(target);
            break;
        default:
            break;  // the CSV stays for later
    }
    return true;
}

}  // namespace quorvex
