#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>

#include "core/files/Interrupt.h"
#include "core/model/NumberText.h"
#include "engine/render/PeriodRender.h"
#include "engine/render/PixelRatio.h"
#include "gui/window/TesselDlg.h"

// The window on the screen it is shown on: the diagrams at the screen's pixel ratio, a
// scroll area on a screen smaller than the window, the place of a window stored off screen,
// the radio groups' tab stops, the diagrams' text alternative and the end of a session.

namespace quorvex {
namespace {

QRadioButton* RadioOf(QWidget* w) {
    return qobject_cast<QRadioButton*>(w);
}

QButtonGroup* GroupOf(QWidget* w) {
    QRadioButton* radio = RadioOf(w);
    return radio ? radio->group() : nullptr;
}

}  // namespace

QWidget* CTesselDlg::canvas() const {
    return content_ ? content_ : const_cast<CTesselDlg*>(this);
}

void CTesselDlg::PaintFigures(QWidget& target, const QRegion& region) {
    QPainter painter(&target);
    if (!initialised_ || helpShown_) return;
    // The labels and other transparent controls are painted over the window's own
    // background; such a paint outside the figure area leaves the diagrams alone.
    if (!region.intersects(figureArea())) return;
    ++paintCount_;
    const StatementData period = statementData();
    const qreal ratio = target.devicePixelRatioF();
    if (ratio == 1.0) {
        // Each diagram on its own: a failure of one still lets the other be drawn.
        const DiagramScale scale = shownScale(bsRect_.height());
        if (PrepareDiagramBitmap(bsBitmap_, bsRect_.width(), bsRect_.height()) &&
            DrawScaledDiagram(bsBitmap_, DiagramKind::BalanceSheet, period, diagram_, scale)) {
            painter.drawImage(bsRect_.left, bsRect_.top, bsBitmap_.image());
        }
        if (PrepareDiagramBitmap(plBitmap_, plRect_.width(), plRect_.height()) &&
            DrawScaledDiagram(plBitmap_, DiagramKind::ProfitAndLoss, period, diagram_, scale)) {
            painter.drawImage(plRect_.left, plRect_.top, plBitmap_.image());
        }
        figureBitmapsStale_ = false;
        return;
    }
    // The screen's bitmaps are drawn in device pixels; the figure-size ones that output
    // writes are drawn when asked for.
    figureBitmapsStale_ = true;
    const DiagramScale scale = shownScale(DevicePixels(bsRect_.height(), ratio));
    const auto paint = [&](DiagramBitmap& bitmap, const PixelRect& r, DiagramKind kind) {
        if (!DrawDiagramAtRatio(bitmap, kind, r.width(), r.height(), ratio, period, diagram_,
                                scale)) {
            return;
        }
        painter.save();
        painter.setClipRect(QRect(r.left, r.top, r.width(), r.height()));
        painter.drawImage(QPoint(r.left, r.top), bitmap.image());
        painter.restore();
    };
    paint(bsScreen_, bsRect_, DiagramKind::BalanceSheet);
    paint(plScreen_, plRect_, DiagramKind::ProfitAndLoss);
}

void CTesselDlg::RefreshFigureBitmaps() const {
    if (!figureBitmapsStale_) return;
    figureBitmapsStale_ = false;
    const StatementData period = statementData();
    const DiagramScale scale = shownScale(bsRect_.height());
    if (PrepareDiagramBitmap(bsBitmap_, bsRect_.width(), bsRect_.height())) {
        DrawScaledDiagram(bsBitmap_, DiagramKind::BalanceSheet, period, diagram_, scale);
    }
    if (PrepareDiagramBitmap(plBitmap_, plRect_.width(), plRect_.height())) {
        DrawScaledDiagram(plBitmap_, DiagramKind::ProfitAndLoss, period, diagram_, scale);
    }
}

// The diagrams' text alternative: an accessible object over each figure (transparent, so
// it takes no clicks and paints nothing; the table's figure frames stay hidden as they
// are), named after its statement, its description the items as shown: name, amount, ratio.
void CTesselDlg::UpdateDiagramDescriptions() {
    const std::pair<int, PixelRect> figures[] = {{kBsFirst, bsRect_}, {kPlFirst, plRect_}};
    for (std::size_t d = 0; d < diagramObjects_.size(); ++d) {
        QWidget* object = diagramObjects_[d];
        const auto& [first, rect] = figures[d];
        if (!object) continue;
        object->setGeometry(rect.left, rect.top, std::max(0, rect.width()),
                            std::max(0, rect.height()));
        QStringList parts;
        for (int k = 0; k < 5; ++k) {
            const int i = first + k;
            QString part = static_cast<QLineEdit*>(control(kIdNameBase + i))->text();
            part +=
                QLatin1Char(' ') + static_cast<QLabel*>(control(kIdAmountLabelBase + i))->text();
            if (i != kPlFirst) {  // sales shows no ratio
                part +=
                    QStringLiteral(" (") +
                    QString::fromStdString(FormatRatio(ratios_[std::size_t(i)], diagram_.Shosu)) +
                    QStringLiteral("%)");
            }
            parts.append(part);
        }
        const QString text = parts.join(QStringLiteral("、"));
        if (object->accessibleDescription() != text) object->setAccessibleDescription(text);
        object->setVisible(!helpShown_);
    }
}

namespace {
// A diagram is a picture to a screen reader.
QAccessibleInterface* DiagramAccessible(const QString& key, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (key != QLatin1String("QWidget") || !widget) return nullptr;
    const QString name = widget->objectName();
    if (name != QLatin1String("bsDiagram") && name != QLatin1String("plDiagram")) return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Graphic);
}
}  // namespace

// Named as the control table names the figure frames.
void CTesselDlg::MakeDiagramObjects() {
    static const bool installed = [] {
        QAccessible::installFactory(DiagramAccessible);
        return true;
    }();
    (void)installed;
    const int frames[] = {kIdBsFrame, kIdPlFrame};
    const char* ids[] = {"bsDiagram", "plDiagram"};
    for (std::size_t d = 0; d < diagramObjects_.size(); ++d) {
        std::string name;
        for (const ControlEntry& entry : MainWindowControls()) {
            if (entry.id == frames[d]) name = entry.accessibleName;
        }
        auto* object = new QWidget(this);
        object->setObjectName(QLatin1String(ids[d]));
        object->setAttribute(Qt::WA_TransparentForMouseEvents);
        object->setFocusPolicy(Qt::NoFocus);
        object->setAccessibleName(QString::fromStdString(name));
        diagramObjects_[d] = object;
    }
}

void CTesselDlg::FitToScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    frame = frame.expandedTo(QSize(0, 0));
    const QSize room = available.size() - frame;
    if (room.width() >= templateClientSize_.width() &&
        room.height() >= templateClientSize_.height()) {
        return;  // large enough: the window as it always was
    }
    if (!scroll_) EnableScrollArea();
    pendingOuterSize_ = QSize();
    setMinimumSize(templateClientSize_.boundedTo(room).expandedTo(QSize(1, 1)));
    if (!isMaximized()) resize(size().boundedTo(room));
    if (isVisible() && !frame.isNull() && !available.contains(frameGeometry())) {
        move(
            std::clamp(x(), available.left(),
                       std::max(available.left(), available.right() - frameGeometry().width() + 1)),
            std::clamp(
                y(), available.top(),
                std::max(available.top(), available.bottom() - frameGeometry().height() + 1)));
    }
}

// The controls move into the scroll area's content at the same places, in the same
// stacking and tab order.
void CTesselDlg::EnableScrollArea() {
    const QObjectList children = this->children();
    QWidget* focus = focusWidget();
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("scrollArea"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    content_ = new QWidget;
    content_->setObjectName(QStringLiteral("content"));
    content_->setMinimumSize(templateClientSize_);
    content_->resize(size().expandedTo(templateClientSize_));
    for (QObject* child : children) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow()) continue;
        const bool hidden = w->isHidden();
        const QRect place = w->geometry();
        w->setParent(content_);
        w->setGeometry(place);
        w->setVisible(!hidden);
    }
    content_->installEventFilter(this);
    scroll_->setWidget(content_);
    scroll_->setGeometry(rect());
    scroll_->show();
    if (focus) focus->setFocus();
}

bool CTesselDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_ && content_) {
        if (event->type() == QEvent::Paint) {
            PaintFigures(*content_, static_cast<QPaintEvent*>(event)->region());
            return true;
        }
        if (event->type() == QEvent::Resize) LayoutFigures();
    }
    return QDialog::eventFilter(watched, event);
}

void CTesselDlg::CentreOnScreen() {
    if (!centrePending_ || !isVisible()) return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) return;  // not framed yet
    centrePending_ = false;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(available.left() + std::max(0, (available.width() - outer.width()) / 2),
         available.top() + std::max(0, (available.height() - outer.height()) / 2));
}

// Tab enters a radio group at its checked button and leaves it past the group's others.
bool CTesselDlg::focusNextPrevChild(bool next) {
    QButtonGroup* from = GroupOf(focusWidget());
    const bool moved = QDialog::focusNextPrevChild(next);
    for (int guard = 0; moved && from && guard < 16 && GroupOf(focusWidget()) == from; ++guard) {
        QDialog::focusNextPrevChild(next);
    }
    if (QButtonGroup* to = GroupOf(focusWidget()); to && to != from && to->checkedButton()) {
        to->checkedButton()->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }
    return moved;
}

void CTesselDlg::CloseForSession() {
    if (batchRunning_) {
        // Ended as the batch tool's interruption; the window closes once the run returns.
        closeAfterBatch_ = true;
        SetPendingInterrupt(SIGTERM);
        return;
    }
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    // A message box or another dialog in front is answered as by its close box first.
    for (int guard = 0; guard < 8; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == this) break;
        modal->close();
    }
    reject();
}

}  // namespace quorvex
