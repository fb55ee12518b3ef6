#include "engine/batch/IndicatorsFile.h"

#include <QFileInfo>
#include <new>
#include <string>

#include "core/batch/BatchRecords.h"
#include "engine/batch/BatchRun.h"

namespace quorvex {

QString IndicatorsFileName(const QString& title, int separate) {
    return title + QStringLiteral("_指標.") + QString::fromUtf8(SummaryExtension(separate));
}

bool WriteIndicatorsFile(const QString& path, std::string_view header, std::string_view lines,
                         TextEncoding encoding, MessageSink& sink) {
    std::string headerBytes;
    try {
        // The summary writer takes its header in the file's encoding already.
        headerBytes =
            encoding == TextEncoding::Cp932 ? Cp932Codec().Encode(header) : std::string(header);
    } catch (const std::bad_alloc&) {
        sink.ShowMessage(kMsgFileObject, "", MessageKind::Error);
        return false;
    }
    const QFileInfo info(path);
    return WriteSummaryFile(info.absolutePath(), info.fileName(), headerBytes, lines, encoding,
                            sink);
}

}  // namespace quorvex
