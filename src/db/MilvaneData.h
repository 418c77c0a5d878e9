// The customer database: customers, their history, DM titles and targets in
// one SQLite file "QSMLV.mlv" of the data folder. Every operation is one
// transaction, committed durably before it returns; no exception leaves it.
//
// Results: 1 done; 10 done in part (the out-array says what); 0 not found or
// nothing to do; -1 failed (nothing changed). Calls returning a key return -1
// on failure. Statements passed as text are in the desktop-database dialect
// and must be a single SELECT.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/SorunaHit.h"
#include "common/DateTime.h"
#include "customers/Kokyaku.h"
#include "customers/KokyakuRow.h"
#include "dm/DMData.h"
#include "history/RirekiData.h"

using CKeyArray = std::vector<uint32_t>;

inline constexpr const char* kDatabaseFileName = "QSMLV.mlv";
inline constexpr const char* kWorkFileName = "QSMLV2.mlv2";

// Creates an empty database file at path (replacing nothing: fails when the
// file exists). Returns true on success.
bool CreateEmptyMilvaneDatabase(const std::string& path, std::string* error = nullptr);

// Checks a database file nobody has open (a staged restore): the marks of
// this schema, every table with its columns and the engine's quick check.
// Read as immutable, so nothing is written beside the file. True when sound;
// otherwise error says why.
bool VerifyMilvaneDatabaseFile(const std::string& path, std::string* error = nullptr);

class CMilvaneData final : public IKokyakuSource {
public:
    CMilvaneData();
    ~CMilvaneData();  // closes an open database as SaveMLV(true) does
    CMilvaneData(const CMilvaneData&) = delete;
    CMilvaneData& operator=(const CMilvaneData&) = delete;

    // ---- opening and closing
    // Opens dataDir/QSMLV.mlv and creates the work file dataDir/QSMLV2.mlv2.
    // 1 open; 0 the work file exists already (abnormal end, or another copy
    // uses the data), nothing opened; -1 the database cannot be opened. A
    // database open before is closed first.
    int InitDB(const std::string& dataDir);
    // Opens a database file for browsing past data: read-only, no work file
    // (readOnly false opens it writable, still without a work file). 1 or -1.
    int InitDBFromPath(const std::string& dbPath, bool readOnly = true);
    // Makes the database file complete on its own (so that it can be copied);
    // with close, also closes it and deletes the work file. 1 or -1 (closing
    // when nothing is open gives 1).
    int SaveMLV(bool close);
    // Full path of the open database file ("" when none is open).
    std::string GetMLVFName() const;
    // Writes a consistent copy of the open database to backupPath (replacing
    // it), then compacts the database. 1 or -1.
    int CompactDB(const std::string& backupPath);
    bool IsOpen() const;
    bool IsReadOnly() const;
    // The engine's integrity check of the open database: 1 sound; 0 damaged
    // (the engine's findings appended to problems); -1 it could not run.
    int IntegrityCheck(std::vector<std::string>& problems);
    // The number of customers, history entries, DM titles and DM targets. 1 or -1.
    struct RecordCounts {
        long long customers = 0, history = 0, dmTitles = 0, dmTargets = 0;
    };
    int CountRecords(RecordCounts& counts);

    // ---- customers
    // All customers; orderBy is "" (key order) or an ORDER BY clause over the
    // Customer table, which also has the joined addresses "Add_Home_X" and
    // "Add_Office_X". 1 filled (records appended), 0 failed.
    int GetAllKokyaku(CKokyakuList& list, const std::string& orderBy = "");
    // The same as lean rows of the fields rows keeps (rows is emptied first).
    // 1 filled, 0 failed (rows empty).
    int GetKokyakuRows(CKokyakuRows& rows, const std::string& orderBy = "");
    // Every customer one at a time in the order of orderBy (as GetAllKokyaku),
    // holding one record at a time; nullptr when the statement is refused.
    std::unique_ptr<IKokyakuCursor> OpenKokyakuCursor(const std::string& orderBy = "");
    // The whole records of the keys, in the keys' order; keys without a
    // customer are skipped. 1 read, 0 failed (list unchanged).
    int GetKokyakuByKeys(const CKeyArray& keys, CKokyakuList& list);
    // IKokyakuSource: one whole record; the given fields of every customer.
    bool ReadKokyaku(int32_t key, CKokyaku& k) override;
    bool ReadKokyakuFields(const std::vector<int>& fields, const std::function<void(const CKokyaku&)>& each) override;
    // Adds a customer; sets its ID and phone numbers. The new key, or -1
    // (also for a text over its byte limit).
    int32_t AddNewKokyaku(CKokyaku& k);
    // Adds many customers in one transaction; sets the IDs of those added.
    // 1 all added; 10 some refused, their positions in refused; 0 empty list;
    // -1 failed, nothing added.
    int AddNewKokyaku(CKokyakuList& list, CKeyArray& refused);
    // Replaces every field of the customer key (k.ID becomes key). 1 / 0 / -1.
    int ModifyKokyaku(int32_t key, CKokyaku& k);
    // Bulk change of one field ("ColorMark" takes colour; "ImportantRanking",
    // "Ranking1", "Ranking2" take value) and LastUpDate = now. changed gets the
    // keys changed. 1 all / 10 some / 0 none found / -1 failed or bad field.
    int ModifyKokyaku(const CKeyArray& keys, CKeyArray& changed, const std::string& fieldName, const CDateTime& now,
                      const std::string& value, int32_t colour);
    // Deletes customers with their history and DM targets. 1 / 10 / 0 / -1.
    int DeleteKokyaku(const CKeyArray& keys, CKeyArray& deleted);
    // Keys of the rows of a SELECT over Customer, in row order. 1 or -1.
    int ExtractKokyaku(const std::string& sql, CKeyArray& keys);
    // One customer by key. 1 / 0 no such customer / -1 failed.
    int GetKokyaku(int32_t key, CKokyaku& k);

    // ---- history
    // Lists are ordered newest first (Date, then ID, descending). 1 / 0.
    int GetAllRireki(CRirekiList& list);
    int GetRirekiForKokyaku(int32_t customerKey, CRirekiList& list);
    // History records of a SELECT over Rireki, in row order. 1 or -1.
    int ExtractRireki(const std::string& sql, CRirekiList& list);
    // ---- the history screen: lean rows, the rest read by key
    // Every entry's key and date, newest first (as GetAllRireki). 1 / 0.
    int GetRirekiKeys(CRirekiKeyList& list);
    // Keys and dates of the rows of a SELECT over Rireki, in row order. 1 or -1.
    int ExtractRirekiKeys(const std::string& sql, CRirekiKeyList& list);
    // One entry by key. 1 / 0 no such entry / -1 failed.
    int GetRireki(int32_t key, CRirekiData& r);
    // The entries of these keys with their customer's texts, in key order
    // (keys without an entry are left out). 1 or -1.
    int GetRirekiShown(const std::vector<int32_t>& keys, std::vector<CRirekiShown>& rows);
    // Every entry's key with one text: field is ActionTitle, Action, Keyword or
    // TantouName of the entry, or (ofCustomer) CustomerID, Name or CompName of
    // its customer ("" without one). 1 or -1 (also for another field).
    int ForEachRirekiText(std::string_view field, bool ofCustomer,
                          const std::function<void(int32_t key, std::string_view text)>& each);
    // Every entry's key with its amount. 1 or -1.
    int ForEachRirekiMoney(const std::function<void(int32_t key, double money)>& each);
    // Every entry with its customer's texts, in storage order (one object,
    // reused). 1 or -1.
    int ForEachRirekiShown(const std::function<void(const CRirekiShown& shown)>& each);
    // Adds r for the customer (r.CustomerID and r.ID are set); the customer's
    // RirekiUpDate becomes now. The new key; -1 failed; 0 no such customer.
    int32_t AddNewRireki(int32_t customerKey, CRirekiData& r, const CDateTime& now);
    // Adds a copy of r to every customer. 1 all; 10 some customers missing;
    // -1 failed (nothing added).
    int AddNewRireki(const CKeyArray& customerKeys, const CRirekiData& r, const CDateTime& now);
    // Replaces the entry (its customer stays). 1 / 0 / -1.
    int ModifyRireki(int32_t key, CRirekiData& r, const CDateTime& now);
    // 1 all / 10 some (deleted lists them) / 0 none found / -1 failed.
    int DeleteRireki(const CKeyArray& keys, CKeyArray& deleted);
    // 1 / 0 not found / -1.
    int DeleteRireki(int32_t key, const CDateTime& now);
    // Deletes every entry dated on or before the day of date. 1 or -1.
    int DeleteRirekiForDate(const CDateTime& date);
    // 1 deleted / 0 none there / -1 failed.
    int DeleteRirekiForKokyaku(int32_t customerKey);

    // ---- DM titles and targets
    // All titles, newest send date first. 1 / 0.
    int GetAllDMTitle(CDMList& list);
    // A new unsent title with the given targets; failed receives the keys that
    // could not be added (unknown customers). nullptr on failure.
    std::unique_ptr<CDMListData> AddNewDMTitle(const CDateTime& date, const std::string& title,
                                               const std::string& content, const std::string& manager,
                                               int32_t sendMethod, const CKeyArray& customerKeys, CKeyArray& failed);
    // 1 / 0 not found / -1. Sending history follows the new values.
    int ModifyDMTitle(int32_t key, const CDateTime& date, const std::string& title, const std::string& content,
                      const std::string& manager, int32_t sendMethod, const CDateTime& now);
    // 1 all / 10 some titles not deleted / 20 some sending history could not be
    // removed / 0 none found / -1 failed. deleted lists the titles deleted.
    int DeleteDMTitle(const CKeyArray& keys, CKeyArray& deleted);
    // Sets the sending state; sending history is written or removed to match.
    // 1 / 0 not found / -1.
    int SetStatusDMTitle(int32_t key, int32_t sendState, int32_t historyRegistered, int32_t sendMethod,
                         const CDateTime& now);
    // Targets in the order they were added. 1 / 0.
    int GetDMUserInfo(int32_t dmKey, CDMMngList& targets);
    // titles is accepted for callers that hold the title list; it is not used.
    // 1 all / 10 some failed (in failed) / 0 no such title / -1 failed or none added.
    int AddDMTarget(int32_t dmKey, const CKeyArray& customerKeys, CKeyArray& failed, const CDMList* titles,
                    const CDateTime& now);
    // 1 all / 10 some not targets / 0 no such title or none found / -1 failed.
    int DeleteDMTarget(int32_t dmKey, const CKeyArray& customerKeys, const CDateTime& now = CDateTime::Now());

    // ---- analyses
    // One hit per row of a SELECT of Customer.ID and one computed value: a
    // count (kind 1), a date (2), days (3) or an amount (6). maxHits -1 or 0
    // takes all rows, N the first N. 1 or -1.
    int QuerySoruna(int kind, const std::string& sql, CSorunaHitList& hits, int maxHits);

    // The numeric form of a phone text (see StrTelToINT in customers/Kokyaku.h).
    static double StrTelToINT(std::string_view tel) { return ::StrTelToINT(tel); }

    // ---- errors
    // Shows the text of the last database error through the prompt port. 1.
    int DispOleDBErrDlg();
    // The same message for a driver error text (also used by the import of
    // other databases, which has no component error of its own).
    static int ShowDriverError(const std::string& detail);
    const std::string& LastError() const;
    // Lets a caller that reads other databases for the register (an import)
    // report its driver's error through DispOleDBErrDlg.
    void SetLastError(const std::string& text);

private:
    void ForceClose();

    struct Impl;
    std::unique_ptr<Impl> m;
};
