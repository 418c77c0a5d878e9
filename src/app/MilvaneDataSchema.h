// Layout of the customer database file: the tables, their indexes and the
// marks that identify a Milvane database.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

inline constexpr int32_t kMilvaneApplicationId = 0x4D4C564E;  // "MLVN"
inline constexpr int32_t kMilvaneSchemaVersion = 1;

// Creates the tables and indexes and sets the marks, in one transaction.
bool CreateMilvaneSchema(sqlite3* db, std::string* error);

// 1 the database carries the marks of this schema version; 0 it is not a
// Milvane database (or of a newer version); -1 it cannot be read.
int CheckMilvaneSchema(sqlite3* db, std::string* error);
