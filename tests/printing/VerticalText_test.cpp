// Conversions for vertical writing and the derived own-company values.
#include <gtest/gtest.h>

#include "printing/VerticalText.h"

TEST(VerticalText, Conversions) {
    struct Case {
        std::string (*convert)(std::string_view);
        const char* in;
        const char* out;
    } cases[] = {
        {ToKanjiNumerals, "123-4567", "一二三-四五六七"},
        {ToKanjiNumerals, "０９番地", "〇九番地"},
        {ToFullWidthDigits, "123-4567", "１２３－４５６７"},
        {ToFullWidthKatakana, "ｶﾞｯｺｳ", "ガッコウ"},
        {ToFullWidthKatakana, "ﾊﾟﾝﾎﾟﾎﾟ", "パンポポ"},
        {ToFullWidthKatakana, "ｳﾞｨﾗ", "ヴィラ"},
        {ToFullWidthKatakana, "カ゛ハ゜", "ガパ"},
        {ToFullWidthKatakana, "ﾞｱﾞ", "゛ア゛"},  // marks that cannot combine stay as marks
        {ToFullWidthKatakana, "ﾃｽﾄ｡ｰ", "テスト。ー"},
        {ToFullWidthKatakana, "漢字abc", "漢字abc"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.convert(c.in), c.out) << c.in;
}

TEST(VerticalText, GlyphsAreTurnedOrRaised) {
    auto glyphs = VerticalGlyphs("ﾏﾝｼｮﾝ1-2（東）、a");
    std::vector<std::string> texts;
    std::string turned, raised;
    for (const auto& g : glyphs) {
        texts.push_back(g.text);
        turned += g.turned ? '1' : '0';
        raised += g.upperRight ? '1' : '0';
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"マ", "ン", "シ", "ョ", "ン", "一", "-", "二", "（", "東", "）", "、", "ａ"}));
    EXPECT_EQ(turned, "0000001010100");
    EXPECT_EQ(raised, "0001000000010");
}
