#pragma once
// Files named on the window's command line, as the desktop entry passes a CSV file that
// was opened with the program.

#include <QStringList>

namespace quorvex {

class CTesselDlg;

// Asks whether to batch-create from the one file named, and on a Yes runs it as a drop
// on the batch button would (the same checks, the same run). Several files are refused
// as a drop of several files is; none does nothing.
void OfferBatchFiles(CTesselDlg& dialog, const QStringList& arguments);

}  // namespace quorvex
