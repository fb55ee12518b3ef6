#pragma once
// Which of the tool's runs each option does something in: the batch run, the comparison
// sheet (--sheet) or the import (--import). An option given to a run it does nothing in is
// a usage error, so a script never believes a switch took effect. One line per option, in
// the table of OptionModes.cpp.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <optional>
#include <span>

namespace quorvex {

enum ToolRun : unsigned { kBatchRun = 1, kSheetRun = 2, kImportRun = 4 };
inline constexpr unsigned kDrawingRuns = kBatchRun | kSheetRun;
inline constexpr unsigned kEveryRun = kBatchRun | kSheetRun | kImportRun;

struct ToolOption {
    const char* name;       // the long name
    const char* shortName;  // "" when none
    const char* valueName;  // "" for a switch
    unsigned runs;          // the runs it does something in
    bool once = false;      // given twice, which one was meant is not known
};

std::span<const ToolOption> ToolOptions();
// Every option of the table, for the parser.
QList<QCommandLineOption> ParserOptions();

// The run the command line asks for: --import, else --sheet, else the batch run.
ToolRun RunOf(const QCommandLineParser& parser);

// The usage error for the first option (in the table's order) that does nothing in run or
// is repeated against its rule; nothing when every option fits.
std::optional<QString> OptionMisfit(const QCommandLineParser& parser, ToolRun run);

}  // namespace quorvex
