#include "aids/InputText.h"

namespace quorvex {

namespace {

// Field n (from 1) of text split at separator; empty when the text has fewer fields.
// Stand-in until the CSV reader's shared field splitter is available.
std::string FieldOf(std::string_view text, int n, char separator) {
    std::size_t start = 0;
    for (int count = 1;; ++count) {
        const std::size_t pos = text.find(separator, start);
        if (count == n) return std::string(text.substr(start, pos - start));
        if (pos == std::string_view::npos) return {};
        start = pos + 1;
    }
}

}  // namespace

int TabsToCommas(std::string& text) {
    int count = 0;
    for (char& c : text) {
        if (c == '\t') {
            c = ',';
            ++count;
        }
    }
    return count;
}

std::array<std::string, kItemCount> PasteFields(std::string text) {
    TabsToCommas(text);
    std::array<std::string, kItemCount> fields;
    for (int n = 1; n <= kItemCount; ++n) fields[n - 1] = FieldOf(text, n, ',');
    return fields;
}

}  // namespace quorvex
