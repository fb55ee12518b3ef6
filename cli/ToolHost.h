#pragma once
// The batch tool's side of a run: messages on stderr, one line per message line; the final
// offer to show the folder answered No; a progress bar on stderr when it is a terminal.

#include <cstdio>

#include "engine/batch/BatchHost.h"

namespace quorvex {

class ProgressBar final {
  public:
    explicit ProgressBar(bool enabled) : enabled_(enabled) {}
    void SetRange(int maximum) { maximum_ = maximum; }
    void Set(int position);
    // Takes the bar off the line so a message starts at its beginning.
    void Clear();

  private:
    bool enabled_;
    bool shown_ = false;
    int maximum_ = 0;
    int lastShown_ = -1;
};

class StderrSink final : public MessageSink {
  public:
    explicit StderrSink(ProgressBar& progress) : progress_(progress) {}
    int ShowMessage(int id, std::string_view prefix, MessageKind kind) override;

  private:
    ProgressBar& progress_;
};

// Run first: a closed stdout would hand its descriptor to the next file opened, and the
// path printed at the end would land in that file. The place is held by /dev/null and
// FinishStdout reports the closed stream.
void HoldClosedStdout();
// The end of everything written to stdout: 0, or 1 after a message on stderr when the
// stream could not take it (a full disk, a closed descriptor).
int FinishStdout();

struct ToolSettings {
    OutputOptions output;
    DiagramOptions diagram;
    std::array<Colour, kItemCount> colours = DefaultItemColours;
    FigureSize size{400, 300};
};

class ToolHost final : public BatchHost {
  public:
    ToolHost(const ToolSettings& settings, bool progress)
        : settings_(settings), progress_(progress), sink_(progress_) {}

    MessageSink& Messages() override { return sink_; }
    OutputOptions Output() override { return settings_.output; }
    int TakeSeparate() override { return settings_.output.Separate; }
    DiagramOptions Diagram() override { return settings_.diagram; }
    std::array<Colour, kItemCount> Colours() override { return settings_.colours; }
    FigureSize CurrentFigureSize() override { return settings_.size; }
    void SetOutType(int outType) override { settings_.output.OutType = outType; }
    void SetProgressRange(int maximum) override { progress_.SetRange(maximum); }
    void SetProgress(int position) override;
    void LoadNames(const StatementData&) override {}
    void LoadPeriod(const StatementData&, FigureSize, const QImage&, const QImage&) override {}
    bool WantsPictures() const override { return false; }
    void OpenFolder(const QString&) override {}
    void Warn(const std::string& line) override;

  private:
    ToolSettings settings_;
    ProgressBar progress_;
    StderrSink sink_;
};

}  // namespace quorvex
