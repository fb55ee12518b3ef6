#include "cli/OptionModes.h"

namespace quorvex {
namespace {

// --help and --version answer before any run and are not listed by run.
constexpr ToolOption kOptions[] = {
    {"output-dir", "o", "DIR", kBatchRun},
    {"type", "t", "TYPE", kBatchRun},
    {"separator", "s", "SEP", kDrawingRuns},
    {"size", "", "WxH", kDrawingRuns},
    {"decimals", "", "N", kDrawingRuns},
    {"font-size", "", "N", kDrawingRuns},
    {"line-width", "", "N", kDrawingRuns},
    {"centre-line", "", "MODE", kDrawingRuns},
    {"names", "", "", kDrawingRuns},
    {"no-names", "", "", kDrawingRuns},
    {"ratios", "", "", kDrawingRuns},
    {"no-ratios", "", "", kDrawingRuns},
    {"ratio-position", "", "POS", kDrawingRuns},
    {"colours", "", "FILE", kDrawingRuns},
    {"vector", "", "", kBatchRun},
    {"defaults", "", "", kDrawingRuns},
    {"scale", "", "MODE", kDrawingRuns},
    {"scale-basis", "", "AMOUNT", kDrawingRuns},
    {"sheet", "", "FILE", kSheetRun, true},
    {"title", "", "TEXT", kSheetRun},
    {"indicators", "", "FILE", kDrawingRuns},
    {"break-even", "", "", kDrawingRuns},
    {"jobs", "j", "N", kDrawingRuns},
    {"strict", "", "", kDrawingRuns},
    {"quiet", "q", "", kEveryRun},
    {"import", "", "", kImportRun},
    {"non-consolidated", "", "", kImportRun},
    {"explain", "", "", kImportRun},
    {"name-periods", "", "how", kImportRun},
};

const char* NameOf(ToolRun run) {
    return run == kImportRun ? "import" : "sheet";
}

}  // namespace

std::span<const ToolOption> ToolOptions() {
    return kOptions;
}

QList<QCommandLineOption> ParserOptions() {
    QList<QCommandLineOption> out;
    for (const ToolOption& o : kOptions) {
        QStringList names;
        if (*o.shortName) names << QString::fromLatin1(o.shortName);
        names << QString::fromLatin1(o.name);
        out.append(QCommandLineOption(names, QString(), QString::fromLatin1(o.valueName)));
    }
    out.append(QCommandLineOption(QStringList{"h", "help"}));
    out.append(QCommandLineOption(QStringList{"v", "version"}));
    return out;
}

ToolRun RunOf(const QCommandLineParser& parser) {
    if (parser.isSet("import")) return kImportRun;
    if (parser.isSet("sheet")) return kSheetRun;
    return kBatchRun;
}

std::optional<QString> OptionMisfit(const QCommandLineParser& parser, ToolRun run) {
    for (const ToolOption& o : kOptions) {
        const QString name = QString::fromLatin1(o.name);
        if (!parser.isSet(name)) continue;
        if (o.once && *o.valueName && parser.values(name).size() > 1) {
            return QStringLiteral("--%1 は一度だけ指定できます").arg(name);
        }
        if (o.runs & run) continue;
        if (run != kBatchRun) {
            return QStringLiteral("--%1 と --%2 は同時に指定できません")
                .arg(QString::fromLatin1(NameOf(run)), name);
        }
        // A batch run: the option belongs to another run alone.
        return QStringLiteral("--%1 は --%2 と共に指定してください")
            .arg(name, QString::fromLatin1((o.runs & kImportRun) ? "import" : "sheet"));
    }
    return std::nullopt;
}

}  // namespace quorvex
