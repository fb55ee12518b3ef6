#include "engine/render/PainterSurface.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointF>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/DiagramBitmap.h"
#include "engine/render/TextWidths.h"

namespace quorvex {

namespace {

// The face the diagrams ask for first, then the Japanese faces that stand in for it.
const char* const kFallbackFaces[] = {"IPAPGothic", "Noto Sans CJK JP", "IPAGothic"};
constexpr std::string_view kPreferredFace = "MS UI Gothic";
// Guards the rasteriser against absurd font requests; diagram fonts stay far below.
constexpr int kMaxPixelSize = 4096;
// Larger than any image side: a rectangle of it covers the whole viewport.
constexpr std::int32_t kMaxSide = std::int32_t{1} << 30;

QString FirstInstalled(const QStringList& wanted) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& face : wanted) {
        for (const QString& family : installed) {
            if (family.compare(face, Qt::CaseInsensitive) == 0) return family;
        }
    }
    return QGuiApplication::font().family();
}

QStringList Candidates(std::string_view face) {
    QStringList list{QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()))};
    for (const char* f : kFallbackFaces) list.append(QString::fromLatin1(f));
    return list;
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString ResolveFontFamily(std::string_view face) {
    if (face.empty() || face == kPreferredFace) {
        // Looked up once: the installed fonts do not change while the program runs.
        static const QString preferred = FirstInstalled(Candidates(kPreferredFace));
        return preferred;
    }
    return FirstInstalled(Candidates(face));
}

QStringList FontFamilyList(std::string_view face) {
    QStringList list{ResolveFontFamily(face)};
    QStringList more = Candidates(face);
    more.append(QString::fromUtf8(kPreferredFace.data(), kPreferredFace.size()));
    for (const QString& f : more) {
        if (!f.isEmpty() && !list.contains(f, Qt::CaseInsensitive)) list.append(f);
    }
    return list;
}

QRgb ToQRgb(Colour colour) {
    return qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

PainterSurface::PainterSurface(QImage& image)
    : device_(image), width_(image.width()), height_(image.height()), metricsDevice_(&image) {
    Begin();
}

PainterSurface::PainterSurface(QPaintDevice& device, int width, int height)
    : device_(device),
      width_(width),
      height_(height),
      metricsReference_(1, 1, QImage::Format_RGB32),
      metricsDevice_(&metricsReference_),
      vector_(true) {
    metricsReference_.setDotsPerMeterX(kDiagramDotsPerMeter);
    metricsReference_.setDotsPerMeterY(kDiagramDotsPerMeter);
    Begin();
}

void PainterSurface::Begin() {
    if (!painter_.begin(&device_)) return;
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setPen(Qt::black);
    painter_.setBrush(Qt::NoBrush);
    defaultFont_ = painter_.font();
    NameFont();
}

void PainterSurface::NameFont() {
    fontKey_ = painter_.font().key().toStdString();
    fontKey_.append("@").append(std::to_string(metricsDevice_->logicalDpiX()));
    fontKey_.append("x").append(std::to_string(metricsDevice_->logicalDpiY()));
}

int PainterSurface::Advance(std::string_view text) {
    return TextWidths::ForThisThread().Width(
        fontKey_, text, [&] { return Metrics().horizontalAdvance(ToQString(text)); });
}

int PainterSurface::DotsPerInchY() const {
    return metricsDevice_->logicalDpiY();
}

FontRequest PainterSurface::SelectFont(const FontRequest& font) {
    FontRequest previous = font_;
    font_ = font;
    if (font.pixelSize <= 0) {
        painter_.setFont(defaultFont_);
    } else {
        QFont f(ResolveFontFamily(font.face));
        f.setPixelSize(std::min(font.pixelSize, kMaxPixelSize));
        f.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
        painter_.setFont(f);
    }
    metrics_.reset();
    NameFont();
    return previous;
}

const QFontMetrics& PainterSurface::Metrics() {
    if (!metrics_) metrics_.emplace(painter_.font(), metricsDevice_);
    return *metrics_;
}

PainterSurface::Span PainterSurface::Placed(const PixelRect& rect) const {
    const std::int64_t x = viewport_ ? viewport_->left : 0;
    const std::int64_t y = viewport_ ? viewport_->top : 0;
    return {rect.left + x, rect.top + y, rect.right + x, rect.bottom + y};
}

PainterSurface::Span PainterSurface::Clipped(const Span& span) const {
    Span c{std::max<std::int64_t>(span.left, 0), std::max<std::int64_t>(span.top, 0),
           std::min<std::int64_t>(span.right, width_),
           std::min<std::int64_t>(span.bottom, height_)};
    if (viewport_) {
        c.left = std::max<std::int64_t>(c.left, viewport_->left);
        c.top = std::max<std::int64_t>(c.top, viewport_->top);
        c.right = std::min<std::int64_t>(c.right, viewport_->right);
        c.bottom = std::min<std::int64_t>(c.bottom, viewport_->bottom);
    }
    return c;
}

void PainterSurface::RestoreClip() {
    if (!viewport_) {
        painter_.setClipping(false);
        return;
    }
    const Span c = Clipped({viewport_->left, viewport_->top, viewport_->right, viewport_->bottom});
    painter_.setClipRect(QRect(static_cast<int>(c.left), static_cast<int>(c.top),
                               static_cast<int>(std::max<std::int64_t>(c.right - c.left, 0)),
                               static_cast<int>(std::max<std::int64_t>(c.bottom - c.top, 0))));
}

void PainterSurface::SetViewport(const PixelRect& viewport) {
    viewport_ = viewport;
    RestoreClip();
}

void PainterSurface::ResetViewport() {
    viewport_.reset();
    RestoreClip();
}

std::optional<QRect> PainterSurface::Visible(const PixelRect& rect) const {
    // Clipped in 64 bits so that blocks reaching far outside the bitmap stay exact.
    const Span c = Clipped(Placed(rect));
    if (c.left >= c.right || c.top >= c.bottom) return std::nullopt;
    return QRect(static_cast<int>(c.left), static_cast<int>(c.top),
                 static_cast<int>(c.right - c.left), static_cast<int>(c.bottom - c.top));
}

void PainterSurface::Fill(const PixelRect& rect, Colour colour) {
    if (const auto visible = Visible(rect)) painter_.fillRect(*visible, QColor(ToQRgb(colour)));
}

void PainterSurface::Rectangle(const PixelRect& rect, Colour pen, int penWidth, Colour brush) {
    if (rect.IsEmpty()) return;
    Fill(rect, brush);
    if (penWidth <= 0) return;
    const std::int64_t lw = penWidth;
    const std::int64_t half = lw / 2;
    const std::int64_t l = std::int64_t{rect.left} - half;
    const std::int64_t t = std::int64_t{rect.top} - half;
    const std::int64_t r = std::int64_t{rect.right} + half;
    const std::int64_t b = std::int64_t{rect.bottom} + half;
    const Span bands[] = {
        {l, t, r, t + lw},  // top
        {l, b - lw, r, b},  // bottom
        {l, t, l + lw, b},  // left
        {r - lw, t, r, b},  // right
    };
    QRect visible[std::size(bands)];
    int count = 0;
    for (const Span& s : bands) {
        const auto v = Visible({SaturateToInt32(s.left), SaturateToInt32(s.top),
                                SaturateToInt32(s.right), SaturateToInt32(s.bottom)});
        if (v) visible[count++] = *v;
    }
    if (!vector_) {
        for (int i = 0; i < count; ++i) painter_.fillRect(visible[i], QColor(ToQRgb(pen)));
        return;
    }
    // One call for the four bands: a vector file holds them as one group of rectangles.
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(QColor(ToQRgb(pen)));
    painter_.drawRects(visible, count);
    painter_.setBrush(Qt::NoBrush);
    painter_.setPen(Qt::black);
}

void PainterSurface::Polyline(std::span<const DiagramPoint> points, Colour pen, int width) {
    if (points.size() < 2) return;
    const Span area = Clipped(Placed({0, 0, kMaxSide, kMaxSide}));
    if (area.left >= area.right || area.top >= area.bottom) return;
    width = std::clamp(width, 1, kMaxPixelSize);
    // Points far outside are pulled in to just beyond the edge. For horizontal and vertical
    // segments, the only ones the diagrams draw, the visible pixels stay the same.
    const std::int64_t margin = std::int64_t{width} + 2;
    const Span origin = Placed({});
    const std::int64_t w = viewport_ ? std::int64_t{viewport_->right} - viewport_->left : width_;
    const std::int64_t h = viewport_ ? std::int64_t{viewport_->bottom} - viewport_->top : height_;
    // A line of odd width is centred on the pixel's centre, one of even width on its edge,
    // so that it covers the same pixels as a border of that width.
    const double offset = (width % 2 != 0) ? 0.5 : 0.0;
    std::vector<QPointF> path;
    path.reserve(points.size());
    for (const DiagramPoint& p : points) {
        const std::int64_t x = std::clamp<std::int64_t>(p.x, -margin, w + margin) + origin.left;
        const std::int64_t y = std::clamp<std::int64_t>(p.y, -margin, h + margin) + origin.top;
        path.emplace_back(static_cast<double>(x) + offset, static_cast<double>(y) + offset);
    }
    painter_.setPen(QPen(QColor(ToQRgb(pen)), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter_.drawPolyline(path.data(), static_cast<int>(path.size()));
    painter_.setPen(Qt::black);
}

TextSize PainterSurface::MeasureText(std::string_view text) {
    return {Advance(text), Metrics().height()};
}

void PainterSurface::DrawText(std::string_view text, const PixelRect& rect) {
    if (rect.IsEmpty() || text.empty()) return;
    const Span box = Placed(rect);
    const Span c = Clipped(box);
    if (c.left >= c.right || c.top >= c.bottom) return;
    const QFontMetrics& m = Metrics();
    const std::int64_t lineHeight = m.height();
    const std::int64_t boxWidth = box.right - box.left;
    painter_.setClipRect(QRect(static_cast<int>(c.left), static_cast<int>(c.top),
                               static_cast<int>(c.right - c.left),
                               static_cast<int>(c.bottom - c.top)));
    std::int64_t lineTop = box.top;
    std::size_t start = 0;
    while (start <= text.size() && lineTop < box.bottom) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty() && lineTop + lineHeight > c.top) {
            // Drawn as plain text: no mnemonic prefixes, "&" stays "&".
            const std::int64_t x = box.left + (boxWidth - Advance(line)) / 2;
            painter_.drawText(
                QPointF(static_cast<double>(x), static_cast<double>(lineTop + m.ascent())),
                ToQString(line));
        }
        lineTop += lineHeight;
        start = end + 1;
    }
    RestoreClip();
}

}  // namespace quorvex
