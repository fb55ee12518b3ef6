#include "gui/window/TesselDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>

#include "core/files/Interrupt.h"
#include "core/model/NumberText.h"
#include "engine/batch/BatchRun.h"
#include "engine/render/Diagrams.h"
#include "engine/render/PeriodRender.h"
#include "engine/settings/SettingsStore.h"
#include "gui/aids/HelpPanel.h"
#include "gui/aids/InputAids.h"
#include "gui/aids/ItemColours.h"
#include "gui/aids/VersionWindow.h"
#include "gui/import/WindowImport.h"
#include "gui/widgets/ColourButton.h"
#include "gui/widgets/StepSpinBox.h"
#include "gui/window/AmountLabel.h"
#include "gui/window/DiagramMenu.h"
#include "gui/window/Icons.h"
#include "gui/window/IndicatorWindow.h"
#include "gui/window/SheetCommand.h"
#include "gui/window/WindowBatchHost.h"
#include "gui/window/WindowIndicatorHost.h"
#include "gui/window/WindowOutput.h"
#include "gui/window/WindowSettings.h"

namespace quorvex {
namespace {

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
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
    placementTimer_.setSingleShot(true);
    placementTimer_.setInterval(100);
    connect(&placementTimer_, &QTimer::timeout, this, [this] { ApplyStoredOuterSize(); });
    BuiltControls built = BuildControls(*this, MainWindowControls(), units_);
    controls_ = std::move(built.controls);
    colourButtons_ = built.colourButtons;
    MakeDiagramObjects();
    ConnectHandlers();
    InstallDiagramMenu(*this);
    OnInitDialog();
}

CTesselDlg::~CTesselDlg() = default;

QWidget* CTesselDlg::control(int id) {
    return controls_(id);
}

const QWidget* CTesselDlg::control(int id) const {
    return controls_(id);
}

void CTesselDlg::OnInitDialog() {
    // For the whole program, so its other windows (the version window) show it too.
    QApplication::setWindowIcon(ApplicationIcon());
    const StoredSettings s = LoadSettings();
    const WindowOptions shown = ShowStoredSettings(s, controls_);
    colours_ = shown.colours;
    diagram_ = shown.diagram;
    output_ = shown.output;
    if (s.IndicatorSX > 0 && s.IndicatorSY > 0) {
        indicatorPlacement_ = QRect(s.IndicatorPX, s.IndicatorPY, s.IndicatorSX, s.IndicatorSY);
    }

    initialised_ = true;
    for (int id = kIdAmountBase; id < kIdAmountBase + kItemCount; ++id) UpdateAmountLabels(id);

    minTrackSize_ = frameGeometry().size();
    setMinimumSize(templateClientSize_);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 0, 0);
    if (!(s.PX < desktop.width() && s.PY < desktop.height())) {
        // Off screen: centred on the available area once the real frame is known.
        centrePending_ = true;
    } else {
        move(s.PX, s.PY);
        // The frame is not known before the window is shown: the client gets the outer
        // size now, and the frame is taken off once it is known.
        pendingOuterSize_ = QSize(s.SX, s.SY);
        resize(QSize(s.SX, s.SY).expandedTo(templateClientSize_));
        normalOuter_ = QRect(QPoint(s.PX, s.PY), QSize(s.SX, s.SY).expandedTo(minTrackSize_));
    }
    if (s.Zoomed == 1) setWindowState(windowState() | Qt::WindowMaximized);

    FitToScreen();
    LayoutFigures();
    if (QWidget* period = control(kIdPeriod)) period->setFocus();
}

void CTesselDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window manager frames the window some time after it is shown; only then is the
    // frame known. Look now and then for a while, and after every move, resize and change
    // of state once things have been quiet for a moment.
    for (const int ms : {0, 50, 100, 200, 400, 800, 1600, 3200}) {
        QTimer::singleShot(ms, this, [this] {
            ApplyStoredOuterSize();
            CentreOnScreen();
            FitToScreen();
        });
    }
    // Another screen may have another pixel ratio: the diagrams are drawn again for it.
    if (QWindow* handle = windowHandle(); handle && !screenWatch_) {
        screenWatch_ = connect(handle, &QWindow::screenChanged, this, [this] { LayoutFigures(); });
    }
}

void CTesselDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && pendingOuterSize_.isValid()) {
        placementTimer_.start();
    }
}

// The stored size is the outer one, frame included, but it can only be set as the client's
// size before the window is framed. Once a normal window (not maximised: when a maximised
// one is restored) has that client size and a known frame, the frame is taken off. A state
// change arrives before the geometry that goes with it, so a client of another size (still
// the maximised one, or one the user made) is left alone.
void CTesselDlg::ApplyStoredOuterSize() {
    if (!pendingOuterSize_.isValid() || !isVisible()) return;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
    if (size() != pendingOuterSize_.expandedTo(templateClientSize_)) return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) return;
    const QSize outer = pendingOuterSize_;
    pendingOuterSize_ = QSize();
    resize((outer - frame).expandedTo(templateClientSize_));
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
    StatementData period;
    for (int i = 0; i < kItemCount; ++i) {
        auto& item = period.items[std::size_t(i)];
        item.name = static_cast<const QLineEdit*>(control(kIdNameBase + i))->text().toStdString();
        item.amount =
            static_cast<const QLineEdit*>(control(kIdAmountBase + i))->text().toStdString();
        item.colour = colours_[std::size_t(i)];
    }
    period.period.text = static_cast<const QLineEdit*>(control(kIdPeriod))->text().toStdString();
    period.ratios = ratios_;
    return period;
}

void CTesselDlg::UpdateAmountLabels(int id) {
    if (!initialised_) return;
    const int i = id - kIdAmountBase;
    if (i < 0 || i >= kItemCount) return;
    const QString text = static_cast<QLineEdit*>(control(id))->text();
    SetAmountLabelText(
        *static_cast<QLabel*>(control(kIdAmountLabelBase + i)),
        text.isEmpty() ? QStringLiteral("0円") : Utf8(FormatKanjiAmount(text.toStdString())));
    RefreshRatioLabels(StatementOf(i));
    RefreshIndicators();
}

void CTesselDlg::RefreshIndicators() {
    if (indicatorWindow_ && indicatorWindow_->isVisible()) indicatorWindow_->Refresh();
}

void CTesselDlg::ShowIndicatorWindow() {
    if (!indicatorWindow_) {
        indicatorHost_ = std::make_unique<WindowIndicatorHost>(*this);
        indicatorWindow_ = new IndicatorWindow(*indicatorHost_, this);
        if (indicatorPlacement_.isValid()) indicatorWindow_->setGeometry(indicatorPlacement_);
    }
    indicatorWindow_->Refresh();
    indicatorWindow_->show();
    indicatorWindow_->raise();
    indicatorWindow_->activateWindow();
}

void CTesselDlg::SetBreakEven(bool on) {
    diagram_.BreakEven = on ? 1 : 0;
    RepaintFigureArea();
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
    UpdateDiagramDescriptions();
}

void CTesselDlg::OnCentreLineRadio(int mode) {
    if (diagram_.CenterLine == mode) return;
    diagram_.CenterLine = mode;
    RepaintFigureArea();
}

void CTesselDlg::OnCentreLinePicture(int mode) {
    if (diagram_.CenterLine == mode) return;
    const int radios[] = {kIdCentreNone, kIdCentreUpper, kIdCentreLower};
    for (int id : radios) controls_.check(id, false);
    controls_.check(radios[mode]);
    diagram_.CenterLine = mode;
    RepaintFigureArea();
}

void CTesselDlg::OnSpinStep(int id, int value) {
    switch (id) {
        case kIdDecimalsSpin:
            diagram_.Shosu = value;
            RefreshRatioLabels(Statement::BalanceSheet);
            RefreshRatioLabels(Statement::ProfitAndLoss);
            RefreshIndicators();
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
    request.indicatorsBesideSummary = output_.BatchIndicators == 1;
    // The run keeps the thread to itself: no input reaches the window meanwhile. Let the
    // window redraw where the file dialog was before that.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    // A signal during the run ends it as it ends the batch tool's (the files begun are
    // finished, no summary); the window then closes as at its close box.
    batchRunning_ = true;
    {
        const InterruptScope interruptible;
        RunBatch(host, request);
    }
    batchRunning_ = false;
    if (PendingInterrupt() != 0 || closeAfterBatch_) {
        SetPendingInterrupt(0);
        closeAfterBatch_ = false;
        QTimer::singleShot(0, this, [this] { CloseForSession(); });
    }
}

void CTesselDlg::OnComparisonSheet(const QString& csv) {
    SheetRequest request;
    request.cell = {figureSize().width(), figureSize().height()};
    request.diagram = diagram_;
    request.colours = colours_;
    request.csvPath = csv;
    RunSheetCommand(this, request, sink_);
}

void CTesselDlg::runBatchOn(const QString& csvPath) {
    RunBatchFile(csvPath, QFileInfo(csvPath).completeBaseName());
}

void CTesselDlg::LayoutFigures() {
    QWidget* separator = control(kIdSeparator);
    if (!separator) return;
    const int s = separator->geometry().top();
    const QWidget* surface = canvas();
    const FigureLayout layout =
        LayoutFigureRects(surface->width(), surface->height(), s, diagram_.Yohaku);
    bsRect_ = layout.bsRect;
    plRect_ = layout.plRect;
    figureArea_ = layout.figureArea;
    auto place = [](QWidget* frame, const PixelRect& r) {
        if (frame)
            frame->setGeometry(r.left, r.top, std::max(0, r.width()), std::max(0, r.height()));
    };
    place(control(kIdBsFrame), bsRect_);
    place(control(kIdPlFrame), plRect_);
    if (auto* label = qobject_cast<QLabel*>(control(kIdFigureSize))) {
        label->setText(Utf8(FigureSizeText(bsRect_.width(), bsRect_.height())));
    }
    RepaintFigureArea();
    if (helpShown_) {
        if (QWidget* panel = control(kIdHelpPanel)) {
            panel->setGeometry(0, s, surface->width(), surface->height() - s);
            panel->show();
        }
    }
}

void CTesselDlg::RepaintFigureArea() {
    if (figureArea_.width() <= 0 || figureArea_.height() <= 0) return;
    canvas()->repaint(figureArea());
    UpdateDiagramDescriptions();
}

void CTesselDlg::paintEvent(QPaintEvent* event) {
    if (canvas() == this) PaintFigures(*this, event->region());
}

DiagramScale CTesselDlg::shownScale(int figureHeight) const {
    if (diagram_.HireiShukushaku != 1) return {};
    return PeriodScale(statementData(), figureHeight);
}

void CTesselDlg::TakeBatchDiagrams(QSize size, const QImage& bs, const QImage& pl) {
    batchFigureSize_ = size;
    bsBitmap_.image() = bs;
    plBitmap_.image() = pl;
    figureBitmapsStale_ = false;
}

void CTesselDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (scroll_) scroll_->setGeometry(rect());
    if (pendingOuterSize_.isValid()) placementTimer_.start();
    NoteNormalPlacement();
    LayoutFigures();
}

void CTesselDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (pendingOuterSize_.isValid()) placementTimer_.start();
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
    bsScreen_.reset();
    plScreen_.reset();
    figureBitmapsStale_ = false;
    StoredSettings s = SettingsToStore(statementData(), {colours_, diagram_, output_});
    s.Zoomed = isMaximized() ? 1 : 0;
    // The restored rectangle: the one the window returns to from maximised or minimised.
    QRect outer = frameGeometry();
    if ((isMaximized() || isMinimized()) && normalOuter_.isValid()) outer = normalOuter_;
    s.PX = std::max(0, outer.x());
    s.PY = std::max(0, outer.y());
    s.SX = outer.width();
    s.SY = outer.height();
    // Where the indicator window was last, shown or closed since.
    if (indicatorWindow_) indicatorPlacement_ = indicatorWindow_->geometry();
    if (indicatorPlacement_.isValid()) {
        s.IndicatorPX = std::max(0, indicatorPlacement_.x());
        s.IndicatorPY = std::max(0, indicatorPlacement_.y());
        s.IndicatorSX = indicatorPlacement_.width();
        s.IndicatorSY = indicatorPlacement_.height();
    }
    SaveSettings(s);
}

}  // namespace quorvex
