#include "gui/aids/HelpPanel.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace quorvex {

namespace {

constexpr int kPanelMargin = 10;

QPlainTextEdit* Panel(AidsHost& host) {
    return qobject_cast<QPlainTextEdit*>(host.control(kIdHelpPanel));
}

// Read-only, but selectable and painted white like an editable field rather than greyed.
void PreparePanel(QPlainTextEdit& panel) {
    panel.setReadOnly(true);
    panel.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    panel.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    panel.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panel.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    panel.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QPalette palette = panel.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, palette.color(QPalette::Active, QPalette::Base));
    panel.setPalette(palette);
    panel.setBackgroundRole(QPalette::Base);
}

}  // namespace

void ToggleHelpPanel(AidsHost& host, HelpText which) {
    bool& shown = host.helpShown();
    shown = !shown;
    QPlainTextEdit* panel = Panel(host);
    if (!panel) return;
    if (!shown) {
        panel->hide();
        host.repaintFigureArea();
        return;
    }
    PreparePanel(*panel);
    panel->setGeometry(host.figureArea());
    panel->show();
    panel->raise();
    // Qt keeps lines apart with LF alone; a CR would show as a character of its own.
    panel->setPlainText(QString::fromStdString(HelpTextOf(which)).replace("\r\n", "\n"));
    // Named by its title, the text's first line without its brackets.
    QString title = panel->document()->firstBlock().text().trimmed();
    title.remove(QChar(0x3010)).remove(QChar(0x3011));
    if (!title.isEmpty()) panel->setAccessibleName(title);
    panel->document()->setDocumentMargin(kPanelMargin);
    host.repaintFigureArea();
}

void PlaceHelpPanel(AidsHost& host) {
    if (!host.helpShown()) return;
    if (QPlainTextEdit* panel = Panel(host)) panel->setGeometry(host.figureArea());
}

}  // namespace quorvex
