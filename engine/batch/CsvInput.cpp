#include "engine/batch/CsvInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "core/batch/BatchRecords.h"
#include "core/batch/PipeInput.h"

namespace quorvex {

bool CsvInput::Open(const QString& path, MessageSink& sink) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0) ::close(fd);
        sink.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return false;
    }
    if (S_ISREG(st.st_mode)) {
        ::close(fd);
        file_.open(native.toStdString(), std::ios::binary);
        if (!file_) sink.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
        return static_cast<bool>(file_);
    }
    std::string bytes;
    const PipeRead read = ReadPipeInput(fd, kMaxBatchPeriods + 1, kMaxPipeBytes, bytes);
    ::close(fd);
    switch (read) {
        case PipeRead::Complete:
            buffered_.str(std::move(bytes));
            inMemory_ = true;
            return true;
        case PipeRead::TooManyLines:
            sink.ShowMessage(kMsgTooManyPeriods, "", MessageKind::Error);
            return false;
        case PipeRead::TooLarge:
            sink.ShowMessage(kMsgFileObject, "", MessageKind::Error);
            return false;
        case PipeRead::ReadError:
            sink.ShowMessage(kMsgOpenFailed, "", MessageKind::Error);
            return false;
        case PipeRead::Interrupted:
            return false;
    }
    return false;
}

std::istream& CsvInput::Stream() {
    if (inMemory_) return buffered_;
    return file_;
}

}  // namespace quorvex
