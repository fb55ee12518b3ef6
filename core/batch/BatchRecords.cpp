#include "core/batch/BatchRecords.h"

#include <algorithm>

#include "core/batch/CsvText.h"
#include "core/model/NumberText.h"

namespace quorvex {
namespace {

int ClampSide(int v) {
    return std::clamp(v, kMinBatchSide, kMaxBatchSide);
}

}  // namespace

FigureSize BatchFigureSize(std::string_view line, FigureSize current) {
    if (CountChar(line, ',') < 11) return current;
    return {ClampSide(Atoi(SplitFields(line, 12, ','))),
            ClampSide(Atoi(SplitFields(line, 13, ',')))};
}

std::string AmountLabelText(std::string_view amount) {
    return amount.empty() ? std::string("0円") : FormatKanjiAmount(amount);
}

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The header line with every fixed text passed through `fixed` (the file's encoding).
template <typename Name, typename Fixed>
std::string HeaderLine(Name name, char separator, Fixed fixed) {
    std::string h = fixed("BSファイル名");
    h += separator;
    h += fixed("PLファイル名");
    h += separator;
    for (int i = 0; i < kItemCount; ++i) {
        h += name(i);
        h += separator;
        if (i == kPlFirst) continue;
        h += name(i);
        h += fixed("率");
        if (i != kItemCount - 1) h += separator;
    }
    return h;
}

}  // namespace

std::string SummaryHeaderLine(const StatementData& data, char separator) {
    return HeaderLine([&](int i) { return data.items[i].name; }, separator,
                      [](std::string_view text) { return std::string(text); });
}

std::string SummaryHeaderBytes(std::string_view rawHeader, char separator, TextEncoding encoding,
                               const Cp932Codec& codec) {
    const bool cp932 = encoding == TextEncoding::Cp932;
    const auto name = [&](int i) {
        std::string raw = SplitFields(rawHeader, i + 2, ',');
        if (!cp932) return raw;
        // Bytes that are no CP932 character are shown as U+FFFD and written as "?".
        const std::string decoded = codec.Decode(raw);
        return decoded.find(kReplacementCharacter) == std::string::npos ? raw
                                                                        : codec.Encode(decoded);
    };
    return HeaderLine(name, separator, [&](std::string_view text) {
        return cp932 ? codec.Encode(text) : std::string(text);
    });
}

std::string SummaryPeriodColumns(const StatementData& data, int separate, int decimals) {
    const char separator = SummarySeparator(separate);
    std::string c;
    for (int i = 0; i < kItemCount; ++i) {
        const std::string& amount = data.items[i].amount;
        switch (separate) {
            case kSeparateKanji:
                c += AmountLabelText(amount);
                break;
            case kSeparateComma:
                c += FormatCommaGrouped(amount);
                break;
            default:
                c += amount;
                break;
        }
        c += separator;
        if (i == kPlFirst) continue;
        c += FormatRatio(data.ratios[i], decimals);
        c += '%';
        if (i != kItemCount - 1) c += separator;
    }
    return c;
}

std::string SummaryPeriodLine(std::string_view bs, std::string_view pl, char separator,
                              std::string_view columns) {
    std::string line;
    line.reserve(bs.size() + pl.size() + columns.size() + 2);
    line.append(bs);
    line += separator;
    line.append(pl);
    line += separator;
    line.append(columns);
    return line;
}

std::string ReadHeaderRecord(std::string_view line, char separator, StatementData& data,
                             MessageSink& sink) {
    const std::size_t commas = CountChar(line, ',');
    if (commas < 10) {
        sink.ShowMessage(kMsgNot10Items, "項目数:" + std::to_string(commas) + "\n",
                         MessageKind::Error);
        return std::string();
    }
    for (int i = 0; i < kItemCount; ++i) data.items[i].name = SplitFields(line, i + 2, ',');
    return SummaryHeaderLine(data, separator);
}

std::string ReadPeriodRecord(std::string_view line, const SummaryFormat& format,
                             FigureSize currentFigureSize, StatementData& data,
                             FigureSize& batchFigureSize, MessageSink& sink) {
    const std::size_t commas = CountChar(line, ',');
    if (commas < 10) {
        sink.ShowMessage(kMsgNot11Fields, "期と金額数:" + std::to_string(commas + 1) + "\n",
                         MessageKind::Error);
        return std::string();
    }
    std::string period = SplitFields(line, 1, ',');
    if (period.empty()) {
        sink.ShowMessage(kMsgNoPeriod, "", MessageKind::Error);
        return std::string();
    }
    data.period.text = std::move(period);
    for (int k = 0; k < kItemCount; ++k) data.items[k].amount = SplitFields(line, k + 2, ',');
    ComputeBsRatios(data);
    ComputePlRatios(data);
    batchFigureSize = BatchFigureSize(line, currentFigureSize);
    return SummaryPeriodColumns(data, format.separate, format.decimals);
}

}  // namespace quorvex
