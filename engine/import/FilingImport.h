#pragma once
// Reading an EDINET filing: the XBRL instance (*.xbrl under XBRL/PublicDoc/) on its own or
// inside the filing's ZIP. The instance is read as a stream; only the contexts and the
// facts the mapping needs are kept, so memory stays flat however large the file is.
// Documents with a DOCTYPE are refused before anything in them is expanded.

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/import/FilingFigures.h"
#include "core/model/Messages.h"

namespace quorvex {

struct FilingLimits {
    std::int64_t maxBytes = 256ll << 20;      // the instance, as read (in a ZIP: inflated)
    std::int64_t maxTokenBytes = 16ll << 20;  // one text, tag or comment of the XML
    int maxZipEntries = 65536;
    std::size_t maxKept = 100000;  // contexts, and facts of the mapped elements
};

// Reads an instance from device. On failure the problem names the catalogue message.
FilingProblem ReadXbrlInstance(QIODevice& device, FilingInstance& instance,
                               const FilingLimits& limits = {});

// An .xbrl instance or an EDINET ZIP, told apart by the file's first bytes, mapped to its
// fiscal years.
MappedFiling ImportFilingFile(const QString& path, FilingScope scope,
                              const FilingLimits& limits = {});

// The filings at paths, in order, mapped and merged (MergePeriods: a later filing's period
// replaces an earlier one's). The first refused filing ends the import: nothing is merged,
// and problemPath names it. The one entry point of the tool's --import and the window.
struct ImportedFilings {
    std::vector<ImportedPeriod> periods;  // oldest first
    std::vector<std::string> notes;       // every filing's notes, in order
    QString problemPath;
    FilingProblem problem;
};
ImportedFilings ImportFilingPaths(const QStringList& paths, FilingScope scope,
                                  const FilingLimits& limits = {});

// Shows the problem of a filing: the file's name and the detail before the message text.
void ReportFilingProblem(const QString& path, const FilingProblem& problem, MessageSink& sink);

}  // namespace quorvex
