#include "exchange/TextImport.h"

#include "common/Ports.h"
#include "common/SjisText.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD


// Length of a well-formed UTF-8 sequence at pos (no overlong form, surrogate
// or code point beyond U+10FFFF), or 0.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b = at(pos);
    if (b < 0x80) return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (pos + n > s.size() || at(pos + 1) < low || at(pos + 1) > high) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if ((at(pos + i) & 0xC0) != 0x80) return 0;
    return n;
}

// Bytes of the character at pos: 2 for a Shift-JIS lead byte with a byte
// after it, the sequence length in UTF-8 (1 for a stray byte).
std::size_t UnitLength(std::string_view s, std::size_t pos, bool utf8) {
    if (utf8) {
        std::size_t n = Utf8SequenceLength(s, pos);
        return n == 0 ? 1 : n;
    }
    return IsSjisLead(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size() ? 2 : 1;
}

std::string_view WithoutBom(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8 && bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
    return bytes;
}

// How unlikely a character is in the text of a Japanese business file,
// roughly in bits: the reading with the lower sum is the better one. ASCII
// reads the same either way and costs nothing; an undecodable byte costs the
// most.
constexpr unsigned kUndecodable = 40;
unsigned CharCost(char32_t cp) {
    const auto in = [cp](char32_t low, char32_t high) { return cp >= low && cp <= high; };
    if (cp < 0x80) return 0;
    if (cp == 0xFFFD) return kUndecodable;
    if (in(0x80, 0x9F)) return 30;                                  // C1 controls
    if (in(0xFF61, 0xFF9F)) return 6;                               // half-width katakana
    if (in(0x3041, 0x30FF)) return 7;                               // hiragana, katakana
    if (in(0x3000, 0x303F) || in(0xFF01, 0xFF60) || in(0xFFE0, 0xFFE5)) return 8;  // JIS punctuation, full-width forms
    if (in(0x2010, 0x2312) || in(0x2460, 0x24FF) || in(0x2500, 0x257F) || in(0x25A0, 0x266F) ||
        in(0x3200, 0x33FF))
        return 10;                                                  // JIS symbols
    if (in(0x4E00, 0x9FFF)) return 12;                              // kanji
    if (in(0xA0, 0xFF) || in(0xF900, 0xFAFF)) return 14;            // Latin-1, compatibility kanji
    if (in(0x391, 0x3C9) || in(0x401, 0x451)) return 16;            // Greek, Cyrillic of JIS
    return 20;                                                      // other scripts, private use, emoji
}

// One reading of the file, advanced a piece at a time.
struct Reading {
    std::size_t pos = 0;
    unsigned long long cost = 0;
};

// Reads UTF-8 (after the byte-order mark) up to the byte until.
void ReadUtf8(std::string_view s, Reading& r, std::size_t until) {
    while (r.pos < until) {
        if (static_cast<unsigned char>(s[r.pos]) < 0x80) {
            ++r.pos;
        } else if (Utf8SequenceLength(s, r.pos) == 0) {
            r.cost += kUndecodable;
            ++r.pos;
        } else {
            r.cost += CharCost(NextCodePoint(s, r.pos));
        }
    }
}

// Reads Shift-JIS up to the byte until, one character at a time as the
// parser takes them.
void ReadSjis(std::string_view s, Reading& r, std::size_t until) {
    while (r.pos < until) {
        const unsigned char b = static_cast<unsigned char>(s[r.pos]);
        if (b < 0x80) {
            ++r.pos;
        } else if (UnitLength(s, r.pos, false) == 2) {
            r.cost += CharCost(SjisDecodeUnit(b, static_cast<unsigned char>(s[r.pos + 1])));
            r.pos += 2;
        } else {
            r.cost += CharCost(SjisDecodeUnit(b, -1));
            ++r.pos;
        }
    }
}

}  // namespace

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return TextEncoding::Utf8;
    // Both readings go through the file a piece at a time; once one is
    // dearer by a hundred undecodable characters' worth, the rest of the
    // file cannot sensibly change the answer.
    constexpr std::size_t kPiece = 1 << 16;
    constexpr unsigned long long kDecisive = 100 * kUndecodable;
    Reading utf8, sjis;
    for (std::size_t end = 0; end < bytes.size();) {
        end = std::min(bytes.size(), end + kPiece);
        ReadUtf8(bytes, utf8, end);
        ReadSjis(bytes, sjis, end);
        if (utf8.cost > sjis.cost + kDecisive || sjis.cost > utf8.cost + kDecisive) break;
    }
    return utf8.cost < sjis.cost ? TextEncoding::Utf8 : TextEncoding::Sjis;
}

std::string TextPreview(std::string_view bytes, TextEncoding encoding) {
    bytes = WithoutBom(bytes, encoding);
    const bool utf8 = encoding == TextEncoding::Utf8;
    std::size_t end = 0;
    while (end < bytes.size()) {
        std::size_t n = UnitLength(bytes, end, utf8);
        if (end + n > kTextPreviewBytes) break;
        end += n;
    }
    std::string_view cut = bytes.substr(0, end);
    if (!utf8) return SjisToUtf8(cut);
    std::string out;
    out.reserve(cut.size());
    for (std::size_t i = 0; i < cut.size();) {
        const std::size_t n = Utf8SequenceLength(cut, i);
        if (n == 0) out += kReplacement;
        else out.append(cut.substr(i, n));
        i += n == 0 ? 1 : n;
    }
    return out;
}

bool ParseDelimitedText(std::string_view bytes, char delimiter, ExchangeTable& rows, TextEncoding encoding) {
    rows.clear();
    bytes = WithoutBom(bytes, encoding);
    const bool utf8 = encoding == TextEncoding::Utf8;

    std::vector<std::string> record;
    std::string field;
    std::size_t fieldCount = 0;
    bool quoted = false;
    bool sawAny = false;  // the current record has begun
    auto endField = [&] {
        // Single-byte characters below 0x80 read the same in both encodings.
        const bool plain = std::all_of(field.begin(), field.end(),
                                       [](char b) { return static_cast<unsigned char>(b) < 0x80; });
        record.push_back(utf8 || plain ? std::move(field) : SjisToUtf8(field));
        field.clear();
    };
    auto endRecord = [&]() -> bool {
        endField();
        if (rows.empty()) {
            fieldCount = record.size();
            std::vector<std::string> header{std::string()};
            for (std::size_t i = 1; i <= fieldCount; ++i) header.push_back("F" + std::to_string(i));
            rows.push_back(std::move(header));
        } else if (record.size() != fieldCount) {
            return false;
        }
        std::vector<std::string> row;
        row.reserve(fieldCount + 1);
        row.push_back(std::to_string(rows.size()));
        for (auto& f : record) row.push_back(std::move(f));
        rows.push_back(std::move(row));
        record.clear();
        sawAny = false;
        return true;
    };
    auto fail = [&] {
        rows.clear();
        return false;
    };

    const std::size_t size = bytes.size();
    // Bytes that end a run of plain characters in the current state.
    auto special = [&](unsigned char b) {
        return b >= 0x80 || b == '"' || (!quoted && (b == static_cast<unsigned char>(delimiter) || b == '\r'));
    };
    for (std::size_t i = 0; i < size;) {
        const char c = bytes[i];
        sawAny = true;
        if (!special(static_cast<unsigned char>(c))) {
            // A run of plain characters at once.
            std::size_t end = i + 1;
            while (end < size && !special(static_cast<unsigned char>(bytes[end]))) ++end;
            field.append(bytes.data() + i, end - i);
            i = end;
            continue;
        }
        const std::size_t n = static_cast<unsigned char>(c) < 0x80 ? 1 : UnitLength(bytes, i, utf8);
        if (utf8 && n == 1 && static_cast<unsigned char>(c) >= 0x80) {
            field += kReplacement;
            ++i;
            continue;
        }
        if (n > 1) {
            field.append(bytes.data() + i, n);
            i += n;
            continue;
        }
        if (quoted) {
            if (c == '"') {
                if (i + 1 < size && bytes[i + 1] == '"') {
                    field.push_back('"');
                    i += 2;
                    continue;
                }
                quoted = false;
                ++i;
                if (i < size && bytes[i] != delimiter && bytes[i] != '\r' && bytes[i] != '\n') return fail();
                continue;
            }
            field.push_back(c);
            ++i;
            continue;
        }
        if (c == '"') {
            quoted = true;
            ++i;
        } else if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            if (!endRecord()) return fail();
            i += 2;
        } else if (c == delimiter) {
            endField();
            ++i;
        } else {
            field.push_back(c);
            ++i;
        }
    }
    if (quoted) return fail();
    if (sawAny && !endRecord()) return fail();
    return true;
}

std::optional<char> ChosenDelimiter(int choice, std::string& otherField) {
    if (choice >= 0 && choice < kOtherDelimiterChoice) return kDelimiterChoices[choice];
    const std::string bytes = Utf8ToSjis(otherField);
    if (bytes.empty()) return std::nullopt;
    if (bytes[0] == '"') {
        ShowMessage(kTextDelimiterQuote);
        otherField.clear();
        return std::nullopt;
    }
    return bytes[0];
}
