// The default sort order of the customers ("DefOrder.dat" in the data folder):
// a field name and a direction, applied whenever the customers are read.
#pragma once

#include <cstdint>
#include <string>

class CDefaultSort {
public:
    explicit CDefaultSort(const std::string& dataDir);

    // Sets the defaults and reads the file when it exists. 0 when it cannot be
    // opened or read (message shown), 1 otherwise.
    int Load();
    // Writes the file. 0 on failure (message shown).
    int Save();
    // "ORDER BY [Customer].[<field>]" plus " DESC" when descending; "" when the
    // field is empty or the direction is neither 0 nor 1. Loads first if needed.
    std::string GetOrderText();

    std::string fieldName = "RirekiUpDate";
    int32_t direction = 1;  // 0 ascending, 1 descending, other: no order

    const std::string& FilePath() const { return m_path; }

private:
    std::string m_path;
    bool m_loaded = false;
};
