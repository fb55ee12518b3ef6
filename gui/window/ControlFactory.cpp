#include "gui/window/ControlFactory.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <algorithm>

#include "engine/render/PeriodRender.h"
#include "gui/widgets/ColourButton.h"
#include "gui/widgets/ControlIds.h"
#include "gui/widgets/StepSpinBox.h"
#include "gui/window/Icons.h"

namespace quorvex {

void ControlMap::check(int id, bool checked) const {
    if (auto* b = qobject_cast<QAbstractButton*>((*this)(id))) b->setChecked(checked);
}

namespace {

QWidget* MakeImageButton(QWidget& window, const ControlEntry& entry, const QRect& rect) {
    auto* button = new QToolButton(&window);
    const int side = std::max(8, std::min(rect.width(), rect.height()) - 6);
    if (entry.picture.rfind("centre", 0) == 0) {
        const int mode = entry.picture.back() - '0';
        const QSize size(rect.width() - 6, rect.height() - 6);
        button->setIcon(
            QPixmap::fromImage(DrawCentreLinePreview(mode, size.width(), size.height())));
        button->setIconSize(size);
    } else {
        button->setIcon(PictureIcon(entry.picture, window.style()));
        button->setIconSize(QSize(side, side).boundedTo(QSize(24, 24)));
    }
    const QString text = QString::fromStdString(entry.text);
    if (!text.isEmpty()) {
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIconSize(QSize(16, 16));
        // A long caption keeps its button's rectangle: the font steps down until the whole
        // caption fits.
        QFont f = window.font();
        while (button->sizeHint().width() > rect.width() && f.pointSize() > 7) {
            f.setPointSize(f.pointSize() - 1);
            button->setFont(f);
        }
    }
    return button;
}

// The widget of one row; radios join group, a new one at a group row or the first radio.
QWidget* MakeControl(QWidget& window, const ControlEntry& entry, const QRect& rect,
                     QButtonGroup*& group, BuiltControls& out) {
    const QString text = QString::fromStdString(entry.text);
    const Qt::Alignment align = (entry.flags & kFlagCentre)  ? Qt::AlignHCenter
                                : (entry.flags & kFlagRight) ? Qt::AlignRight
                                                             : Qt::AlignLeft;
    switch (entry.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, &window);
            label->setAlignment(align | Qt::AlignVCenter);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(&window);
            edit->setAlignment(align | Qt::AlignVCenter);
            edit->setReadOnly(entry.flags & kFlagReadOnly);
            if (entry.flags & kFlagDigits) {
                edit->setValidator(new QRegularExpressionValidator(
                    QRegularExpression(QStringLiteral("[0-9]*")), edit));
            }
            return edit;
        }
        case ControlKind::MultiEdit: {
            auto* edit = new QPlainTextEdit(&window);
            edit->setReadOnly(entry.flags & kFlagReadOnly);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            QPalette pal = edit->palette();
            pal.setColor(QPalette::Base, Qt::white);
            pal.setColor(QPalette::Text, Qt::black);
            edit->setPalette(pal);
            return edit;
        }
        case ControlKind::ItemColour: {
            auto* button = new ColourButton(&window);
            const int i = entry.id - kIdColourBase;
            if (i >= 0 && i < kItemCount) out.colourButtons[std::size_t(i)] = button;
            return button;
        }
        case ControlKind::Frame:
            return new QFrame(&window);
        case ControlKind::ImageButton:
            return MakeImageButton(window, entry, rect);
        case ControlKind::TextButton: {
            auto* button = new QPushButton(text, &window);
            button->setAutoDefault(false);
            button->setDefault(false);
            return button;
        }
        case ControlKind::Radio: {
            auto* radio = new QRadioButton(text, &window);
            if ((entry.flags & kFlagGroup) || group == nullptr) {
                group = new QButtonGroup(&window);
                group->setExclusive(true);
            }
            group->addButton(radio);
            return radio;
        }
        case ControlKind::Check:
            return new QCheckBox(text, &window);
        case ControlKind::Spin:
            return new StepSpinBox(&window);  // without an edit before it
        case ControlKind::GroupBox:
            return new QGroupBox(text, &window);
        case ControlKind::VLine:
        case ControlKind::HLine: {
            auto* line = new QFrame(&window);
            line->setFrameShape(entry.kind == ControlKind::VLine ? QFrame::VLine : QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
        case ControlKind::Progress: {
            auto* bar = new QProgressBar(&window);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            return bar;
        }
    }
    return nullptr;
}

// The row's rectangle, widened where its text would not fit in this font, so nothing is
// clipped: centred texts grow on both sides, right-aligned ones to the left, others to
// the right.
QRect Placement(const ControlEntry& entry, const QRect& rect, const QWidget& w) {
    QRect place = rect;
    if (entry.kind == ControlKind::VLine) place.setWidth(std::max(2, rect.width()));
    if (entry.kind == ControlKind::HLine) place.setHeight(std::max(2, rect.height()));
    if (entry.kind == ControlKind::Label || entry.kind == ControlKind::Radio ||
        entry.kind == ControlKind::Check) {
        const int need = w.sizeHint().width();
        if (!entry.text.empty() && need > place.width()) {
            const int extra = need - place.width();
            if (entry.flags & kFlagCentre) place.translate(-extra / 2, 0);
            if (entry.flags & kFlagRight) place.translate(-extra, 0);
            place.setWidth(need);
        }
    }
    return place;
}

}  // namespace

BuiltControls BuildControls(QWidget& window, const std::vector<ControlEntry>& table,
                            const BaseUnits& units) {
    BuiltControls out;
    QButtonGroup* group = nullptr;
    for (std::size_t n = 0; n < table.size(); ++n) {
        const ControlEntry& entry = table[n];
        const QRect rect =
            DialogToPixels(units, entry.rect.x, entry.rect.y, entry.rect.w, entry.rect.h);
        if (entry.kind == ControlKind::Edit && n + 1 < table.size() &&
            table[n + 1].kind == ControlKind::Spin) {
            // The spin sits on the edit's right edge and shows its value there: one spin box
            // covers the edit's rectangle.
            auto* spin = new StepSpinBox(&window);
            spin->setGeometry(rect);
            spin->edit()->setObjectName(QString::number(entry.id));
            spin->setObjectName(QString::number(table[n + 1].id));
            const QString name = QString::fromStdString(entry.accessibleName);
            spin->setAccessibleName(name);
            spin->edit()->setAccessibleName(name);
            out.controls.add(entry.id, spin->edit());
            out.controls.add(table[n + 1].id, spin);
            ++n;
            continue;
        }
        QWidget* w = MakeControl(window, entry, rect, group, out);
        w->setGeometry(Placement(entry, rect, *w));
        if (!entry.tip.empty()) w->setToolTip(QString::fromStdString(entry.tip));
        // The figure frames' names go to the diagrams' accessible objects (the window's).
        if (!entry.accessibleName.empty() && entry.kind != ControlKind::Frame) {
            w->setAccessibleName(QString::fromStdString(entry.accessibleName));
            // A button's tip says what it does; a screen reader tells it after the name.
            if (!entry.tip.empty()) w->setAccessibleDescription(QString::fromStdString(entry.tip));
        }
        if (entry.flags & kFlagHidden) w->hide();
        if (entry.id != kNoId) {
            w->setObjectName(QString::number(entry.id));
            out.controls.add(entry.id, w);
        }
    }
    // Passive controls below the others, so a group box never takes the clicks of the
    // controls it surrounds.
    for (QObject* child : window.children()) {
        auto* frame = qobject_cast<QFrame*>(child);
        const bool line =
            frame && (frame->frameShape() == QFrame::VLine || frame->frameShape() == QFrame::HLine);
        if (line || qobject_cast<QGroupBox*>(child)) static_cast<QWidget*>(child)->lower();
    }
    return out;
}

}  // namespace quorvex
