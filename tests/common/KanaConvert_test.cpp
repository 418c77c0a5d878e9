#include <gtest/gtest.h>

#include "common/KanaConvert.h"

namespace {

TEST(KanaConvert, HiraganaBecomesHalfWidthKatakana) {
    EXPECT_EQ(ToHalfWidthKatakana("やまだたろう"), "ﾔﾏﾀﾞﾀﾛｳ");
    EXPECT_EQ(ToHalfWidthKatakana("あいうえお"), "ｱｲｳｴｵ");
    EXPECT_EQ(ToHalfWidthKatakana("わをん"), "ﾜｦﾝ");
}

TEST(KanaConvert, VoicedAndSemiVoicedMarksAreSplit) {
    EXPECT_EQ(ToHalfWidthKatakana("がぎぐげご"), "ｶﾞｷﾞｸﾞｹﾞｺﾞ");
    EXPECT_EQ(ToHalfWidthKatakana("ぱぴぷぺぽ"), "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ");
    EXPECT_EQ(ToHalfWidthKatakana("ぢづ"), "ﾁﾞﾂﾞ");
    EXPECT_EQ(ToHalfWidthKatakana("ヴ"), "ｳﾞ");
    EXPECT_EQ(ToHalfWidthKatakana("ゔ"), "ｳﾞ");
}

TEST(KanaConvert, SmallLettersAndMarks) {
    EXPECT_EQ(ToHalfWidthKatakana("きゃっしゅ"), "ｷｬｯｼｭ");
    EXPECT_EQ(ToHalfWidthKatakana("ぁぃぅぇぉ"), "ｧｨｩｪｫ");
    EXPECT_EQ(ToHalfWidthKatakana("らーめん"), "ﾗｰﾒﾝ");
    EXPECT_EQ(ToHalfWidthKatakana("「あ」、い。・"), "｢ｱ｣､ｲ｡･");
    // Letters without a half-width form use the nearest one.
    EXPECT_EQ(ToHalfWidthKatakana("ゎゐゑヵヶ"), "ﾜｲｴｶｹ");
}

TEST(KanaConvert, FullWidthKatakanaToo) {
    EXPECT_EQ(ToHalfWidthKatakana("ヤマダ　タロウ"), "ﾔﾏﾀﾞ　ﾀﾛｳ");
    EXPECT_EQ(ToHalfWidthKatakana("パソコン"), "ﾊﾟｿｺﾝ");
}

TEST(KanaConvert, OtherCharactersAreKept) {
    EXPECT_EQ(ToHalfWidthKatakana("山田abc123ｱｲ"), "山田abc123ｱｲ");
    EXPECT_EQ(ToHalfWidthKatakana(""), "");
    EXPECT_EQ(ToHalfWidthKatakana("ゆき雪"), "ﾕｷ雪");
}

TEST(KanaConvert, KanaOnly) {
    EXPECT_TRUE(IsKanaOnly("やまだ"));
    EXPECT_TRUE(IsKanaOnly("ラーメン"));
    EXPECT_TRUE(IsKanaOnly("ｱｲ"));
    EXPECT_FALSE(IsKanaOnly(""));
    EXPECT_FALSE(IsKanaOnly("やまd"));
    EXPECT_FALSE(IsKanaOnly("山田"));
}

}  // namespace
