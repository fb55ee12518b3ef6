#pragma once
// Reading an EDINET filing in the forms users download: the XBRL instance (*.xbrl under
// XBRL/PublicDoc/), the inline XBRL pages (*_ixbrl.htm), EDINET's CSV download (UTF-16
// .csv/.tsv), each on its own, in a ZIP or in a folder (of one filing or many). Every
// document is read as a stream; only the contexts and the facts the mapping needs are
// kept, so memory stays flat however large the file is. Documents with a DOCTYPE are
// refused before anything in them is expanded; FIFOs, sockets and devices are refused
// without blocking on them.

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
    int maxDepth = 10000;          // nesting of XML elements
    int maxAttributes = 1000;      // of one start tag
    int maxFolderEntries = 10000;  // files and folders looked at under a folder given
};

// Reads an instance from device. On failure the problem names the catalogue message.
FilingProblem ReadXbrlInstance(QIODevice& device, FilingInstance& instance,
                               const FilingLimits& limits = {});

// One filing, mapped to its fiscal years: an .xbrl instance, an inline XBRL page, an EDINET
// CSV file or a ZIP, told apart by the file's first bytes; or a folder, whose filings are
// found by their names (see ImportFilingPaths). Every reader's contexts and facts pass
// CheckFilingInstance before the mapping sees them.
MappedFiling ImportFilingFile(const QString& path, FilingScope scope,
                              const FilingLimits& limits = {});

// The filings at paths, in order, mapped and merged (MergePeriods: a later filing's period
// replaces an earlier one's). A folder stands for the filings under it, in the order of
// their paths: each .xbrl instance, each folder's *_ixbrl.htm pages (where no instance is
// beside them), each .zip, .csv and .tsv; symbolic links are not followed. Inline pages
// given one after another from one folder are one filing. The first refused filing ends
// the import: nothing is merged, and problemPath names it. The one entry point of the
// tool's --import and the window.
struct ImportedFilings {
    std::vector<ImportedPeriod> periods;  // oldest first
    std::vector<std::string> notes;       // every filing's notes, in order
    QString problemPath;
    FilingProblem problem;
};
ImportedFilings ImportFilingPaths(const QStringList& paths, FilingScope scope,
                                  const FilingLimits& limits = {});

// Shows the problem of a filing: the file's name and the detail before the message text,
// the detail bounded (BoundedDetail) so that no filing can forge or flood a message.
void ReportFilingProblem(const QString& path, const FilingProblem& problem, MessageSink& sink);

}  // namespace quorvex
