// The postal dictionary: postal code ↔ address, in two files of our own format
// built from the national postal-code data (see tools/gen_postal_dict.cpp):
//
//   <YubinPath>/yubin.dic  the general dictionary (one entry per town of a code)
//   <HojinPath>/hojin.dic  the business-office dictionary (offices with their
//                          own code: office name and street)
//
// Opening both gives a result code (0 = open); a search by postal code gives
// the entries of that code, general entries first; and the listing functions
// walk the addresses level by level (prefecture, city, town, the rest), as an
// address picker needs them.
//
// File format (both files, little-endian):
//   header, 32 bytes: magic "MLVPOST\0"; format version (u32, kPostalFormat);
//     kind (u32: 1 general, 2 business); entry count; area count; string pool
//     size (u32 each); FNV-1a 32-bit checksum of everything after the header.
//   entries, 24 bytes each, in postal-code order (the data's order within a
//     code): code (u32, 7 digits as a number); prefecture (u32, JIS X 0401
//     code 1..47); city, town, street, name (u32 offsets into the pool).
//   areas, 12 bytes each, in code order: 3-digit code (u32); prefecture (u32);
//     city (u32 offset). The city each 3-digit area belongs to.
//   string pool: NUL-terminated UTF-8 texts; offset 0 is the empty text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Result codes of CPostalDict::Open.
namespace PostalResult {
inline constexpr int Open = 0;
inline constexpr int BadParameter = 1;     // a folder is empty or not an existing folder
inline constexpr int CannotOpen = 2;       // the general dictionary cannot be read
inline constexpr int NoMemory = 3;
inline constexpr int Broken = 4;           // a file is cut short or fails its checksum
inline constexpr int BadVersion = 5;       // the general dictionary has another format version
inline constexpr int HojinCannotOpen = 35; // the business-office dictionary cannot be read
inline constexpr int HojinBadVersion = 36;
inline constexpr int NotOpened = -1;       // Open was never called (or Close was)
}  // namespace PostalResult

inline constexpr uint32_t kPostalFormat = 1;
inline constexpr const char* kYubinFileName = "yubin.dic";
inline constexpr const char* kHojinFileName = "hojin.dic";

// One entry of a search: the address of a postal code. A general entry has an
// empty name and street; a business entry has the office name and its street.
struct PostalEntry {
    std::string code;        // "100-0001"; an area gives its 3 digits, "100"
    std::string name;        // office name, "" for a general entry
    std::string prefecture;  // "東京都"
    std::string city;        // "千代田区"
    std::string street1;     // the town: "千代田"
    std::string street2;     // the rest: "２丁目７－２" (business entries)
    bool operator==(const PostalEntry&) const = default;
};

// One item of a listing level: its text and the postal code common to every
// entry below it — the 7-digit code ("1000001") when they all share one, else
// the 3 digits they share ("100"), else "".
struct PostalLevelItem {
    std::string text;
    std::string code;
    bool operator==(const PostalLevelItem&) const = default;
};

// The 47 prefectures in the order of their JIS X 0401 codes ("北海道" = 1 first,
// "沖縄県" = 47 last).
const std::vector<std::string>& JisPrefectures();
// The JIS X 0401 code of a prefecture name (1..47), 0 when it is none.
int JisPrefectureCode(std::string_view name);

// The digits of a postal code as typed: half- or full-width digits, hyphens
// ("-", "－", "‐", "ー") and spaces skipped. "" when anything else is in it.
std::string PostalDigits(std::string_view typed);

class CPostalDict {
public:
    CPostalDict();
    ~CPostalDict();
    CPostalDict(const CPostalDict&) = delete;
    CPostalDict& operator=(const CPostalDict&) = delete;

    // Opens "<yubinFolder>/yubin.dic" and "<hojinFolder>/hojin.dic" and
    // returns a PostalResult code; the dictionary is usable only after 0.
    // An open dictionary is closed first.
    int Open(const std::string& yubinFolder, const std::string& hojinFolder);
    void Close();
    bool IsOpen() const;
    // The code of the last Open (PostalResult::NotOpened before any).
    int ResultCode() const { return m_result; }

    // The entries of a postal code: 7 digits give the general entries of that
    // code followed by the business entries; 3 digits give the area (the
    // prefecture and city of that 3-digit code). Input as PostalDigits takes
    // it. Empty when nothing matches, the code has another length, or the
    // dictionary is closed.
    std::vector<PostalEntry> Search(std::string_view code) const;

    // ---------------------------------------------------------------- listing
    // The address levels of the general dictionary, for an address picker.
    // Each call returns a fresh list; an unknown parent gives an empty list.
    // Texts are exactly as in the data (including any "（...）" part).

    // The prefectures that have entries, in JIS X 0401 order; each item's
    // code is the common code of its entries (normally "").
    std::vector<PostalLevelItem> Prefectures() const;
    // The cities (市区町村, "札幌市中央区", "下閉伊郡田野畑村") of a prefecture,
    // in the order of their lowest postal code, which follows the geography.
    std::vector<PostalLevelItem> Cities(std::string_view prefecture) const;
    // The towns (町域) of a city, in the order of their lowest postal code.
    // The city's catch-all entry (the code used where no town is listed, with
    // an empty town text) is not a town and is left out.
    std::vector<PostalLevelItem> Towns(std::string_view prefecture, std::string_view city) const;
    // The rest of a town: the business offices in it, each as its street
    // followed by a full-width space and the office name ("２丁目７－２　東京中央
    // 郵便局"), with the office's own code, in code order.
    std::vector<PostalLevelItem> Rest(std::string_view prefecture, std::string_view city,
                                      std::string_view town) const;

private:
    struct File;
    std::unique_ptr<File> m_yubin;
    std::unique_ptr<File> m_hojin;
    int m_result = PostalResult::NotOpened;
};

// ---------------------------------------------------------------- building

// One record of the source data for the builder; code is 7 digits, or 3 for an
// area record (prefecture and city only).
struct PostalSourceEntry {
    std::string code;
    std::string prefecture;
    std::string city;
    std::string town;
    std::string street;
    std::string name;  // non-empty: a business office
};

// Writes the dictionary file of one kind (general when business is false)
// from the records of that kind; area records go only to the general file.
// The bytes of the file; records with an unknown prefecture or a malformed
// code are skipped and counted in skipped when given.
std::string BuildPostalDictFile(const std::vector<PostalSourceEntry>& entries, bool business,
                                std::size_t* skipped = nullptr);

// Parses one file of the postal-code package: a call "name([[...], ...]);"
// around a JSON array of 9-text records (code with a leading "_", prefecture,
// city, town, street, office name, three readings). Appends to out; false
// (out unchanged) when the text is not of that form.
bool ParsePostalSourceFile(std::string_view text, std::vector<PostalSourceEntry>& out);
