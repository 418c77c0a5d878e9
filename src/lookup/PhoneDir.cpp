#include "lookup/PhoneDir.h"

#include <algorithm>
#include <filesystem>
#include <new>

#include "common/Archive.h"
#include "common/Folders.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SortedEntries(const std::string& folder, bool dirs) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& de : fs::directory_iterator(folder, ec)) {
        if (dirs ? de.is_directory(ec) : (de.is_regular_file(ec) && de.path().extension() == ".csv"))
            out.push_back(de.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

std::vector<std::string> DefaultMediaRoots() { return {"/media", "/run/media", "/mnt"}; }

std::string FindMediaDirectory(const std::vector<std::string>& roots) {
    for (const std::string& root : roots) {
        for (const std::string& medium : SortedEntries(root, true)) {
            if (FolderExists(medium + "/" + kMediaFolderName)) return medium + "/" + kMediaFolderName;
            // /media/<user>/<medium> and /run/media/<user>/<medium>
            for (const std::string& inner : SortedEntries(medium, true))
                if (FolderExists(inner + "/" + kMediaFolderName)) return inner + "/" + kMediaFolderName;
        }
    }
    return "";
}

bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields) {
    fields.clear();
    std::string cur;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    cur.push_back('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cur.push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(std::move(cur));
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    fields.push_back(std::move(cur));
    return !quoted;
}

void CPhoneDirectory::Close() {
    m_open = false;
    m_fileNo = 0;
    m_entries.clear();
    m_removed.clear();
    m_index.clear();
}

bool CPhoneDirectory::ReadFolder(const std::string& folder, bool update) {
    for (const std::string& path : SortedEntries(folder, false)) {
        std::string text;
        if (!ReadWholeFile(path, text)) return false;
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
        ++m_fileNo;
        int lineNo = 0;
        std::size_t pos = 0;
        std::vector<std::string> f;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string_view line(text.data() + pos, end - pos);
            pos = end + 1;
            ++lineNo;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (line.empty() || line.front() == '#') continue;
            if (!SplitCsvLine(line, f) || f.empty()) continue;
            if (f[0] == "phone" || f[0] == "電話番号") continue;  // a header line
            const std::string digits = PhoneDigits(f[0]);
            if (digits.empty()) continue;
            f.resize(7);
            if (update) {
                // An update replaces every entry of its number; a number alone removes them.
                auto [b, e] = m_index.equal_range(digits);
                for (auto it = b; it != e; ++it) m_removed[it->second] = true;
                if (std::all_of(f.begin() + 1, f.end(), [](const std::string& s) { return s.empty(); })) continue;
            }
            CQSAddress a;
            a.value1 = m_fileNo;
            a.value2 = lineNo;
            for (int i = 0; i < 7; ++i) a.texts[i] = f[i];
            m_index.emplace(digits, m_entries.size());
            m_entries.push_back(std::move(a));
            m_removed.push_back(false);
        }
    }
    return true;
}

bool CPhoneDirectory::Open(const std::string& hdPath, const std::string& cdPath, const std::string& diffPath) {
    Close();
    try {
        std::string source;
        if (!hdPath.empty() && FindFileInFolder(hdPath, "csv"))
            source = hdPath;
        else if (!cdPath.empty() && FindFileInFolder(cdPath, "csv"))
            source = cdPath;
        if (source.empty() || !ReadFolder(source, false)) {
            Close();
            return false;
        }
        if (!diffPath.empty() && FolderExists(diffPath) && !ReadFolder(diffPath, true)) {
            Close();
            return false;
        }
    } catch (const std::bad_alloc&) {
        Close();
        return false;
    }
    m_open = true;
    return true;
}

CPhoneDirectory::Status CPhoneDirectory::Search(std::string_view phone, std::vector<CQSAddress>& hits) const {
    hits.clear();
    if (!m_open) return Status::Ok;
    try {
        std::vector<std::size_t> found;
        auto [b, e] = m_index.equal_range(PhoneDigits(phone));
        for (auto it = b; it != e; ++it)
            if (!m_removed[it->second]) found.push_back(it->second);
        std::sort(found.begin(), found.end());
        for (std::size_t i : found) {
            CQSAddress a = m_entries[i];
            if (!IsPhoneText(a.texts[0])) a.texts[0] = std::string(phone);
            hits.push_back(std::move(a));
        }
    } catch (const std::bad_alloc&) {
        hits.clear();
        return Status::NoMemory;
    }
    return Status::Ok;
}
