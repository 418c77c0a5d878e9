// The map file of `milvane-cli import`: which source column goes to which
// customer field, and the answers of the import's other dialogs (first row,
// delimiter, sheet). Format: docs/import-map.md.
#pragma once

#include <optional>
#include <string>
#include <vector>

class CImportMapModel;

struct ImportMap {
    struct Entry {
        int column = -1;      // from 0, or -1 when the column is named by its heading
        std::string heading;  // the text of the column in the file's first row
        std::string field;    // a name of the field table
        int lineNumber = 0;   // in the map file
    };
    bool firstRowIsData = false;  // "first-row = data": the first row is imported too
    char delimiter = ',';
    std::string sheet;            // "" for the first sheet
    std::vector<Entry> entries;
};

// Parses the map file's text; nullopt with error set ("行 N: ...") when it is not valid.
std::optional<ImportMap> ParseImportMap(const std::string& text, std::string& error);

// "A" → 0, "AB" → 27; -1 when not letters.
int ColumnFromLetters(const std::string& letters);

// Fills the mapping dialog's model as a person would: each entry's column is
// mapped to its field, then "完了". False when a column is missing (error
// set) or the model refused (its message shown).
bool ApplyImportMap(const ImportMap& map, CImportMapModel& model, std::string& error);
