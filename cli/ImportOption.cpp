#include "cli/ImportOption.h"

#include <cstdio>

#include "cli/ToolHost.h"
#include "engine/import/FilingImport.h"

namespace quorvex {

std::optional<int> RunImportMode(const QCommandLineParser& parser,
                                 void (*usageError)(const QString& text)) {
    if (!parser.isSet("import")) return std::nullopt;
    // Periods named "任天堂 2024年3月期", so that several companies share one CSV.
    const bool byCompany = parser.isSet("name-periods");
    if (byCompany && parser.value("name-periods") != QLatin1String("company")) {
        usageError(QStringLiteral("--name-periods には company を指定してください"));
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) usageError(QStringLiteral("読み込むファイルを指定してください"));
    const FilingScope scope =
        parser.isSet("non-consolidated") ? FilingScope::NonConsolidated : FilingScope::Preferred;

    ProgressBar noProgress(false);
    StderrSink sink(noProgress);
    // Later files on the command line are later filings: their figures replace those of
    // the same period from earlier ones (a restated prior year, say).
    const ImportedFilings imported = ImportFilingPaths(files, scope);
    if (imported.problem.messageId != 0) {
        ReportFilingProblem(imported.problemPath, imported.problem, sink);
        return 1;
    }
    for (const std::string& note : imported.notes) std::fprintf(stderr, "%s\n", note.c_str());
    if (parser.isSet("explain")) {
        for (const ImportedPeriod& p : imported.periods) {
            std::fputs(ExplainText(p).c_str(), stderr);
        }
    }
    std::vector<ImportedPeriod> periods = imported.periods;
    if (byCompany) NamePeriodsByCompany(periods);
    const std::string csv = ImportCsvText(periods);
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return FinishStdout();
}

}  // namespace quorvex
