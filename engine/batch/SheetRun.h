#pragma once
// The comparison sheet of a batch CSV: every period on one PNG picture (ComparisonSheet.h),
// read with the batch run's record readers and written atomically.

#include <QString>
#include <array>

#include "core/batch/BatchRecords.h"
#include "core/model/Messages.h"
#include "core/model/StatementData.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

struct SheetRequest {
    QString csvPath;
    QString outputPath;  // the PNG file
    QString title;       // drawn at the top; empty: the CSV's base name
    FigureSize cell{400, 300};
    DiagramOptions diagram;
    std::array<Colour, kItemCount> colours = DefaultItemColours;
    // Shared: the scale of the CSV's periods; a fixed basis (BasisScale) when given.
    DiagramScale scale{ScaleMode::Shared};
};

enum class SheetResult { Written, Failed, TooManyPeriods };

// Reads every period of the CSV (the same messages as the batch run for a file that cannot
// be read and for a rejected record), refuses more than kMaxSheetPeriods periods with
// message 30052, draws the sheet and writes it as PNG.
SheetResult WriteComparisonSheet(const SheetRequest& request, MessageSink& sink);

}  // namespace quorvex
