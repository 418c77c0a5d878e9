#include "lookup/PostalDict.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <unordered_map>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/SjisText.h"
#include "customers/KokyakuEntry.h"

namespace {

constexpr char kMagic[8] = {'M', 'L', 'V', 'P', 'O', 'S', 'T', '\0'};
constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kEntrySize = 24;
constexpr std::size_t kAreaSize = 12;
constexpr uint32_t kKindGeneral = 1;
constexpr uint32_t kKindBusiness = 2;

uint32_t GetU32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t Fnv1a(std::string_view bytes) {
    uint32_t h = 2166136261u;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

std::string FormatCode(uint32_t code, bool area) {
    char buf[16];
    if (area)
        std::snprintf(buf, sizeof buf, "%03u", code);
    else
        std::snprintf(buf, sizeof buf, "%03u-%04u", code / 10000, code % 10000);
    return buf;
}

// The code common to a group of entries: 7 digits, 3 digits or nothing.
class CommonCode {
public:
    void Add(uint32_t code) {
        if (m_count++ == 0) {
            m_first = code;
            return;
        }
        if (code != m_first) m_same7 = false;
        if (code / 10000 != m_first / 10000) m_same3 = false;
    }
    std::string Text() const {
        if (m_count == 0) return "";
        char buf[16];
        if (m_same7) {
            std::snprintf(buf, sizeof buf, "%07u", m_first);
            return buf;
        }
        if (m_same3) {
            std::snprintf(buf, sizeof buf, "%03u", m_first / 10000);
            return buf;
        }
        return "";
    }

private:
    std::size_t m_count = 0;
    uint32_t m_first = 0;
    bool m_same7 = true;
    bool m_same3 = true;
};

// Items in order of first appearance, each with its common code.
class LevelCollector {
public:
    void Add(std::string_view text, uint32_t code) {
        auto it = m_index.find(text);
        if (it == m_index.end()) {
            it = m_index.emplace(std::string(text), m_items.size()).first;
            m_items.emplace_back(std::string(text), CommonCode());
        }
        m_items[it->second].second.Add(code);
    }
    std::vector<PostalLevelItem> Take() const {
        std::vector<PostalLevelItem> out;
        out.reserve(m_items.size());
        for (const auto& [text, code] : m_items) out.push_back({text, code.Text()});
        return out;
    }

private:
    std::map<std::string, std::size_t, std::less<>> m_index;
    std::vector<std::pair<std::string, CommonCode>> m_items;
};

}  // namespace

// ---------------------------------------------------------------- prefectures

const std::vector<std::string>& JisPrefectures() { return PrefectureTexts(); }

int JisPrefectureCode(std::string_view name) {
    const auto& list = JisPrefectures();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == name) return static_cast<int>(i) + 1;
    return 0;
}

std::string PostalDigits(std::string_view typed) {
    std::string digits;
    std::size_t pos = 0;
    while (pos < typed.size()) {
        char32_t c = NextCodePoint(typed, pos);
        if (c >= U'0' && c <= U'9')
            digits.push_back(static_cast<char>(c));
        else if (c >= U'０' && c <= U'９')
            digits.push_back(static_cast<char>('0' + (c - U'０')));
        else if (c == U'-' || c == U'－' || c == U'‐' || c == U'ー' || c == U' ' || c == U'　')
            continue;
        else
            return "";
    }
    return digits;
}

// ---------------------------------------------------------------- the open file

struct CPostalDict::File {
    std::string bytes;
    uint32_t kind = 0;
    uint32_t entries = 0;
    uint32_t areas = 0;
    const char* entryBase = nullptr;
    const char* areaBase = nullptr;
    const char* pool = nullptr;
    uint32_t poolSize = 0;

    const char* Entry(uint32_t i) const { return entryBase + std::size_t(i) * kEntrySize; }
    uint32_t Code(uint32_t i) const { return GetU32(Entry(i)); }
    uint32_t Pref(uint32_t i) const { return GetU32(Entry(i) + 4); }
    std::string_view Text(const char* p) const { return std::string_view(pool + GetU32(p)); }
    std::string_view City(uint32_t i) const { return Text(Entry(i) + 8); }
    std::string_view Town(uint32_t i) const { return Text(Entry(i) + 12); }
    std::string_view Street(uint32_t i) const { return Text(Entry(i) + 16); }
    std::string_view Name(uint32_t i) const { return Text(Entry(i) + 20); }

    PostalEntry Make(uint32_t i) const {
        const auto& prefs = JisPrefectures();
        return {FormatCode(Code(i), false), std::string(Name(i)),        prefs[Pref(i) - 1],
                std::string(City(i)),      std::string(Town(i)), std::string(Street(i))};
    }

    // 0 when the file is usable, else the general dictionary's result code.
    int Load(const std::string& path, uint32_t expectedKind) {
        if (!ReadWholeFile(path, bytes)) return PostalResult::CannotOpen;
        if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
            return PostalResult::Broken;
        const char* h = bytes.data();
        if (GetU32(h + 8) != kPostalFormat) return PostalResult::BadVersion;
        kind = GetU32(h + 12);
        entries = GetU32(h + 16);
        areas = GetU32(h + 20);
        poolSize = GetU32(h + 24);
        const uint64_t need = kHeaderSize + uint64_t(entries) * kEntrySize + uint64_t(areas) * kAreaSize + poolSize;
        if (kind != expectedKind || need != bytes.size() || poolSize == 0) return PostalResult::Broken;
        if (Fnv1a(std::string_view(bytes).substr(kHeaderSize)) != GetU32(h + 28)) return PostalResult::Broken;
        entryBase = h + kHeaderSize;
        areaBase = entryBase + std::size_t(entries) * kEntrySize;
        pool = areaBase + std::size_t(areas) * kAreaSize;
        if (pool[poolSize - 1] != '\0') return PostalResult::Broken;
        // Every offset and prefecture must be in range, so reading never checks again.
        for (uint32_t i = 0; i < entries; ++i) {
            const char* e = Entry(i);
            if (Pref(i) < 1 || Pref(i) > 47) return PostalResult::Broken;
            for (int f = 8; f < 24; f += 4)
                if (GetU32(e + f) >= poolSize) return PostalResult::Broken;
        }
        for (uint32_t i = 0; i < areas; ++i) {
            const char* a = areaBase + std::size_t(i) * kAreaSize;
            if (GetU32(a + 4) < 1 || GetU32(a + 4) > 47 || GetU32(a + 8) >= poolSize) return PostalResult::Broken;
        }
        return 0;
    }

    // The entries of a 7-digit code.
    void Find(uint32_t code, std::vector<PostalEntry>& out) const {
        uint32_t lo = 0, hi = entries;
        while (lo < hi) {
            uint32_t mid = lo + (hi - lo) / 2;
            if (Code(mid) < code)
                lo = mid + 1;
            else
                hi = mid;
        }
        for (uint32_t i = lo; i < entries && Code(i) == code; ++i) out.push_back(Make(i));
    }

    void FindArea(uint32_t code, std::vector<PostalEntry>& out) const {
        const auto& prefs = JisPrefectures();
        for (uint32_t i = 0; i < areas; ++i) {
            const char* a = areaBase + std::size_t(i) * kAreaSize;
            if (GetU32(a) != code) continue;
            out.push_back({FormatCode(code, true), "", prefs[GetU32(a + 4) - 1], std::string(Text(a + 8)), "", ""});
        }
    }
};

// ---------------------------------------------------------------- dictionary

CPostalDict::CPostalDict() = default;
CPostalDict::~CPostalDict() = default;

bool CPostalDict::IsOpen() const { return m_result == PostalResult::Open; }

void CPostalDict::Close() {
    m_yubin.reset();
    m_hojin.reset();
    m_result = PostalResult::NotOpened;
}

int CPostalDict::Open(const std::string& yubinFolder, const std::string& hojinFolder) {
    Close();
    if (!FolderExists(yubinFolder) || !FolderExists(hojinFolder)) return m_result = PostalResult::BadParameter;
    try {
        auto yubin = std::make_unique<File>();
        if (int r = yubin->Load(yubinFolder + "/" + kYubinFileName, kKindGeneral)) return m_result = r;
        auto hojin = std::make_unique<File>();
        switch (hojin->Load(hojinFolder + "/" + kHojinFileName, kKindBusiness)) {
        case 0: break;
        case PostalResult::CannotOpen: return m_result = PostalResult::HojinCannotOpen;
        case PostalResult::BadVersion: return m_result = PostalResult::HojinBadVersion;
        default: return m_result = PostalResult::Broken;
        }
        m_yubin = std::move(yubin);
        m_hojin = std::move(hojin);
        return m_result = PostalResult::Open;
    } catch (const std::bad_alloc&) {
        return m_result = PostalResult::NoMemory;
    }
}

std::vector<PostalEntry> CPostalDict::Search(std::string_view code) const {
    std::vector<PostalEntry> out;
    if (!IsOpen()) return out;
    const std::string digits = PostalDigits(code);
    if (digits.size() == 7) {
        const auto n = static_cast<uint32_t>(std::stoul(digits));
        m_yubin->Find(n, out);
        m_hojin->Find(n, out);
    } else if (digits.size() == 3) {
        m_yubin->FindArea(static_cast<uint32_t>(std::stoul(digits)), out);
    }
    return out;
}

std::vector<PostalLevelItem> CPostalDict::Prefectures() const {
    if (!IsOpen()) return {};
    std::vector<CommonCode> codes(48);
    std::vector<bool> present(48, false);
    for (uint32_t i = 0; i < m_yubin->entries; ++i) {
        present[m_yubin->Pref(i)] = true;
        codes[m_yubin->Pref(i)].Add(m_yubin->Code(i));
    }
    std::vector<PostalLevelItem> out;
    for (int p = 1; p <= 47; ++p)
        if (present[p]) out.push_back({JisPrefectures()[p - 1], codes[p].Text()});
    return out;
}

std::vector<PostalLevelItem> CPostalDict::Cities(std::string_view prefecture) const {
    const int pref = JisPrefectureCode(prefecture);
    if (!IsOpen() || pref == 0) return {};
    LevelCollector items;
    for (uint32_t i = 0; i < m_yubin->entries; ++i)
        if (m_yubin->Pref(i) == uint32_t(pref)) items.Add(m_yubin->City(i), m_yubin->Code(i));
    return items.Take();
}

std::vector<PostalLevelItem> CPostalDict::Towns(std::string_view prefecture, std::string_view city) const {
    const int pref = JisPrefectureCode(prefecture);
    if (!IsOpen() || pref == 0) return {};
    LevelCollector items;
    for (uint32_t i = 0; i < m_yubin->entries; ++i) {
        if (m_yubin->Pref(i) != uint32_t(pref) || m_yubin->City(i) != city || m_yubin->Town(i).empty()) continue;
        items.Add(m_yubin->Town(i), m_yubin->Code(i));
    }
    return items.Take();
}

std::vector<PostalLevelItem> CPostalDict::Rest(std::string_view prefecture, std::string_view city,
                                               std::string_view town) const {
    const int pref = JisPrefectureCode(prefecture);
    if (!IsOpen() || pref == 0) return {};
    LevelCollector items;
    for (uint32_t i = 0; i < m_hojin->entries; ++i) {
        if (m_hojin->Pref(i) != uint32_t(pref) || m_hojin->City(i) != city || m_hojin->Town(i) != town) continue;
        std::string text(m_hojin->Street(i));
        text += "　";
        text += m_hojin->Name(i);
        items.Add(text, m_hojin->Code(i));
    }
    return items.Take();
}

// ---------------------------------------------------------------- building

namespace {

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

class Pool {
public:
    Pool() { m_bytes.push_back('\0'); }
    uint32_t Add(const std::string& s) {
        if (s.empty()) return 0;
        auto it = m_offsets.find(s);
        if (it != m_offsets.end()) return it->second;
        const auto off = static_cast<uint32_t>(m_bytes.size());
        m_bytes += s;
        m_bytes.push_back('\0');
        m_offsets.emplace(s, off);
        return off;
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    std::unordered_map<std::string, uint32_t> m_offsets;
};

}  // namespace

std::string BuildPostalDictFile(const std::vector<PostalSourceEntry>& entries, bool business, std::size_t* skipped) {
    struct Rec {
        uint32_t code, pref, city, town, street, name;
    };
    std::vector<Rec> recs;
    std::vector<Rec> areas;
    std::size_t bad = 0;
    Pool pool;
    for (const PostalSourceEntry& e : entries) {
        const bool area = e.code.size() == 3;
        const int pref = JisPrefectureCode(e.prefecture);
        if ((!area && e.code.size() != 7) || !AllDigits(e.code) || pref == 0) {
            ++bad;
            continue;
        }
        if (area) {
            if (!business) areas.push_back({uint32_t(std::stoul(e.code)), uint32_t(pref), pool.Add(e.city), 0, 0, 0});
            continue;
        }
        if (e.name.empty() == business) continue;  // the other dictionary's record
        recs.push_back({uint32_t(std::stoul(e.code)), uint32_t(pref), pool.Add(e.city), pool.Add(e.town),
                        pool.Add(e.street), pool.Add(e.name)});
    }
    if (skipped) *skipped = bad;
    std::stable_sort(recs.begin(), recs.end(), [](const Rec& a, const Rec& b) { return a.code < b.code; });
    std::stable_sort(areas.begin(), areas.end(), [](const Rec& a, const Rec& b) { return a.code < b.code; });

    std::string body;
    body.reserve(recs.size() * kEntrySize + areas.size() * kAreaSize + pool.Bytes().size());
    for (const Rec& r : recs)
        for (uint32_t v : {r.code, r.pref, r.city, r.town, r.street, r.name}) PutU32(body, v);
    for (const Rec& a : areas)
        for (uint32_t v : {a.code, a.pref, a.city}) PutU32(body, v);
    body += pool.Bytes();

    std::string file(kMagic, sizeof kMagic);
    for (uint32_t v : {kPostalFormat, business ? kKindBusiness : kKindGeneral, uint32_t(recs.size()),
                       uint32_t(areas.size()), uint32_t(pool.Bytes().size()), Fnv1a(body)})
        PutU32(file, v);
    return file + body;
}

// ---------------------------------------------------------------- source files

namespace {

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_t(text) {}

    void Skip() {
        while (m_p < m_t.size() && (m_t[m_p] == ' ' || m_t[m_p] == '\n' || m_t[m_p] == '\r' || m_t[m_p] == '\t'))
            ++m_p;
    }
    bool Take(char c) {
        Skip();
        if (m_p < m_t.size() && m_t[m_p] == c) {
            ++m_p;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        Skip();
        return m_p == m_t.size();
    }

    bool String(std::string& out) {
        out.clear();
        if (!Take('"')) return false;
        while (m_p < m_t.size()) {
            char c = m_t[m_p++];
            if (c == '"') return true;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (m_p >= m_t.size()) return false;
            char e = m_t[m_p++];
            switch (e) {
            case '"': case '\\': case '/': out.push_back(e); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                char32_t cp = 0;
                if (!Hex4(cp)) return false;
                if (cp >= 0xD800 && cp < 0xDC00) {
                    char32_t low = 0;
                    if (m_p + 1 >= m_t.size() || m_t[m_p] != '\\' || m_t[m_p + 1] != 'u') return false;
                    m_p += 2;
                    if (!Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default: return false;
            }
        }
        return false;
    }

private:
    bool Hex4(char32_t& cp) {
        if (m_p + 4 > m_t.size()) return false;
        for (int i = 0; i < 4; ++i) {
            char c = m_t[m_p++];
            cp <<= 4;
            if (c >= '0' && c <= '9') cp |= c - '0';
            else if (c >= 'a' && c <= 'f') cp |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') cp |= c - 'A' + 10;
            else return false;
        }
        return true;
    }

    std::string_view m_t;
    std::size_t m_p = 0;
};

}  // namespace

bool ParsePostalSourceFile(std::string_view text, std::vector<PostalSourceEntry>& out) {
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return false;
    JsonReader r(text.substr(open + 1, close - open - 1));
    std::vector<PostalSourceEntry> parsed;
    if (!r.Take('[')) return false;
    if (!r.Take(']')) {
        do {
            if (!r.Take('[')) return false;
            std::vector<std::string> fields;
            std::string s;
            if (!r.Take(']')) {
                do {
                    if (!r.String(s)) return false;
                    fields.push_back(s);
                } while (r.Take(','));
                if (!r.Take(']')) return false;
            }
            if (fields.size() < 6 || fields[0].empty() || fields[0][0] != '_') return false;
            parsed.push_back({fields[0].substr(1), fields[1], fields[2], fields[3], fields[4], fields[5]});
        } while (r.Take(','));
        if (!r.Take(']')) return false;
    }
    if (!r.AtEnd()) return false;
    out.insert(out.end(), std::make_move_iterator(parsed.begin()), std::make_move_iterator(parsed.end()));
    return true;
}
