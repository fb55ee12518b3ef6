// The JPEG frame search on any bytes: it ends, reads nothing past the buffer (the input is
// copied into an exactly sized allocation, so the address sanitizer sees any overread), and
// what it reports is what the frame header says; the PDF around an accepted JPEG carries it
// unchanged.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/output/Jpg2Pdf.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto copy = std::make_unique<char[]>(size);
    std::copy(data, data + size, copy.get());
    const std::string_view jpeg(copy.get(), size);

    const auto info = quorvex::GetJpegSize(jpeg);
    if (!info) {
        FUZZ_CHECK(!quorvex::CJpg2Pdf::ConvertBytes(jpeg));
        return 0;
    }
    FUZZ_CHECK(size >= 2 && data[0] == 0xFF && data[1] == 0xD8);
    FUZZ_CHECK(info->width >= 0 && info->width <= 0xFFFF);
    FUZZ_CHECK(info->height >= 0 && info->height <= 0xFFFF);

    const auto pdf = quorvex::CJpg2Pdf::ConvertBytes(jpeg);
    FUZZ_CHECK(pdf.has_value());
    FUZZ_CHECK(pdf->find(jpeg) != std::string::npos);
    FUZZ_CHECK(pdf->find("/Width " + std::to_string(info->width) + "\n") != std::string::npos);
    FUZZ_CHECK(pdf->find("/Height " + std::to_string(info->height) + "\n") != std::string::npos);
    FUZZ_CHECK(pdf->find(info->cmyk ? "/DeviceCMYK" : "/DeviceRGB") != std::string::npos);
    return 0;
}
