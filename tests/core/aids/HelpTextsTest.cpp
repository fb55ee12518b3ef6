// The help texts and version lines exactly as the program shows them.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <stdexcept>

#include "core/aids/HelpTexts.h"

namespace quorvex {
namespace {

// UTF-8 to code page 932 with glibc's converter; throws on a character it cannot hold.
std::string ToCp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
    std::string in = utf8;
    std::string out(in.size() * 2 + 16, '\0');
    char* src = in.data();
    char* dst = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const std::size_t rc = iconv(cd, &src, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("not convertible");
    out.resize(out.size() - outLeft);
    return out;
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2)
        lines.push_back(text.substr(start, pos - start));
    EXPECT_EQ(start, text.size()) << "text must end with CR LF";
    return lines;
}

struct TextCase {
    HelpText which;
    std::size_t lines;
    std::size_t cp932Bytes;
    const char* first;
    const char* last;
};

TEST(HelpTexts, LineAndByteCountsInCp932) {
    for (const TextCase& c :
         {TextCase{HelpText::General, 78, 3676, "【全般説明】",
                   "     貸借対照表の場合は「第n期_BS.拡張子」、損益計算書の場合は"
                   "「第n期_PL.拡張子」となります"},
          TextCase{HelpText::Batch, 27, 1875, "【一括作成の説明】",
                   "　　正常に作成されたときは、「保存場所を表示しますか」"
                   "という確認が表示されます"}}) {
        const std::string text = HelpTextOf(c.which);
        const auto lines = CrLfLines(text);
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(ToCp932(text).size(), c.cp932Bytes);
        EXPECT_EQ(lines.front(), c.first);
        EXPECT_EQ(lines[lines.size() - 2], c.last);
        EXPECT_EQ(lines.back(), "");
        EXPECT_TRUE(text.ends_with("\r\n\r\n"));
        EXPECT_EQ(text.find('\t'), std::string::npos);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
                  std::count(text.begin(), text.end(), '\r'));
    }
}

TEST(HelpTexts, IndentsAreKept) {
    const auto general = CrLfLines(HelpTextOf(HelpText::General));
    EXPECT_EQ(
        general[10],
        "     　 "
        "また、その右側にあるサイコロのアイコンをクリックして、ランダムな色にすることができます");
    EXPECT_EQ(general[19], general[13]);
    EXPECT_EQ(general[7], " (1) 項目の色のセット");
    EXPECT_EQ(general[26], "   ア 上");
    EXPECT_EQ(general[33],
              "     構成比率の小数点以下の数字を付けないときは 0 に、付けるときは "
              "1～5桁の範囲でセットします");
    const auto batch = CrLfLines(HelpTextOf(HelpText::Batch));
    EXPECT_TRUE(batch[4].starts_with("　　BSファイル名,PＬファイル名,流動資産,"));
    EXPECT_EQ(batch[16],
              "　　　(例) 第123期, 9876543210,123456789,54321687,123456789,9876543210,"
              "123456789,54321687,9876543210,123456789,54321687");
}

TEST(VersionLines, NewestFirstEndingWithALineBreak) {
    EXPECT_EQ(VersionLines().size(), 4u);
    EXPECT_EQ(VersionHistoryText(),
              "Ver. 1.03 2022.11.14 Windows 11対応\r\n"
              "Ver. 1.02 2015.03.23 一括作成時の出力オプションを追加\r\n"
              "Ver. 1.01 2014.09.29 一括作成時、図の大きさの個別設定を追加\r\n"
              "Ver. 1.00 2014.09.05 新規作成\r\n");
}

}  // namespace
}  // namespace quorvex
