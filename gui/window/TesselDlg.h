#pragma once
// The main window: the controls of the control table, their handlers, the layout of the
// figure area and the painting of both diagrams. It owns everything of one run.

#include <QDialog>
#include <QImage>
#include <QList>
#include <QUrl>
#include <array>
#include <map>

#include "core/model/StatementData.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/SharedScale.h"
#include "gui/aids/AidsHost.h"
#include "gui/window/Dialogs.h"
#include "gui/window/Layout.h"

class QButtonGroup;

namespace quorvex {

class ColourButton;

// Control identifiers the window's handlers use.
enum ControlId : int {
    kIdExit = 2,
    kIdHelpPanel = 103,
    kIdPeriod = 1000,
    kIdDecimalsEdit = 1001,
    kIdOutput = 1003,
    kIdVersion = 1004,
    kIdCentreNone = 1005,
    kIdCentreNonePicture = 1006,
    kIdCentreUpperPicture = 1007,
    kIdCentreLowerPicture = 1008,
    kIdBatch = 1011,
    kIdCentreUpper = 1013,
    kIdCentreLower = 1014,
    kIdDecimalsSpin = 1015,
    kIdKindBs = 1016,
    kIdKindPl = 1017,
    kIdTargetJpeg = 1018,
    kIdGeneralHelp = 1019,
    kIdPasteNames = 1021,
    kIdPasteAmounts = 1022,
    kIdClearNames = 1023,
    kIdClearAmounts = 1024,
    kIdDefaultColours = 1032,
    kIdFigureSize = 1020,
    kIdSeparator = 1031,
    kIdDrawName = 1033,
    kIdDrawRitu = 1034,
    kIdFontSizeSpin = 1035,
    kIdLineWidthSpin = 1036,
    kIdMarginSpin = 1037,
    kIdRatioRight = 1038,
    kIdRatioBelow = 1039,
    kIdBatchHelp = 1040,
    kIdProgress = 1041,
    kIdRandomColours = 1042,
    kIdSaveColours = 1043,
    kIdLoadColours = 1044,
    kIdSample = 1045,
    kIdSeparatorNone = 1047,
    kIdSeparatorKanji = 1048,
    kIdSeparatorComma = 1049,
    kIdProportional = 1050,
    kIdComparisonSheet = 1051,
    kIdNameBase = 3000,
    kIdAmountBase = 3100,
    kIdAmountLabelBase = 3200,
    kIdRatioLabelBase = 3300,
    kIdColourBase = 3400,
};

// The seven output targets' radios in OutSaki order.
inline constexpr std::array<int, 7> kTargetRadios = {1018, 1025, 1026, 1027, 1028, 1029, 1030};

class CTesselDlg final : public QDialog, public AidsHost {
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

    const QWidget* control(int id) const;
    bool initialised() const { return initialised_; }
    const DiagramOptions& diagramOptions() const { return diagram_; }
    const OutputOptions& outputOptions() const { return output_; }
    OutputOptions& outputOptions() { return output_; }
    const CompositionRatios& ratios() const { return ratios_; }
    // The current period: texts read from the fields now, colours, ratios.
    StatementData statementData() const;

    PixelRect bsFigureRect() const { return bsRect_; }
    PixelRect plFigureRect() const { return plRect_; }
    // Width and height of the balance-sheet rectangle.
    QSize figureSize() const { return {bsRect_.width(), bsRect_.height()}; }
    // The diagrams as last drawn, by a paint or by RenderPeriodDiagrams.
    const DiagramBitmap& bsBitmap() const { return bsBitmap_; }
    const DiagramBitmap& plBitmap() const { return plBitmap_; }
    int paintCount() const { return paintCount_; }

    QSize batchFigureSize() const { return batchFigureSize_; }
    void setBatchFigureSize(QSize size) { batchFigureSize_ = size; }
    // Both diagrams at BatchFigureSize, not shown. False at the first failure.
    bool RenderPeriodDiagrams();

    // Outer size taken before the stored placement was applied.
    QSize minTrackSize() const { return minTrackSize_; }
    // Pixels per dialog-unit conversion of the window font.
    const BaseUnits& baseUnits() const { return units_; }

    void UpdateAmountLabels(int id);
    // Button 1003: the diagram of the chosen statement to the chosen target.
    void OnOutput();
    // Button 1011: a CSV chosen in the file dialog, or one dropped on the button.
    void OnBatchClicked();
    void OnBatchDropped(const QList<QUrl>& urls);
    // Button 1051: the comparison sheet of a CSV chosen in the file dialog.
    void OnComparisonSheet();
    // The scale the shown period's diagrams are drawn at: ratio, or the two as one set.
    DiagramScale shownScale(int figureHeight) const;
    // The batch run over the CSV at path; title names the summary file.
    void RunBatchFile(const QString& path, const QString& title);
    // Path and title of the last batch started (for the record of tests and the caller).
    QString lastBatchPath() const { return lastBatchPath_; }
    QString lastBatchTitle() const { return lastBatchTitle_; }
    void RepaintFigureArea();
    void LayoutFigures();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Enter: the dialog stays open.
    void accept() override {}
    void done(int result) override;

  private:
    friend class WindowBatchHost;
    void BuildControls();
    void ConnectHandlers();
    void OnInitDialog();
    void OnDestroy();
    void RefreshRatioLabels(Statement which);
    void OnCentreLineRadio(int mode);
    void OnCentreLinePicture(int mode);
    void OnSpinStep(int id, int value);
    void CheckOnly(int id, bool checked = true);
    void NoteNormalPlacement();

    std::map<int, QWidget*> controls_;
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
    DiagramBitmap bsBitmap_, plBitmap_;
    QSize batchFigureSize_{400, 300};
    int paintCount_ = 0;
    QSize pendingOuterSize_;
    QRect normalOuter_;  // outer rectangle of the normal (not maximised) window  // stored outer
                         // size, applied once the frame is known
    MessageBoxSink sink_{this};
    QString lastBatchPath_, lastBatchTitle_;
};

}  // namespace quorvex
