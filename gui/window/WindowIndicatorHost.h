#pragma once
// The main window as the host of the indicator window. It uses only the window's public
// interface.

#include "gui/window/IndicatorWindow.h"

namespace quorvex {

class CTesselDlg;

class WindowIndicatorHost final : public IndicatorHost {
  public:
    explicit WindowIndicatorHost(CTesselDlg& window) : window_(window) {}

    StatementData shownPeriod() const override;
    int ratioDecimals() const override;
    bool breakEven() const override;
    void setBreakEven(bool on) override;
    bool batchIndicators() const override;
    void setBatchIndicators(bool on) override;

  private:
    CTesselDlg& window_;
};

}  // namespace quorvex
