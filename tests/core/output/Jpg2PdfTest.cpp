#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/output/Jpg2Pdf.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/Isolation.h"
#include "tests/common/RecordingMessageSink.h"
#include "tests/core/output/JpegFixtures.h"

namespace quorvex {
namespace {

using test::PutFrame;
using test::PutMarker;
using test::PutSegment;
using test::SyntheticJpeg;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The six object offsets as the cross-reference section lists them.
std::vector<long> XrefOffsets(const std::string& pdf, long xref) {
    std::vector<long> offsets;
    const std::string head = "xref\n0 7\n0000000000 65535 f \n";
    EXPECT_EQ(pdf.compare(static_cast<std::size_t>(xref), head.size(), head), 0);
    std::size_t pos = static_cast<std::size_t>(xref) + head.size();
    for (int i = 0; i < 6; ++i, pos += 20) {
        const std::string entry = pdf.substr(pos, 20);
        EXPECT_EQ(entry.substr(10), " 00000 n \n") << entry;
        offsets.push_back(std::stol(entry.substr(0, 10)));
    }
    EXPECT_EQ(pdf.compare(pos, 8, "trailer\n"), 0);
    return offsets;
}

long StartXref(const std::string& pdf) {
    const std::size_t at = pdf.rfind("startxref\n");
    return std::stol(pdf.substr(at + 10));
}

TEST(Jpg2Pdf, WorkedExampleLayout) {
    struct Case {
        int components;
        std::vector<long> offsets;
        long xref;
        std::size_t size;
    };
    const Case cases[] = {
        {3, {9, 58, 117, 275, 12801, 12884}, 12902, 13107},
        // Four components add the CMYK colour space and the decode line: 26 bytes.
        {4, {9, 58, 117, 275, 12827, 12910}, 12928, 13133},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.components);
        const std::string jpeg = SyntheticJpeg(12345, 400, 300, c.components);
        ASSERT_EQ(jpeg.size(), 12345u);
        const auto pdf = CJpg2Pdf::ConvertBytes(jpeg);
        ASSERT_TRUE(pdf);
        EXPECT_EQ(pdf->size(), c.size);
        EXPECT_EQ(StartXref(*pdf), c.xref);
        EXPECT_EQ(XrefOffsets(*pdf, c.xref), c.offsets);
        for (int i = 0; i < 6; ++i) {
            const std::string line = std::to_string(i + 1) + " 0 obj\n";
            EXPECT_EQ(pdf->compare(static_cast<std::size_t>(c.offsets[i]), line.size(), line), 0)
                << "object " << i + 1;
        }
        EXPECT_EQ(pdf->substr(static_cast<std::size_t>(c.offsets[4])),
                  "5 0 obj\n<< /Length 6 0 R >>\nstream\nq\n400 0 0 300 0 0 cm\n/Im0 Do\nQ\n"
                  "endstream\nendobj\n6 0 obj\n31\nendobj\n" +
                      pdf->substr(static_cast<std::size_t>(c.xref)));
        EXPECT_TRUE(pdf->ends_with("trailer\n<<\n/Size 7\n/Root 1 0 R\n>>\nstartxref\n" +
                                   std::to_string(c.xref) + "\n%%EOF\n"));
        EXPECT_TRUE(
            pdf->starts_with("%PDF-1.2\n1 0 obj\n<<\n/Type /Catalog\n/Pages 2 0 R\n"
                             ">>\nendobj\n2 0 obj\n<<\n/Type /Pages\n/Kids [ 3 0 R ]\n"
                             "/Count 1\n>>\nendobj\n3 0 obj\n<<\n/Type /Page\n"
                             "/Parent 2 0 R\n/Resources\n<<\n/XObject << /Im0 4 0 R >>\n"
                             "/ProcSet [ /PDF /ImageC ]\n>>\n/MediaBox [ 0 0 400 300 ]\n"
                             "/Contents 5 0 R\n>>\nendobj\n4 0 obj\n<<\n/Type /XObject\n"
                             "/Subtype /Image\n/Name /Im0\n/Width 400\n/Height 300\n"
                             "/BitsPerComponent 8\n/Filter [/DCTDecode]\n"));
        const std::string colour = c.components == 4
                                       ? "/ColorSpace /DeviceCMYK\n/Decode[1 0 1 0 1 0 1 0]\n"
                                       : "/ColorSpace /DeviceRGB\n";
        const std::string streamHead = colour + "/Length 12345 >>\nstream\n";
        const std::size_t at = pdf->find(streamHead);
        ASSERT_NE(at, std::string::npos);
        // The stream is the JPEG byte for byte, "endstream" right after its last byte.
        const std::size_t start = at + streamHead.size();
        EXPECT_EQ(pdf->substr(start, jpeg.size()), jpeg);
        EXPECT_EQ(pdf->compare(start + jpeg.size(), 17, "endstream\nendobj\n"), 0);
        // Line ends are LF only outside the embedded image.
        std::string outside = *pdf;
        outside.erase(start, jpeg.size());
        EXPECT_EQ(outside.find('\r'), std::string::npos);
    }
}

TEST(Jpg2Pdf, ContentLengthFollowsTheDigitsOfTheSize) {
    struct Case {
        int width, height;
        const char* matrix;
        int length;
    };
    const Case cases[] = {
        {1, 1, "1 0 0 1 0 0 cm", 27},
        {400, 300, "400 0 0 300 0 0 cm", 31},
        {65535, 65535, "65535 0 0 65535 0 0 cm", 35},  // unsigned 16-bit, not negative
    };
    for (const auto& c : cases) {
        const auto pdf = CJpg2Pdf::ConvertBytes(SyntheticJpeg(500, c.width, c.height, 3));
        ASSERT_TRUE(pdf);
        EXPECT_NE(pdf->find(std::string("\n") + c.matrix + "\n"), std::string::npos);
        EXPECT_NE(pdf->find("6 0 obj\n" + std::to_string(c.length) + "\nendobj\n"),
                  std::string::npos);
        const std::string box =
            "/MediaBox [ 0 0 " + std::to_string(c.width) + " " + std::to_string(c.height) + " ]\n";
        EXPECT_NE(pdf->find(box), std::string::npos);
        const auto offsets = XrefOffsets(*pdf, StartXref(*pdf));
        for (int i = 0; i < 6; ++i) {
            const std::string line = std::to_string(i + 1) + " 0 obj\n";
            EXPECT_EQ(pdf->compare(static_cast<std::size_t>(offsets[i]), line.size(), line), 0);
        }
    }
}

std::string Soi() {
    std::string s;
    PutMarker(s, 0xD8);
    return s;
}

TEST(GetJpegSize, FrameSearch) {
    struct Case {
        const char* what;
        std::string bytes;
        bool ok;
        int width = 0, height = 0;
        bool cmyk = false;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", "", false});
    cases.push_back({"one byte", std::string(1, '\xFF'), false});
    cases.push_back({"not a JPEG", "GIF89a\x01\x00\x01\x00", false});
    cases.push_back({"PNG signature", "\x89PNG\r\n\x1a\n", false});
    cases.push_back({"start marker only", Soi(), false});
    {
        std::string s = Soi();
        PutFrame(s, 0xC0, 640, 480, 3);
        cases.push_back({"baseline RGB", s, true, 640, 480, false});
    }
    {
        std::string s = Soi();
        PutFrame(s, 0xC2, 123, 45, 3);
        cases.push_back({"progressive", s, true, 123, 45, false});
    }
    {
        std::string s = Soi();
        PutFrame(s, 0xC0, 10, 20, 4);
        cases.push_back({"CMYK", s, true, 10, 20, true});
    }
    {
        std::string s = Soi();
        PutFrame(s, 0xC0, 10, 20, 1);
        cases.push_back({"grayscale", s, false});
    }
    {
        std::string s = Soi();
        PutFrame(s, 0xC0, 10, 20, 2);
        cases.push_back({"two components", s, false});
    }
    {
        std::string s = Soi();
        PutSegment(s, 0xE0, std::string("JFIF\0\1\2\0\0\1\0\1\0\0", 14));
        PutSegment(s, 0xE1, "Exif" + std::string(300, '\x42'));
        PutSegment(s, 0xEE, "Adobe" + std::string(7, '\0'));
        PutSegment(s, 0xDB, std::string(65, '\x01'));  // quantisation table
        PutSegment(s, 0xFE, "");                       // empty comment: length 2
        PutFrame(s, 0xC0, 65535, 1, 3);
        cases.push_back({"APPn segments first", s, true, 65535, 1, false});
    }
    {
        std::string s = Soi();
        PutFrame(s, 0xC1, 10, 20, 3);  // extended sequential: not recognised, skipped
        PutFrame(s, 0xC2, 30, 40, 3);
        cases.push_back({"only C0 and C2 count", s, true, 30, 40, false});
    }
    {
        std::string s = Soi();
        PutMarker(s, 0xD9);
        PutFrame(s, 0xC0, 10, 20, 3);
        cases.push_back({"end of image before the frame", s, false});
    }
    {
        std::string s = Soi();
        PutMarker(s, 0xFF);
        cases.push_back({"FF FF", s, false});
    }
    {
        std::string s = Soi();
        PutFrame(s, 0xC0, 640, 480, 3);
        s.resize(2 + 2 + 2 + 1 + 2 + 2);  // cut before the component count
        cases.push_back({"truncated frame header", s, false});
    }
    {
        std::string s = Soi();
        PutMarker(s, 0xE0);
        s.push_back('\0');  // half a length
        cases.push_back({"truncated length", s, false});
    }
    for (const int length : {0, 1}) {
        std::string s = Soi();
        PutMarker(s, 0xE0);
        test::Put16(s, length);
        s += std::string(16, '\0');
        PutFrame(s, 0xC0, 10, 20, 3);
        cases.push_back({length == 0 ? "segment length 0" : "segment length 1", s, false});
    }
    {
        std::string s = Soi();
        PutMarker(s, 0xE1);
        test::Put16(s, 1000);  // reaches past the end
        s += std::string(20, '\0');
        cases.push_back({"segment past the end", s, false});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A heap copy of exactly the input's size, so the sanitizer sees any overread.
        const std::unique_ptr<char[]> heap(new char[c.bytes.size() + 1]);
        std::copy(c.bytes.begin(), c.bytes.end(), heap.get());
        const auto info = GetJpegSize(std::string_view(heap.get(), c.bytes.size()));
        ASSERT_EQ(info.has_value(), c.ok);
        if (!info) continue;
        EXPECT_EQ(info->width, c.width);
        EXPECT_EQ(info->height, c.height);
        EXPECT_EQ(info->cmyk, c.cmyk);
    }
}

// Its value is under the sanitizer: each input is a heap copy of its exact size, so a read
// past the end fails the AddressSanitizer build (make test-asan). The plain build checks
// only that every input ends.
TEST(GetJpegSize, EndsOnArbitraryBytes) {
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        std::string s = Soi();
        const int n = static_cast<int>(random() % 64);
        for (int k = 0; k < n; ++k)
            s.push_back(static_cast<char>(random() % 4 == 0 ? 0xFF : random()));
        const std::unique_ptr<char[]> heap(new char[s.size()]);
        std::copy(s.begin(), s.end(), heap.get());
        (void)GetJpegSize(std::string_view(heap.get(), s.size()));
    }
}

class Jpg2PdfFiles : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directory(dir); }

    std::string dir = test::TestHome() + "/pdf";
    std::string jpegPath = dir + "/in.jpeg";
    std::string pdfPath = dir + "/out.pdf";
    test::RecordingMessageSink messages;

    std::vector<std::string> FolderEntries(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(Jpg2PdfFiles, ConvertWritesTheSameBytesAndPrintsSuccess) {
    const std::string jpeg = SyntheticJpeg(12345, 400, 300, 3);
    WriteAll(jpegPath, jpeg);
    WriteAll(pdfPath, "an older, longer PDF that gets replaced" + std::string(20000, 'x'));
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(CJpg2Pdf().Convert(jpegPath, pdfPath, messages));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\nSuccess!\n");
    EXPECT_EQ(ReadAll(pdfPath), *CJpg2Pdf::ConvertBytes(jpeg));
    EXPECT_EQ(ReadAll(jpegPath), jpeg);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"in.jpeg", "out.pdf"}));

    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(CJpg2Pdf(false).Convert(jpegPath, pdfPath, messages));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST_F(Jpg2PdfFiles, FailuresShowTheirStepAndLeaveNoPdf) {
    struct Case {
        const char* what;
        std::string jpeg;  // empty: no JPEG file at all
        std::string pdf;
        std::string_view prefix;
    };
    const std::string good = SyntheticJpeg(2000, 40, 30, 3);
    std::string gray = Soi();
    PutFrame(gray, 0xC0, 40, 30, 1);
    const Case cases[] = {
        {"missing JPEG", "", pdfPath, CJpg2Pdf::kPrefixStreamOpen},
        {"not a JPEG", "BM not a jpeg at all", pdfPath, CJpg2Pdf::kPrefixGetSize},
        {"grayscale", gray, pdfPath, CJpg2Pdf::kPrefixGetSize},
        {"missing folder", good, dir + "/nowhere/out.pdf", CJpg2Pdf::kPrefixFileCreate},
        {"a folder where the PDF goes", good, dir + "/folder.pdf", CJpg2Pdf::kPrefixFileCreate},
        {"a NUL in the PDF's name", good, dir + std::string("/a\0b.pdf", 8),
         CJpg2Pdf::kPrefixFileCreate},
        {"a folder where the JPEG is", "/", pdfPath, CJpg2Pdf::kPrefixStreamOpen},
    };
    std::filesystem::create_directory(dir + "/folder.pdf");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(jpegPath);
        if (c.jpeg == "/") {
            std::filesystem::create_directory(jpegPath);
        } else if (!c.jpeg.empty()) {
            WriteAll(jpegPath, c.jpeg);
        }
        messages.messages.clear();
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(CJpg2Pdf().Convert(jpegPath, c.pdf, messages));
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].id, kMsgPdfFailed);
        EXPECT_EQ(messages.messages[0].prefix, c.prefix);
        EXPECT_EQ(messages.messages[0].kind, MessageKind::Error);
        EXPECT_FALSE(std::filesystem::is_regular_file(c.pdf));
        if (!c.jpeg.empty() && c.jpeg != "/") {
            EXPECT_EQ(ReadAll(jpegPath), c.jpeg);
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir + "/folder.pdf"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/a"));  // the name cut at the NUL
    std::filesystem::remove_all(jpegPath);
    EXPECT_EQ(messages.messages[0].Text(), "[Stream Open]\nＰＤＦの作成に失敗しました");

    // A file that opens but cannot be read (the start of this process's memory gives EIO)
    // is a failed frame search, not the end of the process.
    messages.messages.clear();
    EXPECT_FALSE(CJpg2Pdf(false).Convert("/proc/self/mem", pdfPath, messages));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].prefix, CJpg2Pdf::kPrefixGetSize);
    EXPECT_FALSE(std::filesystem::exists(pdfPath));
}

TEST_F(Jpg2PdfFiles, WriteErrorKeepsTheExistingPdf) {
    const std::string jpeg = SyntheticJpeg(12345, 400, 300, 3);
    WriteAll(jpegPath, jpeg);
    const std::string old = "the PDF of an earlier output";
    WriteAll(pdfPath, old);
    bool ok = true;
    {
        const test::FileSizeLimit limit(4096);
        ok = CJpg2Pdf(false).Convert(jpegPath, pdfPath, messages);
    }
    EXPECT_FALSE(ok);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].prefix, CJpg2Pdf::kPrefixFileWrite);
    EXPECT_EQ(ReadAll(pdfPath), old);
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"in.jpeg", "out.pdf"}));
}

}  // namespace
}  // namespace quorvex
