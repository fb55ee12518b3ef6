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
#include "engine/output/VectorDiagram.h"
#include "gui/widgets/Dialogs.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {
namespace {

struct CommandEntry {
    DiagramCommand command;
    const char* text;  // the menu item
    const char* name;  // the action's objectName, for tests and accessibility
};

constexpr std::array<CommandEntry, 4> kCommands = {{
    {DiagramCommand::SaveImage, "画像として保存...", "saveImage"},
    {DiagramCommand::SaveSvg, "SVGとして保存...", "saveSvg"},
    {DiagramCommand::SavePdf, "PDF(ベクター)として保存...", "savePdf"},
    {DiagramCommand::Copy, "コピー", "copy"},
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
    const int target = command == DiagramCommand::SaveImage ? kOutPng
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
    const QString filter = target == kOutPng   ? QString::fromUtf8(kImageFilter)
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
        target == kOutPng
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
        if (watched != &window_ || event->type() != QEvent::ContextMenu) return false;
        const auto* e = static_cast<QContextMenuEvent*>(event);
        const auto kind = DiagramKindAt(window_, e->pos());
        if (!kind) return false;
        ShowMenu(window_, *kind, e->globalPos());
        return true;
    }

  private:
    CTesselDlg& window_;
};

}  // namespace

void InstallDiagramMenu(CTesselDlg& window) {
    window.installEventFilter(new MenuFilter(window));  // owned by the window
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
    const QString path = ChooseFile(window, command, kind);
    if (path.isEmpty()) return false;
    const QSize size = window.figureSize();
    if (command == DiagramCommand::SaveImage) {
        return SaveBitmapImage(bitmap, size.width(), size.height(), path,
                               ImageEncoderExtension(QFileInfo(path).suffix()), sink);
    }
    return SaveVectorDiagram(
        command == DiagramCommand::SaveSvg ? VectorFormat::Svg : VectorFormat::Pdf, kind,
        window.statementData(), window.diagramOptions(), size.width(), size.height(), path, sink);
}

}  // namespace quorvex
