#include "engine/batch/PeriodWork.h"

#include <algorithm>
#include <new>

#include "engine/output/VectorDiagram.h"
#include "engine/render/PainterSurface.h"
#include "engine/render/PeriodRender.h"
#include "engine/render/SharedFontData.h"

namespace quorvex {
namespace {

// A vector target draws the diagram again from the data and options.
EncodedDiagram EncodeOrReport(const QImage& bitmap, const StatementData& data,
                              const DiagramOptions& options, int outType, FigureSize size,
                              int outSaki, const DiagramScale& scale) {
    try {
        return EncodeDiagramFile(bitmap, data, options, outType, size.width, size.height, outSaki,
                                 scale);
    } catch (const std::bad_alloc&) {
        EncodedDiagram failed;
        failed.messageId = kMsgMemory;
        return failed;
    }
}

}  // namespace

QImage BitmapShelf::Take(int width, int height) {
    const std::lock_guard lock(mutex_);
    const auto it = std::find_if(images_.begin(), images_.end(), [&](const QImage& image) {
        return image.width() == width && image.height() == height;
    });
    if (it == images_.end()) return {};
    QImage image = std::move(*it);
    images_.erase(it);
    return image;
}

void BitmapShelf::Put(QImage image) {
    // Checked here, not by the thread that takes it: another holder (the window keeps the
    // last period's pictures) would be on this thread.
    if (image.isNull() || !image.isDetached()) return;
    const std::lock_guard lock(mutex_);
    std::erase_if(images_, [&](const QImage& kept) { return kept.size() != image.size(); });
    if (images_.size() < capacity_) images_.push_back(std::move(image));
}

void PrepareDrawing(int threads) {
    ResolveFontFamily({});
    ShareDiagramFontData(threads);
}

DrawnPeriod DrawAndEncodePeriod(const StatementData& data, const DiagramOptions& options,
                                FigureSize size, int outSaki, BitmapShelf& shelf,
                                const DiagramScale& scale, bool keepPictures) {
    DrawnPeriod out;
    DiagramBitmap bs, pl;
    // A vector file is drawn from the data, not from the bitmap: without a host that shows
    // the pictures, none are drawn (a quarter of an SVG period's work).
    const bool bitmaps = keepPictures || !VectorFormatOf(outSaki);
    if (!bitmaps && (size.width <= 0 || size.height <= 0)) return out;
    if (bitmaps && !keepPictures) {
        // Nobody sees the pictures: one bitmap serves BS, then PL, so a thread holds one.
        // As below, a PL that cannot be drawn leaves the period undrawn.
        bs.image() = shelf.Take(size.width, size.height);
        if (!RenderPeriodDiagram(data, options, size.width, size.height, DiagramKind::BalanceSheet,
                                 bs, scale)) {
            return out;
        }
        EncodedDiagram bsFile =
            EncodeOrReport(bs.image(), data, options, kOutTypeBs, size, outSaki, scale);
        if (!RenderPeriodDiagram(data, options, size.width, size.height, DiagramKind::ProfitAndLoss,
                                 bs, scale)) {
            return out;
        }
        out.drawn = true;
        out.bsFile = std::move(bsFile);
        if (out.bsFile.ok) {
            out.plFile =
                EncodeOrReport(bs.image(), data, options, kOutTypePl, size, outSaki, scale);
        }
        shelf.Put(std::move(bs.image()));
        return out;
    }
    if (bitmaps) {
        bs.image() = shelf.Take(size.width, size.height);
        pl.image() = shelf.Take(size.width, size.height);
        if (!RenderPeriodDiagrams(data, options, size.width, size.height, bs, pl, scale)) {
            return out;
        }
    }
    out.drawn = true;
    out.bsFile = EncodeOrReport(bs.image(), data, options, kOutTypeBs, size, outSaki, scale);
    if (out.bsFile.ok) {
        out.plFile = EncodeOrReport(pl.image(), data, options, kOutTypePl, size, outSaki, scale);
    }
    if (keepPictures) {
        out.bs = std::move(bs.image());
        out.pl = std::move(pl.image());
    } else {
        shelf.Put(std::move(bs.image()));
        shelf.Put(std::move(pl.image()));
    }
    return out;
}

}  // namespace quorvex
