#pragma once
// Pictures, file helpers and the fixture shared by the output tests: each test has its own
// HOME, desktop and work folder.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/model/StatementData.h"
#include "core/output/Jpg2Pdf.h"
#include "engine/output/ClipboardImage.h"
#include "engine/output/ImageEncoding.h"
#include "engine/output/OutputFiles.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex::test {

// Flat blocks in the default item colours with dark borders: a few colours only, like a
// diagram without text.
inline QImage FlatDiagram(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int i = 0; i < 5; ++i) {
        const Colour c = DefaultItemColours[i];
        const QRect block(i * width / 5, i * height / 10, width / 5, height - i * height / 10);
        p.fillRect(block, QColor(RedOf(c), GreenOf(c), BlueOf(c)));
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(block.adjusted(1, 1, -1, -1));
    }
    return image;
}

// The flat diagram with a band of thousands of colours across it.
inline QImage ManyColourDiagram(int width, int height) {
    QImage image = FlatDiagram(width, height);
    for (int y = 0; y < height / 4; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, (y * 7) % 256, 128));
    }
    return image;
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

inline QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

inline int MaxChannelDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

class Output : public ::testing::Test {
  protected:
    QString home = QString::fromStdString(test::TestHome());
    QString desktop = home + "/Desktop";
    test::RecordingMessageSink messages;
};

}  // namespace quorvex::test
