#pragma once
// The message catalogue and the one way the program reports to the user. Code below the
// window reports through a MessageSink: the window shows a message box, the batch tool
// writes to stderr, tests record.

#include <string>
#include <string_view>

namespace quorvex {

enum class MessageKind { Error, Question, Information };

// Button results as the message box gives them.
enum MessageResult : int { kNoText = 0, kOk = 1, kYes = 6, kNo = 7 };

// Catalogue identifiers.
enum MessageId : int {
    kMsgMemory = 30001,
    kMsgWorkFolder = 30002,
    kMsgPdfFailed = 30003,
    kMsgMultipleFiles = 30004,
    kMsgBatchClipboard = 30005,
    kMsgNotCsv = 30006,
    kMsgFileObject = 30007,
    kMsgNoText = 30008,
    kMsgOpenFailed = 30009,
    kMsgNoData = 30010,
    kMsgNot10Items = 30011,
    kMsgNot11Fields = 30012,
    kMsgNoPeriod = 30013,
    kMsgOverwrite = 30014,
    kMsgSetSample = 30015,
    kMsgClear = 30017,
    kMsgDefaultColours = 30018,
    kMsgClipboardSaved = 30019,
    kMsgDesktopFolder = 30020,
    kMsgExplorer = 30048,
    kMsgSavedShowFolder = 30049,
    kMsgWriteFailed = 30050,
    kMsgOfferBatch = 30060,
    kMsgOverBasis = 30051,
    kMsgSheetTooManyPeriods = 30052,
    kMsgTitleWithoutSheet = 30053,
    kMsgTooManyPeriods = 30164,
    // Import of filings and the consistency warnings.
    kMsgImportOpen = 30300,
    kMsgImportNotFiling = 30301,
    kMsgImportXml = 30302,
    kMsgImportDoctype = 30303,
    kMsgImportNoInstance = 30304,
    kMsgImportDamagedZip = 30305,
    kMsgImportTooLarge = 30306,
    kMsgImportMissingItems = 30307,
    kMsgImportNoNonConsolidated = 30308,
    kMsgImportBadAmount = 30309,
    kMsgImportChooseYear = 30310,
    // Many filings into the window.
    kMsgImportNotes = 30360,
    kMsgImportThenWhat = 30361,
    kMsgImportThenSheet = 30362,
    kMsgImportThenBatch = 30363,
    kMsgImportCsvPlainName = 30364,
    kMsgImportTooDeep = 30340,
    kMsgImportTooManyAttributes = 30341,
    kMsgImportConflict = 30342,
    kMsgImportBadDate = 30343,
    kMsgImportNotRegular = 30344,
    kMsgImportTooManyEntries = 30345,
    kMsgImportTooManyFacts = 30346,
    kMsgImportTokenTooLarge = 30347,
    kMsgImportTooManyFiles = 30348,
    kMsgImportNothingInFolder = 30349,
    kMsgImportBadCsv = 30350,
    kMsgImportBadUtf16 = 30351,
    kMsgWarnPrefix = 30320,
    kMsgWarnBalance = 30321,
    kMsgWarnSales = 30322,
    kMsgWarnGrossProfit = 30323,
    kMsgWarnNegativeEquity = 30324,
    // The standard and basis of a filing, and what the user should know of its periods.
    kMsgImportUsGaap = 30330,
    kMsgImportNoConsolidated = 30331,
    kMsgImportIndustryFormat = 30332,
    kMsgImportNoteMonths = 30333,
    kMsgImportNoteLeftOut = 30334,
    kMsgImportNoteNonConsolidated = 30335,
    kMsgImportAskNonConsolidated = 30336,
    kMsgImportNoteOnlyNonConsolidated = 30337,
    kMsgImportConsolidatedItems = 30338,
    kMsgWarnRounding = 30339,
    kAppTitle = 57344,
};

// Text of a catalogue entry (UTF-8, line breaks as "\n"); empty when the id has none.
std::string MessageText(int id);
// The kind the catalogue lists for the id (Error when unknown).
MessageKind MessageKindOf(int id);
// "Quorvex".
std::string ApplicationTitle();

// A text from the user's data (a file name made from a period, say) as a message shows it:
// at most kQuotedCharacters characters, then "…"; a NUL becomes U+FFFD, so nothing cuts
// the message short.
inline constexpr std::size_t kQuotedCharacters = 200;
std::string QuoteField(std::string_view utf8);

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // Shows prefix + MessageText(id). Returns kOk, kYes or kNo, or kNoText (showing
    // nothing) when the id has no text.
    virtual int ShowMessage(int id, std::string_view prefix, MessageKind kind) = 0;
};

// A confirmation goes ahead unless the answer is No.
inline bool Confirmed(int answer) {
    return answer != kNo;
}

}  // namespace quorvex
