#pragma once
// Widths of texts already measured, per thread. A batch run draws the same few dozen item
// names and a few thousand ratio texts over and over; shaping each of them again costs more
// than drawing the rest of the diagram. Plain values only, so the store outlives nothing it
// depends on.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quorvex {

class TextWidths final {
  public:
    explicit TextWidths(std::size_t capacity = 8192) : capacity_(capacity) {}

    // The width of `text` in the font `fontKey` names: remembered, or measured now. When the
    // store is full it starts again empty, which bounds its memory whatever the texts are.
    int Width(std::string_view fontKey, std::string_view text, const std::function<int()>& measure);

    std::size_t size() const { return widths_.size(); }

    // The calling thread's own store.
    static TextWidths& ForThisThread();

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    std::size_t capacity_;
    std::string key_;  // reused for lookups
    std::unordered_map<std::string, int, Hash, std::equal_to<>> widths_;
};

}  // namespace quorvex
