// Translation of the desktop-database SQL dialect that the extraction and
// analysis code writes into SQLite, and the functions it relies on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

// Translates one statement. Returns nullopt (with a reason in *error) for text
// that cannot be tokenised (an unterminated literal or bracket, a bad date
// literal, unbalanced parentheses). Nothing inside a string literal is
// rewritten. Literals come out single-quoted, bracketed and qualified names
// double-quoted, dates as day counts, "&" as jet_concat(...), "/" as a
// floating-point division; DISTINCTROW becomes DISTINCT, or disappears where
// every row is a distinct record anyway (one table, or grouped by selected keys).
std::optional<std::string> TranslateJetSql(std::string_view jet, std::string* error = nullptr);

// Registers Int, Year, Month and Day on day counts, jet_concat (the "&"
// operator: Null counts as empty text), and replaces LIKE with the
// desktop-database semantics ("%", "_", "[...]", "[!...]", ASCII
// case-insensitive). Also turns off SQLite's reading of an unknown
// double-quoted identifier as a string. Returns false when registration fails.
bool RegisterJetFunctions(sqlite3* db);
