#pragma once
// What a batch run needs from whoever drives it: the window or the batch tool. The run reads
// the options once at its start, reports through the host's MessageSink and hands every
// period it has written back to the host, so the window's fields follow the run as typing
// would.

#include <QImage>
#include <QString>
#include <array>
#include <string>

#include "core/batch/BatchRecords.h"
#include "core/model/Messages.h"
#include "core/model/StatementData.h"

namespace quorvex {

class BatchHost {
  public:
    virtual ~BatchHost() = default;

    // Messages and questions of the run.
    virtual MessageSink& Messages() = 0;

    // Options as they are when the run starts.
    virtual OutputOptions Output() = 0;  // OutSaki and the statement kind OutType
    // The summary's amount separator; the window takes it from its radio buttons now.
    virtual int TakeSeparate() = 0;
    virtual DiagramOptions Diagram() = 0;
    virtual std::array<Colour, kItemCount> Colours() = 0;
    // The figure size used for records without size fields.
    virtual FigureSize CurrentFigureSize() = 0;

    // The statement kind while a diagram file is written; the run puts back the kind it
    // found at its start.
    virtual void SetOutType(int outType) = 0;

    // Progress: range 0..maximum, then the number of lines done.
    virtual void SetProgressRange(int maximum) = 0;
    virtual void SetProgress(int position) = 0;

    // The header's item names were read.
    virtual void LoadNames(const StatementData& data) = 0;
    // A period was read and its two files are about to be written: the period text, the
    // amounts and ratios of data, the diagrams as rendered at size.
    virtual void LoadPeriod(const StatementData& data, FigureSize size, const QImage& bs,
                            const QImage& pl) = 0;
    // False: LoadPeriod is given null pictures. The run then hands each period's bitmaps back
    // for the next period as soon as they are encoded, instead of keeping them with every
    // period that waits for the writer (at 16 jobs, some 50 MB of pictures nobody looks at).
    virtual bool WantsPictures() const { return true; }

    // After the final question was answered Yes.
    virtual void OpenFolder(const QString& folder) = 0;

    // A period whose figures do not add up, as one line starting "警告: " and its period.
    // The window shows the warnings beside its fields instead.
    virtual void Warn(const std::string& line) { (void)line; }
};

}  // namespace quorvex
