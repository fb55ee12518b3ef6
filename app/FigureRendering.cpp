#include "app/FigureRendering.h"

#include <QPainter>

namespace quorvex {
namespace {

QColor Q(Colour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace

// Stand-in until the renderer lands: the five blocks stacked by ratio.
bool RenderStatementDiagram(Statement which, QImage& image, int w, int h, const StatementData& data,
                            const DiagramOptions&) {
    if (w <= 0 || h <= 0) {
        image = QImage();
        return false;
    }
    image = QImage(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const int first = which == Statement::BalanceSheet ? kBsFirst : kPlFirst;
    int y = 0;
    for (int i = first; i < first + 5; ++i) {
        const int bh = static_cast<int>(h * data.ratios[i] / 100.0);
        p.fillRect(0, y, w, bh, Q(data.items[i].colour));
        y += bh;
    }
    p.setPen(Qt::black);
    p.drawRect(0, 0, w - 1, h - 1);
    return true;
}

QImage CentreLinePicture(int centreLineMode, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.drawRect(0, 0, w - 1, h - 1);
    p.drawLine(w / 2, 0, w / 2, h);
    if (centreLineMode == kCentreLineUpper || centreLineMode == kCentreLineLower) {
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(0, h / 2, w, centreLineMode == kCentreLineUpper ? h / 3 : 2 * h / 3);
    }
    return image;
}

}  // namespace quorvex
