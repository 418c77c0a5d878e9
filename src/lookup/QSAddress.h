// The address entry of the phone lookup (CQSAddress), its archive layout, and
// the user phone dictionary: the entries the user added and the entries the
// user deleted, kept in "UserAddTelData.dat" and "UserDelTelData.dat".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CArchiveReader;
class CArchiveWriter;

// One hit of a phone lookup. texts[0] is the phone number; texts[1..6] are, in
// the order of the directory's result: name, postal code, prefecture, city,
// street part 1 (town), street part 2 (the rest).
struct CQSAddress {
    static constexpr const char* kClassName = "CQSAddress";
    static constexpr uint16_t kSchema = 1;

    int32_t state = 0;
    int32_t value1 = 1;  // the directory's two identifying numbers (file, line)
    int32_t value2 = 0;
    std::string texts[7];
    int32_t last = -1;

    const std::string& Phone() const { return texts[0]; }
    const std::string& Name() const { return texts[1]; }
    const std::string& Zip() const { return texts[2]; }
    const std::string& Prefecture() const { return texts[3]; }
    const std::string& City() const { return texts[4]; }
    const std::string& Street1() const { return texts[5]; }
    const std::string& Street2() const { return texts[6]; }

    // The members after the object's tag: state, last, phone, texts 1 and 2,
    // value1, value2, texts 3 to 6.
    void Serialize(CArchiveWriter& w) const;
    void Deserialize(CArchiveReader& r);
};

// Equal when both identifying numbers and all seven texts are equal (bytes);
// state and last do not count.
bool SameAddress(const CQSAddress& a, const CQSAddress& b);

// The characters a phone number may hold.
inline constexpr const char* kPhoneChars = "0123456789-()";
bool IsPhoneText(std::string_view text);
// The digits of a phone number, the key by which numbers are compared.
std::string PhoneDigits(std::string_view text);

// A list of entries as one archive: the count, then each entry as an object.
void WriteAddressList(CArchiveWriter& w, const std::vector<CQSAddress>& list);
std::vector<CQSAddress> ReadAddressList(CArchiveReader& r);

inline constexpr const char* kUserAddFile = "UserAddTelData.dat";
inline constexpr const char* kUserDelFile = "UserDelTelData.dat";

class CUserTelDict {
public:
    // Reads both files of the folder; a missing file is an empty list. False
    // (both lists left empty) when a file cannot be read or is malformed.
    bool Load(const std::string& folder);
    // Writes both files (each replaced only when complete); false on failure,
    // the files then stay as they were.
    bool Save() const;
    bool Loaded() const { return m_loaded; }
    const std::string& Folder() const { return m_folder; }

    // The user adds an entry (a copy, state 0). An entry equal to a deleted
    // one takes it off the deleted list instead of being added twice.
    void Add(const CQSAddress& entry);
    // The user deletes an entry: an added entry is dropped; a directory entry
    // goes on the deleted list.
    void Delete(const CQSAddress& entry);

    const std::vector<CQSAddress>& Added() const { return m_added; }
    const std::vector<CQSAddress>& Deleted() const { return m_deleted; }

    // The hits of a phone number. Merge rule: the directory's hits, then the
    // added entries with the same number (by digits) that are not already
    // among them, minus every entry equal to a deleted one.
    std::vector<CQSAddress> Merge(std::vector<CQSAddress> directoryHits, std::string_view phone) const;

private:
    std::string m_folder;
    bool m_loaded = false;
    std::vector<CQSAddress> m_added;
    std::vector<CQSAddress> m_deleted;
};
