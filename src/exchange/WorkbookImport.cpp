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
#include <optional>
#include <set>

#include "common/Archive.h"
#include "common/DateTime.h"
#include "common/Fence.h"

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

// The largest sheet of the format.
constexpr std::size_t kSheetRowLimit = 1048576;
constexpr std::size_t kSheetColumnLimit = 16384;

// One member of the package, read as a stream: no size field of the archive
// is trusted. False when missing, larger than the cap, or not of the size its
// directory entry gives.
bool ReadMember(zip_t* z, const std::string& name, std::string& out) {
    out.clear();
    zip_stat_t st;
    if (zip_stat(z, name.c_str(), 0, &st) != 0) return false;
    zip_file_t* f = zip_fopen(z, name.c_str(), 0);
    if (!f) return false;
    char buf[65536];
    bool ok = true;
    for (;;) {
        zip_int64_t got = zip_fread(f, buf, sizeof buf);
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (out.size() + static_cast<std::size_t>(got) > kMaxWorkbookPartBytes) {
            ok = false;
            break;
        }
        out.append(buf, static_cast<std::size_t>(got));
    }
    zip_fclose(f);
    if (ok && (st.valid & ZIP_STAT_SIZE) && st.size != out.size()) ok = false;
    if (!ok) out.clear();
    return ok;
}

// A parsed part; the document points into the text it was parsed from.
struct XmlPart {
    std::string text;
    pugi::xml_document doc;
};

bool LoadXml(zip_t* z, const std::string& name, XmlPart& part) {
    return ReadMember(z, name, part.text) && part.doc.load_buffer_inplace(part.text.data(), part.text.size());
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

// A decimal number of at most 7 digits from 1 to limit; 0 when malformed.
std::size_t SmallNumber(const char*& p, std::size_t limit) {
    std::size_t n = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        if (++digits > 7) return 0;
        n = n * 10 + static_cast<std::size_t>(*p++ - '0');
    }
    return n <= limit ? n : 0;
}

// "B12" → column 1 (from 0) and row 11 (from 0); false when malformed or
// outside a sheet.
bool ParseCellRef(const char* ref, std::size_t& col, std::size_t& row) {
    col = 0;
    const char* p = ref;
    for (int letters = 0; *p >= 'A' && *p <= 'Z'; ++letters) {
        if (letters == 3) return false;
        col = col * 26 + static_cast<std::size_t>(*p++ - 'A' + 1);
    }
    if (col == 0 || col > kSheetColumnLimit) return false;
    row = SmallNumber(p, kSheetRowLimit);
    if (row == 0 || *p != '\0') return false;
    --col;
    --row;
    return true;
}

// The date of a date cell's value "YYYY-MM-DD[Thh:mm:ss]" as "YYYY/MM/DD";
// false when it is not such a date.
bool IsoDateText(std::string_view v, std::string& out) {
    if (v.size() < 10 || (v.size() > 10 && v[10] != 'T') || v[4] != '-' || v[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (v[i] < '0' || v[i] > '9') return false;
    out = std::string(v.substr(0, 10));
    out[4] = out[7] = '/';
    return CDateTime::ParseDate(out).has_value();
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
        XmlPart book, rels;
        if (!LoadXml(m_zip, "xl/workbook.xml", book)) return false;
        std::map<std::string, std::string> targets;
        std::set<std::string> otherKinds;  // chart, dialog and macro sheets
        if (LoadXml(m_zip, "xl/_rels/workbook.xml.rels", rels)) {
            for (pugi::xml_node r : Child(rels.doc, "Relationships").children()) {
                std::string target = Attr(r, "Target");
                if (target.starts_with("/")) target = target.substr(1);
                else target = "xl/" + target;
                targets[Attr(r, "Id")] = target;
                const std::string_view type = Attr(r, "Type");
                if (!type.empty() && !type.ends_with("/worksheet")) otherKinds.insert(Attr(r, "Id"));
            }
        }
        pugi::xml_node sheets = Child(Child(book.doc, "workbook"), "sheets");
        for (pugi::xml_node s : sheets.children()) {
            if (std::strcmp(LocalName(s), "sheet") != 0 || otherKinds.count(Attr(s, "id"))) continue;
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
        XmlPart part;
        if (!LoadXml(m_zip, m_sheets[index].part, part)) return false;
        CSheetCells cells;
        pugi::xml_node data = Child(Child(part.doc, "worksheet"), "sheetData");
        std::size_t nextRow = 0;
        for (pugi::xml_node r : data.children()) {
            if (std::strcmp(LocalName(r), "row") != 0) continue;
            std::size_t row = nextRow;
            if (const char* rr = Attr(r, "r"); *rr) {
                row = SmallNumber(rr, kSheetRowLimit);
                if (row-- == 0 || *rr != '\0') return false;
            }
            nextRow = row + 1;
            std::size_t nextCol = 0;
            for (pugi::xml_node c : r.children()) {
                if (std::strcmp(LocalName(c), "c") != 0) continue;
                std::size_t col = nextCol, cellRow = row;
                if (const char* ref = Attr(c, "r"); *ref && !ParseCellRef(ref, col, cellRow)) return false;
                nextCol = col + 1;
                std::string text;
                if (!CellText(c, text) || !cells.Add(cellRow, col, std::move(text))) return false;
            }
        }
        return cells.Finish(range);
    }

private:
    struct Sheet {
        std::string name;
        std::string part;
    };

    void LoadSharedStrings() {
        XmlPart part;
        if (!LoadXml(m_zip, "xl/sharedStrings.xml", part)) return;
        for (pugi::xml_node si : Child(part.doc, "sst").children())
            if (std::strcmp(LocalName(si), "si") == 0) m_strings.push_back(ItemText(si));
    }

    void LoadStyles() {
        XmlPart part;
        if (!LoadXml(m_zip, "xl/styles.xml", part)) return;
        pugi::xml_node root = Child(part.doc, "styleSheet");
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

    // The cell's text by its type; false for a value its type cannot hold.
    bool CellText(const pugi::xml_node& c, std::string& text) const {
        std::string type = Attr(c, "t");
        text.clear();
        if (type == "inlineStr") {
            text = ItemText(Child(c, "is"));
            return true;
        }
        const char* v = Child(c, "v").text().get();
        if (type == "s") {
            const char* p = v;
            std::size_t i = SmallNumber(p, SIZE_MAX);
            if (*p != '\0' || (i == 0 && *v != '0')) return *v == '\0';
            if (i < m_strings.size()) text = m_strings[i];
            return true;
        }
        if (type == "str" || type == "e") {
            text = v;
        } else if (type == "b") {
            text = *v == '\0' ? "" : std::strcmp(v, "0") == 0 ? "0" : "1";
        } else if (*v == '\0') {
        } else if (type == "d") {
            return IsoDateText(v, text);
        } else {
            char* end = nullptr;
            double value = std::strtod(v, &end);
            if (end == v) {
                text = v;
                return true;
            }
            Style s;
            const char* style = Attr(c, "s");
            std::size_t index = SmallNumber(style, SIZE_MAX);
            if (index < m_styles.size()) s = m_styles[index];
            text = NumberCellText(value, s.date, s.time);
        }
        return true;
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

// The library's reading runs in a fenced child (common/Fence.h): a damaged
// file may crash it. The child sends back the sheet names, or one sheet's
// range, in the reply framing.

void WriteRange(const SheetRange& range, CReplyWriter& out) {
    out.Number(range.firstRow);
    out.Number(range.clipped ? 1 : 0);
    out.Number(range.rows.size());
    for (const SheetRow& row : range.rows) {
        out.Number(row.number);
        out.Texts(row.cells);
    }
}

bool ReadRange(CReplyReader& in, SheetRange& range) {
    std::uint64_t firstRow = 0, clipped = 0, rows = 0, cells = 0;
    if (!in.Number(firstRow) || !in.Number(clipped) || !in.Number(rows) || rows > kMaxSheetRows) return false;
    range.firstRow = static_cast<std::size_t>(firstRow);
    range.clipped = clipped != 0;
    range.rows.resize(static_cast<std::size_t>(rows));
    for (SheetRow& row : range.rows) {
        std::uint64_t number = 0;
        if (!in.Number(number) || !in.Texts(row.cells) || row.cells.size() > kMaxSheetColumns) return false;
        row.number = static_cast<std::size_t>(number);
        cells += row.cells.size();
    }
    return cells <= kMaxImportCells && in.AtEnd();
}

class CFreeXl {
public:
    ~CFreeXl() {
        if (m_handle) freexl_close(m_handle);
    }
    bool Open(const std::string& path) {
        if (freexl_open(path.c_str(), &m_handle) != FREEXL_OK) {
            m_handle = nullptr;
            return false;
        }
        return true;
    }

    bool SheetNames(std::vector<std::string>& names) {
        unsigned int count = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || count == 0 || count > 0xFFFF)
            return false;
        for (unsigned int i = 0; i < count; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(i), &name) != FREEXL_OK) return false;
            names.emplace_back(name ? name : "");
        }
        return true;
    }

    bool ReadSheet(std::size_t index, SheetRange& range) {
        if (index > 0xFFFF || freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) != FREEXL_OK)
            return false;
        unsigned int rows = 0;
        unsigned short cols = 0;
        if (freexl_worksheet_dimensions(m_handle, &rows, &cols) != FREEXL_OK) return false;
        CSheetCells cells;
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(m_handle, r, c, &v) != FREEXL_OK) return false;
                if (!cells.Add(r, c, CellText(v))) return false;
            }
        }
        return cells.Finish(range);
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
};

class CXlsReader final : public CWorkbookReader {
public:
    bool Open(const std::string& path) override {
        m_path = path;
        std::optional<std::string> reply = RunFenced([&path](std::string& out) {
            CFreeXl book;
            std::vector<std::string> names;
            if (!book.Open(path) || !book.SheetNames(names)) return false;
            // Only worksheets are offered; when the kinds cannot be told, every sheet.
            std::string bytes;
            std::optional<std::vector<bool>> kinds;
            if (ReadWholeFile(path, bytes)) kinds = XlsWorksheets(bytes);
            std::vector<std::string> shown;
            std::vector<std::uint64_t> indices;
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (kinds && kinds->size() == names.size() && !(*kinds)[i]) continue;
                shown.push_back(names[i]);
                indices.push_back(i);
            }
            CReplyWriter writer;
            writer.Texts(shown);
            for (std::uint64_t i : indices) writer.Number(i);
            out = std::move(writer.Bytes());
            return true;
        });
        if (!reply) return false;
        CReplyReader reader(*reply);
        if (!reader.Texts(m_names)) return false;
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            std::uint64_t index = 0;
            if (!reader.Number(index) || index > 0xFFFF) return false;
            m_indices.push_back(static_cast<std::size_t>(index));
        }
        return reader.AtEnd() && !m_names.empty();
    }

    std::vector<std::string> SheetNames() const override { return m_names; }

    bool ReadSheet(std::size_t index, SheetRange& range) override {
        range = {};
        if (index >= m_names.size()) return false;
        std::optional<std::string> reply = RunFenced([this, index](std::string& out) {
            CFreeXl book;
            SheetRange read;
            if (!book.Open(m_path) || !book.ReadSheet(m_indices[index], read)) return false;
            CReplyWriter writer;
            WriteRange(read, writer);
            out = std::move(writer.Bytes());
            return true;
        });
        if (!reply) return false;
        CReplyReader reader(*reply);
        if (ReadRange(reader, range)) return true;
        range = {};
        return false;
    }

private:
    std::string m_path;
    std::vector<std::string> m_names;
    std::vector<std::size_t> m_indices;  // the library's index of each sheet shown
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

bool CSheetCells::Add(std::size_t row, std::size_t col, std::string text) {
    if (row >= kSheetRowLimit || col >= kSheetColumnLimit) return false;
    if (!text.empty()) m_cells.push_back({row, col, std::move(text)});
    return true;
}

bool CSheetCells::Finish(SheetRange& range) {
    range = {};
    if (m_cells.empty()) return true;
    std::stable_sort(m_cells.begin(), m_cells.end(),
                     [](const Cell& a, const Cell& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
    if (m_cells.back().row - m_cells.front().row >= kMaxSheetRows) return false;
    std::size_t minCol = SIZE_MAX;
    for (const Cell& c : m_cells) minCol = std::min(minCol, c.col);
    range.firstRow = m_cells.front().row + 1;
    std::size_t total = 0;
    for (Cell& c : m_cells) {
        const std::size_t col = c.col - minCol;
        if (col >= kMaxSheetColumns) {
            range.clipped = true;
            continue;
        }
        if (range.rows.empty() || range.rows.back().number != c.row + 1) range.rows.push_back({c.row + 1, {}});
        std::vector<std::string>& cells = range.rows.back().cells;
        if (cells.size() <= col) {
            total += col + 1 - cells.size();
            if (total > kMaxImportCells) {
                range = {};
                return false;
            }
            cells.resize(col + 1);
        }
        cells[col] = std::move(c.text);
    }
    m_cells.clear();
    return true;
}

ExchangeTable SheetTable(const SheetRange& range) {
    std::size_t width = 0;
    for (const SheetRow& row : range.rows) width = std::max(width, row.cells.size());
    ExchangeTable table;
    std::vector<std::string> header{std::string()};
    for (std::size_t c = 1; c <= width; ++c) header.push_back(ColumnLetters(c));
    table.push_back(std::move(header));
    for (const SheetRow& row : range.rows) {
        std::vector<std::string> cells{std::to_string(row.number)};
        cells.insert(cells.end(), row.cells.begin(), row.cells.end());
        table.push_back(std::move(cells));
    }
    return table;
}

std::string NumberCellText(double value, bool dateFormat, bool timeFormat) {
    // Day counts of the years 100 to 9999; other values stay numbers.
    const bool day = value >= -657434 && value < 2958466;
    if (day && (dateFormat || (timeFormat && value >= 0 && value < 1))) return DateText(value);
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
