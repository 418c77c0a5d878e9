// The customer record and the table of its fields. Every piece of code that
// walks the customer fields generically (database columns, display text,
// sorting, export, import, bulk change) iterates KokyakuFields().
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/DateTime.h"

// One customer. Texts are UTF-8; their limits count Shift-JIS bytes.
struct CKokyaku {
    int32_t ID = -1;  // key given by the database; -1 until stored
    std::string CustomerID;
    std::string Name;
    std::string Yomi;
    std::string Suffix;
    int32_t Sex = 0;           // 0 男, 1 女
    int32_t EntryType = 0;     // 0 法人, 1 個人
    int32_t CustomerType = 0;  // 0 正規顧客, 1 見込み客
    CDateTime StartDate;
    CDateTime LastUpDate;
    std::string TantouName;
    CDateTime BirthDay;
    std::string Zip_Home;
    std::string Add1_Home;
    std::string Add2_Home;
    std::string Add3_Home;
    std::string TEL_Home;
    std::string FAX_Home;
    std::string CellPhone1;
    std::string CellPhone2;
    std::string CompName;
    std::string CompYomi;
    std::string Section;
    std::string Post;
    std::string Represent;
    std::string CompType;
    std::string Zip_Office;
    std::string Add1_Office;
    std::string Add2_Office;
    std::string Add3_Office;
    std::string TEL_Office;
    std::string FAX_Office;
    std::string EMail1;
    std::string EMail2;
    std::string EMail3;
    std::string EMail4;
    std::string EMail5;
    std::string URL1;
    std::string URL2;
    int32_t ClosingDate = 0;  // month 1..12, other values unset
    std::string Bank1;
    std::string Bank2;
    int32_t ClosingDay = 0;  // 1..31 or 99 (end of month), other values unset
    int32_t TaxMethod = 4;   // 0..3, 4 未設定
    std::string PayMethod;
    std::string MainMerchant1;
    std::string MainMerchant2;
    std::string MainMerchant3;
    std::string MainMerchant4;
    std::string MainMerchant5;
    std::string Picture1;
    std::string Picture2;
    std::string Picture3;
    std::string Picture4;
    std::string Picture5;
    int32_t ColorMark = 0xFFFFFF;  // 0x00BBGGRR; 0xFFFFFF no mark
    std::string ImportantRanking;
    std::string Ranking1;
    std::string Ranking2;
    std::string Note1;
    std::string Note2;
    std::string Note3;
    std::string Note4;
    std::string Note5;
    std::string Note6;
    std::string Note7;
    std::string Note8;
    std::string Note9;
    std::string Note10;
    CDateTime RirekiUpDate;
    int32_t CommonMail = 0;  // 1..5 = EMail1..EMail5, other values none
    // Numeric forms of TEL_Home and TEL_Office (StrTelToINT), kept by the
    // database on every store.
    double TEL_Home_X = 0;
    double TEL_Office_X = 0;

    bool operator==(const CKokyaku&) const = default;

    // Records come from a pool of pages faulted in together: a list of a
    // hundred thousand customers is built without a page fault per record.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
};

using CKokyakuList = std::vector<std::unique_ptr<CKokyaku>>;

// Customers read one at a time.
class IKokyakuCursor {
public:
    virtual ~IKokyakuCursor() = default;
    // The next record, valid until the next call; nullptr after the last or
    // when reading failed (Failed() then tells).
    virtual const CKokyaku* Next() = 0;
    virtual bool Failed() const { return false; }
};

// A cursor over records held elsewhere, which must outlive it.
class CKokyakuListCursor final : public IKokyakuCursor {
public:
    explicit CKokyakuListCursor(const std::vector<const CKokyaku*>& records) : m_records(records) {}
    const CKokyaku* Next() override { return m_next < m_records.size() ? m_records[m_next++] : nullptr; }

private:
    const std::vector<const CKokyaku*>& m_records;
    std::size_t m_next = 0;
};

// The records of a list, in its order.
inline std::vector<const CKokyaku*> RecordPointers(const CKokyakuList& list) {
    std::vector<const CKokyaku*> out;
    out.reserve(list.size());
    for (const auto& k : list) out.push_back(k.get());
    return out;
}

// The digits of a phone text read as one number ("03-1234-5678" gives
// 312345678); a text without digits gives 0.
double StrTelToINT(std::string_view tel);

enum class KokyakuFieldKind {
    Integer,  // plain 32-bit number (ID, ClosingDate, ClosingDay, CommonMail)
    Text,     // text with a Shift-JIS byte limit (0: none)
    Coded,    // 32-bit code with a fixed list of texts (Sex, EntryType, CustomerType, TaxMethod)
    Date,     // date-time, possibly unset
    Colour,   // 32-bit colour value 0x00BBGGRR (ColorMark)
    Number,   // double (the numeric phone columns)
};

// Roles beyond the kind.
enum KokyakuFieldFlag : unsigned {
    kFieldKey = 1,        // "ID": given by the database, never entered
    kFieldPhoneNum = 2,   // "TEL_Home_X", "TEL_Office_X": derived, never shown or entered
    kFieldPicture = 4,    // "Picture1".."Picture5": file names in the picture folder
};

// A code and its text ("Sex" 1 = "女", "ColorMark" 0x0000FF = "赤", ...).
struct KokyakuCode {
    int32_t value;
    const char* text;
};

class KokyakuField {
public:
    using IntMember = int32_t CKokyaku::*;
    using TextMember = std::string CKokyaku::*;
    using DateMember = CDateTime CKokyaku::*;
    using NumberMember = double CKokyaku::*;
    using Member = std::variant<IntMember, TextMember, DateMember, NumberMember>;

    constexpr KokyakuField(const char* name, KokyakuFieldKind kind, int byteLimit, unsigned flags, Member member,
                           std::span<const KokyakuCode> codes = {})
        : name(name), kind(kind), byteLimit(byteLimit), flags(flags), member(member), codes(codes) {}

    const char* name;          // field name = column name of the Customer table
    KokyakuFieldKind kind;
    int byteLimit;             // Shift-JIS bytes for text fields; 0 = no limit
    unsigned flags;            // KokyakuFieldFlag bits
    Member member;
    std::span<const KokyakuCode> codes;  // Coded and Colour fields: the fixed texts

    bool IsText() const { return kind == KokyakuFieldKind::Text; }
    bool IsDate() const { return kind == KokyakuFieldKind::Date; }
    // Integer, Coded and Colour fields hold an int32_t.
    bool IsInt() const { return std::holds_alternative<IntMember>(member); }
    // Stored fields a person enters (everything but the key and the phone numbers).
    bool IsUserField() const { return (flags & (kFieldKey | kFieldPhoneNum)) == 0; }

    // Typed access. Each requires the matching member type (asserted); the
    // getters of another type return an empty value instead.
    std::string& Text(CKokyaku& k) const;
    const std::string& Text(const CKokyaku& k) const;
    int32_t Int(const CKokyaku& k) const;
    void SetInt(CKokyaku& k, int32_t v) const;
    CDateTime Date(const CKokyaku& k) const;
    void SetDate(CKokyaku& k, const CDateTime& v) const;
    double Number(const CKokyaku& k) const;  // Number fields; ints as double; dates as day count (0 unset)
    void SetNumber(CKokyaku& k, double v) const;

    // The value as plain text: texts unchanged; integers in decimal; numbers
    // with up to 15 significant digits; dates "%Y/%m/%d", with " %H:%M:%S"
    // appended when the time is not midnight, unset ones "".
    std::string ValueText(const CKokyaku& k) const;
    // Sets the value from text in the form ValueText writes (dates also "y/m/d";
    // "" unsets a date). Returns false, leaving the record unchanged, when the
    // text does not parse or a text exceeds the byte limit.
    bool SetValueText(CKokyaku& k, std::string_view text) const;

    // Orders two records by this field: texts by ASCII case-insensitive, then
    // byte comparison; numbers numerically; an unset date before every set one.
    // Returns <0, 0 or >0.
    int Compare(const CKokyaku& a, const CKokyaku& b) const;

    // Whether the value fits the byte limit (always true for non-text fields).
    bool FitsLimit(const CKokyaku& k) const;

    // The text of a code, or nullptr when the field has no text for it.
    const char* CodeText(int32_t value) const;
};

// All fields in record order: "ID", the stored fields of the record, then
// "TEL_Home_X" and "TEL_Office_X".
std::span<const KokyakuField> KokyakuFields();
// Field by exact name, or nullptr.
const KokyakuField* FindKokyakuField(std::string_view name);
// Position of a field in KokyakuFields(), or -1.
int KokyakuFieldIndex(std::string_view name);
// The positions of the three fields a joined address ("Add_Home_X",
// "Add_Office_X") is made of, in joining order; nullptr for another name.
const std::array<int, 3>* JoinedAddressParts(std::string_view name);

// The first text field whose value exceeds its byte limit, or nullptr.
const KokyakuField* FirstOverLimitField(const CKokyaku& k);

// Sets TEL_Home_X and TEL_Office_X from the phone texts.
void UpdatePhoneNumbers(CKokyaku& k);
