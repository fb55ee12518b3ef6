#include "core/output/Jpg2Pdf.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>

namespace quorvex {
namespace {

// Big-endian reader over a byte buffer that refuses to go past its end.
class ByteReader final {
  public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    bool Read8(int& v) {
        if (bytes_.size() - pos_ < 1) return false;
        v = static_cast<unsigned char>(bytes_[pos_++]);
        return true;
    }
    bool Read16(int& v) {
        if (bytes_.size() - pos_ < 2) return false;
        v = (static_cast<unsigned char>(bytes_[pos_]) << 8) |
            static_cast<unsigned char>(bytes_[pos_ + 1]);
        pos_ += 2;
        return true;
    }
    bool Skip(std::size_t n) {
        if (bytes_.size() - pos_ < n) return false;
        pos_ += n;
        return true;
    }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

void Line(std::string& out, std::string_view text) {
    out.append(text);
    out.push_back('\n');
}

void NumberLine(std::string& out, std::string_view before, long long n, std::string_view after) {
    out.append(before);
    out.append(std::to_string(n));
    out.append(after);
    out.push_back('\n');
}

// "%0.10d 00000 n \n": ten digits with leading zeros, 20 bytes in all.
void XrefEntry(std::string& out, long long offset) {
    std::array<char, 32> buf{};
    std::snprintf(buf.data(), buf.size(), "%010lld 00000 n \n", offset);
    out.append(buf.data());
}

}  // namespace

std::optional<JpegFrameInfo> GetJpegSize(std::string_view jpeg) {
    ByteReader in(jpeg);
    int soi = 0;
    if (!in.Read16(soi) || soi != 0xFFD8) return std::nullopt;
    // Every pass consumes at least four bytes, so the search ends on any input.
    for (;;) {
        int marker = 0;
        if (!in.Read16(marker)) return std::nullopt;
        if (marker == 0xFFC0 || marker == 0xFFC2) {
            JpegFrameInfo info;
            int components = 0;
            if (!in.Skip(3) || !in.Read16(info.height) || !in.Read16(info.width) ||
                !in.Read8(components)) {
                return std::nullopt;
            }
            if (components != 3 && components != 4) return std::nullopt;
            info.cmyk = components == 4;
            return info;
        }
        if (marker == 0xFFFF || marker == 0xFFD9) return std::nullopt;
        int length = 0;
        if (!in.Read16(length) || length < 2) return std::nullopt;
        if (!in.Skip(static_cast<std::size_t>(length - 2))) return std::nullopt;
    }
}

std::string BuildJpegPdf(std::string_view jpeg, const JpegFrameInfo& info) {
    const long long w = info.width;
    const long long h = info.height;
    std::array<long long, 6> offsets{};
    std::string out;
    out.reserve(jpeg.size() + 1024);

    Line(out, "%PDF-1.2");

    offsets[0] = static_cast<long long>(out.size());
    for (const char* l : {"1 0 obj", "<<", "/Type /Catalog", "/Pages 2 0 R", ">>", "endobj"}) {
        Line(out, l);
    }

    offsets[1] = static_cast<long long>(out.size());
    for (const char* l :
         {"2 0 obj", "<<", "/Type /Pages", "/Kids [ 3 0 R ]", "/Count 1", ">>", "endobj"}) {
        Line(out, l);
    }

    offsets[2] = static_cast<long long>(out.size());
    for (const char* l : {"3 0 obj", "<<", "/Type /Page", "/Parent 2 0 R", "/Resources", "<<",
                          "/XObject << /Im0 4 0 R >>", "/ProcSet [ /PDF /ImageC ]", ">>"}) {
        Line(out, l);
    }
    Line(out, "/MediaBox [ 0 0 " + std::to_string(w) + " " + std::to_string(h) + " ]");
    for (const char* l : {"/Contents 5 0 R", ">>", "endobj"}) Line(out, l);

    offsets[3] = static_cast<long long>(out.size());
    for (const char* l : {"4 0 obj", "<<", "/Type /XObject", "/Subtype /Image", "/Name /Im0"}) {
        Line(out, l);
    }
    NumberLine(out, "/Width ", w, "");
    NumberLine(out, "/Height ", h, "");
    Line(out, "/BitsPerComponent 8");
    Line(out, "/Filter [/DCTDecode]");
    if (info.cmyk) {
        Line(out, "/ColorSpace /DeviceCMYK");
        Line(out, "/Decode[1 0 1 0 1 0 1 0]");
    } else {
        Line(out, "/ColorSpace /DeviceRGB");
    }
    NumberLine(out, "/Length ", static_cast<long long>(jpeg.size()), " >>");
    Line(out, "stream");
    out.append(jpeg);
    Line(out, "endstream");
    Line(out, "endobj");

    offsets[4] = static_cast<long long>(out.size());
    Line(out, "5 0 obj");
    Line(out, "<< /Length 6 0 R >>");
    Line(out, "stream");
    const std::size_t contentStart = out.size();
    Line(out, "q");
    Line(out, std::to_string(w) + " 0 0 " + std::to_string(h) + " 0 0 cm");
    Line(out, "/Im0 Do");
    Line(out, "Q");
    const long long contentLength = static_cast<long long>(out.size() - contentStart);
    Line(out, "endstream");
    Line(out, "endobj");

    offsets[5] = static_cast<long long>(out.size());
    Line(out, "6 0 obj");
    NumberLine(out, "", contentLength, "");
    Line(out, "endobj");

    const long long xref = static_cast<long long>(out.size());
    Line(out, "xref");
    NumberLine(out, "0 ", static_cast<long long>(offsets.size() + 1), "");
    Line(out, "0000000000 65535 f ");
    for (const long long o : offsets) XrefEntry(out, o);

    Line(out, "trailer");
    Line(out, "<<");
    NumberLine(out, "/Size ", static_cast<long long>(offsets.size() + 1), "");
    Line(out, "/Root 1 0 R");
    Line(out, ">>");
    Line(out, "startxref");
    NumberLine(out, "", xref, "");
    Line(out, "%%EOF");
    return out;
}

std::optional<std::string> CJpg2Pdf::ConvertBytes(std::string_view jpeg) {
    const auto info = GetJpegSize(jpeg);
    if (!info) return std::nullopt;
    return BuildJpegPdf(jpeg, *info);
}

bool CJpg2Pdf::Convert(const std::string& jpegPath, const std::string& pdfPath,
                       MessageSink& messages) const {
    return ConvertWith(jpegPath, messages, [&](std::string_view pdf) {
        return WriteFileAtomically(pdfPath, pdf, Durability::Durable);
    });
}

bool CJpg2Pdf::Convert(const std::string& jpegPath, const std::string& folder,
                       std::string_view name, MessageSink& messages) const {
    return ConvertWith(jpegPath, messages, [&](std::string_view pdf) {
        return WriteFileInFolder(folder, name, pdf, Durability::Durable);
    });
}

bool CJpg2Pdf::ConvertWith(const std::string& jpegPath, MessageSink& messages,
                           const std::function<WriteOutcome(std::string_view)>& write) const {
    const auto fail = [&](std::string_view prefix) {
        messages.ShowMessage(kMsgPdfFailed, prefix, MessageKind::Error);
        return false;
    };
    // A folder opens as a stream here, but is not one.
    struct stat source {};
    if (::stat(jpegPath.c_str(), &source) == 0 && S_ISDIR(source.st_mode)) {
        return fail(kPrefixStreamOpen);
    }
    std::ifstream in(jpegPath, std::ios::binary);
    if (!in) return fail(kPrefixStreamOpen);
    std::string jpeg;
    try {
        jpeg.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::bad_alloc&) {
        // No memory to hold the JPEG; nothing has been written yet.
        return fail(kPrefixCopyStream);
    } catch (const std::ios_base::failure&) {
        // The stream buffer throws on a read error (EIO, EISDIR) instead of setting a flag.
        return fail(kPrefixGetSize);
    }
    if (in.bad()) return fail(kPrefixGetSize);
    in.close();

    const auto info = GetJpegSize(jpeg);
    if (!info) return fail(kPrefixGetSize);

    std::string pdf;
    try {
        pdf = BuildJpegPdf(jpeg, *info);
    } catch (const std::bad_alloc&) {
        return fail(kPrefixCopyStream);
    }
    switch (write(pdf)) {
        case WriteOutcome::Written:
            break;
        case WriteOutcome::NotCreated:
            return fail(kPrefixFileCreate);
        case WriteOutcome::NotWritten:
            return fail(kPrefixFileWrite);
    }
    if (printSuccess_) {
        std::fputs("\nSuccess!\n", stdout);
        std::fflush(stdout);
    }
    return true;
}

}  // namespace quorvex
