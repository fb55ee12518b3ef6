#pragma once
// The window as the host of a batch run: the run's records go into the window's fields as
// typing would, the progress bar follows the lines. It uses only the window's public
// interface.

#include "engine/batch/BatchHost.h"

namespace quorvex {

class CTesselDlg;

class WindowBatchHost final : public BatchHost {
  public:
    explicit WindowBatchHost(CTesselDlg& window) : window_(window) {}

    MessageSink& Messages() override;
    OutputOptions Output() override;
    int TakeSeparate() override;
    DiagramOptions Diagram() override;
    std::array<Colour, kItemCount> Colours() override;
    FigureSize CurrentFigureSize() override;
    void SetOutType(int outType) override;
    void SetProgressRange(int maximum) override;
    void SetProgress(int position) override;
    void LoadNames(const StatementData& data) override;
    void LoadPeriod(const StatementData& data, FigureSize size, const QImage& bs,
                    const QImage& pl) override;
    void OpenFolder(const QString& folder) override;

  private:
    CTesselDlg& window_;
};

}  // namespace quorvex
