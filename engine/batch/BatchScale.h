#pragma once
// The scale of a whole batch CSV. On a shared scale the first diagram cannot be drawn
// before the amounts of the last record are known, so the totals and figure heights are
// gathered during the first reading of the file, line by line, from the raw bytes: the
// commas, digits, signs and points the amounts and sizes are made of are the same bytes
// in UTF-8 and CP932, and no byte of a multibyte character can continue a number.

#include <string>
#include <string_view>
#include <vector>

#include "core/batch/BatchRecords.h"
#include "core/batch/CsvText.h"
#include "core/model/Messages.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

class BatchScaleCollector final {
  public:
    // requested: the ratio mode, a shared scale still to be found, or a fixed basis.
    // current: the figure size of records without size fields.
    BatchScaleCollector(const DiagramScale& requested, FigureSize current)
        : requested_(requested), current_(current) {}

    // Line index of the file (0, the header, takes no part) as ScanCsv hands it over.
    // Records the batch run would reject (fewer than 10 commas, no period) take no part.
    void Line(std::size_t index, std::string_view raw);

    // The scale every diagram of the run is drawn at.
    DiagramScale Result() const;

    // With a fixed basis: one information message per period whose total exceeds it,
    // the period text (decoded as the file is) in the prefix.
    void ReportOverBasis(TextEncoding encoding, MessageSink& sink) const;

  private:
    DiagramScale requested_;
    FigureSize current_;
    SharedScaleBuilder builder_;
    std::vector<std::string> overBasis_;  // raw period texts
};

}  // namespace quorvex
