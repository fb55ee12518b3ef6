#include "aids/VersionWindow.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "aids/HelpTexts.h"

namespace quorvex {

namespace {

// The window is laid out in dialog units of its own font, like the main window.
class DialogUnits final {
  public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        cx_ = (metrics.horizontalAdvance(
                   QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) +
               26) /
              52;
        cy_ = metrics.height();
    }
    QRect Rect(int x, int y, int w, int h) const {
        const int left = X(x), top = Y(y);
        return QRect(left, top, X(x + w) - left, Y(y + h) - top);
    }
    int X(int x) const { return (x * cx_ * 2 + 4) / 8; }
    int Y(int y) const { return (y * cy_ * 2 + 8) / 16; }

  private:
    int cx_ = 6;
    int cy_ = 13;
};

QFont WindowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Meiryo UI"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")});
    font.setPointSize(9);
    return font;
}

QIcon ApplicationIcon(const QStyle* style) {
    const QIcon icon = QApplication::windowIcon();
    return icon.isNull() ? style->standardIcon(QStyle::SP_ComputerIcon) : icon;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(WindowFont());
    const DialogUnits du(font());
    setFixedSize(du.X(315), du.Y(270));

    auto* close = new QPushButton(QStringLiteral("確認(&Y)"), this);
    close->setObjectName(QStringLiteral("1"));
    close->setToolTip(QStringLiteral("バージョン情報ウィンドウを閉じて戻ります"));
    close->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    close->setGeometry(du.Rect(243, 2, 70, 27));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* icon = new QLabel(this);
    const QRect iconRect = du.Rect(39, 10, 20, 20);
    icon->setGeometry(iconRect);
    icon->setPixmap(ApplicationIcon(style()).pixmap(iconRect.size()));

    auto* name = new QLabel(QStringLiteral("Quorvex\n(財務諸表比率図作成ソフト)"), this);
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(du.Rect(211, 113, 100, 17));

    auto* label = new QLabel(QStringLiteral("バージョン情報"), this);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setGeometry(du.Rect(2, 181, 55, 36));

    auto* history = new QPlainTextEdit(this);
    history->setObjectName(QString::number(kVersionFieldId));
    history->setReadOnly(true);
    history->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    history->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    history->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    history->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    history->setGeometry(du.Rect(58, 181, 254, 36));
    // Qt separates lines with LF alone; the trailing line break leaves an empty last line.
    history->setPlainText(QString::fromStdString(VersionHistoryText()).replace("\r\n", "\n"));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(du.Rect(4, 221, 309, 1).adjusted(0, 0, 0, 1));

    auto* notice =
        new QLabel(QStringLiteral("比率図は入力された金額から求めた構成比率を表したものです。"
                                  "数値の正しさは元の財務諸表でお確かめください。"),
                   this);
    notice->setObjectName(QStringLiteral("notice"));
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice->setGeometry(du.Rect(6, 226, 305, 40));

    close->setFocus();
}

}  // namespace quorvex
