// Reading delimited text files into the import table.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/ExchangeFormat.h"

enum class TextEncoding { Sjis, Utf8, Utf8Bom };

// UTF-8 when the bytes start with its byte-order mark, or are valid UTF-8 and
// hold at least one multi-byte character; Shift-JIS otherwise.
TextEncoding DetectTextEncoding(std::string_view bytes);

// The most bytes of a file the format dialog shows.
inline constexpr std::size_t kTextPreviewBytes = 62464;
// The start of the file for the format dialog as UTF-8: at most
// kTextPreviewBytes bytes of it, cut before a character that would not fit.
std::string TextPreview(std::string_view bytes);

// Splits the file into records and fields. A quote opens a quoted section
// anywhere in a field (two quotes inside give one); CR LF outside quotes ends
// a record; the delimiter outside quotes ends a field; every other byte,
// lone CR and LF included, belongs to the field. A double-byte character is
// one unit and never acts as delimiter, quote or line end. Fills rows with
// a header ("", "F1".."Fn") and one row per record numbered from 1.
// False (rows empty) for a malformed file: a closing quote not followed by the
// delimiter, CR, LF or the end, a quote left open, or a record whose field
// count differs from the first record's.
bool ParseDelimitedText(std::string_view bytes, char delimiter, ExchangeTable& rows);

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
