#include "gui/aids/VersionWindow.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "core/aids/HelpTexts.h"
#include "gui/widgets/ControlIds.h"
#include "gui/widgets/DialogUnits.h"

namespace quorvex {

namespace {

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
    const BaseUnits du = BaseUnitsOf(font());
    setFixedSize(du.X(315), du.Y(270));

    auto* close = new QPushButton(QStringLiteral("確認(&Y)"), this);
    close->setObjectName(QString::number(kIdVersionClose));
    close->setToolTip(QStringLiteral("バージョン情報ウィンドウを閉じて戻ります"));
    close->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    close->setGeometry(DialogToPixels(du, 243, 2, 70, 27));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* icon = new QLabel(this);
    const QRect iconRect = DialogToPixels(du, 39, 10, 20, 20);
    icon->setGeometry(iconRect);
    icon->setPixmap(ApplicationIcon(style()).pixmap(iconRect.size()));

    auto* name = new QLabel(QStringLiteral("Quorvex\n(財務諸表比率図作成ソフト)"), this);
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(DialogToPixels(du, 211, 113, 100, 17));

    auto* label = new QLabel(QStringLiteral("バージョン情報"), this);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setGeometry(DialogToPixels(du, 2, 181, 55, 36));

    auto* history = new QPlainTextEdit(this);
    history->setObjectName(QString::number(kIdVersionList));
    history->setReadOnly(true);
    history->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    history->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    history->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    history->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    history->setGeometry(DialogToPixels(du, 58, 181, 254, 36));
    // Qt separates lines with LF alone; the trailing line break leaves an empty last line.
    history->setPlainText(QString::fromStdString(VersionHistoryText()).replace("\r\n", "\n"));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(DialogToPixels(du, 4, 221, 309, 1).adjusted(0, 0, 0, 1));

    auto* notice =
        new QLabel(QStringLiteral("比率図は入力された金額から求めた構成比率を表したものです。"
                                  "数値の正しさは元の財務諸表でお確かめください。"),
                   this);
    notice->setObjectName(QStringLiteral("notice"));
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice->setGeometry(DialogToPixels(du, 6, 226, 305, 40));

    close->setFocus();
}

}  // namespace quorvex
