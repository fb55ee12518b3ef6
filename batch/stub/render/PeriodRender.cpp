// TEMPORARY stand-in until the renderer lands.
#include "render/PeriodRender.h"

#include <QPainter>

#include "model/NumberText.h"

namespace quorvex {
namespace {
void Draw(const StatementData& data, const DiagramOptions& o, int first, int w, int h,
          QImage& img) {
    img = QImage(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    int y = 0;
    for (int i = first; i < first + 5; ++i) {
        const int bh = TruncToInt32(data.ratios[i] * h / 100.0);
        const Colour c = data.items[i].colour;
        p.fillRect(QRect(0, y, w, std::max(bh, 0)), QColor(RedOf(c), GreenOf(c), BlueOf(c)));
        if (o.DrawName) {
            QFont f("IPAPGothic");
            f.setPixelSize(13);
            p.setFont(f);
            p.drawText(QRect(0, y, w, std::max(bh, 0)), Qt::AlignCenter,
                       QString::fromStdString(data.items[i].name + " (" +
                                              FormatRatio(data.ratios[i], o.Shosu) + "%)"));
        }
        y += std::max(bh, 0);
    }
}
}  // namespace
bool RenderPeriodDiagrams(const StatementData& data, const DiagramOptions& options, int width,
                          int height, DiagramBitmap& bs, DiagramBitmap& pl) {
    Draw(data, options, 0, width, height, bs.image());
    Draw(data, options, 5, width, height, pl.image());
    return true;
}
}  // namespace quorvex
