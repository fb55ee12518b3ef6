// sample-pictures DIR: writes the sample period's diagrams as PNG files into DIR, to look at
// by eye after a change to the drawing (the render tests check what they must show).
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "core/model/NumberText.h"
#include "engine/render/PeriodRender.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sample-pictures DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "sample-pictures: cannot make %s\n", argv[1]);
        return 1;
    }
    const quorvex::StatementData data = quorvex::SampleStatementData();
    struct Variant {
        const char* name;
        int width, height, lineWidth, centreLine, drawUnder;
    };
    const Variant variants[] = {
        {"sample_400x300", 400, 300, 2, quorvex::kCentreLineUpper, 1},
        {"sample_960x540_lower_right", 960, 540, 0, quorvex::kCentreLineLower, 0},
    };
    for (const Variant& v : variants) {
        quorvex::DiagramOptions options;
        options.Futosa = v.lineWidth;
        options.CenterLine = v.centreLine;
        options.DrawUnder = v.drawUnder;
        quorvex::DiagramBitmap bs, pl;
        if (!quorvex::RenderPeriodDiagrams(data, options, v.width, v.height, bs, pl) ||
            !bs.image().save(dir + "/" + v.name + "_BS.png") ||
            !pl.image().save(dir + "/" + v.name + "_PL.png")) {
            std::fprintf(stderr, "sample-pictures: %s failed\n", v.name);
            return 1;
        }
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
