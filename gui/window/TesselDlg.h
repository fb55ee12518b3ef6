#pragma once
// The main window: the controls of the control table, their handlers, the layout of the
// figure area and the painting of both diagrams. It owns everything of one run.

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <array>
#include <memory>

class QScrollArea;

#include "core/model/StatementData.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/SharedScale.h"
#include "gui/aids/AidsHost.h"
#include "gui/import/WindowImportMany.h"
#include "gui/widgets/ControlIds.h"
#include "gui/widgets/DialogUnits.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/ControlFactory.h"
#include "gui/window/Layout.h"

namespace quorvex {

class IndicatorWindow;
class WindowIndicatorHost;

class CTesselDlg final : public QDialog, public AidsHost, public FilingRunHost {
  public:
    explicit CTesselDlg(QWidget* parent = nullptr);
    ~CTesselDlg() override;

    // AidsHost
    QWidget* hostWindow() override { return this; }
    QWidget* control(int id) override;
    Colour itemColour(int i) const override { return colours_.at(std::size_t(i)); }
    void setItemColour(int i, Colour c) override;
    void repaintFigureArea() override { RepaintFigureArea(); }
    QRect figureArea() const override;
    bool& helpShown() override { return helpShown_; }
    MessageSink& messages() override { return sink_; }
    // FilingRunHost: the window's own batch run and comparison sheet on an imported CSV.
    void runBatchOn(const QString& csvPath) override;
    void runSheetOn(const QString& csvPath) override { OnComparisonSheet(csvPath); }

    const QWidget* control(int id) const;
    bool initialised() const { return initialised_; }
    const DiagramOptions& diagramOptions() const { return diagram_; }
    const OutputOptions& outputOptions() const { return output_; }
    OutputOptions& outputOptions() { return output_; }
    // The current period: texts read from the fields now, colours, ratios.
    StatementData statementData() const;

    PixelRect bsFigureRect() const { return bsRect_; }
    PixelRect plFigureRect() const { return plRect_; }
    // Width and height of the balance-sheet rectangle.
    QSize figureSize() const { return {bsRect_.width(), bsRect_.height()}; }
    // The diagrams as last drawn, by a paint or by a batch run, at the figure size whatever
    // the screen's pixel ratio (what output writes).
    const DiagramBitmap& bsBitmap() const {
        RefreshFigureBitmaps();
        return bsBitmap_;
    }
    const DiagramBitmap& plBitmap() const {
        RefreshFigureBitmaps();
        return plBitmap_;
    }
    // The diagrams' accessible objects (balance sheet, profit and loss).
    QWidget* diagramObject(int index) const { return diagramObjects_.at(std::size_t(index)); }
    // The diagrams as last painted on a screen whose pixel ratio is not 1 (device pixels,
    // their devicePixelRatio set); null bitmaps at ratio 1, where bsBitmap() is painted.
    const DiagramBitmap& bsScreenBitmap() const { return bsScreen_; }
    const DiagramBitmap& plScreenBitmap() const { return plScreen_; }
    // The widget the controls and diagrams are on: the window itself, or the content of
    // the scroll area on a screen smaller than the window's minimum.
    QWidget* canvas() const;
    QScrollArea* scrollArea() const { return scroll_; }
    // Puts the content into a scroll area when the screen's available area (less the frame,
    // once known) is smaller than the minimum size; nothing on a large enough screen.
    void FitToScreen();
    // Closes the window as its close box does; for a signal or the session's end. A batch
    // run in progress is interrupted first and the window closed once it has returned.
    void CloseForSession();
    int paintCount() const { return paintCount_; }

    // The size of the last batch run's diagrams.
    QSize batchFigureSize() const { return batchFigureSize_; }
    // A batch run's period: its diagrams, drawn at size, become the last drawn ones.
    void TakeBatchDiagrams(QSize size, const QImage& bs, const QImage& pl);

    // Outer size taken before the stored placement was applied.
    QSize minTrackSize() const { return minTrackSize_; }
    // Pixels per dialog-unit conversion of the window font.
    const BaseUnits& baseUnits() const { return units_; }

    void UpdateAmountLabels(int id);
    // Button 1053: the comparison sheet of a CSV chosen in the file dialog, or of csv.
    void OnComparisonSheet(const QString& csv = {});
    // The scale the shown period's diagrams are drawn at: ratio, or the two as one set.
    DiagramScale shownScale(int figureHeight) const;
    // The batch run over the CSV at path; title names the summary file.
    void RunBatchFile(const QString& path, const QString& title);
    // Path and title of the last batch started (for the record of tests and the caller).
    QString lastBatchPath() const { return lastBatchPath_; }
    QString lastBatchTitle() const { return lastBatchTitle_; }
    void RepaintFigureArea();
    void LayoutFigures();
    // 損益分岐点: the break-even line on the profit and loss diagram, repainted at once.
    void SetBreakEven(bool on);
    // Button 1054: the indicator window, made at the first click, where it was last.
    void ShowIndicatorWindow();
    // The indicator window when it has been opened (for tests), else null.
    IndicatorWindow* indicatorWindow() const { return indicatorWindow_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Enter: the dialog stays open.
    void accept() override {}
    void done(int result) override;

  private:
    void ConnectHandlers();
    void OnInitDialog();
    void OnDestroy();
    void RefreshRatioLabels(Statement which);
    void OnCentreLineRadio(int mode);
    void OnCentreLinePicture(int mode);
    void OnSpinStep(int id, int value);
    void NoteNormalPlacement();
    void ApplyStoredOuterSize();
    void CentreOnScreen();
    void PaintFigures(QWidget& target, const QRegion& region);
    void RefreshFigureBitmaps() const;
    void UpdateDiagramDescriptions();
    void MakeDiagramObjects();
    void EnableScrollArea();
    void RefreshIndicators();

    ControlMap controls_;
    std::array<ColourButton*, kItemCount> colourButtons_{};
    BaseUnits units_;
    QSize templateClientSize_;
    std::array<Colour, kItemCount> colours_ = DefaultItemColours;
    CompositionRatios ratios_{};
    DiagramOptions diagram_;
    OutputOptions output_;
    bool initialised_ = false;
    bool helpShown_ = false;
    bool destroyed_ = false;
    QSize minTrackSize_{0, 0};
    PixelRect figureArea_, bsRect_, plRect_;
    mutable DiagramBitmap bsBitmap_, plBitmap_;
    mutable bool figureBitmapsStale_ = false;  // painted at a ratio other than 1 since
    DiagramBitmap bsScreen_, plScreen_;
    QSize batchFigureSize_{400, 300};
    int paintCount_ = 0;
    QSize pendingOuterSize_;      // stored outer size, applied once the frame is known
    QTimer placementTimer_;       // applies it once moves and resizes have settled
    QRect normalOuter_;           // outer rectangle of the normal (not maximised) window
    bool centrePending_ = false;  // the stored position was off screen
    QScrollArea* scroll_ = nullptr;
    QWidget* content_ = nullptr;  // the scroll area's widget
    QMetaObject::Connection screenWatch_;
    std::array<QWidget*, 2> diagramObjects_{};  // the diagrams' accessible objects
    bool batchRunning_ = false;
    bool closeAfterBatch_ = false;
    MessageBoxSink sink_{this};
    QString lastBatchPath_, lastBatchTitle_;
    std::unique_ptr<WindowIndicatorHost> indicatorHost_;
    IndicatorWindow* indicatorWindow_ = nullptr;  // a child of this window
    QRect indicatorPlacement_;                    // stored client rectangle, if any
};

}  // namespace quorvex
