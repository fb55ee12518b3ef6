#pragma once
// A small button showing an item colour. Its popup holds a palette of five columns and a
// button for other colours, which opens the colour dialog.

#include <QToolButton>
#include <functional>

#include "core/model/StatementData.h"

class QFrame;

namespace quorvex {

QColor ToQColor(Colour c);
Colour FromQColor(const QColor& c);

class ColourButton final : public QToolButton {
  public:
    explicit ColourButton(QWidget* parent);

    Colour colour() const { return colour_; }
    // Shows the colour; no notification.
    void setColour(Colour c);
    // What the picker does when the user chose a colour: show it, then notify.
    void choose(Colour c);
    // Called after the user chose a colour.
    void setOnChosen(std::function<void(Colour)> f) { onChosen_ = std::move(f); }
    // The palette of the popup, row by row.
    static const std::vector<Colour>& Palette();
    static constexpr int kPaletteColumns = 5;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void openPopup();

    Colour colour_ = 0;
    std::function<void(Colour)> onChosen_;
};

}  // namespace quorvex
