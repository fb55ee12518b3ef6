#include "gui/window/Icons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "gui/widgets/ColourButton.h"

namespace quorvex {

QIcon PictureIcon(const std::string& name, QStyle* style) {
    struct Entry {
        const char* name;
        const char* theme;
        QStyle::StandardPixmap fallback;
    };
    static const Entry entries[] = {
        {"end", "application-exit", QStyle::SP_DialogCloseButton},
        {"version", "help-about", QStyle::SP_MessageBoxInformation},
        {"help", "help-contents", QStyle::SP_MessageBoxQuestion},
        {"copy", "edit-paste", QStyle::SP_ArrowDown},
        {"delete", "edit-clear", QStyle::SP_DialogDiscardButton},
        {"save", "document-save", QStyle::SP_DialogSaveButton},
        {"previous", "edit-undo", QStyle::SP_ArrowBack},
        {"random", "media-playlist-shuffle", QStyle::SP_BrowserReload},
        {"folder", "document-open", QStyle::SP_DirOpenIcon},
        {"flag", "system-run", QStyle::SP_MediaPlay},
    };
    for (const auto& e : entries) {
        if (name == e.name) {
            return QIcon::fromTheme(QString::fromLatin1(e.theme), style->standardIcon(e.fallback));
        }
    }
    return {};
}

QIcon ApplicationIcon() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const int heights[] = {12, 18, 8, 6, 16};
    int y = 1;
    for (int i = 0; i < 2; ++i) {
        p.fillRect(2, y, 13, heights[i], ToQColor(DefaultItemColours[std::size_t(i)]).darker(115));
        y += heights[i];
    }
    y = 1;
    for (int i = 2; i < 5; ++i) {
        p.fillRect(17, y, 13, i == 4 ? 30 - y + 1 : heights[i],
                   ToQColor(DefaultItemColours[std::size_t(i)]).darker(115));
        y += heights[i];
    }
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawRect(2, 1, 28, 30);
    p.drawLine(16, 1, 16, 31);
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(2, 13, 30, 9);
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace quorvex
