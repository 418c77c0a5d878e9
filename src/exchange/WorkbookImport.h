// Reading workbooks into the import table: ".xls" through freexl, ".xlsx"
// through our own reader of the Office Open XML parts (libzip + pugixml).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "exchange/ExchangeFormat.h"

// The used range of one sheet: cell texts by row and column from its top-left
// used cell, and the sheet row number of its first row (from 1).
struct SheetRange {
    std::vector<std::vector<std::string>> cells;
    std::size_t firstRow = 1;
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

// The reader for the file's extension (".xls" or ".xlsx", any case), or nullptr.
std::unique_ptr<CWorkbookReader> MakeWorkbookReader(const std::string& path);

// The most columns read from a sheet.
inline constexpr std::size_t kMaxSheetColumns = 256;
inline constexpr const char* kTooManyColumns = "読み込み列が256列目を超えています。\n256列目までを読み込みます。";

// The import table of a sheet: header row "" then "A", "B", … "Z", "AA", …;
// each non-empty row with its sheet row number in column 0. Columns past
// kMaxSheetColumns are dropped and clipped set.
ExchangeTable SheetTable(const SheetRange& range, bool& clipped);
// "A", "B", … "Z", "AA", … for column 1, 2, ….
std::string ColumnLetters(std::size_t column);

// Text of a numeric cell: a date format gives "%Y/%m/%d"; a value between 0
// and 1 in a time format gives the date too; otherwise the shortest text of
// the value, or "%.3f" when that has three or more decimals.
std::string NumberCellText(double value, bool dateFormat, bool timeFormat);
// Whether an Office number format code shows a date, or a time.
void ClassifyNumberFormat(const std::string& code, bool& date, bool& time);
