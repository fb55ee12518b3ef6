#pragma once
// One period of a batch run as an encoder thread does it: both diagrams drawn and turned into
// file bytes in memory. The bitmaps come from a shelf that the run refills once the host has
// seen a period, so the pictures' memory is reused rather than allocated and faulted in again
// for every period.

#include <QImage>
#include <cstddef>
#include <mutex>
#include <vector>

#include "core/batch/BatchRecords.h"
#include "core/model/StatementData.h"
#include "engine/output/ImageEncoding.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

// Bitmaps nobody uses any more, kept for the next period. Thread-safe.
class BitmapShelf final {
  public:
    explicit BitmapShelf(std::size_t capacity) : capacity_(capacity) {}

    // A kept bitmap of exactly that size, or a null image.
    QImage Take(int width, int height);
    // Keeps `image` when nobody else holds its pixels and there is room; bitmaps of another
    // size are let go first (the run's figure size has changed). Call it on the thread where
    // any other copy of the image would live.
    void Put(QImage image);

  private:
    const std::size_t capacity_;
    std::mutex mutex_;
    std::vector<QImage> images_;
};

// What a worker made of one period.
struct DrawnPeriod {
    bool drawn = false;             // false: a bitmap could not be made or painted
    QImage bs, pl;                  // the diagrams as drawn, for the host
    EncodedDiagram bsFile, plFile;  // plFile stays empty when bsFile failed
};

// Sets up, on the calling thread, what the first drawing would otherwise set up on a pool
// thread: the font database, and for many threads one copy of the diagram face's file
// (ShareDiagramFontData). Call it before the pool's threads start: a library that runs
// short of memory while it loads its configuration may crash rather than fail.
void PrepareDrawing(int threads);

// Draws both diagrams of `data` at `size` and encodes them for target `outSaki`, as the
// window's output would (EncodeDiagram). Out of memory while encoding: message 30001 on
// the file concerned. Without `keepPictures` the bitmaps go back on the shelf once encoded
// and the result's pictures are null; a vector target then draws none at all (its files
// are drawn from the data).
DrawnPeriod DrawAndEncodePeriod(const StatementData& data, const DiagramOptions& options,
                                FigureSize size, int outSaki, BitmapShelf& shelf,
                                const DiagramScale& scale = {}, bool keepPictures = true);

}  // namespace quorvex
