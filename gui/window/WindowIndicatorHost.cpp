#include "gui/window/WindowIndicatorHost.h"

#include "gui/window/TesselDlg.h"

namespace quorvex {

StatementData WindowIndicatorHost::shownPeriod() const {
    return window_.statementData();
}

int WindowIndicatorHost::ratioDecimals() const {
    return window_.diagramOptions().Shosu;
}

bool WindowIndicatorHost::breakEven() const {
    return window_.diagramOptions().BreakEven == 1;
}

void WindowIndicatorHost::setBreakEven(bool on) {
    window_.SetBreakEven(on);
}

bool WindowIndicatorHost::batchIndicators() const {
    return window_.outputOptions().BatchIndicators == 1;
}

void WindowIndicatorHost::setBatchIndicators(bool on) {
    window_.outputOptions().BatchIndicators = on ? 1 : 0;
}

}  // namespace quorvex
