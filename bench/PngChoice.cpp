// Which PNG settings suit the diagrams, and whether two runs wrote the same pictures.
//   quorvex_png_choice FOLDER [MAX_PICTURES]
//     Encodes every picture of a folder of PNG files (the batch run's own output, say) at each
//     libdeflate level, with and without an exact palette, on one thread. Prints the CPU time
//     per picture (best of three), the total size, how many pictures came out larger than the
//     file they were read from, and whether every picture decodes to its own pixels.
//     QUICK=1: levels 1 to 6 only.
//   quorvex_png_choice --same-pixels FOLDER_A FOLDER_B
//     Decodes every PNG file of A and the file of the same name in B and counts the pixels that
//     differ; exit 1 when any differ or a file is missing or unreadable.
#include <stdlib.h>
#include <time.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstring>
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

QFileInfoList PngFiles(const char* folder) {
    return QDir(QString::fromLocal8Bit(folder)).entryInfoList({"*.png"}, QDir::Files, QDir::Name);
}

int SamePixels(const char* a, const char* b) {
    long long files = 0, pixels = 0, differing = 0, bytesA = 0, bytesB = 0;
    int broken = 0;
    for (const QFileInfo& f : PngFiles(a)) {
        const QFileInfo other(QDir(QString::fromLocal8Bit(b)), f.fileName());
        const QImage x = QImage(f.filePath()).convertToFormat(QImage::Format_RGB32);
        const QImage y = QImage(other.filePath()).convertToFormat(QImage::Format_RGB32);
        ++files;
        bytesA += f.size();
        bytesB += other.size();
        if (x.isNull() || y.isNull() || x.size() != y.size()) {
            std::fprintf(stderr, "%s: missing, unreadable or of another size\n",
                         qPrintable(f.fileName()));
            ++broken;
            continue;
        }
        for (int row = 0; row < x.height(); ++row) {
            const auto* p = reinterpret_cast<const quint32*>(x.constScanLine(row));
            const auto* q = reinterpret_cast<const quint32*>(y.constScanLine(row));
            for (int col = 0; col < x.width(); ++col) differing += p[col] != q[col];
        }
        pixels += static_cast<long long>(x.width()) * x.height();
    }
    std::printf(
        "%lld pictures, %lld pixels, %lld differing, %d unreadable; bytes %lld against %lld "
        "(%+.2f %%)\n",
        files, pixels, differing, broken, bytesA, bytesB,
        bytesB > 0 ? 100.0 * static_cast<double>(bytesA - bytesB) / static_cast<double>(bytesB)
                   : 0.0);
    return files > 0 && differing == 0 && broken == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--same-pixels") == 0)
        return SamePixels(argv[2], argv[3]);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: quorvex_png_choice FOLDER [MAX_PICTURES]\n"
                     "       quorvex_png_choice --same-pixels FOLDER_A FOLDER_B\n");
        return 2;
    }
    const int limit = argc > 2 ? std::atoi(argv[2]) : 1 << 30;
    std::vector<Picture> pictures;
    for (const QFileInfo& f : PngFiles(argv[1])) {
        if (static_cast<int>(pictures.size()) >= limit) break;
        Picture p{QImage(f.filePath()).convertToFormat(QImage::Format_RGB32), f.size()};
        if (!p.image.isNull()) pictures.push_back(std::move(p));
    }
    qint64 original = 0;
    for (const auto& p : pictures) original += p.fileSize;
    std::printf("%zu pictures, %lld bytes as read\n", pictures.size(),
                static_cast<long long>(original));
    std::printf("%5s %7s %9s %10s %7s %8s\n", "level", "palette", "us/pic", "bytes", "larger",
                "lossless");
    const int maxLevel = getenv("QUICK") != nullptr ? 6 : 12;
    for (bool palette : {false, true}) {
        for (int level = 1; level <= maxLevel; ++level) {
            const PngSettings settings{level, palette};
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
            std::printf("%5d %7s %9.1f %10lld %7d %8s\n", level, palette ? "exact" : "no",
                        static_cast<double>(best) / 1000.0 / static_cast<double>(pictures.size()),
                        static_cast<long long>(total), larger, lossless ? "yes" : "NO");
            std::fflush(stdout);
        }
    }
    return 0;
}
