// Reading delimited text files into the import table.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/ExchangeFormat.h"

enum class TextEncoding { Sjis, Utf8 };
// The names the format dialog shows, by encoding.
inline constexpr const char* kTextEncodingNames[] = {"Shift-JIS", "UTF-8"};

// The encoding of a text file: a UTF-8 byte-order mark decides; otherwise
// both readings are weighed by how plausible their characters are in
// Japanese text (kana, kanji, JIS punctuation against rare scripts, C1
// controls and undecodable bytes), Shift-JIS winning a tie. So half-width
// katakana that happen to form valid UTF-8 (ﾐｷ = "з") stay Shift-JIS.
TextEncoding DetectTextEncoding(std::string_view bytes);

// The answer of the format dialog.
struct TextFormat {
    char delimiter = ',';
    TextEncoding encoding = TextEncoding::Sjis;
};

// The most bytes of a file the format dialog shows.
inline constexpr std::size_t kTextPreviewBytes = 62464;
// The start of the file for the format dialog as UTF-8: at most
// kTextPreviewBytes bytes of it, cut before a character that would not fit.
std::string TextPreview(std::string_view bytes, TextEncoding encoding);
inline std::string TextPreview(std::string_view bytes) { return TextPreview(bytes, DetectTextEncoding(bytes)); }

// Splits the file into records and fields. A quote opens a quoted section
// anywhere in a field (two quotes inside give one); CR LF outside quotes ends
// a record; the delimiter outside quotes ends a field; every other byte,
// lone CR and LF included, belongs to the field. A double-byte character is
// one unit and never acts as delimiter, quote or line end. Fills rows with
// a header ("", "F1".."Fn") and one row per record numbered from 1.
// False (rows empty) for a malformed file: a closing quote not followed by the
// delimiter, CR, LF or the end, a quote left open, or a record whose field
// count differs from the first record's.
// In UTF-8 a byte-order mark is skipped and an invalid sequence becomes
// U+FFFD.
bool ParseDelimitedText(std::string_view bytes, char delimiter, ExchangeTable& rows, TextEncoding encoding);
inline bool ParseDelimitedText(std::string_view bytes, char delimiter, ExchangeTable& rows) {
    return ParseDelimitedText(bytes, delimiter, rows, DetectTextEncoding(bytes));
}

inline constexpr const char* kTextMalformed =
    "テキストファイルの形式が正しくありません。\nファイルの読み込みを中止します。";
inline constexpr const char* kTextDelimiterQuote = "区切り文字には \" (ﾀﾞﾌﾞﾙｸｫｰﾃｰｼｮﾝ)は使用できません。";

// The delimiter choices of the format dialog: カンマ区切り, タブ区切り,
// スペース区切り, then その他 with a one-character field.
inline constexpr char kDelimiterChoices[] = {',', '\t', ' '};
inline constexpr int kOtherDelimiterChoice = 3;
// The delimiter of the choice; for その他 the first Shift-JIS byte of the
// field. A double quote there shows the refusal and clears the field;
// nullopt then, and for an empty field.
std::optional<char> ChosenDelimiter(int choice, std::string& otherField);
