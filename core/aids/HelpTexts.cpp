#include "core/aids/HelpTexts.h"

#include "core/model/TextLines.h"

namespace quorvex {
namespace data {
extern const std::string_view kHelpGeneralText;
extern const std::string_view kHelpBatchText;
extern const std::string_view kHelpIndicatorsText;
extern const std::string_view kVersionLines;
}  // namespace data

namespace {

// The data files hold one line per text line, each ended by LF.
std::vector<std::string_view> LinesOf(std::string_view text) {
    const TextLines lines(text);
    return {lines.begin(), lines.end()};
}

}  // namespace

std::string HelpTextOf(HelpText which) {
    const std::string_view raw = which == HelpText::General ? data::kHelpGeneralText
                                 : which == HelpText::Batch ? data::kHelpBatchText
                                                            : data::kHelpIndicatorsText;
    std::string text;
    for (const std::string_view line : LinesOf(raw)) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string_view> VersionLines() {
    return LinesOf(data::kVersionLines);
}

std::string VersionHistoryText() {
    const std::vector<std::string_view> lines = VersionLines();
    std::string text;
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        text += *it;
        text += "\r\n";
    }
    return text;
}

}  // namespace quorvex
