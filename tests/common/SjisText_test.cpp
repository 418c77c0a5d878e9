#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include <iconv.h>

#include "common/SjisText.h"
#include "support/SjisNames.h"

namespace {

// iconv's own code page 932 encoding of one character, nullopt when it has none.
class Cp932Encoder {
public:
    Cp932Encoder() : m_cd(iconv_open("CP932", "UTF-32LE")) {}
    ~Cp932Encoder() { iconv_close(m_cd); }
    std::optional<std::string> operator()(char32_t cp) {
        char in[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
                      static_cast<char>((cp >> 16) & 0xFF), 0};
        char out[8];
        char* inp = in;
        char* outp = out;
        size_t inLeft = 4, outLeft = sizeof out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
        return std::string(out, static_cast<std::size_t>(outp - out));
    }

private:
    iconv_t m_cd;
};

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

// Every code point: the length used for limits equals the bytes written, and
// for each character code page 932 holds, those are the converter's bytes.
TEST(SjisText, LengthEqualsConvertedBytesForEveryCharacter) {
    Cp932Encoder encode;
    int held = 0;
    for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string utf8;
        AppendUtf8(utf8, cp);
        std::string written = Utf8ToSjis(utf8);
        ASSERT_EQ(SjisLength(utf8), written.size()) << std::hex << static_cast<uint32_t>(cp);
        ASSERT_EQ(SjisCharLength(cp), written.size()) << std::hex << static_cast<uint32_t>(cp);
        ASSERT_EQ(SjisTruncate(utf8 + "a", written.size()), utf8) << std::hex << static_cast<uint32_t>(cp);
        // iconv drops a few format characters silently; those are not held.
        if (auto expected = encode(cp); expected && !expected->empty()) {
            ++held;
            ASSERT_EQ(written, *expected) << std::hex << static_cast<uint32_t>(cp);
            ASSERT_EQ(FirstNonSjisChar(utf8), std::nullopt) << std::hex << static_cast<uint32_t>(cp);
        }
    }
    EXPECT_GT(held, 7000);
    // Characters with one-byte forms beside ASCII: yen sign and overline.
    for (const char* c : {"¥", "‾"}) EXPECT_EQ(SjisLength(c), 1u) << c;
    // A note of 100 yen signs fits a 100-byte limit.
    std::string yen;
    for (int i = 0; i < 100; ++i) yen += "¥";
    EXPECT_EQ(SjisLength(yen), Utf8ToSjis(yen).size());
    EXPECT_EQ(SjisTruncate(yen, 100), yen);
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

namespace {

TEST(SjisNames, ChangedCharactersAndSafeNames) {
    const std::vector<std::string>& changed = SjisChangedCharacters();
    for (const char* c : {"〜", "−", "‖", "¢", "£", "¬", "—"})
        EXPECT_NE(std::find(changed.begin(), changed.end(), c), changed.end()) << c;
    // Each becomes its non-ASCII neighbour, which survives.
    for (const std::string& c : changed) {
        const std::string safe = SjisSafeName("春" + c + "夏.jpg");
        EXPECT_TRUE(SjisRoundTrips(safe)) << c;
        EXPECT_NE(safe, "春" + c + "夏.jpg");
        if (static_cast<unsigned char>(SjisRoundTrip(c)[0]) >= 0x80) EXPECT_EQ(safe, SjisRoundTrip("春" + c + "夏.jpg"));
        else EXPECT_EQ(safe, "春_夏.jpg") << c;
    }
    const struct {
        std::string name, safe;
    } cases[] = {
        {"春〜夏.jpg", "春～夏.jpg"},
        {"−5‖¢£¬—", "－5∥￠￡￢―"},
        {"😀.jpg", "_.jpg"},          // Shift-JIS cannot hold it
        {"a\xFF.bmp", "a_.bmp"},       // an invalid byte
        {"山田 ﾔﾏﾀﾞ ①.jpg", "山田 ﾔﾏﾀﾞ ①.jpg"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SjisSafeName(c.name), c.safe) << c.name;
        EXPECT_EQ(SjisRoundTrips(c.name), c.name == c.safe) << c.name;
    }
    // Names one Shift-JIS list would hold twice.
    EXPECT_EQ(SjisDuplicateName({"a.jpg", "春〜夏.jpg", "b.jpg", "春～夏.jpg"}), "春～夏.jpg");
    EXPECT_EQ(SjisDuplicateName({"😀.jpg", "🌸.jpg"}), "🌸.jpg");
    EXPECT_EQ(SjisDuplicateName({"春〜夏.jpg", "秋〜冬.jpg", "😀.jpg"}), std::nullopt);
}

}  // namespace
