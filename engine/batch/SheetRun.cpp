#include "engine/batch/SheetRun.h"

#include <QFileInfo>
#include <cstdint>
#include <new>
#include <vector>

#include "core/batch/CsvText.h"
#include "core/model/Consistency.h"
#include "core/model/Indicators.h"
#include "engine/batch/CsvInput.h"
#include "engine/batch/IndicatorsFile.h"
#include "engine/output/ImageEncoding.h"
#include "engine/output/OutputFiles.h"
#include "engine/output/VectorDiagram.h"
#include "engine/render/ComparisonSheet.h"
#include "engine/render/DiagramBitmap.h"
#include "engine/render/Diagrams.h"

namespace quorvex {
namespace {

// 1 GiB of 32-bit pixels.
constexpr std::int64_t kMaxSheetPixels = std::int64_t{1} << 28;

// The periods of the CSV in file order, or nothing after the message of the failure.
std::optional<std::vector<StatementData>> ReadPeriods(const SheetRequest& request,
                                                      MessageSink& sink, bool& tooMany,
                                                      TextEncoding& encoding) {
    // The batch run's reader: a regular file is read from the disk twice, anything else
    // once into memory within the batch's bounds, so an endless pipe ends at once.
    CsvInput input;
    if (!input.Open(request.csvPath, sink)) return std::nullopt;
    std::istream& bytes = input.Stream();
    const CsvScan scan = ScanCsv(bytes, kMaxSheetPeriods + 1);
    if (scan.readError) {
        sink.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return std::nullopt;
    }
    if (scan.lines < 2) {
        sink.ShowMessage(kMsgNoData, "", MessageKind::Error);
        return std::nullopt;
    }
    if (scan.lines - 1 > kMaxSheetPeriods) {
        tooMany = true;
        sink.ShowMessage(kMsgSheetTooManyPeriods, "", MessageKind::Error);
        return std::nullopt;
    }
    encoding = scan.encoding;
    bytes.clear();
    bytes.seekg(0);
    const Cp932Codec codec;
    CsvLineReader reader(bytes);
    StatementData data;
    for (int i = 0; i < kItemCount; ++i) data.items[i].colour = request.colours[i];
    std::vector<StatementData> periods;
    std::string raw;
    for (std::size_t i = 0; i < scan.lines; ++i) {
        if (reader.Next(raw) != CsvLineReader::Result::Line) {
            sink.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
            return std::nullopt;
        }
        std::string_view line = raw;
        if (i == 0 && scan.encoding == TextEncoding::Utf8WithBom)
            line.remove_prefix(kUtf8Bom.size());
        const std::string text = DecodeLine(line, scan.encoding, codec);
        if (i == 0) {
            if (ReadHeaderRecord(text, ',', data, sink).empty()) return std::nullopt;
            continue;
        }
        // The cells have the sheet's size: a record's size fields do not apply.
        FigureSize ignored;
        if (ReadPeriodRecord(text, SummaryFormat{}, request.cell, data, ignored, sink).empty()) {
            return std::nullopt;
        }
        // As in the batch run: the warning of a period that does not add up, and with
        // strict the end of the run there.
        if (const std::string warning = ConsistencyWarningLine(data); !warning.empty()) {
            if (request.warn) request.warn(warning);
            if (request.strict) return std::nullopt;
        }
        periods.push_back(data);
    }
    return periods;
}

// The indicators file of the sheet's periods, as the batch run writes it.
bool WriteSheetIndicators(const SheetRequest& request, const std::vector<StatementData>& periods,
                          TextEncoding encoding, MessageSink& sink) {
    const char separator = SummarySeparator(request.separate);
    std::string lines;
    for (const StatementData& p : periods) {
        lines += IndicatorsPeriodLine(p, separator, request.diagram.Shosu);
        lines += '\n';
    }
    const std::string header =
        IndicatorsHeaderLine(periods.empty() ? StatementData{} : periods.front(), separator);
    return WriteIndicatorsFile(request.indicatorsPath, header, lines, encoding, sink);
}

}  // namespace

std::optional<int> SheetTargetOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("png")) return kOutPng;
    if (suffix == QStringLiteral("svg")) return kOutSvg;
    if (suffix == QStringLiteral("pdf")) return kOutPdfVector;
    return std::nullopt;
}

SheetResult WriteComparisonSheet(const SheetRequest& request, MessageSink& sink) {
    const std::optional<int> target = SheetTargetOf(request.outputPath);
    if (!target) return SheetResult::Failed;
    bool tooMany = false;
    TextEncoding encoding = TextEncoding::Utf8;
    const auto periods = ReadPeriods(request, sink, tooMany, encoding);
    if (!periods) return tooMany ? SheetResult::TooManyPeriods : SheetResult::Failed;
    if (!request.indicatorsPath.isEmpty() &&
        !WriteSheetIndicators(request, *periods, encoding, sink)) {
        return SheetResult::Failed;
    }

    SheetContent content;
    content.title = request.title.isEmpty()
                        ? QFileInfo(request.csvPath).completeBaseName().toStdString()
                        : request.title.toStdString();
    content.options = request.diagram;
    content.periods = *periods;
    content.indicators = request.indicators;
    if (request.scale.perFigure) {
        content.scale = request.scale;
        for (const StatementData& p : content.periods) {
            if (TotalsOf(p).Larger() > request.scale.amount) {
                sink.ShowMessage(kMsgOverBasis, "期:" + p.period.text + "\n",
                                 MessageKind::Information);
            }
        }
    } else {
        content.scale = SheetScale(content.periods, request.cell.height);
    }
    const auto layout = ComputeSheetLayout(
        static_cast<int>(content.periods.size()), request.cell.width, request.cell.height,
        content.options, content.indicators ? static_cast<int>(kSheetIndicators.size()) : 0);
    // The count was checked; only a cell without area (a collapsed window) is left.
    if (!layout) return SheetResult::Failed;

    // 60 cells of the largest figure size would need gigabytes: refused like a failed
    // allocation before the system has to refuse (or kill) the process.
    if (std::int64_t{layout->width} * layout->height > kMaxSheetPixels) {
        sink.ShowMessage(kMsgMemory, "", MessageKind::Error);
        return SheetResult::Failed;
    }
    EncodedDiagram encoded;
    if (const auto format = VectorFormatOf(*target)) {
        const VectorDocument document{QString::fromStdString(content.title), {}};
        auto bytes = RenderVectorDrawing(*format, document, layout->width, layout->height,
                                         [&](DiagramSurface& surface) {
                                             DrawComparisonSheet(surface, *layout, content);
                                             return true;
                                         });
        if (!bytes) {
            sink.ShowMessage(kMsgMemory, "", MessageKind::Error);
            return SheetResult::Failed;
        }
        return CommitFile(request.outputPath, *bytes, FileRole::Image, sink) ? SheetResult::Written
                                                                             : SheetResult::Failed;
    }
    try {
        DiagramBitmap sheet;
        if (!PrepareDiagramBitmap(sheet, layout->width, layout->height) ||
            !DrawOnBitmap(sheet, [&](DiagramSurface& surface, int, int) {
                DrawComparisonSheet(surface, *layout, content);
                return true;
            })) {
            sink.ShowMessage(kMsgMemory, "", MessageKind::Error);
            return SheetResult::Failed;
        }
        encoded = EncodeDiagram(sheet.image(), layout->width, layout->height, kOutPng);
    } catch (const std::bad_alloc&) {
        sink.ShowMessage(kMsgMemory, "", MessageKind::Error);
        return SheetResult::Failed;
    }
    if (!encoded.ok) {
        ReportEncodingFailure(encoded, request.outputPath, sink);
        return SheetResult::Failed;
    }
    return CommitFile(request.outputPath, encoded.bytes, FileRole::Image, sink)
               ? SheetResult::Written
               : SheetResult::Failed;
}

}  // namespace quorvex
