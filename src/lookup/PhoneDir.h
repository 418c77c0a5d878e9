// The telephone directory: phone number → name and address, read from
// directory files in our own format (docs/phone-directory.md): UTF-8 CSV
// files of phone, name, postal code, prefecture, city, town and the rest, in
// a folder on the disk ("HDPath") or in a "ZorundTel" folder on a mounted
// medium, plus update files ("DiffPath") that replace or remove numbers.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lookup/QSAddress.h"

inline constexpr const char* kMediaFolderName = "ZorundTel";

// The mount points searched for a medium holding a "ZorundTel" folder.
std::vector<std::string> DefaultMediaRoots();
// The first "<root>/<medium>/ZorundTel" or "<root>/<user>/<medium>/ZorundTel"
// folder under the roots (media in name order), or "".
std::string FindMediaDirectory(const std::vector<std::string>& roots);

// Splits one CSV line (RFC 4180 quoting, no line breaks inside fields).
// False when a quote is left open.
bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields);

class CPhoneDirectory {
public:
    enum class Status { Ok, NoMemory };

    // Reads the directory files of hdPath, or when it has none those of
    // cdPath, then applies the update files of diffPath (when given). False
    // when no folder holds a directory file or a file cannot be read.
    bool Open(const std::string& hdPath, const std::string& cdPath, const std::string& diffPath);
    void Close();
    bool IsOpen() const { return m_open; }

    // The entries of a phone number, compared by its digits, in file order.
    // A hit whose phone text holds a character other than "0123456789-()"
    // carries the number as searched instead.
    Status Search(std::string_view phone, std::vector<CQSAddress>& hits) const;

    std::size_t Size() const { return m_entries.size(); }

private:
    bool ReadFolder(const std::string& folder, bool update);

    bool m_open = false;
    int m_fileNo = 0;
    std::vector<CQSAddress> m_entries;
    std::vector<bool> m_removed;
    std::unordered_multimap<std::string, std::size_t> m_index;  // digits → entry
};
