#pragma once
// Reading the batch CSV: field splitting, line splitting and the two encodings a CSV may
// come in. Toolkit-free.

#include <cstddef>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

namespace quorvex {

// Field n (counted from 1) of text, fields separated by separator; the empty text when the
// text has fewer fields. No quoting, no trimming. Neither "," nor a tab can be part of a
// multibyte character in UTF-8 or CP932, so a byte search is a character search.
std::string SplitFields(std::string_view text, int n, char separator);

// Number of occurrences of c in text.
std::size_t CountChar(std::string_view text, char c);

enum class TextEncoding { Cp932, Utf8, Utf8WithBom };

bool IsValidUtf8(std::string_view bytes);
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Splits a byte stream into lines: a line ends at LF, a CR directly before the LF belongs to
// the line end, a lone CR is an ordinary character, the last line needs no line end, and a
// byte 0x1A ends the input. Every line is returned, blank ones included; lines have no
// length limit, and only one line is held at a time.
class CsvLineReader final {
  public:
    enum class Result { Line, End, ReadError };

    explicit CsvLineReader(std::istream& in) : in_(in) {}
    Result Next(std::string& line);

  private:
    std::istream& in_;
    bool ended_ = false;
};

// The first reading pass: the number of lines (counting stops once it exceeds maxLines)
// and the encoding: UTF-8 when every line is valid UTF-8 (with the mark when the first line
// begins with one), else CP932.
struct CsvScan {
    std::size_t lines = 0;
    TextEncoding encoding = TextEncoding::Utf8;
    bool readError = false;
};
CsvScan ScanCsv(std::istream& in, std::size_t maxLines);
// The same, handing each counted line (0 the first, raw bytes, the mark not removed) to
// eachLine: what needs every record before the first is drawn is gathered here.
CsvScan ScanCsv(std::istream& in, std::size_t maxLines,
                const std::function<void(std::size_t, std::string_view)>& eachLine);

// CP932 <-> UTF-8 through the C library's iconv. Bytes that are not CP932 become U+FFFD;
// characters CP932 cannot hold are written as "?". One converter per thread.
class Cp932Codec final {
  public:
    Cp932Codec();
    ~Cp932Codec();
    Cp932Codec(const Cp932Codec&) = delete;
    Cp932Codec& operator=(const Cp932Codec&) = delete;

    std::string Decode(std::string_view cp932) const;
    std::string Encode(std::string_view utf8) const;

  private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

// Text of a raw CSV line in the file's encoding, as UTF-8. For Utf8WithBom the caller has
// already removed the mark from the first line.
std::string DecodeLine(std::string_view raw, TextEncoding encoding, const Cp932Codec& codec);

// The bytes of a text file in the given encoding: every LF becomes CR LF; UTF-8 with a
// byte-order mark in front for Utf8WithBom.
std::string EncodeTextFile(std::string_view utf8, TextEncoding encoding, const Cp932Codec& codec);

}  // namespace quorvex
