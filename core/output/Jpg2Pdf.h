#pragma once
// Wraps one JPEG into a one-page PDF 1.2 whose page is exactly as large as the image, with
// the JPEG embedded unchanged as a DCT-compressed image. Toolkit-free: works on byte
// buffers, with a file-based entry point on top.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/AtomicFile.h"
#include "core/model/Messages.h"

namespace quorvex {

struct JpegFrameInfo {
    int width = 0;      // unsigned 16-bit in the frame header
    int height = 0;     // unsigned 16-bit in the frame header
    bool cmyk = false;  // four components; three means RGB
};

// Reads the size and colour model from the first baseline (FF C0) or progressive (FF C2)
// frame header. Fails on a missing start-of-image marker, an end-of-image or FF FF marker
// before the frame, a component count other than 3 or 4, a segment length below 2, a
// segment reaching past the end, and on truncated input. Never reads past `jpeg`.
std::optional<JpegFrameInfo> GetJpegSize(std::string_view jpeg);

// The PDF bytes around `jpeg` for the given frame facts: header, catalog, page tree, page,
// the image (the JPEG byte for byte), the page content, its length, the cross-reference
// section and the trailer. Every line ends in one LF.
std::string BuildJpegPdf(std::string_view jpeg, const JpegFrameInfo& info);

class CJpg2Pdf final {
  public:
    // The bracketed step names that precede "ＰＤＦの作成に失敗しました".
    static constexpr std::string_view kPrefixStreamOpen = "[Stream Open]\n";
    static constexpr std::string_view kPrefixGetSize = "[Get Size]\n";
    static constexpr std::string_view kPrefixFileCreate = "[File Create]\n";
    static constexpr std::string_view kPrefixCopyStream = "[Copy Stream]\n";
    static constexpr std::string_view kPrefixFileWrite = "[File Write]\n";

    // printSuccess: write "\nSuccess!\n" to stdout after a conversion. The headless batch
    // tool turns it off, because its stdout carries only the summary path.
    explicit CJpg2Pdf(bool printSuccess = true) : printSuccess_(printSuccess) {}

    // In memory: the PDF for `jpeg`, or nothing when its frame header cannot be read (the
    // "[Get Size]" failure). Shows no message and prints nothing.
    static std::optional<std::string> ConvertBytes(std::string_view jpeg);

    // Reads the JPEG at jpegPath and writes the PDF at pdfPath with WriteFileAtomically
    // (durable), so a failure never leaves a partial PDF nor touches an existing one. Each
    // failure shows prefix + message 30003 (error). The JPEG file is never changed.
    bool Convert(const std::string& jpegPath, const std::string& pdfPath,
                 MessageSink& messages) const;
    // The same with the PDF written as `name` inside `folder` (WriteFileInFolder: never
    // outside the folder).
    bool Convert(const std::string& jpegPath, const std::string& folder, std::string_view name,
                 MessageSink& messages) const;

  private:
    bool ConvertWith(const std::string& jpegPath, MessageSink& messages,
                     const std::function<WriteOutcome(std::string_view)>& write) const;

    bool printSuccess_;
};

}  // namespace quorvex
