#pragma once
// The tool's import mode: `--import FILE...` writes the batch CSV of EDINET filings to
// stdout instead of running a batch (`--explain`: where each figure came from, on stderr;
// `--name-periods company`: periods named after the company too).

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <optional>

namespace quorvex {

// With --import: the files imported, the CSV on stdout, the exit status returned (0, or 1
// after the message on stderr). Without it: nothing happens and nothing is returned.
// usageError is called for options that do not fit together.
std::optional<int> RunImportMode(const QCommandLineParser& parser,
                                 void (*usageError)(const QString& text));

}  // namespace quorvex
