// Translation of the desktop-database SQL dialect that the extraction and
// analysis code writes into SQLite, and the functions it relies on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

// Translates one statement. Returns nullopt (with a reason in *error) for text
// that cannot be tokenised (an unterminated literal or bracket, a bad date
// literal). Nothing inside a string literal is rewritten.
std::optional<std::string> TranslateJetSql(std::string_view jet, std::string* error = nullptr);

// Registers Int, Year, Month and Day on day counts, and replaces LIKE with the
// desktop-database semantics ("%", "_", "[...]", "[!...]", case-insensitive).
// Returns false when registration fails.
bool RegisterJetFunctions(sqlite3* db);
