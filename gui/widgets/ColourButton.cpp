#include "gui/widgets/ColourButton.h"

#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QVBoxLayout>

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

void ColourButton::openPopup() {
    auto* popup = new QFrame(this, Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const auto& colours = Palette();
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Colour c = colours[i];
        auto* cell = new QToolButton(popup);
        cell->setFixedSize(22, 18);
        cell->setAutoRaise(true);
        cell->setStyleSheet(QStringLiteral("QToolButton{background:%1;border:1px solid #808080;}"
                                           "QToolButton:hover{border:2px solid #000000;}")
                                .arg(ToQColor(c).name()));
        cell->setToolTip(ToQColor(c).name());
        connect(cell, &QToolButton::clicked, popup, [this, popup, c] {
            popup->close();
            choose(c);
        });
        grid->addWidget(cell, int(i) / kPaletteColumns, int(i) % kPaletteColumns);
    }
    layout->addLayout(grid);
    auto* more = new QPushButton(QStringLiteral("その他の色..."), popup);
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
}

}  // namespace quorvex
