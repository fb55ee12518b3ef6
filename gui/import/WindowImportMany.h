#pragma once
// Many filings at once in the window: several files or a folder, chosen or dropped on the
// window, give what the tool's --import gives (every period, merged, the later filing
// winning), saved as a batch CSV, then the window's batch run or comparison sheet on it.

#include <QString>
#include <QStringList>

#include "gui/aids/AidsHost.h"

namespace quorvex {

// What the import of many filings needs of the window besides the aids' host: the window's
// own commands on a CSV that exists.
class FilingRunHost {
  public:
    virtual ~FilingRunHost() = default;
    // The batch run of button 一括作成 over the CSV at path.
    virtual void runBatchOn(const QString& csvPath) = 0;
    // The 比較図... command with the CSV at path already chosen.
    virtual void runSheetOn(const QString& csvPath) = 0;
};

// True when paths need the import of many filings: more than one path, or a folder.
bool IsManyFilings(const QStringList& paths);

// The file name offered for the CSV: the company's name ("/" and controls replaced), or
// a plain name when the filings give none.
QString ImportCsvFileName(const std::string& company);

// Imports the filings at paths (a refusal shows its message and ends it), shows their
// notes, asks where to save the CSV (UTF-8, named after the company), writes it and offers
// the comparison sheet or the batch run on it. False when no CSV was written.
bool ImportManyFilings(AidsHost& host, FilingRunHost& runs, const QStringList& paths);

}  // namespace quorvex
