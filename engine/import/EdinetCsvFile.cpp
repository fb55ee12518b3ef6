// EDINET's CSV download as bytes: UTF-16 with a byte-order mark, decoded in pieces by Qt's
// decoder and handed on as UTF-8 to the toolkit-free row reader. A text that is not UTF-16
// (an unpaired surrogate, which the decoder passes through as it is) is refused, not
// repaired.
#include <QStringDecoder>
#include <array>

#include "core/import/EdinetCsv.h"
#include "engine/import/FilingReaders.h"

namespace quorvex {
namespace {

// False at a surrogate without its other half; a high one at the end of text waits in
// pending for the next piece.
bool PairedSurrogates(const QString& text, bool& pending) {
    for (const QChar c : text) {
        if (pending != c.isLowSurrogate()) return false;
        pending = c.isHighSurrogate();
    }
    return true;
}

}  // namespace

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
    bool pending = false;
    for (;;) {
        const qint64 n = input.read(chunk.data(), chunk.size());
        if (n < 0) {
            if (input.exceeded()) return LimitProblem(input.limitHit());
            return {readErrorMessage, {}};
        }
        if (n == 0) break;
        input.TokenDone();  // a field's size is the row reader's to bound
        const QString text = decoder.decode(QByteArrayView(chunk.data(), n));
        if (decoder.hasError() || !PairedSurrogates(text, pending)) return {kMsgImportBadUtf16, {}};
        if (!reader.Feed(text.toStdString())) return reader.problem();
    }
    // A high surrogate (or half a code unit) left waiting at the end has no pair.
    if (pending || !PairedSurrogates(decoder.decode(QByteArrayView("\0\0", 2)), pending) ||
        decoder.hasError()) {
        return {kMsgImportBadUtf16, {}};
    }
    return reader.Finish(instance);
}

}  // namespace quorvex
