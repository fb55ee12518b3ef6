#include "engine/output/VectorDiagram.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "engine/output/OutputFiles.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/Diagrams.h"
#include "engine/render/PainterSurface.h"

namespace quorvex {
namespace {

// A PDF unit is a point; at 72 units per inch one unit is one pixel of the diagram.
constexpr int kPdfUnitsPerInch = 72;
constexpr char kCreator[] = "Quorvex";

// "第5期_BS": the file name without its extension, as the document's title.
QString DocumentTitle(const StatementData& data, int outType) {
    const QString name = DiagramFileName(data.period, outType, kOutSvg);
    return name.left(name.size() - 4);
}

// An SVG font-family value: each family, quoted when it has a space, then the generic one.
QString SvgFontFamilies(const QStringList& families) {
    QStringList parts;
    for (const QString& f : families) {
        parts.append(f.contains(QLatin1Char(' ')) ? QLatin1Char('\'') + f + QLatin1Char('\'') : f);
    }
    parts.append(QStringLiteral("sans-serif"));
    return parts.join(QStringLiteral(", ")).toHtmlEscaped();
}

// Characters XML 1.0 cannot hold (C0 controls but tab, line feed and carriage return,
// U+FFFE, U+FFFF, unpaired surrogates) become U+FFFD; a name or a title may hold anything.
QString XmlSafe(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if ((c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF ||
            QChar::isSurrogate(c)) {
            text[i] = QChar(QChar::ReplacementCharacter);
        }
    }
    return text;
}

// Text for an element of its own: the generator writes the title and the description as
// given, unescaped.
QString XmlEscaped(const QString& text) {
    QString out;
    for (const QChar c : XmlSafe(text)) {
        switch (c.unicode()) {
            case u'&':
                out += QLatin1String("&amp;");
                break;
            case u'<':
                out += QLatin1String("&lt;");
                break;
            case u'>':
                out += QLatin1String("&gt;");
                break;
            case u'"':
                out += QLatin1String("&quot;");
                break;
            case u'\'':
                out += QLatin1String("&apos;");
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The generator's markup needs no repair when it is valid UTF-8 without a character XML
// refuses: then the texts can be finished byte by byte, without a round through UTF-16.
bool NeedsXmlRepair(const QByteArray& utf8) {
    if (!QUtf8StringView(utf8).isValidUtf8()) return true;
    const auto* b = reinterpret_cast<const unsigned char*>(utf8.constData());
    const qsizetype n = utf8.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (b[i] < 0x20 && b[i] != 0x09 && b[i] != 0x0A && b[i] != 0x0D) return true;
        // U+FFFE and U+FFFF; valid UTF-8 holds no surrogates.
        if (b[i] == 0xEF && i + 2 < n && b[i + 1] == 0xBF && b[i + 2] >= 0xBE) return true;
    }
    return false;
}

// `<svg width="…" height="…"` at the start of a line becomes the figure's pixels.
void SetSvgSize(QByteArray& svg, int width, int height) {
    static const QByteArray open("<svg width=\"");
    static const QByteArray height_("\" height=\"");
    for (qsizetype at = svg.startsWith(open) ? 0 : svg.indexOf("\n" + open); at >= 0;
         at = svg.indexOf("\n" + open, at + 1)) {
        const qsizetype start = svg[at] == '\n' ? at + 1 : at;
        const qsizetype widthEnd = svg.indexOf('"', start + open.size());
        if (widthEnd < 0 || svg.mid(widthEnd, height_.size()) != height_) continue;
        const qsizetype heightEnd = svg.indexOf('"', widthEnd + height_.size());
        if (heightEnd < 0) continue;
        svg.replace(
            start, heightEnd + 1 - start,
            QStringLiteral("<svg width=\"%1\" height=\"%2\"").arg(width).arg(height).toUtf8());
        return;
    }
}

// In every `<text …>` tag the last font-family="`family`" becomes `families`.
QByteArray NameTextFamilies(const QByteArray& svg, const QByteArray& family,
                            const QByteArray& families) {
    static const QByteArray tag("<text ");
    const QByteArray key = "font-family=\"" + family + '"';
    QByteArray out;
    out.reserve(svg.size() + svg.size() / 8);
    qsizetype done = 0;
    for (qsizetype t = svg.indexOf(tag); t >= 0; t = svg.indexOf(tag, t + 1)) {
        if (t < done) continue;
        const qsizetype close = svg.indexOf('>', t + tag.size());
        const qsizetype at = svg.lastIndexOf(key, close < 0 ? svg.size() : close);
        if (at < t + tag.size()) continue;
        const qsizetype value = at + key.size() - family.size() - 1;
        out.append(svg.constData() + done, value - done);
        out.append(families);
        out.append('"');
        done = at + key.size();
    }
    out.append(svg.constData() + done, svg.size() - done);
    return out;
}

}  // namespace

// The generator gives the size in millimetres and only the family it drew with. The figure
// is a pixel picture: width and height become its pixels, and the font-family names the
// Japanese stand-ins too, for a viewer that lacks the resolved face.
QByteArray FinishSvg(QByteArray svg, int width, int height, const QStringList& families) {
    // The drawn texts come escaped for & < > " only, and with any character as it was: the
    // generator's own markup has neither a character XML refuses nor an apostrophe.
    if (NeedsXmlRepair(svg)) svg = XmlSafe(QString::fromUtf8(svg)).toUtf8();
    // Looked for first: replace() searches for a single byte as for a word, slowly.
    if (svg.contains('\'')) svg.replace('\'', "&apos;");
    SetSvgSize(svg, width, height);
    // Only on the text elements: the groups' font attributes style nothing.
    if (families.isEmpty()) return svg;
    return NameTextFamilies(svg, families.first().toUtf8(), SvgFontFamilies(families).toUtf8());
}

namespace {

// The writer stamps the time of writing into the document information; it is blanked with
// spaces (the same length, so the cross-reference offsets stay right).
void BlankCreationDate(QByteArray& pdf) {
    const QByteArray key("/CreationDate (");
    const qsizetype start = pdf.indexOf(key);
    if (start < 0) return;
    const qsizetype end = pdf.indexOf(')', start + key.size());
    if (end < 0) return;
    for (qsizetype i = start; i <= end; ++i) pdf[i] = ' ';
}

std::optional<QByteArray> RenderSvg(const VectorDocument& document, int width, int height,
                                    const VectorDrawing& draw) {
    QByteArray out;
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setResolution(kDiagramDotsPerInch);
    generator.setTitle(XmlEscaped(document.title));
    generator.setDescription(XmlEscaped(document.description));
    bool drawn = false;
    {
        PainterSurface surface(generator, width, height);
        drawn = surface.isActive() && draw(surface);
    }  // the document is complete when the painter ends
    if (!drawn) return std::nullopt;
    // The installed fonts do not change while the program runs.
    static const QStringList families = FontFamilyList(kDiagramFace);
    return FinishSvg(std::move(out), width, height, families);
}

std::optional<QByteArray> RenderPdf(const VectorDocument& document, int width, int height,
                                    const VectorDrawing& draw) {
    QByteArray out;
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
    bool drawn = false;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfUnitsPerInch);
        // Exact: a size near a standard paper size must not snap to it.
        const QPageSize page(QSizeF(width, height), QPageSize::Point, QString(),
                             QPageSize::ExactMatch);
        if (!writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()))) {
            return std::nullopt;
        }
        writer.setCreator(QString::fromLatin1(kCreator));
        writer.setTitle(XmlSafe(document.title));
        PainterSurface surface(writer, width, height);
        drawn = surface.isActive() && draw(surface);
    }
    if (!drawn) return std::nullopt;
    BlankCreationDate(out);
    return out;
}

}  // namespace

std::optional<VectorFormat> VectorFormatOf(int outSaki) {
    if (outSaki == kOutSvg) return VectorFormat::Svg;
    if (outSaki == kOutPdfVector) return VectorFormat::Pdf;
    return std::nullopt;
}

std::optional<QByteArray> RenderVectorDrawing(VectorFormat format, const VectorDocument& document,
                                              int width, int height, const VectorDrawing& draw) {
    if (width <= 0 || height <= 0) return std::nullopt;
    return format == VectorFormat::Svg ? RenderSvg(document, width, height, draw)
                                       : RenderPdf(document, width, height, draw);
}

std::optional<QByteArray> RenderVectorDiagram(VectorFormat format, int outType,
                                              const StatementData& data,
                                              const DiagramOptions& options, int width, int height,
                                              const DiagramScale& scale) {
    const VectorDocument document{
        DocumentTitle(data, outType),
        QString::fromUtf8(outType == kOutTypeBs ? "貸借対照表の比率図" : "損益計算書の比率図")};
    return RenderVectorDrawing(format, document, width, height, [&](DiagramSurface& surface) {
        if (scale.mode != ScaleMode::Ratio) {
            DrawScaledDiagram(
                surface, {0, 0, width, height},
                outType == kOutTypeBs ? DiagramKind::BalanceSheet : DiagramKind::ProfitAndLoss,
                data, options, scale);
            return true;
        }
        return outType == kOutTypeBs ? DrawBsDiagram(surface, width, height, data, options)
                                     : DrawPlDiagram(surface, width, height, data, options);
    });
}

EncodedDiagram EncodeVectorDiagram(const StatementData& data, const DiagramOptions& options,
                                   int outType, int width, int height, int outSaki,
                                   const DiagramScale& scale) {
    EncodedDiagram result;
    const auto format = VectorFormatOf(outSaki);
    if (!format) return result;
    auto bytes = RenderVectorDiagram(*format, outType, data, options, width, height, scale);
    if (!bytes) {
        result.messageId = kMsgMemory;
        return result;
    }
    result.bytes = std::move(*bytes);
    result.ok = true;
    return result;
}

EncodedDiagram EncodeDiagramFile(const QImage& bitmap, const StatementData& data,
                                 const DiagramOptions& options, int outType, int width, int height,
                                 int outSaki, const DiagramScale& scale) {
    if (VectorFormatOf(outSaki)) {
        return EncodeVectorDiagram(data, options, outType, width, height, outSaki, scale);
    }
    return EncodeDiagram(bitmap, width, height, outSaki);
}

bool SaveVectorDiagram(VectorFormat format, int outType, const StatementData& data,
                       const DiagramOptions& options, int width, int height, const QString& path,
                       MessageSink& messages) {
    const EncodedDiagram encoded =
        EncodeVectorDiagram(data, options, outType, width, height,
                            format == VectorFormat::Svg ? kOutSvg : kOutPdfVector);
    if (!encoded.ok) {
        ReportEncodingFailure(encoded, path, messages);
        return false;
    }
    return CommitFile(path, encoded.bytes, messages);
}

}  // namespace quorvex
