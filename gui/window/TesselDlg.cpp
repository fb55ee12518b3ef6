#include "gui/window/TesselDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <functional>

#include "core/model/NumberText.h"
#include "engine/batch/BatchRun.h"
#include "engine/output/ClipboardImage.h"
#include "engine/output/OutputFiles.h"
#include "engine/render/Diagrams.h"
#include "engine/render/PeriodRender.h"
#include "engine/settings/SettingsStore.h"
#include "gui/aids/HelpPanel.h"
#include "gui/aids/InputAids.h"
#include "gui/aids/ItemColours.h"
#include "gui/aids/VersionWindow.h"
#include "gui/window/ColourButton.h"
#include "gui/window/ControlTable.h"
#include "gui/window/DialogUnits.h"
#include "gui/window/SheetCommand.h"
#include "gui/window/WindowBatchHost.h"

namespace quorvex {
namespace {

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

// A spin box whose edit shows the value but takes no typing. Every step, also one at
// either end of the range, is announced with the clamped new value before the box moves.
class StepSpinBox final : public QSpinBox {
  public:
    explicit StepSpinBox(QWidget* parent) : QSpinBox(parent) {
        lineEdit()->setReadOnly(true);
        setAlignment(Qt::AlignCenter);
    }
    std::function<void(int)> onStep;
    QLineEdit* edit() const { return lineEdit(); }

    void stepBy(int steps) override {
        if (steps == 0) return;
        const int d = steps > 0 ? 1 : -1;
        const int v = std::clamp(value() + d, minimum(), maximum());
        if (onStep) onStep(v);
        QSpinBox::stepBy(d);
    }

  protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

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

// The window icon: a small ratio diagram.
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

QFont WindowFont() {
    const auto& props = MainWindowProperties();
    QFont font;
    QStringList families;
    if (auto it = props.find("font"); it != props.end()) {
        families = Utf8(it->second).split(QLatin1Char(','), Qt::SkipEmptyParts);
    }
    if (!families.isEmpty()) font.setFamilies(families);
    int points = 11;
    if (auto it = props.find("points"); it != props.end()) points = std::stoi(it->second);
    font.setPointSize(points);
    return font;
}

int Property(const char* key, int fallback) {
    const auto& props = MainWindowProperties();
    const auto it = props.find(key);
    return it == props.end() ? fallback : std::stoi(it->second);
}

}  // namespace

CTesselDlg::CTesselDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(Utf8(MainWindowProperties().at("caption")));
    setFont(WindowFont());
    units_ = BaseUnitsOf(font());
    templateClientSize_ =
        QSize(units_.X(Property("width", 492)), units_.Y(Property("height", 296)));
    resize(templateClientSize_);
    BuildControls();
    ConnectHandlers();
    OnInitDialog();
}

CTesselDlg::~CTesselDlg() = default;

QWidget* CTesselDlg::control(int id) {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

const QWidget* CTesselDlg::control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void CTesselDlg::BuildControls() {
    const auto& table = MainWindowControls();
    QButtonGroup* group = nullptr;
    for (std::size_t n = 0; n < table.size(); ++n) {
        const ControlEntry& entry = table[n];
        const QRect rect(units_.X(entry.rect.x), units_.Y(entry.rect.y),
                         units_.X(entry.rect.x + entry.rect.w) - units_.X(entry.rect.x),
                         units_.Y(entry.rect.y + entry.rect.h) - units_.Y(entry.rect.y));
        const QString text = Utf8(entry.text);
        const Qt::Alignment align = (entry.flags & kFlagCentre)  ? Qt::AlignHCenter
                                    : (entry.flags & kFlagRight) ? Qt::AlignRight
                                                                 : Qt::AlignLeft;
        QWidget* w = nullptr;
        switch (entry.kind) {
            case ControlKind::Label: {
                auto* label = new QLabel(text, this);
                label->setAlignment(align | Qt::AlignVCenter);
                label->setTextFormat(Qt::PlainText);
                w = label;
                break;
            }
            case ControlKind::Edit: {
                const bool spinBuddy =
                    n + 1 < table.size() && table[n + 1].kind == ControlKind::Spin;
                if (spinBuddy) {
                    // The spin sits on the edit's right edge and shows its value there: one
                    // spin box covers the edit's rectangle.
                    auto* spin = new StepSpinBox(this);
                    spin->setGeometry(rect);
                    spin->edit()->setObjectName(QString::number(entry.id));
                    spin->setObjectName(QString::number(table[n + 1].id));
                    controls_[entry.id] = spin->edit();
                    controls_[table[n + 1].id] = spin;
                    ++n;
                    continue;
                }
                auto* edit = new QLineEdit(this);
                edit->setAlignment(align | Qt::AlignVCenter);
                edit->setReadOnly(entry.flags & kFlagReadOnly);
                if (entry.flags & kFlagDigits) {
                    edit->setValidator(new QRegularExpressionValidator(
                        QRegularExpression(QStringLiteral("[0-9]*")), edit));
                }
                w = edit;
                break;
            }
            case ControlKind::MultiEdit: {
                auto* edit = new QPlainTextEdit(this);
                edit->setReadOnly(entry.flags & kFlagReadOnly);
                edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                QPalette pal = edit->palette();
                pal.setColor(QPalette::Base, Qt::white);
                pal.setColor(QPalette::Text, Qt::black);
                edit->setPalette(pal);
                w = edit;
                break;
            }
            case ControlKind::Colour: {
                auto* button = new ColourButton(this);
                const int i = entry.id - kIdColourBase;
                if (i >= 0 && i < kItemCount) colourButtons_[std::size_t(i)] = button;
                w = button;
                break;
            }
            case ControlKind::Frame:
                w = new QFrame(this);
                break;
            case ControlKind::ImageButton: {
                auto* button = new QToolButton(this);
                const int side = std::max(8, std::min(rect.width(), rect.height()) - 6);
                if (entry.picture.rfind("centre", 0) == 0) {
                    const int mode = entry.picture.back() - '0';
                    const QSize size(rect.width() - 6, rect.height() - 6);
                    button->setIcon(QPixmap::fromImage(
                        DrawCentreLinePreview(mode, size.width(), size.height())));
                    button->setIconSize(size);
                } else {
                    button->setIcon(PictureIcon(entry.picture, style()));
                    button->setIconSize(QSize(side, side).boundedTo(QSize(24, 24)));
                }
                if (!text.isEmpty()) {
                    button->setText(text);
                    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
                    button->setIconSize(QSize(16, 16));
                    // A long caption keeps its button's rectangle: the font steps down
                    // until the whole caption fits.
                    QFont f = font();
                    while (button->sizeHint().width() > rect.width() && f.pointSize() > 7) {
                        f.setPointSize(f.pointSize() - 1);
                        button->setFont(f);
                    }
                }
                w = button;
                break;
            }
            case ControlKind::TextButton: {
                auto* button = new QPushButton(text, this);
                button->setAutoDefault(false);
                button->setDefault(false);
                w = button;
                break;
            }
            case ControlKind::Radio: {
                auto* radio = new QRadioButton(text, this);
                if ((entry.flags & kFlagGroup) || group == nullptr) {
                    group = new QButtonGroup(this);
                    group->setExclusive(true);
                }
                group->addButton(radio);
                w = radio;
                break;
            }
            case ControlKind::Check:
                w = new QCheckBox(text, this);
                break;
            case ControlKind::Spin:
                w = new StepSpinBox(this);  // without an edit before it
                break;
            case ControlKind::GroupBox:
                w = new QGroupBox(text, this);
                break;
            case ControlKind::VLine:
            case ControlKind::HLine: {
                auto* line = new QFrame(this);
                line->setFrameShape(entry.kind == ControlKind::VLine ? QFrame::VLine
                                                                     : QFrame::HLine);
                line->setFrameShadow(QFrame::Sunken);
                w = line;
                break;
            }
            case ControlKind::Progress: {
                auto* bar = new QProgressBar(this);
                bar->setRange(0, 100);
                bar->setValue(0);
                bar->setTextVisible(false);
                w = bar;
                break;
            }
        }
        QRect place = rect;
        if (entry.kind == ControlKind::VLine) place.setWidth(std::max(2, rect.width()));
        if (entry.kind == ControlKind::HLine) place.setHeight(std::max(2, rect.height()));
        // A text that would not fit its rectangle in this font gets the room it needs, so
        // nothing is clipped: centred texts grow on both sides, others to the right.
        if (entry.kind == ControlKind::Label || entry.kind == ControlKind::Radio ||
            entry.kind == ControlKind::Check) {
            const int need = w->sizeHint().width();
            if (!text.isEmpty() && need > place.width()) {
                const int extra = need - place.width();
                if (entry.flags & kFlagCentre) place.translate(-extra / 2, 0);
                if (entry.flags & kFlagRight) place.translate(-extra, 0);
                place.setWidth(need);
            }
        }
        w->setGeometry(place);
        if (!entry.tip.empty()) w->setToolTip(Utf8(entry.tip));
        if (entry.flags & kFlagHidden) w->hide();
        if (entry.id != kNoId) {
            w->setObjectName(QString::number(entry.id));
            controls_[entry.id] = w;
        }
    }
    // Passive controls below the others, so a group box never takes the clicks of the
    // controls it surrounds.
    for (QObject* child : children()) {
        auto* frame = qobject_cast<QFrame*>(child);
        const bool line =
            frame && (frame->frameShape() == QFrame::VLine || frame->frameShape() == QFrame::HLine);
        if (line || qobject_cast<QGroupBox*>(child)) static_cast<QWidget*>(child)->lower();
    }
}

void CTesselDlg::ConnectHandlers() {
    for (int i = 0; i < kItemCount; ++i) {
        const int id = kIdAmountBase + i;
        if (auto* edit = qobject_cast<QLineEdit*>(control(id))) {
            connect(edit, &QLineEdit::textChanged, this, [this, id] { UpdateAmountLabels(id); });
        }
        if (ColourButton* button = colourButtons_[std::size_t(i)]) {
            button->setOnChosen([this, i](Colour c) {
                colours_[std::size_t(i)] = c;
                RepaintFigureArea();
            });
        }
    }
    auto onClick = [this](int id, std::function<void()> f) {
        if (auto* b = qobject_cast<QAbstractButton*>(control(id))) {
            connect(b, &QAbstractButton::clicked, this, [f = std::move(f)] { f(); });
        }
    };
    onClick(kIdExit, [this] { reject(); });
    onClick(kIdOutput, [this] { OnOutput(); });
    onClick(kIdBatch, [this] { OnBatchClicked(); });
    onClick(kIdComparisonSheet, [this] { OnComparisonSheet(); });
    onClick(kIdProportional, [this] {
        diagram_.HireiShukushaku =
            static_cast<QCheckBox*>(control(kIdProportional))->isChecked() ? 1 : 0;
        RepaintFigureArea();
    });
    if (QWidget* batch = control(kIdBatch)) {
        batch->setAcceptDrops(true);
        batch->installEventFilter(this);
    }
    // Input aids and auxiliary windows.
    onClick(kIdPasteNames, [this] { OnPaste(*this, kIdNameBase); });
    onClick(kIdPasteAmounts, [this] { OnPaste(*this, kIdAmountBase); });
    onClick(kIdClearNames, [this] { OnClear(*this, kIdNameBase); });
    onClick(kIdClearAmounts, [this] { OnClear(*this, kIdAmountBase); });
    onClick(kIdSample, [this] { OnSample(*this); });
    onClick(kIdDefaultColours, [this] { OnDefaultColours(*this); });
    onClick(kIdRandomColours, [this] { OnRandomColours(*this); });
    onClick(kIdSaveColours, [this] { OnSaveColours(*this); });
    onClick(kIdLoadColours, [this] { OnLoadColours(*this); });
    onClick(kIdGeneralHelp, [this] { ToggleHelpPanel(*this, HelpText::General); });
    onClick(kIdBatchHelp, [this] { ToggleHelpPanel(*this, HelpText::Batch); });
    onClick(kIdVersion, [this] {
        CAboutDlg about(this);
        about.exec();
    });
    onClick(kIdCentreNone, [this] { OnCentreLineRadio(kCentreLineNone); });
    onClick(kIdCentreUpper, [this] { OnCentreLineRadio(kCentreLineUpper); });
    onClick(kIdCentreLower, [this] { OnCentreLineRadio(kCentreLineLower); });
    onClick(kIdCentreNonePicture, [this] { OnCentreLinePicture(kCentreLineNone); });
    onClick(kIdCentreUpperPicture, [this] { OnCentreLinePicture(kCentreLineUpper); });
    onClick(kIdCentreLowerPicture, [this] { OnCentreLinePicture(kCentreLineLower); });
    onClick(kIdKindBs, [this] { output_.OutType = kOutTypeBs; });
    onClick(kIdKindPl, [this] { output_.OutType = kOutTypePl; });
    for (std::size_t k = 0; k < kTargetRadios.size(); ++k) {
        onClick(kTargetRadios[k], [this, k] { output_.OutSaki = int(k); });
    }
    onClick(kIdRatioRight, [this] {
        diagram_.DrawUnder = 0;
        RepaintFigureArea();
    });
    onClick(kIdRatioBelow, [this] {
        diagram_.DrawUnder = 1;
        RepaintFigureArea();
    });
    onClick(kIdDrawName, [this] {
        diagram_.DrawName = static_cast<QCheckBox*>(control(kIdDrawName))->isChecked() ? 1 : 0;
        RepaintFigureArea();
    });
    onClick(kIdDrawRitu, [this] {
        diagram_.DrawRitu = static_cast<QCheckBox*>(control(kIdDrawRitu))->isChecked() ? 1 : 0;
        RepaintFigureArea();
    });
    for (int id : {kIdDecimalsSpin, kIdFontSizeSpin, kIdLineWidthSpin, kIdMarginSpin}) {
        if (auto* spin = dynamic_cast<StepSpinBox*>(control(id))) {
            spin->onStep = [this, id](int v) { OnSpinStep(id, v); };
        }
    }
}

void CTesselDlg::OnInitDialog() {
    setWindowIcon(ApplicationIcon());
    const StoredSettings s = LoadSettings();
    for (int i = 0; i < kItemCount; ++i) {
        const auto k = std::size_t(i);
        static_cast<QLineEdit*>(control(kIdNameBase + i))->setText(Utf8(s.Koumoku[k]));
        static_cast<QLineEdit*>(control(kIdAmountBase + i))->setText(Utf8(s.Kingaku[k]));
        colours_[k] = s.Col[k];
        colourButtons_[k]->setColour(colours_[k]);
    }
    static_cast<QLineEdit*>(control(kIdPeriod))->setText(Utf8(s.Ki));

    struct SpinSetup {
        int id;
        int low, high;
        int DiagramOptions::*field;
        int stored;
    };
    const SpinSetup spins[] = {
        {kIdDecimalsSpin, 0, 5, &DiagramOptions::Shosu, s.diagram.Shosu},
        {kIdFontSizeSpin, 5, 50, &DiagramOptions::FontSize, s.diagram.FontSize},
        {kIdLineWidthSpin, 0, 20, &DiagramOptions::Futosa, s.diagram.Futosa},
        {kIdMarginSpin, 0, 50, &DiagramOptions::Yohaku, s.diagram.Yohaku},
    };
    for (const SpinSetup& sp : spins) {
        auto* spin = static_cast<QSpinBox*>(control(sp.id));
        spin->setRange(sp.low, sp.high);
        const int v = std::clamp(sp.stored, sp.low, sp.high);
        spin->setValue(v);
        diagram_.*sp.field = v;
    }

    diagram_.DrawName = s.diagram.DrawName == 1 ? 1 : 0;
    CheckOnly(kIdDrawName, diagram_.DrawName == 1);
    diagram_.DrawRitu = s.diagram.DrawRitu == 1 ? 1 : 0;
    CheckOnly(kIdDrawRitu, diagram_.DrawRitu == 1);
    diagram_.HireiShukushaku = s.diagram.HireiShukushaku == 1 ? 1 : 0;
    CheckOnly(kIdProportional, diagram_.HireiShukushaku == 1);
    diagram_.DrawUnder = s.diagram.DrawUnder != 0 ? 1 : 0;
    CheckOnly(diagram_.DrawUnder ? kIdRatioBelow : kIdRatioRight);
    diagram_.CenterLine = s.diagram.CenterLine;  // held exactly as read
    CheckOnly(diagram_.CenterLine == 1   ? kIdCentreUpper
              : diagram_.CenterLine == 2 ? kIdCentreLower
                                         : kIdCentreNone);
    output_.OutType = s.output.OutType;
    CheckOnly(output_.OutType == 1 ? kIdKindPl : kIdKindBs);
    output_.OutSaki = s.output.OutSaki;
    CheckOnly(output_.OutSaki >= 1 && output_.OutSaki <= 6
                  ? kTargetRadios[std::size_t(output_.OutSaki)]
                  : kIdTargetJpeg);
    output_.Separate = std::clamp(s.output.Separate, 0, 2);
    CheckOnly(kIdSeparatorNone + output_.Separate);

    initialised_ = true;
    for (int id = kIdAmountBase; id < kIdAmountBase + kItemCount; ++id) UpdateAmountLabels(id);

    minTrackSize_ = frameGeometry().size();
    setMinimumSize(templateClientSize_);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 0, 0);
    if (s.PX < desktop.width() && s.PY < desktop.height()) {
        move(s.PX, s.PY);
        // The frame is not known before the window is shown: the client gets the outer
        // size now, and the frame is taken off once it is known.
        pendingOuterSize_ = QSize(s.SX, s.SY);
        resize(QSize(s.SX, s.SY).expandedTo(templateClientSize_));
        normalOuter_ = QRect(QPoint(s.PX, s.PY), QSize(s.SX, s.SY).expandedTo(minTrackSize_));
    }
    if (s.Zoomed == 1) setWindowState(windowState() | Qt::WindowMaximized);

    LayoutFigures();
    if (QWidget* period = control(kIdPeriod)) period->setFocus();
}

void CTesselDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!pendingOuterSize_.isValid()) return;
    QTimer::singleShot(0, this, [this] {
        if (!pendingOuterSize_.isValid()) return;
        const QSize outer = pendingOuterSize_;
        pendingOuterSize_ = QSize();
        // A maximised window keeps its state; its normal size stays as set before.
        if (isMaximized() || isMinimized()) return;
        const QSize frame = frameGeometry().size() - size();
        if (frame != QSize(0, 0)) resize((outer - frame).expandedTo(templateClientSize_));
    });
}

void CTesselDlg::CheckOnly(int id, bool checked) {
    if (auto* b = qobject_cast<QAbstractButton*>(control(id))) b->setChecked(checked);
}

void CTesselDlg::setItemColour(int i, Colour c) {
    if (i < 0 || i >= kItemCount) return;
    colours_[std::size_t(i)] = c;
    colourButtons_[std::size_t(i)]->setColour(c);
}

QRect CTesselDlg::figureArea() const {
    return QRect(QPoint(figureArea_.left, figureArea_.top),
                 QSize(figureArea_.width(), figureArea_.height()));
}

StatementData CTesselDlg::statementData() const {
    StatementData data;
    for (int i = 0; i < kItemCount; ++i) {
        auto& item = data.items[std::size_t(i)];
        item.name = static_cast<const QLineEdit*>(control(kIdNameBase + i))->text().toStdString();
        item.amount =
            static_cast<const QLineEdit*>(control(kIdAmountBase + i))->text().toStdString();
        item.colour = colours_[std::size_t(i)];
    }
    data.period.text = static_cast<const QLineEdit*>(control(kIdPeriod))->text().toStdString();
    data.ratios = ratios_;
    return data;
}

void CTesselDlg::UpdateAmountLabels(int id) {
    if (!initialised_) return;
    const int i = id - kIdAmountBase;
    if (i < 0 || i >= kItemCount) return;
    const QString text = static_cast<QLineEdit*>(control(id))->text();
    static_cast<QLabel*>(control(kIdAmountLabelBase + i))
        ->setText(text.isEmpty() ? QStringLiteral("0円")
                                 : Utf8(FormatKanjiAmount(text.toStdString())));
    RefreshRatioLabels(StatementOf(i));
}

void CTesselDlg::RefreshRatioLabels(Statement which) {
    const int first = which == Statement::BalanceSheet ? kBsFirst : kPlFirst;
    std::array<std::string, 5> texts;
    std::array<std::string_view, 5> views;
    for (int k = 0; k < 5; ++k) {
        texts[std::size_t(k)] =
            static_cast<QLineEdit*>(control(kIdAmountBase + first + k))->text().toStdString();
        views[std::size_t(k)] = texts[std::size_t(k)];
    }
    const std::array<double, 5> r =
        which == Statement::BalanceSheet ? ComputeBsRatios(views) : ComputePlRatios(views);
    for (int k = 0; k < 5; ++k) {
        ratios_[std::size_t(first + k)] = r[std::size_t(k)];
        static_cast<QLabel*>(control(kIdRatioLabelBase + first + k))
            ->setText(Utf8(FormatRatio(r[std::size_t(k)], diagram_.Shosu)));
    }
}

void CTesselDlg::OnCentreLineRadio(int mode) {
    if (diagram_.CenterLine == mode) return;
    diagram_.CenterLine = mode;
    RepaintFigureArea();
}

void CTesselDlg::OnCentreLinePicture(int mode) {
    if (diagram_.CenterLine == mode) return;
    const int radios[] = {kIdCentreNone, kIdCentreUpper, kIdCentreLower};
    for (int id : radios) CheckOnly(id, false);
    CheckOnly(radios[mode]);
    diagram_.CenterLine = mode;
    RepaintFigureArea();
}

void CTesselDlg::OnSpinStep(int id, int value) {
    switch (id) {
        case kIdDecimalsSpin:
            diagram_.Shosu = value;
            RefreshRatioLabels(Statement::BalanceSheet);
            RefreshRatioLabels(Statement::ProfitAndLoss);
            RepaintFigureArea();
            break;
        case kIdFontSizeSpin:
            diagram_.FontSize = value;
            RepaintFigureArea();
            break;
        case kIdLineWidthSpin:
            diagram_.Futosa = value;
            RepaintFigureArea();
            break;
        case kIdMarginSpin:
            diagram_.Yohaku = value;
            LayoutFigures();
            break;
        default:
            break;
    }
}

void CTesselDlg::OnOutput() {
    const int kind = output_.OutType;
    const QImage& bitmap = kind == kOutTypeBs ? bsBitmap_.image() : plBitmap_.image();
    const QSize size = figureSize();
    if (output_.OutSaki == kOutClipboard) {
        CopyDiagramToClipboard(bitmap, kind, sink_);
        return;
    }
    QString folder;
    if (!EnsureOutputFolder(folder, sink_)) return;
    const PeriodLabel period{static_cast<QLineEdit*>(control(kIdPeriod))->text().toStdString()};
    if (!WriteDiagramFile(bitmap, size.width(), size.height(), period, kind, output_.OutSaki,
                          folder, sink_)) {
        if (period.text.empty()) control(kIdPeriod)->setFocus();
        return;
    }
    if (sink_.ShowMessage(kMsgSavedShowFolder, "", MessageKind::Question) == kYes) {
        OpenFolderWindow(folder + QLatin1Char('/'), sink_);
    }
}

bool CTesselDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control(kIdBatch)) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasUrls()) return false;
        drop->acceptProposedAction();
        OnBatchDropped(drop->mimeData()->urls());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CTesselDlg::OnBatchDropped(const QList<QUrl>& urls) {
    if (urls.size() > 1) {
        sink_.ShowMessage(kMsgMultipleFiles, "", MessageKind::Error);
        return;
    }
    if (urls.isEmpty()) return;
    // The whole path is used, however long.
    const QString path = urls.front().toLocalFile();
    if (!path.toLower().endsWith(QLatin1String(".csv"))) {
        sink_.ShowMessage(kMsgNotCsv, "", MessageKind::Error);
        return;
    }
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    RunBatchFile(path, name.left(name.size() - 4));
}

void CTesselDlg::RunBatchFile(const QString& path, const QString& title) {
    lastBatchPath_ = path;
    lastBatchTitle_ = title;
    WindowBatchHost host(*this);
    BatchRequest request;
    request.csvPath = path;
    request.title = title;
    // The files are the same for any number of encoder threads; the window uses them all.
    request.jobs = std::max(1, QThread::idealThreadCount());
    // 比例縮尺 makes the whole CSV one set.
    if (diagram_.HireiShukushaku == 1) request.scale.mode = ScaleMode::Shared;
    // The run keeps the thread to itself: no input reaches the window meanwhile. Let the
    // window redraw where the file dialog was before that.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    RunBatch(host, request);
}

void CTesselDlg::OnBatchClicked() {
    const QString path = GetOpenFileName(this, QStringLiteral("CSVファイルを指定"),
                                         QStringLiteral("コンマ区切りファイル(*.csv)"));
    if (path.isEmpty()) return;
    // A name typed into the dialog is run whatever its extension.
    RunBatchFile(path, QFileInfo(path).completeBaseName());
}

void CTesselDlg::OnComparisonSheet() {
    SheetRequest request;
    request.cell = {figureSize().width(), figureSize().height()};
    request.diagram = diagram_;
    request.colours = colours_;
    RunSheetCommand(this, request, sink_);
}

void CTesselDlg::LayoutFigures() {
    QWidget* separator = control(kIdSeparator);
    if (!separator) return;
    const int s = separator->geometry().top();
    const FigureLayout layout = LayoutFigureRects(width(), height(), s, diagram_.Yohaku);
    bsRect_ = layout.bsRect;
    plRect_ = layout.plRect;
    figureArea_ = layout.figureArea;
    auto place = [](QWidget* frame, const PixelRect& r) {
        if (frame)
            frame->setGeometry(r.left, r.top, std::max(0, r.width()), std::max(0, r.height()));
    };
    place(control(101), bsRect_);
    place(control(102), plRect_);
    if (auto* label = qobject_cast<QLabel*>(control(kIdFigureSize))) {
        label->setText(Utf8(FigureSizeText(bsRect_.width(), bsRect_.height())));
    }
    RepaintFigureArea();
    if (helpShown_) {
        if (QWidget* panel = control(kIdHelpPanel)) {
            panel->setGeometry(0, s, width(), height() - s);
            panel->show();
        }
    }
}

void CTesselDlg::RepaintFigureArea() {
    if (figureArea_.width() <= 0 || figureArea_.height() <= 0) return;
    repaint(figureArea());
}

void CTesselDlg::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!initialised_ || helpShown_) return;
    // The labels and other transparent controls are painted over the window's own
    // background; such a paint outside the figure area leaves the diagrams alone.
    if (!event->region().intersects(figureArea())) return;
    ++paintCount_;
    const StatementData data = statementData();
    // Each diagram on its own: a failure of one still lets the other be drawn.
    const DiagramScale scale = shownScale(bsRect_.height());
    if (PrepareDiagramBitmap(bsBitmap_, bsRect_.width(), bsRect_.height()) &&
        DrawScaledDiagram(bsBitmap_, DiagramKind::BalanceSheet, data, diagram_, scale)) {
        painter.drawImage(bsRect_.left, bsRect_.top, bsBitmap_.image());
    }
    if (PrepareDiagramBitmap(plBitmap_, plRect_.width(), plRect_.height()) &&
        DrawScaledDiagram(plBitmap_, DiagramKind::ProfitAndLoss, data, diagram_, scale)) {
        painter.drawImage(plRect_.left, plRect_.top, plBitmap_.image());
    }
}

DiagramScale CTesselDlg::shownScale(int figureHeight) const {
    if (diagram_.HireiShukushaku != 1) return {};
    return PeriodScale(statementData(), figureHeight);
}

bool CTesselDlg::RenderPeriodDiagrams() {
    return quorvex::RenderPeriodDiagrams(statementData(), diagram_, batchFigureSize_.width(),
                                         batchFigureSize_.height(), bsBitmap_, plBitmap_,
                                         shownScale(batchFigureSize_.height()));
}

void CTesselDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    NoteNormalPlacement();
    LayoutFigures();
}

void CTesselDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    NoteNormalPlacement();
}

void CTesselDlg::NoteNormalPlacement() {
    const Qt::WindowStates special =
        Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
    if (isVisible() && !(windowState() & special)) normalOuter_ = frameGeometry();
}

void CTesselDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();  // the OK command does nothing
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTesselDlg::done(int result) {
    OnDestroy();
    QDialog::done(result);
}

void CTesselDlg::OnDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    bsBitmap_.reset();
    plBitmap_.reset();
    StoredSettings s;
    const StatementData data = statementData();
    for (int i = 0; i < kItemCount; ++i) {
        const auto k = std::size_t(i);
        s.Koumoku[k] = data.items[k].name;
        s.Kingaku[k] = data.items[k].amount;
        s.Col[k] = colours_[k];
    }
    s.Ki = data.period.text;
    s.diagram = diagram_;
    s.output = output_;
    s.Zoomed = isMaximized() ? 1 : 0;
    // The restored rectangle: the one the window returns to from maximised or minimised.
    QRect outer = frameGeometry();
    if ((isMaximized() || isMinimized()) && normalOuter_.isValid()) outer = normalOuter_;
    s.PX = std::max(0, outer.x());
    s.PY = std::max(0, outer.y());
    s.SX = outer.width();
    s.SY = outer.height();
    SaveSettings(s);
}

}  // namespace quorvex
