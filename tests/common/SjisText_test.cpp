#include <gtest/gtest.h>

#include "common/SjisText.h"

namespace {

TEST(SjisText, RoundTripsJapaneseAndHalfWidthKana) {
    const std::string text = "山田太郎 ﾔﾏﾀﾞﾀﾛｳ ABC-123 ～①㈱";
    std::string sjis = Utf8ToSjis(text);
    EXPECT_EQ(sjis.substr(0, 4), "\x8E\x52\x93\x63");
    EXPECT_EQ(SjisToUtf8(sjis), text);
    EXPECT_EQ(SjisLength(text), sjis.size());
    // A wave dash and a minus sign as Linux input methods produce them.
    EXPECT_EQ(FirstNonSjisChar("10〜20−5"), std::nullopt);
    EXPECT_EQ(SjisToUtf8(Utf8ToSjis("〜")), "～");
    // Invalid bytes decode to the replacement character.
    EXPECT_EQ(SjisToUtf8("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(SjisToUtf8("\xA0"), "\xEF\xBF\xBD");
}

TEST(SjisText, LengthAndTruncateCountShiftJisBytes) {
    EXPECT_EQ(SjisLength(""), 0u);
    EXPECT_EQ(SjisLength("abc"), 3u);
    EXPECT_EQ(SjisLength("ｱｲｳ"), 3u);  // half-width katakana: one byte each
    EXPECT_EQ(SjisLength("アイウ"), 6u);
    // 25 two-byte characters and one ASCII letter: 51 bytes, over a 50-byte limit.
    std::string name;
    for (int i = 0; i < 25; ++i) name += "山";
    name += "A";
    EXPECT_EQ(SjisLength(name), 51u);
    EXPECT_EQ(Utf8ToSjis(name).size(), 51u);
    EXPECT_EQ(SjisTruncate(name, 50), name.substr(0, name.size() - 1));
    // Truncation never splits a character.
    EXPECT_EQ(SjisLength(SjisTruncate("a山田", 2)), 1u);  // "山" would need bytes 2 and 3
    EXPECT_EQ(SjisTruncate("a山田", 3), "a山");
    EXPECT_EQ(SjisTruncate("ｱ山", 1), "ｱ");
    EXPECT_EQ(SjisTruncate("abc", 10), "abc");
    EXPECT_EQ(SjisTruncate("山", 0), "");
}

TEST(SjisText, CharactersOutsideShiftJis) {
    EXPECT_EQ(FirstNonSjisChar("山田太郎"), std::nullopt);
    EXPECT_EQ(FirstNonSjisChar("髙橋"), std::nullopt);  // an extension character cp932 holds
    EXPECT_EQ(FirstNonSjisChar("田中😀様"), std::optional<std::string>("😀"));
    EXPECT_EQ(FirstNonSjisChar("𠮷野家"), std::optional<std::string>("𠮷"));
    EXPECT_EQ(FirstNonSjisChar("한국"), std::optional<std::string>("한"));
    // Converters write "〓" instead; the length agrees with what is written.
    EXPECT_EQ(Utf8ToSjis("a😀b"), "a\x81\xAC" "b");
    EXPECT_EQ(SjisLength("a😀b"), 4u);
}

}  // namespace
