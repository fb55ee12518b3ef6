#include <gtest/gtest.h>

#include "engine/batch/PeriodWork.h"
#include "engine/render/PeriodRender.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

QImage Bitmap(int width, int height) {
    DiagramBitmap bitmap;
    EXPECT_TRUE(PrepareDiagramBitmap(bitmap, width, height));
    return bitmap.image();
}

TEST(BitmapShelf, KeepsOnlyUnsharedBitmapsOfTheSizeInUse) {
    BitmapShelf shelf(2);
    QImage a = Bitmap(40, 30);
    const uchar* aPixels = a.constBits();
    shelf.Put(a);  // the test still holds a: shared, not kept
    EXPECT_TRUE(shelf.Take(40, 30).isNull());

    shelf.Put(std::move(a));
    shelf.Put(Bitmap(40, 30));
    shelf.Put(Bitmap(40, 30));  // over the capacity
    const QImage first = shelf.Take(40, 30);
    EXPECT_EQ(first.constBits(), aPixels);  // the very same memory comes back
    EXPECT_FALSE(shelf.Take(40, 30).isNull());
    EXPECT_TRUE(shelf.Take(40, 30).isNull());

    // A bitmap of another size lets the old size go.
    shelf.Put(Bitmap(40, 30));
    shelf.Put(Bitmap(50, 30));
    EXPECT_TRUE(shelf.Take(40, 30).isNull());
    EXPECT_TRUE(shelf.Take(40, 31).isNull());
    EXPECT_FALSE(shelf.Take(50, 30).isNull());
    shelf.Put(QImage());
    EXPECT_TRUE(shelf.Take(0, 0).isNull());
}

// The worker's period: the same pictures and bytes as drawing and encoding one by one, in
// fresh bitmaps or in reused ones whose old pictures must not show through. Without the
// pictures for the host, the same bytes, and the bitmaps are back on the shelf at once.
TEST(DrawAndEncodePeriod, GivesWhatTheSingleStepsGive) {
    const StatementData data = test::SampleData();
    DiagramOptions options;
    options.DrawName = 1;
    options.DrawRitu = 1;
    BitmapShelf shelf(4);
    for (int outSaki : {kOutJpeg, kOutPng, kOutPdf}) {
        for (int round = 0; round < 3; ++round) {
            SCOPED_TRACE(testing::Message() << outSaki << " " << round);
            const bool keep = round < 2;
            const FigureSize size{240, 180};
            DiagramBitmap bs, pl;
            ASSERT_TRUE(RenderPeriodDiagrams(data, options, size.width, size.height, bs, pl));
            const DrawnPeriod drawn =
                DrawAndEncodePeriod(data, options, size, outSaki, shelf, {}, keep);
            ASSERT_TRUE(drawn.drawn);
            EXPECT_EQ(drawn.bsFile.bytes, EncodeDiagram(bs.image(), 240, 180, outSaki).bytes);
            EXPECT_EQ(drawn.plFile.bytes, EncodeDiagram(pl.image(), 240, 180, outSaki).bytes);
            if (!keep) {
                EXPECT_TRUE(drawn.bs.isNull() && drawn.pl.isNull());
                EXPECT_EQ(shelf.Take(240, 180).size(), QSize(240, 180));
                EXPECT_EQ(shelf.Take(240, 180).size(), QSize(240, 180));
                continue;
            }
            EXPECT_EQ(drawn.bs, bs.image());
            EXPECT_EQ(drawn.pl, pl.image());
            EXPECT_TRUE(drawn.bsFile.ok && drawn.plFile.ok);
            // Pictures of another period on the shelf: the next round draws over them.
            QImage stale = Bitmap(240, 180);
            stale.fill(Qt::green);
            shelf.Put(std::move(stale));
            shelf.Put(drawn.pl.copy());
        }
    }
}

// Vector files come from the data alone: for a host without pictures no bitmap is drawn or
// taken from the shelf, and the bytes are those of the file drawn beside a bitmap.
TEST(DrawAndEncodePeriod, VectorFilesWithoutPicturesDrawNoBitmap) {
    const StatementData data = test::SampleData();
    DiagramOptions options;
    options.DrawName = 1;
    for (int outSaki : {kOutSvg, kOutPdfVector}) {
        SCOPED_TRACE(outSaki);
        BitmapShelf shelf(4);
        const FigureSize size{240, 180};
        const DrawnPeriod kept = DrawAndEncodePeriod(data, options, size, outSaki, shelf);
        const DrawnPeriod bare =
            DrawAndEncodePeriod(data, options, size, outSaki, shelf, {}, false);
        ASSERT_TRUE(kept.drawn && bare.drawn && bare.bsFile.ok && bare.plFile.ok);
        EXPECT_FALSE(kept.bs.isNull());
        EXPECT_TRUE(bare.bs.isNull() && bare.pl.isNull());
        EXPECT_EQ(bare.bsFile.bytes, kept.bsFile.bytes);
        EXPECT_EQ(bare.plFile.bytes, kept.plFile.bytes);
        EXPECT_TRUE(shelf.Take(240, 180).isNull());  // the kept pictures are the host's
    }
}

TEST(DrawAndEncodePeriod, AnImpossibleSizeIsNotDrawn) {
    BitmapShelf shelf(2);
    for (const int outSaki : {kOutPng, kOutSvg}) {
        for (const FigureSize size : {FigureSize{0, 100}, FigureSize{100, -1}}) {
            for (const bool keep : {true, false}) {
                const DrawnPeriod drawn = DrawAndEncodePeriod(test::SampleData(), DiagramOptions{},
                                                              size, outSaki, shelf, {}, keep);
                EXPECT_FALSE(drawn.drawn);
                EXPECT_TRUE(drawn.bs.isNull());
                EXPECT_FALSE(drawn.bsFile.ok);
            }
        }
    }
}

}  // namespace
}  // namespace quorvex
