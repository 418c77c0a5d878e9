// Vertical writing: a text becomes a column of glyph cells.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CVerticalGlyph {
    std::string text;   // one character (UTF-8)
    bool turned = false;     // long marks, dashes and brackets are drawn turned a quarter
    bool upperRight = false; // small kana and 、。 sit in the upper right of their cell
};

// Digits (either width) become kanji numerals "〇一二三四五六七八九".
std::string ToKanjiNumerals(std::string_view utf8);
// Half-width katakana (with their voiced and semi-voiced marks) become
// full-width katakana; other characters are kept.
std::string ToFullWidthKatakana(std::string_view utf8);
// Half-width ASCII digits become full-width ("０".."９"), "-" becomes "－".
std::string ToFullWidthDigits(std::string_view utf8);
// The text as vertical glyphs: full-width katakana, kanji numerals, and each
// character marked turned or upper-right as vertical writing wants.
std::vector<CVerticalGlyph> VerticalGlyphs(std::string_view utf8);
// Splits UTF-8 text into its characters.
std::vector<std::string> SplitChars(std::string_view utf8);
