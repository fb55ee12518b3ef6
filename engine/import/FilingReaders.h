#pragma once
// The readers behind ImportFilingFile, for the files of engine/import only.

#include <QByteArray>
#include <QString>

#include "engine/import/FilingImport.h"
#include "engine/import/GuardedInput.h"

namespace quorvex {

// One XML document of a filing: an XBRL instance (root xbrli:xbrl) or one page of inline
// XBRL (root XHTML html), told apart by the root. A filing's inline pages are read into one
// instance, one after another; only one of them carries the contexts (ix:header).
struct DocumentRead {
    FilingProblem problem;
    bool inlinePage = false;
    bool inlineHeader = false;  // the page had an ix:header
};
DocumentRead ReadXmlDocument(GuardedInput& input, FilingInstance& instance,
                             const FilingLimits& limits, int readErrorMessage);

// The problem of a limit the guarded input met.
FilingProblem LimitProblem(GuardedInput::Limit limit);

// EDINET's CSV download, one file: UTF-16 with a byte-order mark, read from source.
FilingProblem ReadEdinetCsv(GuardedInput& input, FilingInstance& instance,
                            const FilingLimits& limits, int readErrorMessage);

// A ZIP held in memory (read whole from a pipe) or open as fd (a regular file; the
// descriptor stays the caller's). The instance, else the inline pages, else the CSV files
// of XBRL_TO_CSV, with the linkbases beside the instance.
FilingProblem ReadFilingZip(int fd, const QByteArray* bytes, FilingInstance& instance,
                            const FilingLimits& limits);

// The filer's linkbases: one *_pre.xml, *_cal.xml or *_lab.xml document into linkbases.
FilingProblem ReadLinkbase(GuardedInput& input, FilingLinkbases& linkbases,
                           const FilingLimits& limits, int readErrorMessage);

// What the name of a file in a filing says it is.
enum class FilingPart { None, Instance, InlinePage, Csv, Zip, Linkbase };
FilingPart PartOfName(const QString& name);

}  // namespace quorvex
