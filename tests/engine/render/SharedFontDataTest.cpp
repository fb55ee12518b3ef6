#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>

#include "engine/render/PeriodRender.h"
#include "engine/render/SharedFontData.h"
#include "tests/engine/render/SampleData.h"

namespace quorvex {
namespace {

// How many mappings of font files the process holds.
int FontFileMappings() {
    std::ifstream maps("/proc/self/maps");
    int count = 0;
    for (std::string line; std::getline(maps, line);) {
        for (const char* ending : {".ttf", ".ttc", ".otf"}) {
            if (line.ends_with(ending)) ++count;
        }
    }
    return count;
}

struct Drawn {
    QImage bs, pl;
    int newMappings = 0;  // font files the drawing thread mapped for itself
};

// Both diagrams, with names and ratios, drawn on a thread of their own, which is still
// alive when its mappings are counted.
Drawn DrawOnNewThread() {
    Drawn drawn;
    std::thread([&] {
        DiagramOptions options;
        options.DrawName = 1;
        options.DrawRitu = 1;
        DiagramBitmap bs, pl;
        const int before = FontFileMappings();
        EXPECT_TRUE(RenderPeriodDiagrams(test::SampleData(), options, 400, 300, bs, pl));
        drawn = {bs.image(), pl.image(), FontFileMappings() - before};
    }).join();
    return drawn;
}

// Many drawing threads share one copy of the face instead of mapping its file each, and the
// pictures are exactly those drawn from the file. One thread never pays for the copy.
TEST(ShareDiagramFontData, ThreadsDrawTheSamePicturesWithoutMappingTheFile) {
    const Drawn fromFile = DrawOnNewThread();
    ASSERT_GT(fromFile.newMappings, 0) << "the installed face is expected in a font file";
    EXPECT_FALSE(ShareDiagramFontData(1));
    EXPECT_FALSE(ShareDiagramFontData(2));  // a 6 MB IPA file against two threads' 2 MiB
    ASSERT_TRUE(ShareDiagramFontData(16));
    EXPECT_TRUE(ShareDiagramFontData(1));  // once shared, it stays so

    const Drawn shared = DrawOnNewThread();
    EXPECT_EQ(shared.newMappings, 0);
    EXPECT_EQ(shared.bs, fromFile.bs);
    EXPECT_EQ(shared.pl, fromFile.pl);
}

}  // namespace
}  // namespace quorvex
