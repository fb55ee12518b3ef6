#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "core/model/ColourFile.h"
#include "tests/common/Isolation.h"

namespace quorvex {
namespace {

TEST(ReadColourFileText, LenientReading) {
    using C = std::array<Colour, kItemCount>;
    const C start = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    struct Case {
        std::string text;
        C colours;
    };
    const Case cases[] = {
        {"15459068\r\n11789051\r\n16576989\r\n14545121\r\n15785446\r\n15459068\r\n11789051\r\n"
         "16576989\r\n14545121\r\n15785446\r\n",
         DefaultItemColours},
        {"100\n200\n300", {100, 200, 300, 4, 5, 6, 7, 8, 9, 10}},
        {"1\n1\n\n1\n", {1, 1, 0, 1, 5, 6, 7, 8, 9, 10}},  // a blank line is black
        {"0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n11\n12\n", {}},
        {" 16777215x\n-1\nabc\n", {16777215, 0xFFFFFFFF, 0, 4, 5, 6, 7, 8, 9, 10}},
        {"", start},
        {"7\x1A\n8\n", {7, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const auto& c : cases) {
        C colours = start;
        ReadColourFileText(c.text, colours);
        EXPECT_EQ(colours, c.colours) << c.text;
    }
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

// Only a small regular file is read, and nothing waits: a device, a folder, a huge file
// and a FIFO without a writer are refused at once.
TEST(ReadSmallColourFile, OnlySmallRegularFiles) {
    const std::string home = test::TestHome();
    const std::string good = home + "/good.col";
    std::ofstream(good) << "1\r\n2\r\n";
    const std::string largest = home + "/largest.col";
    std::ofstream(largest) << std::string(kMaxColourFileBytes, '7');
    const std::string big = home + "/big.col";
    std::ofstream(big) << "1\n";
    std::filesystem::resize_file(big, std::uintmax_t{1} << 30);  // sparse: 1 GB, no disk
    const std::string fifo = home + "/fifo.col";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    EXPECT_EQ(ReadSmallColourFile(good), "1\r\n2\r\n");
    EXPECT_EQ(ReadSmallColourFile(largest), std::string(kMaxColourFileBytes, '7'));
    for (const std::string& refused : {std::string("/dev/zero"), home, big, fifo,
                                       home + "/missing.col", std::string(largest + '\0' + "x")}) {
        EXPECT_EQ(ReadSmallColourFile(refused), std::nullopt) << refused;
    }
    std::ofstream(largest, std::ios::app) << '7';
    EXPECT_EQ(ReadSmallColourFile(largest), std::nullopt);
}

}  // namespace
}  // namespace quorvex
