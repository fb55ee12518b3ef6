#pragma once
// The lines of a text, for every reader of the embedded data files and the colour file.
// Lines end with LF; a last line without LF still counts, and a text ending in LF has no
// empty line after it. A view into the text: the text must outlive the lines.

#include <cstddef>
#include <iterator>
#include <string_view>

namespace quorvex {

class TextLines {
  public:
    explicit TextLines(std::string_view text) : text_(text) {}

    class iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view*;
        using reference = std::string_view;

        iterator() = default;
        explicit iterator(std::string_view rest) : rest_(rest) { Take(); }
        std::string_view operator*() const { return line_; }
        iterator& operator++() {
            Take();
            return *this;
        }
        iterator operator++(int) {
            iterator old = *this;
            Take();
            return old;
        }
        // Iterators over the same text are equal when they are at the same place.
        bool operator==(const iterator& other) const {
            return done_ == other.done_ && rest_.data() == other.rest_.data();
        }

      private:
        void Take();
        std::string_view rest_;
        std::string_view line_;
        bool done_ = true;
    };

    iterator begin() const { return iterator(text_); }
    iterator end() const { return iterator(); }

  private:
    std::string_view text_;
};

// The line without one trailing CR (a line of a CR LF text).
std::string_view WithoutCr(std::string_view line);

// Whether a line of a data table (resources/*.tsv) is a row: neither empty nor a comment
// starting with '#'. A trailing CR is not part of the row.
bool IsTableRow(std::string_view line);

}  // namespace quorvex
