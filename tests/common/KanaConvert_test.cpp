#include <gtest/gtest.h>

#include "common/KanaConvert.h"

namespace {

TEST(KanaConvert, ToHalfWidthKatakana) {
    const std::pair<const char*, const char*> cases[] = {
        {"やまだたろう", "ﾔﾏﾀﾞﾀﾛｳ"},
        {"わをん", "ﾜｦﾝ"},
        // Voiced and semi-voiced marks become a second character.
        {"がぎぐげご", "ｶﾞｷﾞｸﾞｹﾞｺﾞ"},
        {"ぱぴぷぺぽ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        {"ぢづヴゔ", "ﾁﾞﾂﾞｳﾞｳﾞ"},
        {"きゃっしゅ", "ｷｬｯｼｭ"},
        {"ぁぃぅぇぉ", "ｧｨｩｪｫ"},
        {"らーめん", "ﾗｰﾒﾝ"},
        {"「あ」、い。・", "｢ｱ｣､ｲ｡･"},
        {"ゎゐゑヵヶ", "ﾜｲｴｶｹ"},  // no half-width form: the nearest one
        {"ヤマダ　タロウ", "ﾔﾏﾀﾞ　ﾀﾛｳ"},
        {"パソコン", "ﾊﾟｿｺﾝ"},
        {"山田abc123ｱｲ", "山田abc123ｱｲ"},
        {"ゆき雪", "ﾕｷ雪"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(ToHalfWidthKatakana(in), out) << in;
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
