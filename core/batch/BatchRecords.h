#pragma once
// The two record readers of a batch CSV and the texts of the summary file. Toolkit-free:
// the readers load a StatementData and report through a MessageSink; whoever shows the
// data (the window) copies it into its fields afterwards.

#include <array>
#include <string>
#include <string_view>

#include "core/batch/CsvText.h"
#include "core/model/Messages.h"
#include "core/model/StatementData.h"

namespace quorvex {

struct FigureSize {
    int width = 0;
    int height = 0;
    bool operator==(const FigureSize&) const = default;
};

inline constexpr int kMinBatchSide = 200;
inline constexpr int kMaxBatchSide = 1000;
inline constexpr int kMaxBatchPeriods = 5000;

// The size a data record asks for: fields 12 and 13 read like atoi and clamped to
// 200..1000 when the record has a twelfth field; otherwise the current figure size as it is.
FigureSize BatchFigureSize(std::string_view line, FigureSize current);

// Tab when the amounts are written with comma groups (the commas would clash), else ",".
constexpr char SummarySeparator(int separate) {
    return separate == kSeparateComma ? '\t' : ',';
}
// "tsv" for comma groups, else "csv".
constexpr std::string_view SummaryExtension(int separate) {
    return separate == kSeparateComma ? "tsv" : "csv";
}

// What the window's amount label shows: "0円" for the empty text, else the kanji amount.
std::string AmountLabelText(std::string_view amount);

// "BSファイル名" sep "PLファイル名" sep, then every name and, except for sales, name + "率".
std::string SummaryHeaderLine(const StatementData& data, char separator);
// Columns 3..21 of a period line: the amounts in the form separate asks for and the ratio
// texts with decimals decimals, from data's amounts and ratios.
std::string SummaryPeriodColumns(const StatementData& data, int separate, int decimals);
// The header line of a summary file in the CSV's encoding, made from the CSV's header line
// as read (`rawHeader`, without a byte-order mark): the fixed texts in that encoding and the
// item names byte for byte, so that a name keeps the very codes of its file (CP932 codes
// some characters twice, and a decoded name would come back with the other code). A name
// with bytes that are no CP932 character is written as decoded ("?" for each of them).
std::string SummaryHeaderBytes(std::string_view rawHeader, char separator, TextEncoding encoding,
                               const Cp932Codec& codec);
// bs sep pl sep columns.
std::string SummaryPeriodLine(std::string_view bs, std::string_view pl, char separator,
                              std::string_view columns);

// Header record: at least 10 commas; fields 2..11 become the item names. Returns the summary
// header line, or the empty text after its message when the record is rejected.
std::string ReadHeaderRecord(std::string_view line, char separator, StatementData& data,
                             MessageSink& sink);

struct SummaryFormat {
    int separate = kSeparateNone;
    int decimals = 2;
};

// Data record: at least 10 commas and a period. Sets the period, the ten amounts and both
// ratio sets of data and the batch figure size. Returns the period's summary columns, or
// the empty text after its message when the record is rejected; a rejected record changes
// nothing.
std::string ReadPeriodRecord(std::string_view line, const SummaryFormat& format,
                             FigureSize currentFigureSize, StatementData& data,
                             FigureSize& batchFigureSize, MessageSink& sink);

}  // namespace quorvex
