#include <cstdint>
#include <cstdio>
#include <vector>

#include "common/SjisText.h"
#include "exchange/Formats.h"

namespace {

// Quotes and encodes cells to Shift-JIS in one pass. Characters of the basic
// plane are converted once each (by Utf8ToSjis) and then taken from a table:
// a file of a hundred thousand rows repeats the same few thousand characters.
class CCsvEncoder {
public:
    CCsvEncoder() : m_bmp(0x10000, 0) {}

    void Cell(std::string_view s, std::string& out) {
        out += '"';
        const std::size_t n = s.size();
        for (std::size_t i = 0; i < n;) {
            const unsigned char b = static_cast<unsigned char>(s[i]);
            if (b < 0x80) {
                if (b == '"') out += '"';
                out += static_cast<char>(b);
                ++i;
                continue;
            }
            const std::size_t start = i;
            const char32_t cp = NextCodePoint(s, i);
            if (cp >= 0x10000) {
                out += Utf8ToSjis(s.substr(start, i - start));
                continue;
            }
            uint32_t& e = m_bmp[cp];
            if (!e) e = Lookup(cp);
            out += static_cast<char>((e >> 8) & 0xFF);
            if ((e >> 16) > 1) out += static_cast<char>(e & 0xFF);
        }
        out += '"';
    }

private:
    // length << 16 | first byte << 8 | second byte
    static uint32_t Lookup(char32_t cp) {
        std::string utf8;
        AppendUtf8(utf8, cp);
        const std::string s = Utf8ToSjis(utf8);
        return (static_cast<uint32_t>(s.size()) << 16) | (static_cast<uint32_t>(static_cast<unsigned char>(s[0])) << 8) |
               (s.size() > 1 ? static_cast<unsigned char>(s[1]) : 0u);
    }

    std::vector<uint32_t> m_bmp;  // 0: not converted yet
};

}  // namespace

namespace {

// One line of the file: the quoted cells, comma-separated, CR LF.
void AppendLine(CCsvEncoder& encoder, const std::vector<std::string>& row, std::string& out) {
    for (std::size_t c = 0; c < row.size(); ++c) {
        if (c) out += ',';
        encoder.Cell(row[c], out);
    }
    out += "\r\n";
}

}  // namespace

std::string TextFileBytes(const ExchangeTable& table) {
    std::size_t size = 0;
    for (const auto& row : table)
        for (const std::string& cell : row) size += cell.size() + 3;
    std::string out;
    out.reserve(size + 2 * table.size());
    CCsvEncoder encoder;
    for (const auto& row : table) AppendLine(encoder, row, out);
    return out;
}

bool CTextFormat::WriteRows(const std::string& path, const ExchangeTable& table) {
    std::size_t next = 0;
    return WriteRows(path, [&](std::vector<std::string>& row) {
        if (next == table.size()) return false;
        row = table[next++];
        return true;
    });
}

bool CTextFormat::WriteRows(const std::string& path, const ExchangeRowSource& next) {
    ClearError();
    CReplacingFile file(path);
    if (!file.Create()) return Fail(kCannotCreateFile);
    FILE* f = std::fopen(file.TempPath().c_str(), "wb");
    bool ok = f != nullptr;
    CCsvEncoder encoder;
    std::vector<std::string> row;
    std::string bytes;
    constexpr std::size_t kChunk = 1 << 20;
    bool unreadable = false;
    for (bool more = ok; more;) {
        row.clear();
        const int step = next(row);
        unreadable = step < 0;
        more = step > 0;
        if (more) AppendLine(encoder, row, bytes);
        if (bytes.size() >= kChunk || (!more && !bytes.empty())) {
            ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
            bytes.clear();
            if (!ok) break;
        }
    }
    if (f) ok = std::fclose(f) == 0 && ok;
    if (unreadable) return Fail(kRowsUnreadable);  // the temporary file goes with `file`
    if (!ok || !file.Commit()) return Fail(kCannotCreateFile);
    return true;
}
