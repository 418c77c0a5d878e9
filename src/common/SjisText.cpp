#include "common/SjisText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <unordered_set>

namespace {

// Characters that Linux input methods produce where Shift-JIS (cp932) has a
// neighbouring code point: map them before encoding so they survive.
char32_t Cp932Equivalent(char32_t cp) {
    switch (cp) {
        case 0x301C: return 0xFF5E;  // WAVE DASH → FULLWIDTH TILDE
        case 0x2016: return 0x2225;  // DOUBLE VERTICAL LINE → PARALLEL TO
        case 0x2212: return 0xFF0D;  // MINUS SIGN → FULLWIDTH HYPHEN-MINUS
        case 0x00A2: return 0xFFE0;
        case 0x00A3: return 0xFFE1;
        case 0x00AC: return 0xFFE2;
        case 0x2014: return 0x2015;  // EM DASH → HORIZONTAL BAR
        default: return cp;
    }
}

// The converter's decoding of every byte from 0x80 and every two-byte
// sequence led by one, taken once from iconv; 0 where it fails.
struct SjisDecodeTable {
    char32_t single[0x80];
    char32_t pair[0x80 << 8];
};

const SjisDecodeTable& DecodeTable() {
    static const std::unique_ptr<SjisDecodeTable> table = [] {
        auto t = std::make_unique<SjisDecodeTable>();
        iconv_t cd = iconv_open("UTF-32LE", "CP932");
        auto decode = [cd](const char* in, size_t n) -> char32_t {
            char buf[8];
            char* inp = const_cast<char*>(in);
            char* outp = buf;
            size_t inLeft = n, outLeft = sizeof buf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || outp - buf != 4) return 0;
            return static_cast<unsigned char>(buf[0]) | (static_cast<unsigned char>(buf[1]) << 8) |
                   (static_cast<unsigned char>(buf[2]) << 16) |
                   (static_cast<char32_t>(static_cast<unsigned char>(buf[3])) << 24);
        };
        for (int b = 0x80; b < 0x100; ++b) {
            const char one[1] = {static_cast<char>(b)};
            t->single[b - 0x80] = decode(one, 1);
            const bool lead = IsSjisLead(static_cast<unsigned char>(b));
            for (int c = 0; c < 0x100; ++c) {
                const char two[2] = {static_cast<char>(b), static_cast<char>(c)};
                t->pair[(b - 0x80) << 8 | c] = lead ? decode(two, 2) : 0;
            }
        }
        iconv_close(cd);
        return t;
    }();
    return *table;
}

// The converter's mapping of every BMP code point, taken once from iconv:
// the Shift-JIS bytes (high byte first for two) and their number, 0 when
// code page 932 has no such character. Byte lengths and encoding both come
// from this one table, so a limit check counts exactly the bytes written.
struct Cp932Table {
    uint16_t code[0x10000];
    uint8_t length[0x10000];
};

const Cp932Table& Table() {
    static const std::unique_ptr<Cp932Table> table = [] {
        auto t = std::make_unique<Cp932Table>();
        iconv_t cd = iconv_open("CP932", "UTF-32LE");
        for (char32_t cp = 0; cp < 0x10000; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF) continue;
            char32_t mapped = Cp932Equivalent(cp);
            char in[4] = {static_cast<char>(mapped & 0xFF), static_cast<char>((mapped >> 8) & 0xFF), 0, 0};
            unsigned char buf[8];
            char* inp = in;
            char* outp = reinterpret_cast<char*>(buf);
            size_t inLeft = 4, outLeft = sizeof buf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) continue;
            std::size_t n = static_cast<std::size_t>(outp - reinterpret_cast<char*>(buf));
            if (n == 1) t->code[cp] = buf[0];
            else if (n == 2) t->code[cp] = static_cast<uint16_t>(buf[0] << 8 | buf[1]);
            else continue;
            t->length[cp] = static_cast<uint8_t>(n);
        }
        iconv_close(cd);
        return t;
    }();
    return *table;
}

// Shift-JIS bytes of one code point; 0 when code page 932 cannot hold it.
std::size_t EncodedLength(char32_t cp) { return cp < 0x10000 ? Table().length[cp] : 0; }

// Appends the code point's bytes; false when code page 932 cannot hold it.
bool EncodeOne(char32_t cp, std::string& out) {
    std::size_t n = EncodedLength(cp);
    if (n == 0) return false;
    uint16_t code = Table().code[cp];
    if (n == 2) out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
    return true;
}

constexpr char kGeta[] = "\x81\xAC";  // "〓" in Shift-JIS

}  // namespace

char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || pos + len > s.size()) {
        ++pos;
        return 0xFFFD;
    }
    char32_t cp = b0 & (0x7F >> len);
    for (int i = 1; i < len; ++i) {
        unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    pos += len;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Utf8ToSjis(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (!EncodeOne(NextCodePoint(utf8, pos), out)) out += kGeta;
    }
    return out;
}

char32_t SjisDecodeUnit(unsigned char b, int trail) {
    const SjisDecodeTable& table = DecodeTable();
    const char32_t cp = trail < 0 ? table.single[b - 0x80] : table.pair[(b - 0x80) << 8 | (trail & 0xFF)];
    return cp == 0 ? 0xFFFD : cp;
}

std::string SjisToUtf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    for (std::size_t i = 0; i < sjis.size();) {
        unsigned char b = static_cast<unsigned char>(sjis[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        if (IsSjisLead(b) && i + 1 < sjis.size()) {
            AppendUtf8(out, SjisDecodeUnit(b, static_cast<unsigned char>(sjis[i + 1])));
            i += 2;
        } else {
            AppendUtf8(out, SjisDecodeUnit(b, -1));
            ++i;
        }
    }
    return out;
}

std::size_t SjisCharLength(char32_t cp) {
    std::size_t n = EncodedLength(cp);
    return n == 0 ? sizeof kGeta - 1 : n;
}

std::size_t SjisLength(std::string_view utf8) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < utf8.size();) n += SjisCharLength(NextCodePoint(utf8, pos));
    return n;
}

std::string SjisTruncate(std::string_view utf8, std::size_t maxBytes) {
    std::size_t n = 0, pos = 0;
    while (pos < utf8.size()) {
        std::size_t start = pos;
        std::size_t w = SjisCharLength(NextCodePoint(utf8, pos));
        if (n + w > maxBytes) return std::string(utf8.substr(0, start));
        n += w;
    }
    return std::string(utf8);
}

std::optional<std::string> FirstNonSjisChar(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t start = pos;
        char32_t cp = NextCodePoint(utf8, pos);
        if (cp < 0x80) continue;
        if (cp == 0xFFFD || EncodedLength(cp) == 0)
            return std::string(utf8.substr(start, pos - start));
    }
    return std::nullopt;
}

std::string SjisRoundTrip(std::string_view utf8) { return SjisToUtf8(Utf8ToSjis(utf8)); }

bool SjisRoundTrips(std::string_view utf8) { return SjisRoundTrip(utf8) == utf8; }

std::string SjisSafeName(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(utf8, pos);
        const std::string_view one = utf8.substr(start, pos - start);
        const std::string back = SjisRoundTrip(one);
        if (back == one) out += one;
        else if (EncodedLength(cp) > 0 && static_cast<unsigned char>(back[0]) >= 0x80) out += back;
        else out += '_';
    }
    return out;
}

std::optional<std::string> SjisDuplicateName(const std::vector<std::string>& names) {
    std::unordered_set<std::string> seen;
    for (const std::string& name : names)
        if (!seen.insert(Utf8ToSjis(name)).second) return name;
    return std::nullopt;
}
