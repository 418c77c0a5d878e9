// The document's customer list kept lean: per customer its key and the values
// of the fields the lists show and sort by, packed in one allocation. The whole
// record is read from the database when a dialog, the card, printing or mail
// needs it, and kept with its row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "customers/Kokyaku.h"

// Where whole records and further fields come from (the database).
class IKokyakuSource {
public:
    virtual ~IKokyakuSource() = default;
    // The record of the key into k; false when there is none or reading failed.
    virtual bool ReadKokyaku(int32_t key, CKokyaku& k) = 0;
    // Calls each with a scratch record holding "ID" and the given fields
    // (indexes into KokyakuFields()) of every customer. False when reading failed.
    virtual bool ReadKokyakuFields(const std::vector<int>& fields, const std::function<void(const CKokyaku&)>& each) = 0;
};

class CKokyakuRows;

class CKokyakuRow {
public:
    int32_t ID = -1;

    // The list the row belongs to, and its number there: given once, when the
    // row is made, and never given to another row of the list.
    const CKokyakuRows& Owner() const { return *m_owner; }
    uint32_t Serial() const { return m_serial; }

    // The whole record: read on first use and kept; nullptr when it cannot be read.
    const CKokyaku* Record() const;
    // Sets the kept fields of k from the row; the other fields stay as they are.
    void Unpack(CKokyaku& k) const;
    // Kept field values; the field (an index into KokyakuFields()) must be kept.
    std::string_view Text(int field) const;
    int32_t Int(int field) const;
    double Number(int field) const;
    CDateTime Date(int field) const;
    // Asks for the row's kept values to be fetched into the cache.
    void Prefetch() const;
    // Whether the row holds the field's value.
    bool Keeps(int field) const;
    // The fields every row keeps.
    std::string_view CustomerID() const;
    std::string_view Name() const;
    std::string_view CompName() const;

private:
    friend class CKokyakuRows;
    char* Slot(int field) const;  // the kept field's 8 bytes

    uint32_t m_serial = 0;
    const CKokyakuRows* m_owner = nullptr;
    std::unique_ptr<char[]> m_data;
    mutable std::unique_ptr<CKokyaku> m_full;
};

class CKokyakuRows {
public:
    using Storage = std::vector<std::unique_ptr<CKokyakuRow>>;

    CKokyakuRows();
    ~CKokyakuRows();
    CKokyakuRows(const CKokyakuRows&) = delete;
    CKokyakuRows& operator=(const CKokyakuRows&) = delete;

    void SetSource(IKokyakuSource* source) { m_source = source; }
    IKokyakuSource* Source() const { return m_source; }

    // ---- the fields kept (indexes into KokyakuFields(), ascending; "ID" is the
    // row's key and always there). "CustomerID", "Name" and "CompName" are
    // always kept; a name that is no field ("Add_Home_X" stands for its three
    // parts) is ignored.
    const std::vector<int>& Fields() const { return m_fields; }
    static std::vector<int> FieldsOf(const std::vector<std::string>& names);
    // Keeps the fields of the names as well: the values of rows already read
    // come from the source in one pass. False (nothing changed) when that fails.
    bool Keep(const std::vector<std::string>& names);

    // Changes with every change of the rows or of their kept values; no
    // other list ever has the same version.
    uint64_t Version() const { return m_version; }
    // Above every row's serial.
    uint32_t SerialEnd() const { return m_nextSerial; }
    // The serials of the rows added or changed since the version (a version
    // of this list), latest first, when still known: the last few thousand
    // changes of single rows are; reading, widening or clearing the rows
    // forgets them. Removed rows are not named.
    bool ChangedSince(uint64_t version, std::vector<uint32_t>& serials) const;

    // ---- rows, in list order
    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    Storage::const_iterator begin() const { return m_rows.begin(); }
    Storage::const_iterator end() const { return m_rows.end(); }
    const CKokyakuRow& operator[](std::size_t i) const { return *m_rows[i]; }
    const CKokyakuRow& front() const { return *m_rows.front(); }
    void clear();

    // A row of the kept fields of k, not yet in the list (for the reading side).
    std::unique_ptr<CKokyakuRow> MakeRow(const CKokyaku& k) const;
    // Appends rows made by MakeRow.
    void Adopt(Storage rows);
    // Puts the record at the end, kept whole.
    const CKokyakuRow& Append(std::unique_ptr<CKokyaku> record);
    // Puts the record at the head, kept whole.
    const CKokyakuRow& InsertFront(std::unique_ptr<CKokyaku> record);
    // The row of the key, or nullptr.
    const CKokyakuRow* Find(int32_t key) const;
    // Replaces the row of record->ID by the record, kept whole; the row object
    // stays the same. False (record left with the caller) when no row has the key.
    bool Replace(std::unique_ptr<CKokyaku>& record);
    // Applies change to the row of the key (through its kept fields) and to its
    // whole record when read; false when no row has the key.
    bool Update(int32_t key, const std::function<void(CKokyaku&)>& change);
    // Sets RirekiUpDate of the customers of the keys (those without a row are skipped).
    template <class Keys>
    void SetRirekiUpDate(const Keys& keys, const CDateTime& at) {
        for (auto key : keys) SetRirekiUpDate(static_cast<int32_t>(key), at);
    }
    void SetRirekiUpDate(int32_t key, const CDateTime& at);
    // Removes the rows of the keys.
    void Remove(const std::unordered_set<int32_t>& keys);
    // Drops the whole records read on demand.
    void DropRecords();

private:
    friend class CKokyakuRow;
    static std::unique_ptr<char[]> Pack(const CKokyaku& k, const std::vector<int>& fields);
    const CKokyakuRow& Insert(Storage::iterator at, std::unique_ptr<CKokyaku> record);
    void SetLayout(std::vector<int> fields);
    void Index() const;
    static uint64_t NextVersion();
    void Touch();                       // a new version after any change
    void Touch(const CKokyakuRow& row);  // a new version after a change of the row

    IKokyakuSource* m_source = nullptr;
    std::vector<int> m_fields;
    std::vector<int> m_slot;  // per field of KokyakuFields(): its slot, or -1
    Storage m_rows;
    mutable std::unordered_map<int32_t, CKokyakuRow*> m_byKey;
    mutable uint32_t m_nextSerial = 0;
    uint64_t m_version = 0;
    static constexpr std::size_t kLogged = 4096;
    std::vector<std::pair<uint64_t, uint32_t>> m_log;  // (version after, serial) of single-row changes
    uint64_t m_logFrom = 0;                           // the log names every change since this version
};
