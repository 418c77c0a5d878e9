// Column rules of the customer list: alignment, the analysis columns, the
// widths kept in the profile and the "..." cut of texts wider than a cell.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kKListSection = "Settings-KList";

// "回数", "日時", "日数", "金額": values of an analysis hit.
bool IsHitColumn(std::string_view field);
// "金額", "回数", "日数" are right-aligned, every other column left-aligned.
bool IsRightAlignedColumn(std::string_view field);

// How SetColumns chooses the widths.
enum class ColumnWidthMode {
    Stored = 0,      // "Settings-KList"/"colwidth%d" by position, default 100, below 1 shows 20
    Extraction = 1,  // every column 150
    Given = 2,       // the given widths by position, 150 where none is given
};

std::vector<int> ColumnWidths(const std::vector<std::string>& fields, ColumnWidthMode mode,
                              const std::vector<int>& given);
// Writes the width of every column but the analysis columns, numbered by
// position among the stored columns.
void StoreColumnWidths(const std::vector<std::string>& fields, const std::vector<int>& widths);

// The text as drawn in a cell `width` pixels wide: unchanged when it fits,
// else the longest prefix of whole characters that fits together with "...",
// followed by "...". measure gives the drawn width of a text.
std::string CutToWidth(std::string_view text, int width, const std::function<int(std::string_view)>& measure);
