#pragma once
// A diagram as a vector file: SVG (QSvgGenerator) or a PDF page of the diagram's size in
// points (QPdfWriter). The diagram code draws through the same PainterSurface as the raster
// diagram, so blocks, lines and texts sit at the raster's pixel coordinates; texts stay
// text. The bytes depend only on the drawing: no dates, no random identifiers, so equal
// diagrams give equal files on any thread, in any run.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "core/model/Messages.h"
#include "core/model/StatementData.h"
#include "engine/output/ImageEncoding.h"
#include "engine/render/DiagramSurface.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

enum class VectorFormat { Svg, Pdf };

// The vector format of a target: kOutSvg, kOutPdfVector; none for the others.
std::optional<VectorFormat> VectorFormatOf(int outSaki);

// What a vector document says about itself: the SVG title and description, the PDF title.
struct VectorDocument {
    QString title;
    QString description;
};
// Draws a picture on the surface given; false when drawing failed.
using VectorDrawing = std::function<bool(DiagramSurface&)>;

// Any drawing of the diagram surface (a diagram, the comparison sheet) as a vector file of
// width x height pixels (SVG) or points (PDF). Nothing when a size is not positive or the
// drawing fails.
std::optional<QByteArray> RenderVectorDrawing(VectorFormat format, const VectorDocument& document,
                                              int width, int height, const VectorDrawing& draw);

// The SVG generator's document made the figure's: `<svg width height` in pixels, every
// character XML 1.0 refuses (from a name or a title) as U+FFFD, apostrophes as &apos;, and
// in each text element the font-family `families.first()` replaced by all of `families`
// and the generic family.
QByteArray FinishSvg(QByteArray svg, int width, int height, const QStringList& families);

// The diagram of kind outType (kOutTypeBs or kOutTypePl) for data and options, drawn at
// width x height. SVG: width, height and viewBox of that size in pixels, texts in the
// resolved diagram font with the Japanese stand-ins named after it. PDF: one page of
// width x height points, fonts embedded. Nothing when a size is not positive or drawing
// fails.
// On a shared scale the diagram stands at the bottom of the figure, white above, as the
// raster one does.
std::optional<QByteArray> RenderVectorDiagram(VectorFormat format, int outType,
                                              const StatementData& data,
                                              const DiagramOptions& options, int width, int height,
                                              const DiagramScale& scale = {});

// EncodeDiagram's counterpart for the vector targets: the same result contract (a failed
// drawing is message 30001; a target that is not a vector one is not ok, no message).
// Thread-safe, in memory, prints nothing.
EncodedDiagram EncodeVectorDiagram(const StatementData& data, const DiagramOptions& options,
                                   int outType, int width, int height, int outSaki,
                                   const DiagramScale& scale = {});

// The batch run's encoder step for every file target: vector targets draw the diagram
// again from data and options, the others encode the rendered bitmap.
EncodedDiagram EncodeDiagramFile(const QImage& bitmap, const StatementData& data,
                                 const DiagramOptions& options, int outType, int width, int height,
                                 int outSaki, const DiagramScale& scale = {});

// Writes the vector file to path atomically (CommitFile, durable); the messages of a
// failure are those of EncodeDiagram and CommitFile.
bool SaveVectorDiagram(VectorFormat format, int outType, const StatementData& data,
                       const DiagramOptions& options, int width, int height, const QString& path,
                       MessageSink& messages);

}  // namespace quorvex
