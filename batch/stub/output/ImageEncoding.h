#pragma once
// TEMPORARY stand-in until the output subsystem lands.
#include <QByteArray>
#include <QImage>
#include <string>
namespace quorvex {
struct EncodedDiagram {
    QByteArray bytes;
    bool ok = false;
    int messageId = 0;
    std::string prefix;
};
EncodedDiagram EncodeDiagram(const QImage& bitmap, int width, int height, int outSaki);
}  // namespace quorvex
