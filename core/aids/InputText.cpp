#include "core/aids/InputText.h"

#include "core/batch/CsvText.h"

namespace quorvex {

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
    for (int n = 1; n <= kItemCount; ++n) fields[n - 1] = SplitFields(text, n, ',');
    return fields;
}

}  // namespace quorvex
