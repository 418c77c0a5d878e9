#include "db/MilvaneDataSchema.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "db/MilvaneData.h"
#include "customers/Kokyaku.h"

namespace {

std::string CustomerTableSql() {
    std::string sql = "CREATE TABLE Customer (\n  ID INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const KokyakuField& f : KokyakuFields()) {
        if (f.flags & kFieldKey) continue;
        sql += ",\n  ";
        sql += f.name;
        switch (f.kind) {
        case KokyakuFieldKind::Text: sql += " TEXT NOT NULL DEFAULT '' COLLATE NOCASE"; break;
        case KokyakuFieldKind::Integer:
        case KokyakuFieldKind::Coded: sql += " INTEGER NOT NULL DEFAULT 0"; break;
        case KokyakuFieldKind::Colour: sql += " INTEGER NOT NULL DEFAULT 16777215"; break;
        case KokyakuFieldKind::Date: sql += " REAL"; break;  // NULL = unset
        case KokyakuFieldKind::Number: sql += " REAL NOT NULL DEFAULT 0"; break;
        }
    }
    // The joined addresses, so that lists can be ordered by them.
    sql += ",\n  Add_Home_X TEXT COLLATE NOCASE GENERATED ALWAYS AS (Add1_Home || Add2_Home || Add3_Home) VIRTUAL";
    sql += ",\n  Add_Office_X TEXT COLLATE NOCASE GENERATED ALWAYS AS (Add1_Office || Add2_Office || Add3_Office) "
           "VIRTUAL";
    sql += "\n)";
    return sql;
}

const char* const kOtherTables[] = {
    // One history entry; DMID links a sending-history entry to its DM title.
    "CREATE TABLE Rireki (\n"
    "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "  CustomerID INTEGER NOT NULL,\n"
    "  Date REAL,\n"
    "  ActionTitle TEXT NOT NULL DEFAULT '' COLLATE NOCASE,\n"
    "  Action TEXT NOT NULL DEFAULT '' COLLATE NOCASE,\n"
    "  Money REAL NOT NULL DEFAULT 0,\n"
    "  Keyword TEXT NOT NULL DEFAULT '' COLLATE NOCASE,\n"
    "  TantouName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,\n"
    "  Picture TEXT NOT NULL DEFAULT '' COLLATE NOCASE,\n"
    "  DMID INTEGER\n"
    ")",
    "CREATE TABLE DMList (\n"
    "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "  Date REAL,\n"
    "  Title TEXT NOT NULL DEFAULT '' COLLATE NOCASE,\n"
    "  Content TEXT NOT NULL DEFAULT '' COLLATE NOCASE,\n"
    "  Manager TEXT NOT NULL DEFAULT '' COLLATE NOCASE,\n"
    "  SendMethod INTEGER NOT NULL DEFAULT 0,\n"
    "  SendState INTEGER NOT NULL DEFAULT 0,\n"
    "  HistoryRegistered INTEGER NOT NULL DEFAULT 0\n"
    ")",
    // The rowid keeps the order in which targets were added.
    "CREATE TABLE DMMng (\n"
    "  DMID INTEGER NOT NULL,\n"
    "  CustomerID INTEGER NOT NULL\n"
    ")",
    // Joins and filters of the extraction and analysis statements.
    "CREATE INDEX Rireki_Customer ON Rireki (CustomerID, Date)",
    "CREATE INDEX Rireki_Date ON Rireki (Date)",
    "CREATE INDEX Rireki_DM ON Rireki (DMID, CustomerID) WHERE DMID IS NOT NULL",
    "CREATE UNIQUE INDEX DMMng_Key ON DMMng (DMID, CustomerID)",
    "CREATE INDEX DMMng_Customer ON DMMng (CustomerID)",
    "CREATE INDEX DMList_Date ON DMList (Date)",
    // The default order of the customer list.
    "CREATE INDEX Customer_RirekiUpDate ON Customer (RirekiUpDate)",
};

// Indexes added after the first databases were made: created when missing
// (and the index they replace dropped) each time a database opens writable.
struct LaterIndex {
    const char* name;
    const char* sql;
    const char* replaces;
};
const LaterIndex kLaterIndexes[] = {
    // The analyses find a title's entries and read customer, date and amount
    // from the index alone.
    {"Rireki_Title", "CREATE INDEX Rireki_Title ON Rireki (ActionTitle, CustomerID, Date, Money)",
     "Rireki_ActionTitle"},
};

bool Exec(sqlite3* db, const std::string& sql, std::string* error) {
    char* msg = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg) == SQLITE_OK) return true;
    if (error) *error = msg ? msg : sqlite3_errmsg(db);
    sqlite3_free(msg);
    return false;
}

bool ReadPragmaInt(sqlite3* db, const char* sql, int64_t& out) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return false;
    bool ok = sqlite3_step(st) == SQLITE_ROW;
    if (ok) out = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return ok;
}

}  // namespace

bool CreateMilvaneSchema(sqlite3* db, std::string* error) {
    if (!Exec(db, "BEGIN IMMEDIATE", error)) return false;
    bool ok = Exec(db, CustomerTableSql(), error);
    for (const char* sql : kOtherTables)
        if (ok) ok = Exec(db, sql, error);
    for (const LaterIndex& index : kLaterIndexes)
        if (ok) ok = Exec(db, index.sql, error);
    if (ok) ok = Exec(db, "PRAGMA application_id = " + std::to_string(kMilvaneApplicationId), error);
    if (ok) ok = Exec(db, "PRAGMA user_version = " + std::to_string(kMilvaneSchemaVersion), error);
    if (ok) ok = Exec(db, "COMMIT", error);
    if (!ok) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return ok;
}

int CheckMilvaneSchema(sqlite3* db, std::string* error) {
    int64_t appId = 0, version = 0;
    if (!ReadPragmaInt(db, "PRAGMA application_id", appId) || !ReadPragmaInt(db, "PRAGMA user_version", version)) {
        if (error) *error = sqlite3_errmsg(db);
        return sqlite3_errcode(db) == SQLITE_NOTADB ? 0 : -1;
    }
    if (appId != kMilvaneApplicationId) {
        if (error) *error = "Milvaneのデータベースではありません。";
        return 0;
    }
    if (version > kMilvaneSchemaVersion || version < 1) {
        if (error) *error = "このバージョンでは開けないデータベースです。";
        return 0;
    }
    return 1;
}

namespace {

// Table name → its columns (hidden generated ones included), in order.
using TableColumns = std::vector<std::pair<std::string, std::vector<std::string>>>;

bool ReadTableColumns(sqlite3* db, TableColumns& out) {
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "SELECT m.name, c.name FROM sqlite_schema m, pragma_table_xinfo(m.name) c "
        "WHERE m.type='table' AND m.name NOT LIKE 'sqlite_%' ORDER BY m.name, c.cid";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return false;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const std::string table = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        const unsigned char* column = sqlite3_column_text(st, 1);
        if (out.empty() || out.back().first != table) out.push_back({table, {}});
        out.back().second.push_back(column ? reinterpret_cast<const char*>(column) : "");
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

}  // namespace

int CheckMilvaneTables(sqlite3* db, std::string* error) {
    // The reference is the schema this version creates.
    static const TableColumns expected = [] {
        TableColumns t;
        sqlite3* mem = nullptr;
        if (sqlite3_open(":memory:", &mem) == SQLITE_OK && CreateMilvaneSchema(mem, nullptr)) ReadTableColumns(mem, t);
        sqlite3_close(mem);
        return t;
    }();
    TableColumns actual;
    if (!ReadTableColumns(db, actual)) {
        if (error) *error = sqlite3_errmsg(db);
        return -1;
    }
    for (const auto& [table, columns] : expected) {
        const std::string& name = table;
        auto it = std::find_if(actual.begin(), actual.end(), [&name](const auto& t) { return t.first == name; });
        if (it == actual.end() || it->second != columns) {
            if (error) *error = "テーブル " + table + " の構成が正しくありません。";
            return 0;
        }
    }
    return expected.empty() ? -1 : 1;
}

bool UpgradeMilvaneSchema(sqlite3* db, std::string* error) {
    for (const LaterIndex& index : kLaterIndexes) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type='index' AND name=?1", -1, &st, nullptr) !=
            SQLITE_OK) {
            if (error) *error = sqlite3_errmsg(db);
            sqlite3_finalize(st);
            return false;
        }
        sqlite3_bind_text(st, 1, index.name, -1, SQLITE_STATIC);
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc == SQLITE_ROW) continue;
        if (rc != SQLITE_DONE) {
            if (error) *error = sqlite3_errmsg(db);
            return false;
        }
        if (!Exec(db, "BEGIN IMMEDIATE", error)) return false;
        bool ok = Exec(db, index.sql, error) &&
                  Exec(db, std::string("DROP INDEX IF EXISTS ") + index.replaces, error) && Exec(db, "COMMIT", error);
        if (!ok) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
    }
    return true;
}

bool CreateEmptyMilvaneDatabase(const std::string& path, std::string* error) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (error) *error = "file exists: " + path;
        return false;
    }
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    bool ok = rc == SQLITE_OK;
    if (!ok && error) *error = db ? sqlite3_errmsg(db) : "cannot open " + path;
    // A template file travels as one self-contained file: rollback journal, synced.
    if (ok) ok = Exec(db, "PRAGMA journal_mode = DELETE", error) && Exec(db, "PRAGMA synchronous = FULL", error);
    if (ok) ok = CreateMilvaneSchema(db, error);
    if (sqlite3_close(db) != SQLITE_OK) ok = false;
    if (!ok) unlink(path.c_str());
    return ok;
}
