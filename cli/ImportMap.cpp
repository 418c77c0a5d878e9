#include "ImportMap.h"

#include <algorithm>

#include "exchange/Import.h"

namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

bool AllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

int ColumnFromLetters(const std::string& letters) {
    if (letters.empty() || letters.size() > 3) return -1;
    int n = 0;
    for (char c : letters) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return -1;
        n = n * 26 + (c - 'A' + 1);
    }
    return n - 1;
}

std::optional<ImportMap> ParseImportMap(const std::string& input, std::string& error) {
    std::string text = input;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    ImportMap map;
    int lineNumber = 0;
    std::size_t pos = 0;
    auto fail = [&](const std::string& why) {
        error = "行 " + std::to_string(lineNumber) + ": " + why;
        return std::nullopt;
    };
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) return fail("「列 = 項目名」の形ではありません");
        const std::string key = Trim(line.substr(0, eq));
        const std::string value = Trim(line.substr(eq + 1));
        if (key.empty() || value.empty()) return fail("「列 = 項目名」の形ではありません");
        if (key == "first-row") {
            if (value != "heading" && value != "data") return fail("first-row は heading か data です");
            map.firstRowIsData = value == "data";
            continue;
        }
        if (key == "delimiter") {
            static const std::pair<const char*, char> kDelimiters[] = {
                {"comma", ','}, {"tab", '\t'}, {"semicolon", ';'}, {"space", ' '}};
            auto it = std::find_if(std::begin(kDelimiters), std::end(kDelimiters),
                                   [&](const auto& d) { return value == d.first; });
            if (it == std::end(kDelimiters)) return fail("delimiter は comma, tab, semicolon, space のどれかです");
            map.delimiter = it->second;
            continue;
        }
        if (key == "sheet") {
            map.sheet = value;
            continue;
        }
        ImportMap::Entry entry;
        entry.lineNumber = lineNumber;
        if (key.size() >= 2 && key.front() == '"' && key.back() == '"') {
            entry.heading = key.substr(1, key.size() - 2);
            if (entry.heading.empty()) return fail("見出しが空です");
        } else if (AllDigits(key)) {
            entry.column = key.size() > 5 ? -1 : std::stoi(key) - 1;
            if (entry.column < 0) return fail("列番号は 1 からです");
        } else {
            entry.column = ColumnFromLetters(key);
            if (entry.column < 0) return fail("列は番号、列記号 (A, B, ...) か \"見出し\" で指定します: " + key);
        }
        if (!IsImportableColumn(value)) return fail("読み込める項目名ではありません: " + value);
        for (const ImportMap::Entry& other : map.entries) {
            if (other.field == value) return fail("項目 " + value + " は行 " + std::to_string(other.lineNumber) + " で対応づけ済みです");
            if (other.column == entry.column && other.heading == entry.heading)
                return fail("この列は行 " + std::to_string(other.lineNumber) + " で対応づけ済みです");
        }
        entry.field = value;
        map.entries.push_back(std::move(entry));
    }
    if (map.entries.empty()) {
        lineNumber = 0;
        error = "対応づけがひとつもありません";
        return std::nullopt;
    }
    return map;
}

bool ApplyImportMap(const ImportMap& map, CImportMapModel& model, std::string& error) {
    model.readFirstRow = model.FirstRowFixed() || map.firstRowIsData;
    const auto lines = model.Lines();
    for (const ImportMap::Entry& entry : map.entries) {
        int line = entry.column;
        if (line < 0) {
            // The first row of the file is the "１行目" cell of the line.
            for (std::size_t i = 0; i < lines.size(); ++i)
                if (lines[i].size() > 1 && lines[i][1] == entry.heading) {
                    line = static_cast<int>(i);
                    break;
                }
            if (line < 0) {
                error = "見出し \"" + entry.heading + "\" の列がありません";
                return false;
            }
        } else if (static_cast<std::size_t>(line) >= lines.size()) {
            error = "列 " + std::to_string(line + 1) + " がありません (" + std::to_string(lines.size()) + " 列)";
            return false;
        }
        const auto& fields = model.Fields();
        auto it = std::find_if(fields.begin(), fields.end(), [&](const auto& c) { return c.fieldName == entry.field; });
        if (it == fields.end()) {
            error = "項目 " + entry.field + " は一覧にありません";
            return false;
        }
        if (!model.Map(static_cast<int>(it - fields.begin()), line)) return false;
    }
    return model.Finish();
}
