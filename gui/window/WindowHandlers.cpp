#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <functional>

#include "gui/aids/HelpPanel.h"
#include "gui/aids/InputAids.h"
#include "gui/aids/ItemColours.h"
#include "gui/aids/VersionWindow.h"
#include "gui/import/WindowImport.h"
#include "gui/widgets/ColourButton.h"
#include "gui/widgets/StepSpinBox.h"
#include "gui/window/TesselDlg.h"
#include "gui/window/WindowOutput.h"

// The window's handler wiring: which control runs which command.

namespace quorvex {

void CTesselDlg::ConnectHandlers() {
    for (int i = 0; i < kItemCount; ++i) {
        const int id = kIdAmountBase + i;
        if (auto* edit = qobject_cast<QLineEdit*>(control(id))) {
            connect(edit, &QLineEdit::textChanged, this, [this, id] { UpdateAmountLabels(id); });
        }
        // The colour button is named after its item, as typed.
        if (auto* name = qobject_cast<QLineEdit*>(control(kIdNameBase + i))) {
            connect(name, &QLineEdit::textChanged, this, [this, i](const QString& text) {
                if (ColourButton* b = colourButtons_[std::size_t(i)]) {
                    const QString item =
                        text.isEmpty() ? QString::fromStdString(ItemRowLabel(i)) : text;
                    b->setAccessibleName(item + QStringLiteral(" の色"));
                }
                UpdateDiagramDescriptions();
                RefreshIndicators();
            });
        }
        if (ColourButton* button = colourButtons_[std::size_t(i)]) {
            button->setOnChosen([this, i](Colour c) {
                colours_[std::size_t(i)] = c;
                RepaintFigureArea();
            });
        }
    }
    auto onClick = [this](int id, std::function<void()> f) {
        if (auto* b = qobject_cast<QAbstractButton*>(control(id))) {
            connect(b, &QAbstractButton::clicked, this, [f = std::move(f)] { f(); });
        }
    };
    onClick(kIdExit, [this] { reject(); });
    onClick(kIdOutput, [this] { OutputShownDiagram(*this); });
    onClick(kIdBatch, [this] { ChooseAndRunBatch(*this); });
    onClick(kIdComparisonSheet, [this] { OnComparisonSheet(); });
    onClick(kIdIndicators, [this] { ShowIndicatorWindow(); });
    if (auto* period = qobject_cast<QLineEdit*>(control(kIdPeriod))) {
        connect(period, &QLineEdit::textChanged, this, [this] { RefreshIndicators(); });
    }
    onClick(kIdProportional, [this] {
        diagram_.HireiShukushaku =
            static_cast<QCheckBox*>(control(kIdProportional))->isChecked() ? 1 : 0;
        RepaintFigureArea();
    });
    if (QWidget* batch = control(kIdBatch)) {
        new FileDropFilter(*batch,
                           [this](const QList<QUrl>& urls) { RunDroppedBatch(*this, urls); });
    }
    // Input aids and auxiliary windows.
    onClick(kIdPasteNames, [this] { OnPaste(*this, kIdNameBase); });
    onClick(kIdPasteAmounts, [this] { OnPaste(*this, kIdAmountBase); });
    onClick(kIdClearNames, [this] { OnClear(*this, kIdNameBase); });
    onClick(kIdClearAmounts, [this] { OnClear(*this, kIdAmountBase); });
    onClick(kIdSample, [this] { OnSample(*this); });
    onClick(kIdDefaultColours, [this] { OnDefaultColours(*this); });
    onClick(kIdRandomColours, [this] { OnRandomColours(*this); });
    onClick(kIdSaveColours, [this] { OnSaveColours(*this); });
    onClick(kIdLoadColours, [this] { OnLoadColours(*this); });
    onClick(kIdGeneralHelp, [this] { ToggleHelpPanel(*this, HelpText::General); });
    onClick(kIdBatchHelp, [this] { ToggleHelpPanel(*this, HelpText::Batch); });
    onClick(kIdVersion, [this] {
        CAboutDlg about(this);
        about.exec();
    });
    onClick(kIdCentreNone, [this] { OnCentreLineRadio(kCentreLineNone); });
    onClick(kIdCentreUpper, [this] { OnCentreLineRadio(kCentreLineUpper); });
    onClick(kIdCentreLower, [this] { OnCentreLineRadio(kCentreLineLower); });
    onClick(kIdCentreNonePicture, [this] { OnCentreLinePicture(kCentreLineNone); });
    onClick(kIdCentreUpperPicture, [this] { OnCentreLinePicture(kCentreLineUpper); });
    onClick(kIdCentreLowerPicture, [this] { OnCentreLinePicture(kCentreLineLower); });
    onClick(kIdKindBs, [this] { output_.OutType = kOutTypeBs; });
    onClick(kIdKindPl, [this] { output_.OutType = kOutTypePl; });
    for (std::size_t k = 0; k < kTargetRadios.size(); ++k) {
        onClick(kTargetRadios[k], [this, k] { output_.OutSaki = int(k); });
    }
    onClick(kIdRatioRight, [this] {
        diagram_.DrawUnder = 0;
        RepaintFigureArea();
    });
    onClick(kIdRatioBelow, [this] {
        diagram_.DrawUnder = 1;
        RepaintFigureArea();
    });
    onClick(kIdDrawName, [this] {
        diagram_.DrawName = static_cast<QCheckBox*>(control(kIdDrawName))->isChecked() ? 1 : 0;
        RepaintFigureArea();
    });
    onClick(kIdDrawRitu, [this] {
        diagram_.DrawRitu = static_cast<QCheckBox*>(control(kIdDrawRitu))->isChecked() ? 1 : 0;
        RepaintFigureArea();
    });
    for (int id : {kIdDecimalsSpin, kIdFontSizeSpin, kIdLineWidthSpin, kIdMarginSpin}) {
        if (auto* spin = dynamic_cast<StepSpinBox*>(control(id))) {
            spin->onStep = [this, id](int v) { OnSpinStep(id, v); };
        }
    }
    ConnectWindowImport(*this, *this);
}

}  // namespace quorvex
