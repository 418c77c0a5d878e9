// Layout of the customer database file: the tables, their indexes and the
// marks that identify a Milvane database.
//
// - Customer: ID (the key, never reused) and one column per field of
//   KokyakuFields() in that order, plus the generated columns Add_Home_X and
//   Add_Office_X (the joined addresses). Texts are NOT NULL ('' when empty).
// - Rireki: ID, CustomerID (the owner's ID), Date, ActionTitle, Action, Money,
//   Keyword, TantouName, Picture (bare file name) and DMID: the DM title whose
//   sending history the entry is, NULL for every other entry.
// - DMList: ID, Date, Title, Content, Manager, SendMethod, SendState,
//   HistoryRegistered.
// - DMMng: DMID, CustomerID, one row per target; the rowid keeps the order of
//   adding.
// Dates are REAL day counts from 1899-12-30 (the fraction is the time of day),
// NULL when unset. Texts are declared COLLATE NOCASE, as the desktop database
// compares them without case. application_id marks the file as Milvane's and
// user_version holds the schema version. The file keeps the rollback-journal
// mode it is created with (synchronous=FULL while open): the journal mode is
// never switched at open or close, every copy of the closed or saved file is
// whole on its own, and a reader writes nothing beside it.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

inline constexpr int32_t kMilvaneApplicationId = 0x4D4C564E;  // "MLVN"
inline constexpr int32_t kMilvaneSchemaVersion = 1;

// Creates the tables and indexes and sets the marks, in one transaction.
bool CreateMilvaneSchema(sqlite3* db, std::string* error);

// Adds the indexes a database made by an earlier version lacks, each in its
// own transaction. true when none is missing any more.
bool UpgradeMilvaneSchema(sqlite3* db, std::string* error);

// 1 the database carries the marks of this schema version; 0 it is not a
// Milvane database (or of a newer version); -1 it cannot be read.
int CheckMilvaneSchema(sqlite3* db, std::string* error);

// 1 every table of this schema is there with its columns in order; 0 one is
// missing or differs; -1 the tables cannot be read.
int CheckMilvaneTables(sqlite3* db, std::string* error);
