#pragma once
// The window's 比較図... command: the CSV and the target PNG asked for in file dialogs, the
// comparison sheet written with the window's options, then the offer to show the folder.

#include "engine/batch/SheetRun.h"

class QWidget;

namespace quorvex {

// options: everything but the target (figure size, diagram options, colours), and the CSV
// when it is known already (else it is asked for). Messages go
// to sink. Returns what the sheet run gave, Failed also when a dialog was cancelled or an
// existing file is not to be replaced.
SheetResult RunSheetCommand(QWidget* parent, SheetRequest options, MessageSink& sink);

}  // namespace quorvex
