// EDINET's CSV download as bytes: UTF-16 with a byte-order mark, decoded in pieces by Qt's
// decoder and handed on as UTF-8 to the toolkit-free row reader. A text that is not UTF-16
// (an unpaired surrogate) is refused, not repaired.
#include <QStringDecoder>
#include <array>

#include "core/import/EdinetCsv.h"
#include "engine/import/FilingReaders.h"

namespace quorvex {

FilingProblem ReadEdinetCsv(GuardedInput& input, FilingInstance& instance,
                            const FilingLimits& limits, int readErrorMessage) {
    std::array<char, 2> bom{};
    if (input.read(bom.data(), 2) != 2) return {kMsgImportNotFiling, {}};
    const bool little = bom[0] == '\xFF' && bom[1] == '\xFE';
    if (!little && !(bom[0] == '\xFE' && bom[1] == '\xFF')) return {kMsgImportNotFiling, {}};
    QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                           QStringDecoder::Flag::Default);
    EdinetCsvReader reader(limits.maxKept, static_cast<std::size_t>(limits.maxTokenBytes));
    std::array<char, 1 << 16> chunk{};
    for (;;) {
        const qint64 n = input.read(chunk.data(), chunk.size());
        if (n < 0) {
            if (input.exceeded()) return LimitProblem(input.limitHit());
            return {readErrorMessage, {}};
        }
        if (n == 0) break;
        input.TokenDone();  // a field's size is the row reader's to bound
        const QString text = decoder.decode(QByteArrayView(chunk.data(), n));
        if (decoder.hasError()) return {kMsgImportBadUtf16, {}};
        if (!reader.Feed(text.toStdString())) return reader.problem();
    }
    // A high surrogate left waiting at the end is unpaired: one more code unit shows it.
    (void)decoder.decode(QByteArrayView("\0\0", 2));
    if (decoder.hasError()) return {kMsgImportBadUtf16, {}};
    return reader.Finish(instance);
}

}  // namespace quorvex
