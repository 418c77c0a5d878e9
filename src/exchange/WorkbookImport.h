// Reading workbooks into the import table: ".xls" through freexl in a fenced
// child process, ".xlsx" through our own reader of the Office Open XML parts
// (libzip + pugixml). Every size in the file is a claim: members are read as
// capped streams and cells are kept sparsely within the sheet limits below.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "exchange/ExchangeFormat.h"

// One row of a sheet's used range that holds a text: its sheet row number
// (from 1) and its cell texts from the range's first column to its last used
// cell, at most kMaxSheetColumns of them.
struct SheetRow {
    std::size_t number = 0;
    std::vector<std::string> cells;
};

// The used range of one sheet: only the rows that hold a text.
struct SheetRange {
    std::vector<SheetRow> rows;
    std::size_t firstRow = 1;  // the range's first sheet row
    bool clipped = false;      // used cells past kMaxSheetColumns were dropped
};

class CWorkbookReader {
public:
    virtual ~CWorkbookReader() = default;
    // False when the file is not a readable workbook of this kind.
    virtual bool Open(const std::string& path) = 0;
    virtual std::vector<std::string> SheetNames() const = 0;
    // The sheet's used range, each cell turned into text by the cell rules.
    virtual bool ReadSheet(std::size_t index, SheetRange& range) = 0;
};

// Which sheets of an old-format workbook (the file's bytes) are worksheets,
// in the order of its sheet list; nullopt when its structure cannot be read.
std::optional<std::vector<bool>> XlsWorksheets(std::string_view file);

// The reader for the file's extension (".xls" or ".xlsx", any case), or nullptr.
std::unique_ptr<CWorkbookReader> MakeWorkbookReader(const std::string& path);

// The most columns read from a sheet.
inline constexpr std::size_t kMaxSheetColumns = 256;
// The most rows a used range may span; a larger range is not read.
inline constexpr std::size_t kMaxSheetRows = 65536;
// The largest part of a workbook package that is read.
inline constexpr std::size_t kMaxWorkbookPartBytes = std::size_t{128} << 20;

// Collects a sheet's cells in any order, sparsely, and builds its used range.
class CSheetCells {
public:
    // Row and column from 0. False when the cell lies outside a sheet.
    bool Add(std::size_t row, std::size_t col, std::string text);
    // False when the range spans too many rows or holds too many cells.
    bool Finish(SheetRange& range);

private:
    struct Cell {
        std::size_t row, col;
        std::string text;
    };
    std::vector<Cell> m_cells;
};
inline constexpr const char* kTooManyColumns = "読み込み列が256列目を超えています。\n256列目までを読み込みます。";

// The import table of a sheet: header row "" then "A", "B", … "Z", "AA", …;
// each row of the range with its sheet row number in column 0.
ExchangeTable SheetTable(const SheetRange& range);
// "A", "B", … "Z", "AA", … for column 1, 2, ….
std::string ColumnLetters(std::size_t column);

// Text of a numeric cell: a date format gives "%Y/%m/%d"; a value between 0
// and 1 in a time format gives the date too; otherwise the shortest text of
// the value, or "%.3f" when that has three or more decimals.
std::string NumberCellText(double value, bool dateFormat, bool timeFormat);
// Whether an Office number format code shows a date, or a time.
void ClassifyNumberFormat(const std::string& code, bool& date, bool& time);
