#include "engine/render/TextWidths.h"

namespace quorvex {

int TextWidths::Width(std::string_view fontKey, std::string_view text,
                      const std::function<int()>& measure) {
    // The font key never holds the separator, so no two pairs make the same key.
    key_.assign(fontKey).append(1, '\0').append(text);
    if (const auto it = widths_.find(std::string_view(key_)); it != widths_.end()) {
        return it->second;
    }
    const int width = measure();
    if (widths_.size() >= capacity_) widths_.clear();
    widths_.emplace(key_, width);
    return width;
}

TextWidths& TextWidths::ForThisThread() {
    thread_local TextWidths widths;
    return widths;
}

}  // namespace quorvex
