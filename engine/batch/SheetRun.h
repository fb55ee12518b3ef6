#pragma once
// The comparison sheet of a batch CSV: every period on one picture (ComparisonSheet.h) as PNG,
// SVG or vector PDF by the file's extension,
// read with the batch run's record readers and written atomically.

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/batch/BatchRecords.h"
#include "core/model/Messages.h"
#include "core/model/StatementData.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

struct SheetRequest {
    QString csvPath;
    QString outputPath;  // .png, .svg or .pdf (vector)
    QString title;       // drawn at the top; empty: the CSV's base name
    FigureSize cell{400, 300};
    DiagramOptions diagram;
    std::array<Colour, kItemCount> colours = DefaultItemColours;
    // Shared: the scale of the CSV's periods; a fixed basis (BasisScale) when given.
    DiagramScale scale{ScaleMode::Shared};
    // The four key ratios under each column.
    bool indicators = false;
    // The indicators file of the sheet's periods (empty: none), in the summary's form:
    // the CSV's encoding, CR LF, the separator that separate gives.
    QString indicatorsPath;
    int separate = kSeparateNone;
    // A period whose figures do not add up: its warning line goes to warn (when set), and
    // with strict the sheet is not drawn (Failed).
    std::function<void(const std::string&)> warn;
    bool strict = false;
};

enum class SheetResult { Written, Failed, TooManyPeriods };

// The target of a sheet file by its extension (case ignored): kOutPng, kOutSvg or
// kOutPdfVector; none for any other name.
std::optional<int> SheetTargetOf(const QString& path);

// Reads every period of the CSV (the same messages as the batch run for a file that cannot
// be read and for a rejected record), refuses more than kMaxSheetPeriods periods with
// message 30052, draws the sheet and writes it in the form its extension names.
SheetResult WriteComparisonSheet(const SheetRequest& request, MessageSink& sink);

}  // namespace quorvex
