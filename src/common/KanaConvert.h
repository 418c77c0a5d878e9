// Kana conversion for readings (ﾌﾘｶﾞﾅ): hiragana and full-width katakana
// become half-width katakana.
#pragma once

#include <string>
#include <string_view>

// Hiragana and full-width katakana to half-width katakana, voiced and
// semi-voiced sounds split into the base letter and "ﾞ" / "ﾟ" ("が" -> "ｶﾞ").
// The long-vowel mark, the ideographic comma and full stop, the corner
// brackets and the middle dot become their half-width forms; every other
// character is kept.
std::string ToHalfWidthKatakana(std::string_view utf8);

// Whether the text is made only of hiragana, katakana (either width) and the
// long-vowel mark; an empty text is not.
bool IsKanaOnly(std::string_view utf8);
