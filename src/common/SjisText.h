// Text helpers. Text is UTF-8 in memory; files of the system's own formats and
// every byte limit use Shift-JIS (code page 932).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// UTF-8 to Shift-JIS. A character that Shift-JIS cannot hold becomes "〓".
std::string Utf8ToSjis(std::string_view utf8);
// Shift-JIS to UTF-8. An invalid byte sequence becomes U+FFFD.
std::string SjisToUtf8(std::string_view sjis);

// Number of Shift-JIS bytes the converter writes for one character (a character
// Shift-JIS cannot hold counts as "〓", two bytes).
std::size_t SjisCharLength(char32_t cp);

// Number of Shift-JIS bytes the text takes (a character Shift-JIS cannot hold
// counts as its replacement "〓", two bytes).
std::size_t SjisLength(std::string_view utf8);

// The longest prefix of the text that takes at most maxBytes Shift-JIS bytes;
// a character is never split.
std::string SjisTruncate(std::string_view utf8, std::size_t maxBytes);

// The text as a Shift-JIS file gives it back: a character with a code page
// 932 neighbour comes back as that neighbour (wave dash as fullwidth tilde),
// one Shift-JIS cannot hold as "〓".
std::string SjisRoundTrip(std::string_view utf8);
// Whether the text comes back from a Shift-JIS file unchanged.
bool SjisRoundTrips(std::string_view utf8);
// A file name that comes back unchanged: every character that would not is
// replaced by its non-ASCII neighbour, or by "_" when Shift-JIS cannot hold it.
std::string SjisSafeName(std::string_view utf8);

// The first name of the list that a Shift-JIS file writes as the same bytes
// as an earlier one (the two would come back as one), or nullopt.
std::optional<std::string> SjisDuplicateName(const std::vector<std::string>& names);

// The first character (as UTF-8) that Shift-JIS cannot hold, or nullopt.
std::optional<std::string> FirstNonSjisChar(std::string_view utf8);

// Whether b leads a two-byte Shift-JIS character.
inline bool IsSjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
// The character of one Shift-JIS unit from 0x80: the byte b alone (trail < 0)
// or the lead b with its trail byte; U+FFFD where the converter has none.
char32_t SjisDecodeUnit(unsigned char b, int trail);

// UTF-8 code point iteration: decodes the code point at pos and advances pos.
// An invalid sequence yields U+FFFD and advances one byte.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);
