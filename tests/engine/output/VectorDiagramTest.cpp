// The vector files read back: the SVG as XML, the PDF through poppler's tools, both against
// the raster diagram of the same data, options and size.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <future>
#include <map>
#include <vector>

#include "core/model/NumberText.h"
#include "engine/output/ClipboardImage.h"
#include "engine/output/VectorDiagram.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/Diagrams.h"
#include "engine/render/PainterSurface.h"
#include "engine/render/PeriodRender.h"
#include "tests/common/RecordingMessageSink.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

// Draws on the raster surface and keeps what the diagram asked for.
class TeeSurface final : public DiagramSurface {
  public:
    explicit TeeSurface(DiagramSurface& inner) : inner_(inner) {}
    int DotsPerInchY() const override { return inner_.DotsPerInchY(); }
    FontRequest SelectFont(const FontRequest& font) override { return inner_.SelectFont(font); }
    void Fill(const PixelRect& rect, Colour colour) override {
        rects.push_back(rect);
        inner_.Fill(rect, colour);
    }
    void Rectangle(const PixelRect& rect, Colour pen, int penWidth, Colour brush) override {
        rects.push_back(rect);
        inner_.Rectangle(rect, pen, penWidth, brush);
    }
    void Polyline(std::span<const DiagramPoint> points, Colour pen, int width) override {
        lines.push_back({{points.begin(), points.end()}, width});
        inner_.Polyline(points, pen, width);
    }
    TextSize MeasureText(std::string_view text) override { return inner_.MeasureText(text); }
    void DrawText(std::string_view text, const PixelRect& rect) override {
        // Each line of the text is drawn on its own.
        for (const QString& line : QString::fromUtf8(text.data(), text.size()).split('\n')) {
            if (!line.isEmpty()) texts.push_back(line);
        }
        inner_.DrawText(text, rect);
    }
    void SetViewport(const PixelRect& viewport) override { inner_.SetViewport(viewport); }
    void ResetViewport() override { inner_.ResetViewport(); }

    struct Line {
        std::vector<DiagramPoint> points;
        int width;
    };
    std::vector<PixelRect> rects;
    std::vector<Line> lines;
    std::vector<QString> texts;

  private:
    DiagramSurface& inner_;
};

struct RasterDiagram {
    QImage image;
    std::vector<PixelRect> rects;
    std::vector<TeeSurface::Line> lines;
    std::vector<QString> texts;
};

RasterDiagram DrawRaster(int outType, const StatementData& data, const DiagramOptions& options,
                         int width, int height) {
    RasterDiagram out;
    DiagramBitmap bitmap;
    EXPECT_TRUE(PrepareDiagramBitmap(bitmap, width, height));
    {
        PainterSurface painter(bitmap.image());
        TeeSurface tee(painter);
        EXPECT_TRUE(outType == kOutTypeBs ? DrawBsDiagram(tee, width, height, data, options)
                                          : DrawPlDiagram(tee, width, height, data, options));
        out.rects = tee.rects;
        out.lines = tee.lines;
        out.texts = tee.texts;
    }
    out.image = bitmap.image();
    return out;
}

struct SvgPolyline {
    QString cap, join, width;
    std::vector<QPointF> points;
};

struct SvgContents {
    QString error;
    QString width, height, viewBox;
    std::vector<QRect> rects;
    std::vector<QString> texts;  // neighbouring text elements on one baseline joined
    std::vector<SvgPolyline> polylines;
};

SvgContents ParseSvg(const QByteArray& svg) {
    SvgContents out;
    QXmlStreamReader xml(svg);
    // The stroke attributes in force, inherited from the enclosing groups.
    std::vector<std::map<QString, QString>> style{{}};
    QString lastY;
    bool lastWasText = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            style.pop_back();
            lastWasText = false;  // only siblings in one group are pieces of one line
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        const auto a = xml.attributes();
        std::map<QString, QString> current = style.back();
        for (const char* key : {"stroke-linecap", "stroke-linejoin", "stroke-width"}) {
            if (a.hasAttribute(key)) current[key] = a.value(key).toString();
        }
        style.push_back(current);
        const auto name = xml.name();
        bool isText = false;
        if (name == u"svg") {
            out.width = a.value("width").toString();
            out.height = a.value("height").toString();
            out.viewBox = a.value("viewBox").toString();
        } else if (name == u"rect") {
            out.rects.emplace_back(a.value("x").toInt(), a.value("y").toInt(),
                                   a.value("width").toInt(), a.value("height").toInt());
        } else if (name == u"polyline") {
            SvgPolyline line{
                current["stroke-linecap"], current["stroke-linejoin"], current["stroke-width"], {}};
            for (const QString& p : a.value("points").toString().split(' ', Qt::SkipEmptyParts)) {
                const QStringList xy = p.split(',');
                line.points.emplace_back(xy.value(0).toDouble(), xy.value(1).toDouble());
            }
            out.polylines.push_back(line);
        } else if (name == u"text") {
            isText = true;
            const QString y = a.value("y").toString();
            if (a.value("font-family").isEmpty()) out.error = "a text without font-family";
            const QString text = xml.readElementText();
            style.pop_back();  // readElementText consumed the end element
            // The writer breaks a line where the script changes (Latin after kana, say).
            if (lastWasText && y == lastY) {
                out.texts.back() += text;
            } else {
                out.texts.push_back(text);
            }
            lastY = y;
        }
        lastWasText = isText;
    }
    if (xml.hasError()) out.error = xml.errorString();
    return out;
}

QRect Visible(const PixelRect& r, int width, int height) {
    const int l = std::max(r.left, 0), t = std::max(r.top, 0);
    const int right = std::min(r.right, width), bottom = std::min(r.bottom, height);
    return QRect(l, t, right - l, bottom - t);
}

DiagramOptions Options(int lineWidth, int fontSize, int names, int ratios, int under,
                       int centreLine, int decimals = 2) {
    DiagramOptions o;
    o.Futosa = lineWidth;
    o.FontSize = fontSize;
    o.DrawName = names;
    o.DrawRitu = ratios;
    o.DrawUnder = under;
    o.CenterLine = centreLine;
    o.Shosu = decimals;
    return o;
}

StatementData MarkupNames() {
    StatementData data = test::SampleData();
    data.items[0].name = "R&D <試作> \"資産\"";
    data.items[6].name = "原価 & 経費";
    data.period.text = "5";
    return data;
}

struct SvgCase {
    const char* label;
    int outType;
    StatementData data;
    DiagramOptions options;
    int width, height;
};

// The generator's document finished, for markup as it writes it and for texts holding what
// XML refuses (those take the slow way through UTF-16; both ways must agree).
TEST(VectorDiagram, FinishSvgSizesEscapesAndNamesFamilies) {
    const QStringList families{"IPAPGothic", "Noto Sans CJK JP"};
    const std::string named = "IPAPGothic, 'Noto Sans CJK JP', sans-serif";
    const std::string head = "<?xml version=\"1.0\"?>\n<svg width=\"105.8mm\" height=\"79.4mm\"\n";
    const std::string sized = "<?xml version=\"1.0\"?>\n<svg width=\"400\" height=\"300\"\n";
    struct Case {
        const char* label;
        std::string in, out;
    } cases[] = {
        {"plain",
         head + "<g font-family=\"IPAPGothic\"><text x=\"1\" font-family=\"IPAPGothic\" >A</text>",
         sized + "<g font-family=\"IPAPGothic\"><text x=\"1\" font-family=\"" + named +
             "\" >A</text>"},
        {"apostrophe, other family, last of two",
         head + "<text font-family=\"Other\">it's</text><text font-family=\"IPAPGothic\" " +
             "font-family=\"IPAPGothic\">x</text>",
         sized + "<text font-family=\"Other\">it&apos;s</text><text font-family=\"IPAPGothic\" " +
             "font-family=\"" + named + "\">x</text>"},
        {"controls, U+FFFF, a lone byte",
         head + "<text font-family=\"IPAPGothic\">a\x01\tb\xEF\xBF\xBF\xFF'</text>",
         sized + "<text font-family=\"" + named +
             "\">a\xEF\xBF\xBD\tb\xEF\xBF\xBD\xEF\xBF\xBD&apos;</text>"},
        {"no size to set, family outside the tag",
         "<svg width=\"1\"><text x=\"2\">font-family=\"IPAPGothic\"</text>",
         "<svg width=\"1\"><text x=\"2\">font-family=\"IPAPGothic\"</text>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QByteArray out = FinishSvg(QByteArray::fromStdString(c.in), 400, 300, families);
        EXPECT_EQ(out.toStdString(), c.out);
    }
}

TEST(VectorDiagram, SvgHoldsTheRasterGeometryAndTexts) {
    const SvgCase cases[] = {
        {"defaults BS", kOutTypeBs, test::SampleData(), DiagramOptions{}, 400, 300},
        {"defaults PL", kOutTypePl, test::SampleData(), DiagramOptions{}, 400, 300},
        {"thick, large, side by side, lower line", kOutTypeBs, test::SampleData(),
         Options(7, 20, 1, 1, 0, kCentreLineLower), 640, 480},
        {"no borders, ratios only", kOutTypePl, test::SampleData(),
         Options(0, 8, 0, 1, 1, kCentreLineNone, 0), 300, 200},
        {"markup in names", kOutTypeBs, MarkupNames(), Options(3, 12, 1, 1, 1, kCentreLineUpper),
         500, 350},
        {"markup in names PL", kOutTypePl, MarkupNames(), DiagramOptions{}, 500, 350},
    };
    for (const SvgCase& c : cases) {
        SCOPED_TRACE(c.label);
        const RasterDiagram raster = DrawRaster(c.outType, c.data, c.options, c.width, c.height);
        const auto bytes =
            RenderVectorDiagram(VectorFormat::Svg, c.outType, c.data, c.options, c.width, c.height);
        ASSERT_TRUE(bytes);
        const SvgContents svg = ParseSvg(*bytes);
        ASSERT_EQ(svg.error, "");
        EXPECT_EQ(svg.width, QString::number(c.width));
        EXPECT_EQ(svg.height, QString::number(c.height));
        EXPECT_EQ(svg.viewBox, QString("0 0 %1 %2").arg(c.width).arg(c.height));

        ASSERT_FALSE(raster.rects.empty());
        for (const PixelRect& r : raster.rects) {
            const QRect v = Visible(r, c.width, c.height);
            EXPECT_NE(std::find(svg.rects.begin(), svg.rects.end(), v), svg.rects.end())
                << v.x() << "," << v.y() << " " << v.width() << "x" << v.height();
        }

        std::vector<QString> drawn = raster.texts, found = svg.texts;
        std::sort(drawn.begin(), drawn.end());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, drawn);
        if (c.options.DrawRitu != 0) {
            const QString ratio = QString::fromStdString(
                "(" + FormatRatio(c.data.ratios[c.outType == kOutTypeBs ? 0 : 6], c.options.Shosu) +
                "%)");
            EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const QString& t) {
                return t.contains(ratio);
            })) << ratio.toStdString();
        }

        ASSERT_EQ(svg.polylines.size(), raster.lines.size());
        for (std::size_t i = 0; i < raster.lines.size(); ++i) {
            const SvgPolyline& line = svg.polylines[i];
            EXPECT_EQ(line.cap, "round");
            EXPECT_EQ(line.join, "round");
            const int width = raster.lines[i].width;
            EXPECT_EQ(line.width, QString::number(width));
            // Odd widths sit on pixel centres, as on the raster surface.
            const double offset = width % 2 != 0 ? 0.5 : 0.0;
            ASSERT_EQ(line.points.size(), raster.lines[i].points.size());
            for (std::size_t k = 0; k < line.points.size(); ++k) {
                const DiagramPoint p = raster.lines[i].points[k];
                EXPECT_EQ(line.points[k],
                          QPointF(std::clamp(p.x, -width - 2, c.width + width + 2) + offset,
                                  std::clamp(p.y, -width - 2, c.height + width + 2) + offset));
            }
        }
    }
}

TEST(VectorDiagram, SvgOfAFlatDiagramLooksLikeTheRasterOne) {
    const QString rsvg = QStandardPaths::findExecutable("rsvg-convert");
    if (rsvg.isEmpty()) GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        int outType, lineWidth, width, height;
        DiagramScale scale;
    };
    // On a shared scale where the sample's totals stand for half of the amount, the diagram
    // takes the bottom half of the figure in both forms.
    const StatementData sample = test::SampleData();
    const double larger = TotalsOf(sample).Larger();
    const DiagramScale half{ScaleMode::Shared, 300, 2 * larger};
    const Case cases[] = {
        {kOutTypeBs, 0, 400, 300, {}},   {kOutTypePl, 0, 400, 300, {}},
        {kOutTypeBs, 4, 333, 257, {}},   {kOutTypePl, 1, 800, 600, {}},
        {kOutTypeBs, 0, 400, 300, half}, {kOutTypePl, 2, 400, 300, half},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outType << " " << c.lineWidth << " " << c.width);
        const DiagramOptions options = Options(c.lineWidth, 10, 0, 0, 1, kCentreLineNone);
        const StatementData data = test::SampleData();
        DiagramBitmap scaled;
        ASSERT_TRUE(PrepareDiagramBitmap(scaled, c.width, c.height));
        ASSERT_TRUE(DrawScaledDiagram(
            scaled,
            c.outType == kOutTypeBs ? DiagramKind::BalanceSheet : DiagramKind::ProfitAndLoss, data,
            options, c.scale));
        const QImage raster = scaled.image();
        const auto svg = RenderVectorDiagram(VectorFormat::Svg, c.outType, data, options, c.width,
                                             c.height, c.scale);
        ASSERT_TRUE(svg);
        const QString in = dir.filePath("d.svg"), out = dir.filePath("d.png");
        QFile file(in);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*svg);
        file.close();
        ASSERT_EQ(QProcess::execute(rsvg, {"-o", out, in}), 0);
        const QImage drawn = QImage(out).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(drawn.size(), raster.size());
        std::int64_t same = 0;
        for (int y = 0; y < raster.height(); ++y) {
            for (int x = 0; x < raster.width(); ++x) {
                same += drawn.pixel(x, y) == raster.pixel(x, y);
            }
        }
        const double share = double(same) / (double(raster.width()) * raster.height());
        EXPECT_GE(share, 0.995);
    }
}

QString RunPoppler(const QString& tool, const QStringList& arguments) {
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return "<failed>";
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(VectorDiagram, PdfIsOnePageOfTheFigureSizeWithItsTexts) {
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdfinfo.isEmpty() || pdftotext.isEmpty()) {
        GTEST_SKIP() << "pdfinfo / pdftotext (poppler-utils) are not installed";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        int outType, width, height;
        DiagramOptions options;
    };
    const Case cases[] = {
        {kOutTypeBs, 400, 300, DiagramOptions{}},
        {kOutTypePl, 400, 300, DiagramOptions{}},
        // A4 in points: the page keeps the figure's size, not a paper size near it.
        {kOutTypeBs, 595, 842, Options(5, 16, 1, 1, 1, kCentreLineLower, 3)},
        {kOutTypePl, 321, 203, Options(0, 9, 0, 1, 1, kCentreLineNone, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outType << " " << c.width << "x" << c.height);
        const StatementData data = MarkupNames();
        const auto pdf =
            RenderVectorDiagram(VectorFormat::Pdf, c.outType, data, c.options, c.width, c.height);
        ASSERT_TRUE(pdf);
        EXPECT_FALSE(pdf->contains("/DCTDecode"));  // no picture inside
        EXPECT_FALSE(pdf->contains("/CreationDate"));
        const QString path = dir.filePath("d.pdf");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*pdf);
        file.close();

        const QString info = RunPoppler(pdfinfo, {path});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages: +1\n"))) << info.toStdString();
        EXPECT_TRUE(info.contains(
            QRegularExpression(QString("Page size: +%1 x %2 pts").arg(c.width).arg(c.height))))
            << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression("Title: +第5期_")));

        const QString text = RunPoppler(pdftotext, {"-enc", "UTF-8", path, "-"});
        const RasterDiagram raster = DrawRaster(c.outType, data, c.options, c.width, c.height);
        ASSERT_FALSE(raster.texts.empty());
        for (const QString& t : raster.texts) {
            EXPECT_TRUE(text.contains(t)) << t.toStdString() << " in " << text.toStdString();
        }
    }
}

TEST(VectorDiagram, BytesDependOnlyOnTheDrawing) {
    const StatementData data = test::SampleData();
    const DiagramOptions options;
    for (const VectorFormat format : {VectorFormat::Svg, VectorFormat::Pdf}) {
        const auto first = RenderVectorDiagram(format, kOutTypeBs, data, options, 400, 300);
        ASSERT_TRUE(first);
        // Four threads at once, as the batch run's encoders draw them.
        std::vector<std::future<std::optional<QByteArray>>> runs;
        for (int i = 0; i < 4; ++i) {
            runs.push_back(std::async(std::launch::async, [&] {
                return RenderVectorDiagram(format, kOutTypeBs, data, options, 400, 300);
            }));
        }
        for (auto& r : runs) EXPECT_EQ(r.get(), first);
        // Other data, other bytes: the comparison above can fail.
        StatementData other = data;
        other.ratios[0] += 1;
        EXPECT_NE(RenderVectorDiagram(format, kOutTypeBs, other, options, 400, 300), first);
    }
}

TEST(VectorDiagram, TargetsAndFailures) {
    EXPECT_EQ(VectorFormatOf(kOutSvg), VectorFormat::Svg);
    EXPECT_EQ(VectorFormatOf(kOutPdfVector), VectorFormat::Pdf);
    for (int outSaki : {int{kOutJpeg}, int{kOutPng}, int{kOutPdf}, int{kOutClipboard}, -1, 9}) {
        EXPECT_FALSE(VectorFormatOf(outSaki)) << outSaki;
        const EncodedDiagram e =
            EncodeVectorDiagram(test::SampleData(), DiagramOptions{}, kOutTypeBs, 40, 30, outSaki);
        EXPECT_FALSE(e.ok);
        EXPECT_EQ(e.messageId, 0);
    }
    for (const auto& [w, h] : {std::pair{0, 30}, std::pair{40, -1}}) {
        const EncodedDiagram e =
            EncodeVectorDiagram(test::SampleData(), DiagramOptions{}, kOutTypeBs, w, h, kOutSvg);
        EXPECT_FALSE(e.ok);
        EXPECT_EQ(e.messageId, kMsgMemory);
    }
    // The raster targets still encode the bitmap.
    const RasterDiagram raster = DrawRaster(kOutTypeBs, test::SampleData(), {}, 40, 30);
    const EncodedDiagram png =
        EncodeDiagramFile(raster.image, test::SampleData(), {}, kOutTypeBs, 40, 30, kOutPng);
    EXPECT_EQ(png.bytes, EncodeDiagram(raster.image, 40, 30, kOutPng).bytes);
}

TEST(VectorDiagram, SvgDiagramStaysSmall) {
    const auto svg =
        RenderVectorDiagram(VectorFormat::Svg, kOutTypeBs, test::SampleData(), {}, 400, 300);
    ASSERT_TRUE(svg);
    EXPECT_LT(svg->size(), 12 * 1024);
}

TEST(VectorDiagram, ClipboardCopyCarriesTheBitmapAndTheSvg) {
    const StatementData data = test::SampleData();
    const RasterDiagram raster = DrawRaster(kOutTypePl, data, {}, 200, 150);
    const auto svg = RenderVectorDiagram(VectorFormat::Svg, kOutTypePl, data, {}, 200, 150);
    ASSERT_TRUE(svg);
    test::RecordingMessageSink messages;
    ASSERT_TRUE(CopyDiagramToClipboard(raster.image, *svg, kOutTypePl, messages));
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->data("image/svg+xml"), *svg);
    EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).convertToFormat(QImage::Format_RGB32),
              raster.image);
    EXPECT_EQ(messages.Ids(), std::vector<int>{kMsgClipboardSaved});

    // Without SVG bytes: the bitmap alone, as the output command puts it.
    ASSERT_TRUE(CopyDiagramToClipboard(raster.image, QByteArray(), kOutTypePl, messages));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/svg+xml"));
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage());
}

}  // namespace
}  // namespace quorvex
