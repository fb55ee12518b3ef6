#include "gui/widgets/StepSpinBox.h"

#include <QLineEdit>
#include <algorithm>

namespace quorvex {

StepSpinBox::StepSpinBox(QWidget* parent) : QSpinBox(parent) {
    lineEdit()->setReadOnly(true);
    setAlignment(Qt::AlignCenter);
}

void StepSpinBox::stepBy(int steps) {
    if (steps == 0) return;
    const int d = steps > 0 ? 1 : -1;
    const int v = std::clamp(value() + d, minimum(), maximum());
    if (onStep) onStep(v);
    QSpinBox::stepBy(d);
}

}  // namespace quorvex
