#include "exchange/WorkbookImport.h"

#include <freexl.h>
#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "common/DateTime.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EndsWith(const std::string& s, const char* suffix) {
    std::size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::string DateText(double serial) { return CDateTime(std::floor(serial)).Format("%Y/%m/%d"); }

// ---------------------------------------------------------------- .xlsx

// One member of the package, or nullopt-like false when missing.
bool ReadMember(zip_t* z, const std::string& name, std::string& out) {
    zip_stat_t st;
    if (zip_stat(z, name.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) return false;
    zip_file_t* f = zip_fopen(z, name.c_str(), 0);
    if (!f) return false;
    out.resize(static_cast<std::size_t>(st.size));
    zip_int64_t got = out.empty() ? 0 : zip_fread(f, out.data(), st.size);
    zip_fclose(f);
    return got == static_cast<zip_int64_t>(st.size);
}

bool LoadXml(zip_t* z, const std::string& name, pugi::xml_document& doc) {
    std::string text;
    return ReadMember(z, name, text) && doc.load_buffer(text.data(), text.size());
}

// Element children by local name, whatever prefix the producer chose.
const char* LocalName(const pugi::xml_node& n) {
    const char* name = n.name();
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}
pugi::xml_node Child(const pugi::xml_node& n, const char* local) {
    for (pugi::xml_node c : n.children())
        if (std::strcmp(LocalName(c), local) == 0) return c;
    return {};
}
const char* Attr(const pugi::xml_node& n, const char* local) {
    for (pugi::xml_attribute a : n.attributes()) {
        const char* name = a.name();
        const char* colon = std::strchr(name, ':');
        if (std::strcmp(colon ? colon + 1 : name, local) == 0) return a.value();
    }
    return "";
}

// The text of a string item: its <t>, or the <t> of its runs; phonetic runs skipped.
std::string ItemText(const pugi::xml_node& si) {
    std::string out;
    for (pugi::xml_node c : si.children()) {
        const char* name = LocalName(c);
        if (std::strcmp(name, "t") == 0) out += c.text().get();
        else if (std::strcmp(name, "r") == 0) out += Child(c, "t").text().get();
    }
    return out;
}

// "B12" → column 1 (from 0) and row 11 (from 0); false when malformed.
bool ParseCellRef(const char* ref, std::size_t& col, std::size_t& row) {
    col = 0;
    const char* p = ref;
    while (*p >= 'A' && *p <= 'Z') col = col * 26 + static_cast<std::size_t>(*p++ - 'A' + 1);
    if (col == 0 || *p < '1' || *p > '9') return false;
    row = 0;
    while (*p >= '0' && *p <= '9') row = row * 10 + static_cast<std::size_t>(*p++ - '0');
    if (*p != '\0') return false;
    --col;
    --row;
    return true;
}

class CXlsxReader final : public CWorkbookReader {
public:
    ~CXlsxReader() override {
        if (m_zip) zip_discard(m_zip);
    }

    bool Open(const std::string& path) override {
        int err = 0;
        m_zip = zip_open(path.c_str(), ZIP_RDONLY, &err);
        if (!m_zip) return false;
        pugi::xml_document book, rels;
        if (!LoadXml(m_zip, "xl/workbook.xml", book)) return false;
        std::map<std::string, std::string> targets;
        if (LoadXml(m_zip, "xl/_rels/workbook.xml.rels", rels)) {
            for (pugi::xml_node r : Child(rels, "Relationships").children()) {
                std::string target = Attr(r, "Target");
                if (target.starts_with("/")) target = target.substr(1);
                else target = "xl/" + target;
                targets[Attr(r, "Id")] = target;
            }
        }
        pugi::xml_node sheets = Child(Child(book, "workbook"), "sheets");
        for (pugi::xml_node s : sheets.children()) {
            if (std::strcmp(LocalName(s), "sheet") != 0) continue;
            auto it = targets.find(Attr(s, "id"));
            m_sheets.push_back({Attr(s, "name"), it == targets.end() ? std::string() : it->second});
        }
        if (m_sheets.empty()) return false;
        LoadSharedStrings();
        LoadStyles();
        return true;
    }

    std::vector<std::string> SheetNames() const override {
        std::vector<std::string> names;
        for (const auto& s : m_sheets) names.push_back(s.name);
        return names;
    }

    bool ReadSheet(std::size_t index, SheetRange& range) override {
        range = {};
        if (index >= m_sheets.size()) return false;
        pugi::xml_document doc;
        if (!LoadXml(m_zip, m_sheets[index].part, doc)) return false;
        struct Cell {
            std::size_t row, col;
            std::string text;
        };
        std::vector<Cell> cells;
        std::size_t minRow = SIZE_MAX, minCol = SIZE_MAX, maxRow = 0, maxCol = 0;
        pugi::xml_node data = Child(Child(doc, "worksheet"), "sheetData");
        std::size_t nextRow = 0;
        for (pugi::xml_node r : data.children()) {
            if (std::strcmp(LocalName(r), "row") != 0) continue;
            std::size_t row = nextRow;
            if (const char* rr = Attr(r, "r"); *rr) row = static_cast<std::size_t>(std::strtoul(rr, nullptr, 10)) - 1;
            nextRow = row + 1;
            std::size_t nextCol = 0;
            for (pugi::xml_node c : r.children()) {
                if (std::strcmp(LocalName(c), "c") != 0) continue;
                std::size_t col = nextCol, cellRow = row;
                if (const char* ref = Attr(c, "r"); *ref && !ParseCellRef(ref, col, cellRow)) return false;
                nextCol = col + 1;
                std::string text = CellText(c);
                if (text.empty()) continue;
                minRow = std::min(minRow, cellRow);
                maxRow = std::max(maxRow, cellRow);
                minCol = std::min(minCol, col);
                maxCol = std::max(maxCol, col);
                cells.push_back({cellRow, col, std::move(text)});
            }
        }
        if (cells.empty()) return true;
        if (maxRow - minRow > 1048576 || maxCol - minCol > 16384) return false;
        range.firstRow = minRow + 1;
        range.cells.assign(maxRow - minRow + 1, std::vector<std::string>(maxCol - minCol + 1));
        for (auto& c : cells) range.cells[c.row - minRow][c.col - minCol] = std::move(c.text);
        return true;
    }

private:
    struct Sheet {
        std::string name;
        std::string part;
    };

    void LoadSharedStrings() {
        pugi::xml_document doc;
        if (!LoadXml(m_zip, "xl/sharedStrings.xml", doc)) return;
        for (pugi::xml_node si : Child(doc, "sst").children())
            if (std::strcmp(LocalName(si), "si") == 0) m_strings.push_back(ItemText(si));
    }

    void LoadStyles() {
        pugi::xml_document doc;
        if (!LoadXml(m_zip, "xl/styles.xml", doc)) return;
        pugi::xml_node root = Child(doc, "styleSheet");
        std::map<int, std::string> custom;
        for (pugi::xml_node f : Child(root, "numFmts").children())
            custom[std::atoi(Attr(f, "numFmtId"))] = Attr(f, "formatCode");
        for (pugi::xml_node xf : Child(root, "cellXfs").children()) {
            if (std::strcmp(LocalName(xf), "xf") != 0) continue;
            int id = std::atoi(Attr(xf, "numFmtId"));
            Style s;
            if (auto it = custom.find(id); it != custom.end()) {
                ClassifyNumberFormat(it->second, s.date, s.time);
            } else {
                // Built-in formats: dates 14-17, 22, 27-36, 50-58; times 18-21, 45-47.
                s.date = (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
                s.time = (id >= 18 && id <= 21) || (id >= 45 && id <= 47);
            }
            m_styles.push_back(s);
        }
    }

    std::string CellText(const pugi::xml_node& c) const {
        std::string type = Attr(c, "t");
        if (type == "inlineStr") return ItemText(Child(c, "is"));
        const char* v = Child(c, "v").text().get();
        if (type == "s") {
            std::size_t i = static_cast<std::size_t>(std::strtoul(v, nullptr, 10));
            return i < m_strings.size() ? m_strings[i] : std::string();
        }
        if (type == "str" || type == "e") return v;
        if (type == "b") return std::strcmp(v, "0") == 0 || *v == '\0' ? (*v ? "0" : "") : "1";
        if (*v == '\0') return std::string();
        if (type == "d") return std::string(v).substr(0, 10).replace(4, 1, "/").replace(7, 1, "/");
        char* end = nullptr;
        double value = std::strtod(v, &end);
        if (end == v) return v;
        Style s;
        std::size_t style = static_cast<std::size_t>(std::strtoul(Attr(c, "s"), nullptr, 10));
        if (style < m_styles.size()) s = m_styles[style];
        return NumberCellText(value, s.date, s.time);
    }

    struct Style {
        bool date = false;
        bool time = false;
    };

    zip_t* m_zip = nullptr;
    std::vector<Sheet> m_sheets;
    std::vector<std::string> m_strings;
    std::vector<Style> m_styles;
};

// ---------------------------------------------------------------- .xls

class CXlsReader final : public CWorkbookReader {
public:
    ~CXlsReader() override {
        if (m_handle) freexl_close(m_handle);
    }

    bool Open(const std::string& path) override {
        if (freexl_open(path.c_str(), &m_handle) != FREEXL_OK) {
            m_handle = nullptr;
            return false;
        }
        unsigned int count = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || count == 0) return false;
        for (unsigned short i = 0; i < count; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(m_handle, i, &name) != FREEXL_OK) return false;
            m_names.emplace_back(name ? name : "");
        }
        return true;
    }

    std::vector<std::string> SheetNames() const override { return m_names; }

    bool ReadSheet(std::size_t index, SheetRange& range) override {
        range = {};
        if (index >= m_names.size()) return false;
        if (freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) != FREEXL_OK) return false;
        unsigned int rows = 0;
        unsigned short cols = 0;
        if (freexl_worksheet_dimensions(m_handle, &rows, &cols) != FREEXL_OK) return false;
        std::vector<std::vector<std::string>> grid(rows, std::vector<std::string>(cols));
        std::size_t minRow = SIZE_MAX, minCol = SIZE_MAX, maxRow = 0, maxCol = 0;
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(m_handle, r, c, &v) != FREEXL_OK) return false;
                std::string text = CellText(v);
                if (text.empty()) continue;
                minRow = std::min<std::size_t>(minRow, r);
                maxRow = std::max<std::size_t>(maxRow, r);
                minCol = std::min<std::size_t>(minCol, c);
                maxCol = std::max<std::size_t>(maxCol, c);
                grid[r][c] = std::move(text);
            }
        }
        if (minRow == SIZE_MAX) return true;
        range.firstRow = minRow + 1;
        for (std::size_t r = minRow; r <= maxRow; ++r)
            range.cells.emplace_back(std::make_move_iterator(grid[r].begin() + static_cast<std::ptrdiff_t>(minCol)),
                                     std::make_move_iterator(grid[r].begin() + static_cast<std::ptrdiff_t>(maxCol) + 1));
        return true;
    }

private:
    static std::string CellText(const FreeXL_CellValue& v) {
        switch (v.type) {
        case FREEXL_CELL_INT: return std::to_string(v.value.int_value);
        case FREEXL_CELL_DOUBLE: return NumberCellText(v.value.double_value, false, false);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT: return v.value.text_value ? v.value.text_value : "";
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME: {
            // "YYYY-MM-DD[ HH:MM:SS]"
            std::string t = v.value.text_value ? v.value.text_value : "";
            if (t.size() < 10) return std::string();
            t.resize(10);
            t[4] = t[7] = '/';
            return t;
        }
        case FREEXL_CELL_TIME: return DateText(0);  // a time of day alone is a value between 0 and 1
        default: return std::string();
        }
    }

    const void* m_handle = nullptr;
    std::vector<std::string> m_names;
};

}  // namespace

std::unique_ptr<CWorkbookReader> MakeWorkbookReader(const std::string& path) {
    std::string lower = Lower(path);
    if (EndsWith(lower, ".xlsx")) return std::make_unique<CXlsxReader>();
    if (EndsWith(lower, ".xls")) return std::make_unique<CXlsReader>();
    return nullptr;
}

std::string ColumnLetters(std::size_t column) {
    std::string out;
    while (column > 0) {
        --column;
        out.insert(out.begin(), static_cast<char>('A' + column % 26));
        column /= 26;
    }
    return out;
}

ExchangeTable SheetTable(const SheetRange& range, bool& clipped) {
    std::size_t width = 0;
    for (const auto& row : range.cells) width = std::max(width, row.size());
    clipped = width > kMaxSheetColumns;
    width = std::min(width, kMaxSheetColumns);
    ExchangeTable table;
    std::vector<std::string> header{std::string()};
    for (std::size_t c = 1; c <= width; ++c) header.push_back(ColumnLetters(c));
    table.push_back(std::move(header));
    for (std::size_t r = 0; r < range.cells.size(); ++r) {
        const auto& cells = range.cells[r];
        std::vector<std::string> row{std::to_string(range.firstRow + r)};
        bool any = false;
        for (std::size_t c = 0; c < width; ++c) {
            row.push_back(c < cells.size() ? cells[c] : std::string());
            any = any || !row.back().empty();
        }
        if (any) table.push_back(std::move(row));
    }
    return table;
}

std::string NumberCellText(double value, bool dateFormat, bool timeFormat) {
    if (dateFormat || (timeFormat && value >= 0 && value < 1)) return DateText(value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string text = buf;
    std::size_t dot = text.find('.');
    if (dot != std::string::npos && text.find('e') == std::string::npos && text.size() - dot - 1 >= 3) {
        std::snprintf(buf, sizeof buf, "%.3f", value);
        text = buf;
    }
    return text;
}

void ClassifyNumberFormat(const std::string& code, bool& date, bool& time) {
    date = time = false;
    bool minuteOrMonth = false;  // "m" is the month beside a date letter
    // Only the first section counts; quoted texts, escaped characters and
    // bracketed colours or conditions are not format letters.
    for (std::size_t i = 0; i < code.size(); ++i) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
        if (c == ';') break;
        if (c == 'g' && Lower(code.substr(i, 7)) == "general") {
            i += 6;
        } else if (c == '"') {
            i = code.find('"', i + 1);
            if (i == std::string::npos) break;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            std::size_t close = code.find(']', i);
            if (close == std::string::npos) break;
            std::string inner = Lower(code.substr(i + 1, close - i - 1));
            if (!inner.empty() && inner.find_first_not_of("hms") == std::string::npos) time = true;
            i = close;
        } else if (c == 'y' || c == 'd' || c == 'g') {
            date = true;
        } else if (c == 'h' || c == 's') {
            time = true;
        } else if (c == 'm') {
            minuteOrMonth = true;
        }
    }
    if (minuteOrMonth && !date) time = true;
}
