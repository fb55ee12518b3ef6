#include "gui/window/WindowSettings.h"

#include <QLineEdit>
#include <QSpinBox>

#include "core/model/OptionTable.h"
#include "gui/widgets/ColourButton.h"
#include "gui/widgets/ControlIds.h"

namespace quorvex {
namespace {

void SetText(const ControlMap& controls, int id, const std::string& text) {
    static_cast<QLineEdit*>(controls(id))->setText(QString::fromStdString(text));
}

}  // namespace

WindowOptions ShowStoredSettings(const StoredSettings& s, const ControlMap& controls) {
    WindowOptions w;
    for (int i = 0; i < kItemCount; ++i) {
        const auto k = std::size_t(i);
        SetText(controls, kIdNameBase + i, s.Koumoku[k]);
        SetText(controls, kIdAmountBase + i, s.Kingaku[k]);
        w.colours[k] = s.Col[k];
        static_cast<ColourButton*>(controls(kIdColourBase + i))->setColour(w.colours[k]);
    }
    SetText(controls, kIdPeriod, s.Ki);

    // Every option as loading keeps it, whoever made the record.
    for (const OptionEntry& entry : kOptionTable) {
        OptionValue(entry, w.diagram, w.output) =
            StoredOptionValue(entry, OptionValue(entry, s.diagram, s.output));
    }

    struct Spin {
        int id;
        const OptionEntry& option;
    };
    const Spin spins[] = {
        {kIdDecimalsSpin, Option("Shosu")},
        {kIdFontSizeSpin, Option("FontSize")},
        {kIdLineWidthSpin, Option("Futosa")},
        {kIdMarginSpin, Option("Yohaku")},
    };
    for (const Spin& sp : spins) {
        auto* spin = static_cast<QSpinBox*>(controls(sp.id));
        spin->setRange(sp.option.low, sp.option.high);
        spin->setValue(OptionValue(sp.option, w.diagram, w.output));
    }

    const DiagramOptions& d = w.diagram;
    controls.check(kIdDrawName, d.DrawName == 1);
    controls.check(kIdDrawRitu, d.DrawRitu == 1);
    controls.check(kIdProportional, d.HireiShukushaku == 1);
    controls.check(d.DrawUnder ? kIdRatioBelow : kIdRatioRight);
    controls.check(d.CenterLine == kCentreLineUpper   ? kIdCentreUpper
                   : d.CenterLine == kCentreLineLower ? kIdCentreLower
                                                      : kIdCentreNone);
    const OutputOptions& o = w.output;
    controls.check(o.OutType == kOutTypePl ? kIdKindPl : kIdKindBs);
    controls.check(o.OutSaki >= kOutBmp && o.OutSaki <= kOutClipboard
                       ? kTargetRadios[std::size_t(o.OutSaki)]
                       : kIdTargetJpeg);
    controls.check(kIdSeparatorNone + o.Separate);
    return w;
}

StoredSettings SettingsToStore(const StatementData& data, const WindowOptions& options) {
    StoredSettings s;
    for (int i = 0; i < kItemCount; ++i) {
        const auto k = std::size_t(i);
        s.Koumoku[k] = data.items[k].name;
        s.Kingaku[k] = data.items[k].amount;
        s.Col[k] = options.colours[k];
    }
    s.Ki = data.period.text;
    s.diagram = options.diagram;
    s.output = options.output;
    return s;
}

}  // namespace quorvex
