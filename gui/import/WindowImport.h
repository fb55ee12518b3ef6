#pragma once
// The window's side of filings and of figures that do not add up: the button and the drop
// that fill the fields from an EDINET filing, and the one-line warning beside the fields.

#include <QList>
#include <QString>
#include <QUrl>

#include "core/import/FilingFigures.h"
#include "gui/aids/AidsHost.h"
#include "gui/import/WindowImportMany.h"
#include "gui/widgets/ControlIds.h"

class QLabel;
class QObject;

namespace quorvex {

// True for a local .xbrl or .zip file (any letter case).
bool IsFilingPath(const QString& path);

// Reads the filing at path into the fields: the item names, the ten amounts and the period
// of the year chosen (the only year, or the one picked in a chooser that offers the latest
// first, naming company, standard and basis). Figures replace the fields' texts as typing
// would; then both diagrams are redrawn; the filing's notes join the warning line. A filer
// whose consolidated statements cannot be read is asked whether to take the parent's. A
// refused filing shows its message and changes nothing. False when nothing was filled in.
bool ImportFilingIntoWindow(AidsHost& host, const QString& path);

// A year chooser's line: "2025年3月期  (Ｂ株式会社・IFRS・連結)".
std::string PeriodChoiceText(const ImportedPeriod& period);

// Files chosen or dropped: one file as ImportFilingIntoWindow, several or a folder as
// ImportManyFilings.
void ImportFilingsIntoWindow(AidsHost& host, FilingRunHost& runs, const QStringList& paths);

// Button kIdImportFiling: the files chosen in the open dialog (one or several).
void OnImportFilingClicked(AidsHost& host, FilingRunHost& runs);

// Wires the button, the drop of filings or folders anywhere on the window and the warning
// line, which follows every change of an amount field from now on.
void ConnectWindowImport(AidsHost& host, FilingRunHost& runs);

// The warning line's text for the amounts now in the fields; empty when they add up.
QString ConsistencyLineText(AidsHost& host);
// Sets the warning line from the fields.
void RefreshConsistencyLine(AidsHost& host);

}  // namespace quorvex
