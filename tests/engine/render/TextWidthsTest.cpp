// Remembered text widths must be the widths the font gives, whatever was measured before.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include "engine/render/PainterSurface.h"
#include "engine/render/TextWidths.h"

namespace quorvex {
namespace {

QImage CanvasAt(int dotsPerMeter) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

int Measured(const QImage& image, const FontRequest& font, const QString& text) {
    if (font.pixelSize == 0) return QFontMetrics(QFont(), &image).horizontalAdvance(text);
    QFont f(ResolveFontFamily(font.face));
    f.setPixelSize(font.pixelSize);
    f.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
    return QFontMetrics(f, &image).horizontalAdvance(text);
}

TEST(TextWidths, EveryFontSizeWeightAndResolutionKeepsItsOwnWidths) {
    const FontRequest fonts[] = {
        {"", 13, 400}, {"", 13, 700}, {"", 20, 400}, {"", 9, 400}, {"", 0, 400}};
    const char* const texts[] = {"流動資産", "(35.2%)", "固定負債\n(12.0%)",
                                 "&",        "W",       "ＭＳ　Ｐゴシック"};
    // 3780 dots per metre is 96 dpi, 7559 twice that: the surface's own font (pixel size 0)
    // is sized in points, so its widths depend on the resolution.
    for (int pass = 0; pass < 2; ++pass) {  // the second pass answers from the store
        for (const int dpm : {3780, 7559}) {
            QImage image = CanvasAt(dpm);
            PainterSurface surface(image);
            for (const FontRequest& font : fonts) {
                surface.SelectFont(font);
                for (const char* text : texts) {
                    const QString q = QString::fromUtf8(text);
                    EXPECT_EQ(surface.MeasureText(text).width, Measured(image, font, q))
                        << text << " " << font.pixelSize << "px w" << font.weight << " " << dpm;
                }
            }
        }
    }
}

TEST(TextWidths, AFullStoreStartsAgainAndStillAnswersRight) {
    TextWidths widths(3);
    int measured = 0;
    const auto width = [&](std::string_view font, std::string_view text) {
        return widths.Width(font, text, [&] {
            ++measured;
            return static_cast<int>(font.size() * 100 + text.size());
        });
    };
    struct Case {
        std::string_view font, text;
        int want, measuredAfter;
        std::size_t sizeAfter;
    };
    const Case cases[] = {
        {"a", "x", 101, 1, 1},  {"a", "x", 101, 1, 1},   // remembered
        {"ab", "x", 201, 2, 2}, {"a", "xy", 102, 3, 3},  // other font, other text
        {"a", "", 100, 4, 1},                            // full: starts again
        {"a", "x", 101, 5, 2},  {"abc", "x", 301, 6, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(width(c.font, c.text), c.want) << c.font << "/" << c.text;
        EXPECT_EQ(measured, c.measuredAfter) << c.font << "/" << c.text;
        EXPECT_EQ(widths.size(), c.sizeAfter) << c.font << "/" << c.text;
    }
}

}  // namespace
}  // namespace quorvex
