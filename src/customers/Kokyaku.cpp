#include "customers/Kokyaku.h"

#include <sys/mman.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

#include "common/SjisText.h"

namespace {

using K = KokyakuFieldKind;

constexpr KokyakuCode kSexCodes[] = {{0, "男"}, {1, "女"}};
constexpr KokyakuCode kEntryTypeCodes[] = {{0, "法人"}, {1, "個人"}};
constexpr KokyakuCode kCustomerTypeCodes[] = {{0, "正規顧客"}, {1, "見込み客"}};
constexpr KokyakuCode kTaxMethodCodes[] = {
    {0, "外税（納品ごと）"}, {1, "外税（請求時）"}, {2, "内税"}, {3, "なし"}, {4, "未設定"}};
constexpr KokyakuCode kColorCodes[] = {{0xFFFFFF, "なし"},   {0x000000, "ﾌﾞﾗｯｸ"}, {0x0000FF, "赤"},
                                       {0x00FFFF, "黄"},     {0xFF0000, "青"},   {0xCCCCCC, "ｼﾙﾊﾞｰ"},
                                       {0x0099FF, "ｺﾞｰﾙﾄﾞ"}};

#define TEXT(n, limit) KokyakuField(#n, K::Text, limit, 0, &CKokyaku::n)
#define INT(n) KokyakuField(#n, K::Integer, 0, 0, &CKokyaku::n)
#define CODED(n, codes) KokyakuField(#n, K::Coded, 0, 0, &CKokyaku::n, codes)
#define DATE(n) KokyakuField(#n, K::Date, 0, 0, &CKokyaku::n)
#define PICTURE(n) KokyakuField(#n, K::Text, 0, kFieldPicture, &CKokyaku::n)

const KokyakuField kFields[] = {
    KokyakuField("ID", K::Integer, 0, kFieldKey, &CKokyaku::ID),
    TEXT(CustomerID, 20),
    TEXT(Name, 50),
    TEXT(Yomi, 50),
    TEXT(Suffix, 10),
    CODED(Sex, kSexCodes),
    CODED(EntryType, kEntryTypeCodes),
    CODED(CustomerType, kCustomerTypeCodes),
    DATE(StartDate),
    DATE(LastUpDate),
    TEXT(TantouName, 30),
    DATE(BirthDay),
    TEXT(Zip_Home, 10),
    TEXT(Add1_Home, 20),
    TEXT(Add2_Home, 255),
    TEXT(Add3_Home, 255),
    TEXT(TEL_Home, 20),
    TEXT(FAX_Home, 20),
    TEXT(CellPhone1, 20),
    TEXT(CellPhone2, 20),
    TEXT(CompName, 100),
    TEXT(CompYomi, 100),
    TEXT(Section, 100),
    TEXT(Post, 100),
    TEXT(Represent, 50),
    TEXT(CompType, 50),
    TEXT(Zip_Office, 10),
    TEXT(Add1_Office, 20),
    TEXT(Add2_Office, 255),
    TEXT(Add3_Office, 255),
    TEXT(TEL_Office, 20),
    TEXT(FAX_Office, 20),
    TEXT(EMail1, 255),
    TEXT(EMail2, 255),
    TEXT(EMail3, 255),
    TEXT(EMail4, 255),
    TEXT(EMail5, 255),
    TEXT(URL1, 255),
    TEXT(URL2, 255),
    INT(ClosingDate),
    TEXT(Bank1, 255),
    TEXT(Bank2, 255),
    INT(ClosingDay),
    CODED(TaxMethod, kTaxMethodCodes),
    TEXT(PayMethod, 50),
    TEXT(MainMerchant1, 100),
    TEXT(MainMerchant2, 100),
    TEXT(MainMerchant3, 100),
    TEXT(MainMerchant4, 100),
    TEXT(MainMerchant5, 100),
    PICTURE(Picture1),
    PICTURE(Picture2),
    PICTURE(Picture3),
    PICTURE(Picture4),
    PICTURE(Picture5),
    KokyakuField("ColorMark", K::Colour, 0, 0, &CKokyaku::ColorMark, kColorCodes),
    TEXT(ImportantRanking, 50),
    TEXT(Ranking1, 50),
    TEXT(Ranking2, 50),
    TEXT(Note1, 255),
    TEXT(Note2, 255),
    TEXT(Note3, 255),
    TEXT(Note4, 255),
    TEXT(Note5, 255),
    TEXT(Note6, 255),
    TEXT(Note7, 255),
    TEXT(Note8, 255),
    TEXT(Note9, 255),
    TEXT(Note10, 255),
    DATE(RirekiUpDate),
    INT(CommonMail),
    KokyakuField("TEL_Home_X", K::Number, 0, kFieldPhoneNum, &CKokyaku::TEL_Home_X),
    KokyakuField("TEL_Office_X", K::Number, 0, kFieldPhoneNum, &CKokyaku::TEL_Office_X),
};

#undef TEXT
#undef INT
#undef CODED
#undef DATE
#undef PICTURE

const std::string kNoText;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int CompareText(const std::string& a, const std::string& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(AsciiLower(a[i]));
        unsigned char y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

template <class T>
int Cmp(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// "h:m" or "h:m:s" after a date; false on anything else.
bool ParseTime(std::string_view t, int& h, int& mi, int& s) {
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int idx = 0;
    for (char c : t) {
        if (c >= '0' && c <= '9') {
            if (++digits[idx] > 2) return false;
            parts[idx] = parts[idx] * 10 + (c - '0');
        } else if (c == ':' && idx < 2 && digits[idx] > 0) {
            ++idx;
        } else {
            return false;
        }
    }
    if (idx < 1 || digits[idx] == 0) return false;
    h = parts[0];
    mi = parts[1];
    s = parts[2];
    return true;
}

std::optional<CDateTime> ParseDateTime(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::size_t sp = text.find(' ');
    if (sp == std::string_view::npos) return CDateTime::ParseDate(text);
    auto date = CDateTime::ParseDate(text.substr(0, sp));
    if (!date) return std::nullopt;
    std::string_view rest = text.substr(sp + 1);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    int h = 0, mi = 0, s = 0;
    if (!ParseTime(rest, h, mi, s)) return std::nullopt;
    CDateTime dt = CDateTime::FromParts(date->Year(), date->Month(), date->Day(), h, mi, s);
    if (!dt.IsValid()) return std::nullopt;
    return dt;
}

bool ParseInt32(std::string_view text, int32_t& out) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return false;
    std::string s(text);
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool ParseDouble(std::string_view text, double& out) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return false;
    std::string s(text);
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

}  // namespace

// ------------------------------------------------------------------ record pool

namespace {

// Fixed-size slots carved from large pre-faulted chunks; freed slots are reused
// and chunks live as long as the process.
class KokyakuPool {
public:
    static constexpr std::size_t kSlot = (sizeof(CKokyaku) + alignof(std::max_align_t) - 1) /
                                         alignof(std::max_align_t) * alignof(std::max_align_t);
    static constexpr std::size_t kChunk = 4u << 20;

    void* Allocate() {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_free) {
            FreeSlot* slot = m_free;
            m_free = slot->next;
            return slot;
        }
        if (m_left < kSlot) {
            void* chunk = mmap(nullptr, kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE,
                               -1, 0);
            if (chunk == MAP_FAILED) throw std::bad_alloc();
            m_next = static_cast<char*>(chunk);
            m_left = kChunk;
        }
        void* p = m_next;
        m_next += kSlot;
        m_left -= kSlot;
        return p;
    }

    void Release(void* p) noexcept {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto* slot = static_cast<FreeSlot*>(p);
        slot->next = m_free;
        m_free = slot;
    }

private:
    struct FreeSlot {
        FreeSlot* next;
    };
    std::mutex m_mutex;
    FreeSlot* m_free = nullptr;
    char* m_next = nullptr;
    std::size_t m_left = 0;
};

KokyakuPool& Pool() {
    static KokyakuPool* pool = new KokyakuPool;  // outlives every record, even static ones
    return *pool;
}

}  // namespace

void* CKokyaku::operator new(std::size_t size) {
    if (size != sizeof(CKokyaku)) return ::operator new(size);
    return Pool().Allocate();
}

void CKokyaku::operator delete(void* p, std::size_t size) noexcept {
    if (!p) return;
    if (size != sizeof(CKokyaku)) {
        ::operator delete(p);
        return;
    }
    Pool().Release(p);
}

// ------------------------------------------------------------------ phone numbers

double StrTelToINT(std::string_view tel) {
    double v = 0;
    for (char c : tel)
        if (c >= '0' && c <= '9') v = v * 10 + (c - '0');
    return v;
}

std::string& KokyakuField::Text(CKokyaku& k) const {
    assert(std::holds_alternative<TextMember>(member));
    if (auto p = std::get_if<TextMember>(&member)) return k.**p;
    thread_local std::string scratch;  // wrong kind: writes go nowhere
    scratch.clear();
    return scratch;
}

const std::string& KokyakuField::Text(const CKokyaku& k) const {
    if (auto p = std::get_if<TextMember>(&member)) return k.**p;
    return kNoText;
}

int32_t KokyakuField::Int(const CKokyaku& k) const {
    if (auto p = std::get_if<IntMember>(&member)) return k.**p;
    return 0;
}

void KokyakuField::SetInt(CKokyaku& k, int32_t v) const {
    assert(std::holds_alternative<IntMember>(member));
    if (auto p = std::get_if<IntMember>(&member)) k.**p = v;
}

CDateTime KokyakuField::Date(const CKokyaku& k) const {
    if (auto p = std::get_if<DateMember>(&member)) return k.**p;
    return CDateTime();
}

void KokyakuField::SetDate(CKokyaku& k, const CDateTime& v) const {
    assert(std::holds_alternative<DateMember>(member));
    if (auto p = std::get_if<DateMember>(&member)) k.**p = v;
}

double KokyakuField::Number(const CKokyaku& k) const {
    if (auto p = std::get_if<NumberMember>(&member)) return k.**p;
    if (auto p = std::get_if<IntMember>(&member)) return k.**p;
    if (auto p = std::get_if<DateMember>(&member)) return (k.**p).IsValid() ? (k.**p).Days() : 0;
    return 0;
}

void KokyakuField::SetNumber(CKokyaku& k, double v) const {
    if (auto p = std::get_if<NumberMember>(&member)) k.**p = v;
    else if (auto p = std::get_if<IntMember>(&member)) k.**p = static_cast<int32_t>(v);
    else if (auto p = std::get_if<DateMember>(&member)) k.**p = CDateTime(v);
    else assert(false);
}

std::string KokyakuField::ValueText(const CKokyaku& k) const {
    switch (kind) {
    case K::Text:
        return Text(k);
    case K::Integer:
    case K::Coded:
    case K::Colour:
        return std::to_string(Int(k));
    case K::Date: {
        CDateTime d = Date(k);
        if (!d.IsValid()) return {};
        if (d.Hour() == 0 && d.Minute() == 0 && d.Second() == 0) return d.Format("%Y/%m/%d");
        return d.Format("%Y/%m/%d %H:%M:%S");
    }
    case K::Number: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", Number(k));
        return buf;
    }
    }
    return {};
}

bool KokyakuField::SetValueText(CKokyaku& k, std::string_view text) const {
    switch (kind) {
    case K::Text:
        if (byteLimit > 0 && SjisLength(text) > static_cast<std::size_t>(byteLimit)) return false;
        Text(k).assign(text);
        return true;
    case K::Integer:
    case K::Coded:
    case K::Colour: {
        int32_t v = 0;
        if (!ParseInt32(text, v)) return false;
        SetInt(k, v);
        return true;
    }
    case K::Date: {
        std::string_view t = text;
        while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
        if (t.empty()) {
            SetDate(k, CDateTime());
            return true;
        }
        auto d = ParseDateTime(t);
        if (!d) return false;
        SetDate(k, *d);
        return true;
    }
    case K::Number: {
        double v = 0;
        if (!ParseDouble(text, v)) return false;
        SetNumber(k, v);
        return true;
    }
    }
    return false;
}

int KokyakuField::Compare(const CKokyaku& a, const CKokyaku& b) const {
    switch (kind) {
    case K::Text:
        return CompareText(Text(a), Text(b));
    case K::Integer:
    case K::Coded:
    case K::Colour:
        return Cmp(Int(a), Int(b));
    case K::Date: {
        CDateTime x = Date(a), y = Date(b);
        if (x.IsValid() != y.IsValid()) return x.IsValid() ? 1 : -1;
        return x.IsValid() ? Cmp(x.Days(), y.Days()) : 0;
    }
    case K::Number:
        return Cmp(Number(a), Number(b));
    }
    return 0;
}

bool KokyakuField::FitsLimit(const CKokyaku& k) const {
    if (kind != K::Text || byteLimit <= 0) return true;
    const auto& text = Text(k);
    // A character never takes more Shift-JIS bytes than UTF-8 bytes.
    if (text.size() <= static_cast<std::size_t>(byteLimit)) return true;
    return SjisLength(text) <= static_cast<std::size_t>(byteLimit);
}

const char* KokyakuField::CodeText(int32_t value) const {
    for (const KokyakuCode& c : codes)
        if (c.value == value) return c.text;
    return nullptr;
}

std::span<const KokyakuField> KokyakuFields() { return kFields; }

const KokyakuField* FindKokyakuField(std::string_view name) {
    int i = KokyakuFieldIndex(name);
    return i < 0 ? nullptr : &kFields[i];
}

int KokyakuFieldIndex(std::string_view name) {
    // Looked up per row by sorting and display: a map built once.
    static const std::unordered_map<std::string_view, int> index = [] {
        std::unordered_map<std::string_view, int> m;
        for (std::size_t i = 0; i < std::size(kFields); ++i) m.emplace(kFields[i].name, static_cast<int>(i));
        return m;
    }();
    const auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
}

const std::array<int, 3>* JoinedAddressParts(std::string_view name) {
    static const std::array<int, 3> home = {KokyakuFieldIndex("Add1_Home"), KokyakuFieldIndex("Add2_Home"),
                                            KokyakuFieldIndex("Add3_Home")};
    static const std::array<int, 3> office = {KokyakuFieldIndex("Add1_Office"), KokyakuFieldIndex("Add2_Office"),
                                              KokyakuFieldIndex("Add3_Office")};
    return name == "Add_Home_X" ? &home : name == "Add_Office_X" ? &office : nullptr;
}

const KokyakuField* FirstOverLimitField(const CKokyaku& k) {
    for (const KokyakuField& f : kFields)
        if (!f.FitsLimit(k)) return &f;
    return nullptr;
}

void UpdatePhoneNumbers(CKokyaku& k) {
    k.TEL_Home_X = StrTelToINT(k.TEL_Home);
    k.TEL_Office_X = StrTelToINT(k.TEL_Office);
}
