#include "gui/window/DiagramMenu.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <array>

#include "engine/output/ClipboardImage.h"
#include "engine/output/ImageEncoding.h"
#include "engine/output/OutputFiles.h"
#include "engine/output/PngEncoder.h"
#include "engine/output/VectorDiagram.h"
#include "engine/render/PixelRatio.h"
#include "gui/widgets/ChoiceDialog.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {
namespace {

struct CommandEntry {
    DiagramCommand command;
    const char* text;  // the menu item
    const char* name;  // the action's objectName, for tests and accessibility
};

constexpr std::array<CommandEntry, 5> kCommands = {{
    {DiagramCommand::SaveImage, "画像として保存...", "saveImage"},
    {DiagramCommand::SaveSvg, "SVGとして保存...", "saveSvg"},
    {DiagramCommand::SavePdf, "PDF(ベクター)として保存...", "savePdf"},
    {DiagramCommand::Copy, "コピー", "copy"},
    {DiagramCommand::SaveHighResolution, "高解像度で保存...", "saveHighResolution"},
}};

constexpr char kImageFilter[] =
    "PNG (*.png);;JPEG (*.jpeg *.jpg);;BMP (*.bmp);;GIF (*.gif);;TIFF (*.tiff *.tif)";

std::function<void(QMenu&)>& MenuHook() {
    static std::function<void(QMenu&)> hook;
    return hook;
}

bool Contains(const PixelRect& r, QPoint p) {
    return p.x() >= r.left && p.x() < r.right && p.y() >= r.top && p.y() < r.bottom;
}

// The extension that selects the image encoder ("image/" + extension); the common short
// forms count as their long ones.
QString ImageEncoderExtension(const QString& suffix) {
    const QString s = suffix.toLower();
    if (s == QLatin1String("jpg")) return QStringLiteral("jpeg");
    if (s == QLatin1String("tif")) return QStringLiteral("tiff");
    return s;
}

// The path the user chose, with the default extension added when the name has none (or,
// for an image, an extension no encoder knows); empty when cancelled or not to be replaced.
QString ChooseFile(CTesselDlg& window, DiagramCommand command, int kind) {
    const bool image =
        command == DiagramCommand::SaveImage || command == DiagramCommand::SaveHighResolution;
    const int target = image                                ? kOutPng
                       : command == DiagramCommand::SaveSvg ? kOutSvg
                                                            : kOutPdfVector;
    const QString extension = target == kOutPng   ? QStringLiteral("png")
                              : target == kOutSvg ? QStringLiteral("svg")
                                                  : QStringLiteral("pdf");
    const StatementData data = window.statementData();
    QString name = DiagramFileName(data.period, kind, target);
    if (name.isEmpty()) {
        name = (kind == kOutTypeBs ? QStringLiteral("BS.") : QStringLiteral("PL.")) + extension;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) +
                           QLatin1Char('/') + QLatin1String(kOutputFolderName);
    const QString filter = command == DiagramCommand::SaveHighResolution
                               ? QStringLiteral("PNG (*.png)")
                           : target == kOutPng ? QString::fromUtf8(kImageFilter)
                           : target == kOutSvg ? QStringLiteral("SVG (*.svg)")
                                               : QStringLiteral("PDF (*.pdf)");
    const auto& entry = kCommands[static_cast<std::size_t>(command)];
    QString title = QString::fromUtf8(entry.text);
    title.chop(3);  // without the "..."
    QString path = GetSaveFileName(&window, title, name, filter,
                                   QFileInfo(folder).isDir() ? folder : QString());
    if (path.isEmpty()) return {};
    const QString suffix = QFileInfo(path).suffix();
    const bool known =
        command == DiagramCommand::SaveImage
            ? FindImageEncoder(MimeTypeOfExtension(ImageEncoderExtension(suffix))).has_value()
            : suffix.compare(extension, Qt::CaseInsensitive) == 0;
    if (!known) path += QLatin1Char('.') + extension;
    if (QFileInfo::exists(path) &&
        window.messages().ShowMessage(kMsgOverwrite, "", MessageKind::Question) != kYes) {
        return {};
    }
    return path;
}

void ShowMenu(CTesselDlg& window, int kind, QPoint globalPos) {
    QMenu menu(&window);
    for (const CommandEntry& e : kCommands) {
        QAction* action = menu.addAction(QString::fromUtf8(e.text));
        action->setObjectName(QString::fromLatin1(e.name));
        const DiagramCommand command = e.command;
        QObject::connect(action, &QAction::triggered, &window,
                         [&window, kind, command] { RunDiagramCommand(window, kind, command); });
    }
    if (MenuHook()) {
        MenuHook()(menu);
    } else {
        menu.exec(globalPos);
    }
}

// Watches the window for context-menu requests over the diagrams.
class MenuFilter final : public QObject {
  public:
    explicit MenuFilter(CTesselDlg& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu) return false;
        if (watched != &window_ && watched != window_.canvas()) return false;
        const auto* e = static_cast<QContextMenuEvent*>(event);
        // The diagrams' places are the canvas's (the scroll area's content, if any).
        const QPoint pos =
            watched == &window_ ? window_.canvas()->mapFrom(&window_, e->pos()) : e->pos();
        const auto kind = DiagramKindAt(window_, pos);
        if (!kind) return false;
        ShowMenu(window_, *kind, e->globalPos());
        return true;
    }

  private:
    CTesselDlg& window_;
};

// The diagram drawn at the figure size times factor (the window's pixel-ratio path), in a
// PNG whose pHYs says factor x 96 dpi, so it prints at the figure's size.
bool SaveHighResolution(CTesselDlg& window, int kind, int factor, const QString& path) {
    MessageSink& sink = window.messages();
    const QSize size = window.figureSize();
    const StatementData data = window.statementData();
    const DiagramKind which =
        kind == kOutTypeBs ? DiagramKind::BalanceSheet : DiagramKind::ProfitAndLoss;
    DiagramBitmap bitmap;
    if (!DrawDiagramAtRatio(bitmap, which, size.width(), size.height(), factor, data,
                            window.diagramOptions(),
                            window.shownScale(DevicePixels(size.height(), factor)))) {
        sink.ShowMessage(kMsgMemory, "", MessageKind::Error);
        return false;
    }
    QImage image = bitmap.image();
    image.setDevicePixelRatio(1.0);
    image.setDotsPerMeterX(kDiagramDotsPerMeter * factor);
    image.setDotsPerMeterY(kDiagramDotsPerMeter * factor);
    const auto bytes = EncodePng(image);
    if (!bytes) {
        sink.ShowMessage(kMsgWriteFailed, QFileInfo(path).fileName().toStdString() + "\n",
                         MessageKind::Error);
        return false;
    }
    return CommitFile(path, *bytes, FileRole::Image, sink);
}

}  // namespace

void InstallDiagramMenu(CTesselDlg& window) {
    auto* filter = new MenuFilter(window);  // owned by the window
    window.installEventFilter(filter);
    if (window.canvas() != &window) window.canvas()->installEventFilter(filter);
}

std::optional<int> DiagramKindAt(const CTesselDlg& window, QPoint pos) {
    if (Contains(window.bsFigureRect(), pos)) return kOutTypeBs;
    if (Contains(window.plFigureRect(), pos)) return kOutTypePl;
    return std::nullopt;
}

void SetDiagramMenuHook(std::function<void(QMenu&)> hook) {
    MenuHook() = std::move(hook);
}

bool RunDiagramCommand(CTesselDlg& window, int kind, DiagramCommand command) {
    const QImage& bitmap =
        kind == kOutTypeBs ? window.bsBitmap().image() : window.plBitmap().image();
    MessageSink& sink = window.messages();
    if (command == DiagramCommand::Copy) {
        // The SVG at the bitmap's own size, as the clipboard holds the bitmap unscaled.
        const auto svg =
            bitmap.isNull()
                ? std::nullopt
                : RenderVectorDiagram(VectorFormat::Svg, kind, window.statementData(),
                                      window.diagramOptions(), bitmap.width(), bitmap.height());
        return CopyDiagramToClipboard(bitmap, svg.value_or(QByteArray()), kind, sink);
    }
    int factor = 1;
    if (command == DiagramCommand::SaveHighResolution) {
        ChoiceRequest request;
        request.title = QStringLiteral("高解像度で保存");
        request.label = QStringLiteral("図の大きさの何倍で保存しますか");
        for (const int f : kHighResolutionFactors) {
            request.items.append(
                QStringLiteral("%1倍 (%2 dpi)").arg(f).arg(f * kDiagramDotsPerInch));
        }
        const int chosen = ChooseOne(&window, request);
        if (chosen < 0 || chosen >= int(std::size(kHighResolutionFactors))) return false;
        factor = kHighResolutionFactors[chosen];
    }
    const QString path = ChooseFile(window, command, kind);
    if (path.isEmpty()) return false;
    const QSize size = window.figureSize();
    if (command == DiagramCommand::SaveHighResolution) {
        return SaveHighResolution(window, kind, factor, path);
    }
    if (command == DiagramCommand::SaveImage) {
        return SaveBitmapImage(bitmap, size.width(), size.height(), path,
                               ImageEncoderExtension(QFileInfo(path).suffix()), sink);
    }
    return SaveVectorDiagram(
        command == DiagramCommand::SaveSvg ? VectorFormat::Svg : VectorFormat::Pdf, kind,
        window.statementData(), window.diagramOptions(), size.width(), size.height(), path, sink);
}

}  // namespace quorvex
