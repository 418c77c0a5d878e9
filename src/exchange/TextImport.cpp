#include "exchange/TextImport.h"

#include "common/Ports.h"
#include "common/SjisText.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsSjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Length of a well-formed UTF-8 sequence at pos, or 0.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos) {
    unsigned char b = static_cast<unsigned char>(s[pos]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || pos + n > s.size()) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80) return 0;
    if (n == 2 && b < 0xC2) return 0;  // overlong
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

}  // namespace

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return TextEncoding::Utf8Bom;
    bool multiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        std::size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0) return TextEncoding::Sjis;
        multiByte = true;
        i += n;
    }
    return multiByte ? TextEncoding::Utf8 : TextEncoding::Sjis;
}

std::string TextPreview(std::string_view bytes) {
    TextEncoding enc = DetectTextEncoding(bytes);
    if (enc == TextEncoding::Utf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    const bool utf8 = enc != TextEncoding::Sjis;
    std::size_t end = 0;
    while (end < bytes.size()) {
        std::size_t n = UnitLength(bytes, end, utf8);
        if (end + n > kTextPreviewBytes) break;
        end += n;
    }
    std::string_view cut = bytes.substr(0, end);
    return utf8 ? std::string(cut) : SjisToUtf8(cut);
}

bool ParseDelimitedText(std::string_view bytes, char delimiter, ExchangeTable& rows) {
    rows.clear();
    TextEncoding enc = DetectTextEncoding(bytes);
    if (enc == TextEncoding::Utf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    const bool utf8 = enc != TextEncoding::Sjis;

    std::vector<std::string> record;
    std::string field;
    std::size_t fieldCount = 0;
    bool quoted = false;
    bool sawAny = false;  // the current record has begun
    auto endField = [&] {
        record.push_back(utf8 ? std::move(field) : SjisToUtf8(field));
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
    for (std::size_t i = 0; i < size;) {
        const char c = bytes[i];
        const std::size_t n = static_cast<unsigned char>(c) < 0x80 ? 1 : UnitLength(bytes, i, utf8);
        sawAny = true;
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
