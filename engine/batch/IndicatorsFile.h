#pragma once
// The indicators file of a batch CSV (core/model/Indicators.h gives its lines), written by
// the summary file's rules: the CSV's encoding, CR LF, atomically.

#include <QString>
#include <string_view>

#include "core/batch/CsvText.h"
#include "core/model/Messages.h"

namespace quorvex {

// "<title>_指標.csv" (or .tsv, as the summary), the name the window's batch run gives it.
QString IndicatorsFileName(const QString& title, int separate);

// header and lines in UTF-8 (each line ending in LF), written to path through
// WriteSummaryFile. "ファイルのオープン失敗しました" when it cannot.
bool WriteIndicatorsFile(const QString& path, std::string_view header, std::string_view lines,
                         TextEncoding encoding, MessageSink& sink);

}  // namespace quorvex
