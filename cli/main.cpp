// quorvex-batch: the batch run of the window, headless, for scripts and servers.
// Exit status: 0 done (the summary's path on stdout), 1 the run failed, 2 usage error.

#include <malloc.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QThread>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

#include "cli/ImportOption.h"
#include "cli/OptionModes.h"
#include "cli/OutOfMemory.h"
#include "cli/ToolHost.h"
#include "core/files/Interrupt.h"
#include "core/model/ColourFile.h"
#include "core/model/OptionTable.h"
#include "engine/batch/BatchRun.h"
#include "engine/batch/SheetRun.h"
#include "engine/settings/SettingsStore.h"

namespace quorvex::data {
extern const std::string_view kBatchHelp;
extern const std::string_view kHelpIndicatorsText;
}  // namespace quorvex::data

namespace {

using quorvex::ToolSettings;

constexpr int kExitRunFailed = 1;
constexpr int kExitUsage = 2;

[[noreturn]] void UsageError(const QString& text) {
    std::fprintf(stderr, "quorvex-batch: %s\n詳しくは quorvex-batch --help を参照してください\n",
                 text.toUtf8().constData());
    std::exit(kExitUsage);
}

QString InvalidValue(const QString& option, const QString& value) {
    return QStringLiteral("%1 の値が正しくありません: %2").arg(option, value);
}

// A whole decimal number within lo..hi, else a usage error.
int IntValue(const QCommandLineParser& parser, const QString& name, int lo, int hi) {
    const QString text = parser.value(name);
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lo || v > hi) UsageError(InvalidValue("--" + name, text));
    return v;
}

// A whole decimal number within the option's range, else a usage error.
int OptionArgument(const QCommandLineParser& parser, const QString& name,
                   const quorvex::OptionEntry& entry) {
    return IntValue(parser, name, entry.low, entry.high);
}

// The index of the value in words, else a usage error.
int Choice(const QCommandLineParser& parser, const QString& name, const QStringList& words) {
    const QString text = parser.value(name);
    const int i = static_cast<int>(words.indexOf(text));
    if (i < 0) UsageError(InvalidValue("--" + name, text));
    return i;
}

[[noreturn]] void Conflict(const QString& a, const QString& b) {
    UsageError(QStringLiteral("--%1 と --%2 は同時に指定できません").arg(a, b));
}

// A flag pair such as --names / --no-names over a stored value.
int Flag(const QCommandLineParser& parser, const QString& on, const QString& off, int stored) {
    const bool yes = parser.isSet(on), no = parser.isSet(off);
    if (yes && no) Conflict(on, off);
    return yes ? 1 : (no ? 0 : stored);
}

// --scale and --scale-basis over the stored 比例縮尺 value. The basis is a positive amount.
quorvex::DiagramScale ScaleOption(const QCommandLineParser& parser, int stored) {
    quorvex::DiagramScale scale;
    if (stored == 1) scale.mode = quorvex::ScaleMode::Shared;
    if (parser.isSet("scale")) {
        scale.mode = Choice(parser, "scale", {"ratio", "shared"}) == 1 ? quorvex::ScaleMode::Shared
                                                                       : quorvex::ScaleMode::Ratio;
    }
    if (!parser.isSet("scale-basis")) return scale;
    if (parser.isSet("scale") && scale.mode == quorvex::ScaleMode::Ratio) {
        Conflict("scale ratio", "scale-basis");
    }
    bool ok = false;
    const double amount = parser.value("scale-basis").toDouble(&ok);
    if (!ok || !std::isfinite(amount) || amount <= 0) {
        UsageError(InvalidValue("--scale-basis", parser.value("scale-basis")));
    }
    return quorvex::BasisScale(amount);
}

// Qt's own diagnostics (such as a missing XDG_RUNTIME_DIR) would mix with the run's
// messages on stderr; only its critical ones are kept.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
}

// The whole program, run by main under the out-of-memory guard.
int Run(int argc, char** argv) {
    // Never a window: the offscreen platform renders the same pictures without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every period allocates and frees pictures of a few hundred kilobytes on several
    // threads; kept in the heap instead of mapped and unmapped each time, they cost no
    // page faults.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    qInstallMessageHandler(QuietQtMessages);
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvex-batch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVEX_VERSION));

    QCommandLineParser parser;
    // "-j2", "-tpng", "-o/tmp/x": a short option's value may follow it directly.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOptions(quorvex::ParserOptions());
    parser.addPositionalArgument("FILE.csv", "");
    if (!parser.parse(QCoreApplication::arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        UsageError(
            unknown.isEmpty()
                ? QStringLiteral("オプションの指定が正しくありません (%1)").arg(parser.errorText())
                : QStringLiteral("不明なオプションです: %1").arg(unknown.first()));
    }
    if (parser.isSet("help")) {
        std::fwrite(quorvex::data::kBatchHelp.data(), 1, quorvex::data::kBatchHelp.size(), stdout);
        // The key ratios' definitions, the same lines as the indicator window's help.
        std::fputc('\n', stdout);
        std::fwrite(quorvex::data::kHelpIndicatorsText.data(), 1,
                    quorvex::data::kHelpIndicatorsText.size(), stdout);
        return quorvex::FinishStdout();
    }
    if (parser.isSet("version")) {
        std::printf("quorvex-batch %s\n", QUORVEX_VERSION);
        return quorvex::FinishStdout();
    }
    if (const auto misfit = quorvex::OptionMisfit(parser, quorvex::RunOf(parser))) {
        UsageError(*misfit);
    }
    if (const auto status = quorvex::RunImportMode(parser, UsageError)) return *status;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        UsageError(files.isEmpty() ? QStringLiteral("CSVファイルを指定してください")
                                   : QStringLiteral("CSVファイルは一つだけ指定できます"));
    }

    const quorvex::StoredSettings stored =
        parser.isSet("defaults") ? quorvex::DefaultSettings() : quorvex::LoadSettings();
    ToolSettings s;
    s.output = stored.output;
    s.diagram = stored.diagram;
    s.colours = stored.Col;
    if (s.output.OutSaki < quorvex::kOutJpeg || s.output.OutSaki > quorvex::kOutPdf) {
        s.output.OutSaki = quorvex::kOutJpeg;  // clipboard or unknown
    }

    if (parser.isSet("type")) {
        // The file targets in their order, then the vector one that follows the clipboard.
        const int t = Choice(parser, "type", {"jpeg", "bmp", "gif", "png", "tiff", "pdf", "svg"});
        s.output.OutSaki = t <= quorvex::kOutPdf ? t : quorvex::kOutSvg;
    }
    if (parser.isSet("vector")) {
        if (s.output.OutSaki != quorvex::kOutPdf) {
            UsageError(QStringLiteral("--vector は -t pdf と一緒に指定してください"));
        }
        s.output.OutSaki = quorvex::kOutPdfVector;
    }
    if (parser.isSet("separator")) {
        s.output.Separate = Choice(parser, "separator", {"none", "kanji", "comma"});
    }
    if (parser.isSet("size")) {
        // Blanks around the value are ignored, as for the other numbers.
        static const QRegularExpression re(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
        const auto m = re.match(parser.value("size").trimmed());
        const int w = m.hasMatch() ? m.captured(1).toInt() : 0;
        const int h = m.hasMatch() ? m.captured(2).toInt() : 0;
        if (w < 16 || w > 4000 || h < 16 || h > 4000) {
            UsageError(InvalidValue("--size", parser.value("size")));
        }
        s.size = {w, h};
    }
    using quorvex::Option;
    if (parser.isSet("decimals")) {
        s.diagram.Shosu = OptionArgument(parser, "decimals", Option("Shosu"));
    }
    if (parser.isSet("font-size")) {
        s.diagram.FontSize = OptionArgument(parser, "font-size", Option("FontSize"));
    }
    if (parser.isSet("line-width")) {
        s.diagram.Futosa = OptionArgument(parser, "line-width", Option("Futosa"));
    }
    if (parser.isSet("centre-line")) {
        s.diagram.CenterLine = Choice(parser, "centre-line", {"none", "upper", "lower"});
    }
    s.diagram.DrawName = Flag(parser, "names", "no-names", s.diagram.DrawName);
    s.diagram.DrawRitu = Flag(parser, "ratios", "no-ratios", s.diagram.DrawRitu);
    if (parser.isSet("ratio-position")) {
        s.diagram.DrawUnder = Choice(parser, "ratio-position", {"right", "below"});
    }
    if (parser.isSet("break-even")) s.diagram.BreakEven = 1;
    if (parser.isSet("indicators") && parser.value("indicators").isEmpty()) {
        UsageError(InvalidValue("--indicators", QString()));
    }
    if (parser.isSet("colours")) {
        // Only a small regular file: a device, a FIFO or a huge file is a mistake.
        const auto text =
            quorvex::ReadSmallColourFile(QFile::encodeName(parser.value("colours")).toStdString());
        if (!text) {
            UsageError(QStringLiteral("色ファイルを開けません: %1").arg(parser.value("colours")));
        }
        quorvex::ReadColourFileText(*text, s.colours);
    }
    // An empty folder name (a script's unset variable) would quietly mean the desktop.
    if (parser.isSet("output-dir") && parser.value("output-dir").isEmpty()) {
        UsageError(InvalidValue("--output-dir", QString()));
    }
    int jobs = std::clamp(QThread::idealThreadCount(), 1, 64);
    if (parser.isSet("jobs")) jobs = IntValue(parser, "jobs", 1, 256);
    const bool progress = !parser.isSet("quiet") && isatty(STDERR_FILENO);
    const quorvex::DiagramScale scale = ScaleOption(parser, stored.diagram.HireiShukushaku);

    if (parser.isSet("sheet")) {
        const QString target = parser.value("sheet");
        if (!quorvex::SheetTargetOf(target)) {
            UsageError(InvalidValue("--sheet", target));
        }
        quorvex::SheetRequest sheet;
        sheet.csvPath = files.first();
        sheet.outputPath = target;
        sheet.title = parser.value("title");
        sheet.cell = s.size;
        sheet.diagram = s.diagram;
        sheet.colours = s.colours;
        // The sheet is always on one scale; only a fixed basis changes which.
        if (scale.perFigure) sheet.scale = scale;
        sheet.indicators = parser.isSet("indicators");
        sheet.indicatorsPath = parser.value("indicators");
        sheet.separate = s.output.Separate;
        sheet.strict = parser.isSet("strict");
        quorvex::ProgressBar bar(false);
        quorvex::StderrSink sink(bar);
        sheet.warn = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
        switch (quorvex::WriteComparisonSheet(sheet, sink)) {
            case quorvex::SheetResult::Written:
                std::printf("%s\n", target.toUtf8().constData());
                return quorvex::FinishStdout();
            case quorvex::SheetResult::TooManyPeriods:
                return kExitUsage;
            case quorvex::SheetResult::Failed:
                return kExitRunFailed;
        }
    }
    quorvex::ToolHost host(s, progress);
    quorvex::BatchRequest request;
    request.csvPath = files.first();
    request.title = quorvex::BatchTitle(request.csvPath);
    request.outputFolder = parser.value("output-dir");
    request.jobs = jobs;
    request.strict = parser.isSet("strict");
    request.scale = scale;
    request.indicatorsPath = parser.value("indicators");
    quorvex::InstallInterruptHandlers();
    const quorvex::BatchResult result = quorvex::RunBatch(host, request);
    if (!result.ok) {
        if (const int signal = quorvex::PendingInterrupt()) {
            std::fputs("quorvex-batch: 中断しました\n", stderr);
            return 128 + signal;
        }
        return kExitRunFailed;
    }
    std::printf("%s\n", result.summaryPath.toUtf8().constData());
    return quorvex::FinishStdout();
}

}  // namespace

int main(int argc, char** argv) {
    quorvex::HoldClosedStdout();
    return quorvex::RunGuardedAgainstOutOfMemory([&] { return Run(argc, argv); });
}
