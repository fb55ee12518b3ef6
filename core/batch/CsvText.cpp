#include "core/batch/CsvText.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <vector>

namespace quorvex {

std::string SplitFields(std::string_view text, int n, char separator) {
    std::size_t start = 0;
    for (int count = 1;; ++count) {
        const std::size_t pos = text.find(separator, start);
        if (count == n) {
            return std::string(
                text.substr(start, pos == std::string_view::npos ? pos : pos - start));
        }
        if (pos == std::string_view::npos || count > n) return std::string();
        start = pos + 1;
    }
}

std::size_t CountChar(std::string_view text, char c) {
    std::size_t n = 0;
    for (char x : text) n += x == c;
    return n;
}

bool IsValidUtf8(std::string_view bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len;
        unsigned lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n) return false;
        if (s[i + 1] < lo || s[i + 1] > hi) return false;
        for (std::size_t k = 2; k < len; ++k) {
            if (s[i + k] < 0x80 || s[i + k] > 0xBF) return false;
        }
        i += len;
    }
    return true;
}

CsvLineReader::Result CsvLineReader::Next(std::string& line) {
    line.clear();
    if (ended_) return Result::End;
    if (!std::getline(in_, line, '\n')) {
        ended_ = true;
        return in_.bad() ? Result::ReadError : Result::End;
    }
    if (in_.bad()) {
        ended_ = true;
        return Result::ReadError;
    }
    const bool hadLineEnd = !in_.eof();
    const std::size_t eof = line.find('\x1A');
    if (eof != std::string::npos) {
        ended_ = true;
        line.resize(eof);
        // Text before the mark is a last line without line end; nothing before it, no line.
        return eof == 0 ? Result::End : Result::Line;
    }
    if (hadLineEnd && !line.empty() && line.back() == '\r') line.pop_back();
    return Result::Line;
}

CsvScan ScanCsv(std::istream& in, std::size_t maxLines) {
    return ScanCsv(in, maxLines, {});
}

CsvScan ScanCsv(std::istream& in, std::size_t maxLines,
                const std::function<void(std::size_t, std::string_view)>& eachLine) {
    CsvScan scan;
    CsvLineReader reader(in);
    std::string line;
    bool utf8 = true;
    bool bom = false;
    while (scan.lines <= maxLines) {
        const CsvLineReader::Result r = reader.Next(line);
        if (r == CsvLineReader::Result::ReadError) scan.readError = true;
        if (r != CsvLineReader::Result::Line) break;
        if (scan.lines == 0) bom = line.starts_with(kUtf8Bom);
        if (utf8) utf8 = IsValidUtf8(line);
        if (eachLine) eachLine(scan.lines, line);
        ++scan.lines;
    }
    scan.encoding =
        !utf8 ? TextEncoding::Cp932 : (bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8);
    return scan;
}

struct Cp932Codec::Handles {
    iconv_t decode = reinterpret_cast<iconv_t>(-1);
    iconv_t encode = reinterpret_cast<iconv_t>(-1);
};

Cp932Codec::Cp932Codec() : handles_(std::make_unique<Handles>()) {
    handles_->decode = iconv_open("UTF-8", "CP932");
    handles_->encode = iconv_open("CP932", "UTF-8");
}

Cp932Codec::~Cp932Codec() {
    const auto bad = reinterpret_cast<iconv_t>(-1);
    if (handles_->decode != bad) iconv_close(handles_->decode);
    if (handles_->encode != bad) iconv_close(handles_->encode);
}

namespace {

// Length of the UTF-8 sequence starting with c (1 for a stray byte), for skipping a
// character iconv cannot convert.
std::size_t Utf8Length(unsigned char c) {
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
}

// Converts with cd; on a byte sequence it cannot convert it writes replacement and skips
// skip(first byte) bytes. Without a converter every non-ASCII byte is replaced.
template <typename Skip>
std::string Convert(iconv_t cd, std::string_view in, std::string_view replacement, Skip skip) {
    std::string out;
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char c : in) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out += c;
            } else {
                out += replacement;
            }
        }
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> buffer(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        const int error = errno;  // before the append, whose allocation may change errno
        out.append(buffer.data(), dst);
        if (r != static_cast<std::size_t>(-1)) break;
        if (error == E2BIG) continue;
        // EILSEQ or EINVAL (a cut-off sequence at the end): replace and go on.
        const std::size_t n = std::min(srcLeft, skip(static_cast<unsigned char>(*src)));
        out += replacement;
        src += n;
        srcLeft -= n;
    }
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer.data(), dst);
    return out;
}

}  // namespace

std::string Cp932Codec::Decode(std::string_view cp932) const {
    return Convert(handles_->decode, cp932, "\xEF\xBF\xBD",
                   [](unsigned char) -> std::size_t { return 1; });
}

std::string Cp932Codec::Encode(std::string_view utf8) const {
    return Convert(handles_->encode, utf8, "?", Utf8Length);
}

std::string DecodeLine(std::string_view raw, TextEncoding encoding, const Cp932Codec& codec) {
    if (encoding != TextEncoding::Cp932) return std::string(raw);
    return codec.Decode(raw);
}

std::string EncodeTextFile(std::string_view utf8, TextEncoding encoding, const Cp932Codec& codec) {
    std::string crlf;
    crlf.reserve(utf8.size() + utf8.size() / 16);
    for (char c : utf8) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    switch (encoding) {
        case TextEncoding::Cp932:
            return codec.Encode(crlf);
        case TextEncoding::Utf8WithBom:
            return std::string(kUtf8Bom) + crlf;
        case TextEncoding::Utf8:
            break;
    }
    return crlf;
}

}  // namespace quorvex
