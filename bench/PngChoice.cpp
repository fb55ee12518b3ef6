// Which PNG settings suit the diagrams: encodes every picture of a folder of PNG files (the
// batch run's own output, say) with each choice of row filter, zlib level and strategy, with
// and without an exact palette, on one thread. Prints the CPU time per picture (best of three), the
// total size, how many pictures came out larger than the file they were read from, and whether
// every picture decodes to its own pixels.
//   quorvex_png_choice FOLDER [MAX_PICTURES]
#include <png.h>
#include <stdlib.h>
#include <time.h>
#include <zlib.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <vector>

#include "engine/output/PngEncoder.h"

namespace {

using namespace quorvex;

// CPU time of this thread: steadier than the clock on a machine shared with other work.
qint64 ThreadNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Picture {
    QImage image;
    qint64 fileSize = 0;
};

const char* FilterName(int filter) {
    switch (filter) {
        case PNG_FILTER_NONE:
            return "none";
        case PNG_FILTER_SUB:
            return "sub";
        case PNG_FILTER_UP:
            return "up";
        default:
            return "adaptive";
    }
}

const char* StrategyName(int strategy) {
    switch (strategy) {
        case Z_FILTERED:
            return "filtered";
        case Z_RLE:
            return "rle";
        default:
            return "default";
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvex_png_choice FOLDER [MAX_PICTURES]\n");
        return 2;
    }
    const int limit = argc > 2 ? std::atoi(argv[2]) : 1 << 30;
    std::vector<Picture> pictures;
    for (const QFileInfo& f :
         QDir(QString::fromLocal8Bit(argv[1])).entryInfoList({"*.png"}, QDir::Files, QDir::Name)) {
        if (static_cast<int>(pictures.size()) >= limit) break;
        Picture p{QImage(f.filePath()).convertToFormat(QImage::Format_RGB32), f.size()};
        if (!p.image.isNull()) pictures.push_back(std::move(p));
    }
    qint64 original = 0;
    for (const auto& p : pictures) original += p.fileSize;
    std::printf("%zu pictures, %lld bytes as read\n", pictures.size(),
                static_cast<long long>(original));
    std::printf("%-8s %5s %-8s %7s %9s %10s %7s %8s\n", "filter", "level", "strategy", "palette",
                "us/pic", "bytes", "larger", "lossless");
    // QUICK=1: only the choices that can stay as small as the files of no filter at level 2.
    const bool quick = getenv("QUICK") != nullptr;
    const std::vector<int> filters =
        quick ? std::vector<int>{PNG_FILTER_NONE}
              : std::vector<int>{PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_ALL_FILTERS};
    const std::vector<int> levels =
        quick ? std::vector<int>{1, 2, 3} : std::vector<int>{1, 2, 3, 6};
    for (bool palette : {false, true}) {
        for (int filter : filters) {
            for (int level : levels) {
                for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE}) {
                    if (quick && strategy == Z_RLE) continue;
                    const PngSettings settings{level, filter, strategy, palette};
                    // Best of three passes: the machine may be busy.
                    qint64 best = -1;
                    std::vector<QByteArray> out(pictures.size());
                    for (int pass = 0; pass < 3; ++pass) {
                        const qint64 start = ThreadNanoseconds();
                        for (std::size_t i = 0; i < pictures.size(); ++i) {
                            out[i] = EncodePng(pictures[i].image, settings).value_or(QByteArray());
                        }
                        const qint64 ns = ThreadNanoseconds() - start;
                        if (best < 0 || ns < best) best = ns;
                    }
                    qint64 total = 0;
                    int larger = 0;
                    bool lossless = true;
                    for (std::size_t i = 0; i < pictures.size(); ++i) {
                        total += out[i].size();
                        if (out[i].size() > pictures[i].fileSize) ++larger;
                        const QImage back =
                            QImage::fromData(out[i], "PNG").convertToFormat(QImage::Format_RGB32);
                        if (back != pictures[i].image) lossless = false;
                    }
                    std::printf(
                        "%-8s %5d %-8s %7s %9.1f %10lld %7d %8s\n", FilterName(filter), level,
                        StrategyName(strategy), palette ? "exact" : "no",
                        static_cast<double>(best) / 1000.0 / static_cast<double>(pictures.size()),
                        static_cast<long long>(total), larger, lossless ? "yes" : "NO");
                    std::fflush(stdout);
                }
            }
        }
    }
    return 0;
}
