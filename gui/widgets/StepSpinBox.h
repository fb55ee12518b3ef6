#pragma once
// A spin box whose edit shows the value but takes no typing. Every step, also one at either
// end of the range, is announced with the clamped new value before the box moves.

#include <QSpinBox>
#include <functional>

class QLineEdit;

namespace quorvex {

class StepSpinBox final : public QSpinBox {
  public:
    explicit StepSpinBox(QWidget* parent);

    std::function<void(int)> onStep;
    QLineEdit* edit() const { return lineEdit(); }

    void stepBy(int steps) override;

  protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

}  // namespace quorvex
