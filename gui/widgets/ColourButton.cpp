#include "gui/widgets/ColourButton.h"

#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace quorvex {

QColor ToQColor(Colour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
Colour FromQColor(const QColor& c) {
    return MakeColour(c.red(), c.green(), c.blue());
}

const std::vector<Colour>& ColourButton::Palette() {
    // Soft tones for blocks that carry black text, then stronger ones; the default item
    // colours lead the first row.
    static const std::vector<Colour> palette = {
        DefaultItemColours[0],     DefaultItemColours[1],     DefaultItemColours[2],
        DefaultItemColours[3],     DefaultItemColours[4],     MakeColour(255, 255, 255),
        MakeColour(242, 242, 242), MakeColour(217, 217, 217), MakeColour(166, 166, 166),
        MakeColour(128, 128, 128), MakeColour(255, 204, 204), MakeColour(255, 229, 204),
        MakeColour(255, 255, 204), MakeColour(204, 255, 204), MakeColour(204, 229, 255),
        MakeColour(255, 153, 153), MakeColour(255, 204, 153), MakeColour(255, 255, 153),
        MakeColour(153, 255, 153), MakeColour(153, 204, 255), MakeColour(255, 102, 102),
        MakeColour(255, 178, 102), MakeColour(255, 255, 102), MakeColour(102, 204, 102),
        MakeColour(102, 153, 255), MakeColour(204, 0, 0),     MakeColour(204, 102, 0),
        MakeColour(204, 204, 0),   MakeColour(0, 153, 0),     MakeColour(0, 102, 204),
        MakeColour(229, 204, 255), MakeColour(255, 204, 242), MakeColour(204, 255, 255),
        MakeColour(230, 220, 200), MakeColour(0, 0, 0),
    };
    return palette;
}

ColourButton::ColourButton(QWidget* parent) : QToolButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoRaise(false);
    connect(this, &QToolButton::clicked, this, [this] { openPopup(); });
}

void ColourButton::setColour(Colour c) {
    colour_ = c & 0x00FFFFFFu;
    setAccessibleDescription(ToQColor(colour_).name());
    update();
}

void ColourButton::choose(Colour c) {
    setColour(c);
    if (onChosen_) onChosen_(colour_);
}

void ColourButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionToolButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    opt.icon = QIcon();
    p.drawComplexControl(QStyle::CC_ToolButton, opt);
    // Swatch with a small drop-down mark at its right.
    const int arrow = std::max(6, height() / 3);
    QRect swatch = rect().adjusted(4, 4, -(arrow + 7), -4);
    p.fillRect(swatch, ToQColor(colour_));
    p.setPen(palette().color(QPalette::Shadow));
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
    const int ax = swatch.right() + 4;
    const int ay = height() / 2 - arrow / 4;
    QPolygon tri;
    tri << QPoint(ax, ay) << QPoint(ax + arrow, ay) << QPoint(ax + arrow / 2, ay + arrow / 2);
    p.setBrush(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.setPen(Qt::NoPen);
    p.drawPolygon(tri);
}

namespace {

// One palette cell: its colour, and when focused a frame of black outside and white inside
// that shows on every colour. Arrows move in the grid, Return and Space pick.
class PaletteCell final : public QToolButton {
  public:
    PaletteCell(QWidget* parent, Colour c, std::vector<PaletteCell*>& cells)
        : QToolButton(parent), colour_(c), cells_(cells) {
        setFixedSize(22, 18);
        setFocusPolicy(Qt::ClickFocus);
        setToolTip(ToQColor(c).name());
        setAccessibleName(ToQColor(c).name());
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, ToQColor(colour_));
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (hasFocus() || underMouse()) {
            p.setPen(QPen(Qt::black, 2));
            p.drawRect(r.adjusted(1, 1, -1, -1));
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(r.adjusted(2, 2, -3, -3));
        }
    }
    void enterEvent(QEnterEvent* e) override {
        QToolButton::enterEvent(e);
        update();
    }
    void leaveEvent(QEvent* e) override {
        QToolButton::leaveEvent(e);
        update();
    }
    void keyPressEvent(QKeyEvent* e) override {
        const int n = static_cast<int>(cells_.size());
        const int at =
            static_cast<int>(std::find(cells_.begin(), cells_.end(), this) - cells_.begin());
        const int columns = ColourButton::kPaletteColumns;
        int to = -1;
        switch (e->key()) {
            case Qt::Key_Left:
                to = at % columns > 0 ? at - 1 : at;
                break;
            case Qt::Key_Right:
                to = at % columns < columns - 1 && at + 1 < n ? at + 1 : at;
                break;
            case Qt::Key_Up:
                to = at >= columns ? at - columns : at;
                break;
            case Qt::Key_Down:
                to = at + columns < n ? at + columns : at;
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                click();
                return;
            default:
                QToolButton::keyPressEvent(e);
                return;
        }
        if (to >= 0 && to < n) Focus(cells_, to);
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Space) return;  // picked on the press
        QToolButton::keyReleaseEvent(e);
    }

  public:
    // The grid is one tab stop: the focused cell.
    static void Focus(std::vector<PaletteCell*>& cells, int index) {
        for (PaletteCell* c : cells) c->setFocusPolicy(Qt::ClickFocus);
        cells[std::size_t(index)]->setFocusPolicy(Qt::StrongFocus);
        cells[std::size_t(index)]->setFocus(Qt::OtherFocusReason);
    }

  private:
    Colour colour_;
    std::vector<PaletteCell*>& cells_;
};

}  // namespace

void ColourButton::openPopup() {
    auto* popup = new QFrame(this, Qt::Popup);
    popup->setObjectName(QStringLiteral("colourPopup"));
    popup->setAccessibleName(accessibleName());
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const auto& colours = Palette();
    auto cells = std::make_shared<std::vector<PaletteCell*>>();
    int current = 0;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Colour c = colours[i];
        auto* cell = new PaletteCell(popup, c, *cells);
        cell->setObjectName(QStringLiteral("cell%1").arg(i));
        cells->push_back(cell);
        if (c == colour_) current = static_cast<int>(i);
        connect(cell, &QToolButton::clicked, popup, [this, popup, c, cells] {
            popup->close();
            choose(c);
        });
        grid->addWidget(cell, int(i) / kPaletteColumns, int(i) % kPaletteColumns);
    }
    layout->addLayout(grid);
    auto* more = new QPushButton(QStringLiteral("その他の色..."), popup);
    more->setObjectName(QStringLiteral("moreColours"));
    more->setAutoDefault(false);
    connect(more, &QPushButton::clicked, popup, [this, popup] {
        popup->close();
        const QColor chosen = QColorDialog::getColor(ToQColor(colour_), window());
        if (chosen.isValid()) choose(FromQColor(chosen));
    });
    layout->addWidget(more);
    popup->adjustSize();
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
    PaletteCell::Focus(*cells, current);
}

}  // namespace quorvex
