#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>

#include "common/Folders.h"
#include "common/SjisText.h"
#include "common/XmlText.h"
#include "exchange/Formats.h"

namespace {

// A cell a spreadsheet would take for a number and keeps exactly: an optional
// minus, digits, an optional fraction, at most 15 digits in all.
bool IsPlainNumber(std::string_view s) {
    std::size_t i = s.starts_with('-') ? 1 : 0;
    std::size_t digits = 0, intDigits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            ++digits;
            if (!point) ++intDigits;
        } else if (c == '.' && !point && intDigits > 0) {
            point = true;
        } else {
            return false;
        }
    }
    return intDigits > 0 && digits <= 15 && !s.ends_with('.');
}

// Leading zeros would be lost in a number: such cells are text formatted "@".
bool KeepsLeadingZero(std::string_view s) { return s.size() > 1 && s.front() == '0'; }

double NumberOf(std::string_view s) {
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

std::string WithoutCR(const std::string& s) {
    if (s.find('\r') == std::string::npos) return s;
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '\r') out += c;
    return out;
}

// The Shift-JIS width of the longest line of the text.
std::size_t LongestLine(std::string_view s) {
    std::size_t best = 0;
    for (std::size_t start = 0;;) {
        std::size_t nl = s.find('\n', start);
        best = std::max(best, SjisLength(s.substr(start, nl == std::string_view::npos ? nl : nl - start)));
        if (nl == std::string_view::npos) return best;
        start = nl + 1;
    }
}

std::string BaseName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string OfficeLockFile(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + ".~lock." + BaseName(path) + "#";
}

bool CWorkbookFormat::WriteRows(const std::string& path, const ExchangeTable& table) {
    ClearError();
    if (FileExists(OfficeLockFile(path))) {
        return Fail(BaseName(path) + "は 現在 Excelで開かれています。\nﾌﾞｯｸを閉じてから 操作を行ってください。");
    }
    const std::size_t rows = std::min(table.size(), kMaxDataRows + 1);
    const std::size_t columns = table.empty() ? 0 : table[0].size();

    std::vector<std::size_t> widths(columns, 0);
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t c = 0; c < columns && c < table[r].size(); ++c)
            widths[c] = std::max(widths[c], LongestLine(table[r][c]));

    CReplacingFile file(path);
    if (!file.Create()) return Fail(kCannotCreateFile);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(file.TempPath().c_str(), &options);
    if (!book) return Fail(kCannotCreateFile);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* header = workbook_add_format(book);
    format_set_bold(header);
    format_set_bottom(header, LXW_BORDER_THIN);
    lxw_format* text = workbook_add_format(book);
    format_set_num_format_index(text, 49);  // "@"

    bool ok = sheet != nullptr;
    if (ok) {
        worksheet_set_default_row(sheet, kRowHeight, LXW_FALSE);
        for (std::size_t c = 0; c < columns; ++c) {
            double width = std::min(kMaxColumnWidth, static_cast<double>(widths[c]) + 2);
            worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width, nullptr);
        }
    }
    for (std::size_t r = 0; ok && r < rows; ++r) {
        const auto row = static_cast<lxw_row_t>(r);
        for (std::size_t c = 0; ok && c < columns && c < table[r].size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const std::string cell = XmlSafeText(WithoutCR(table[r][c]));
            lxw_error err = LXW_NO_ERROR;
            if (r == 0) err = cell.empty() ? worksheet_write_blank(sheet, row, col, header)
                                           : worksheet_write_string(sheet, row, col, cell.c_str(), header);
            else if (cell.empty()) continue;
            else if (KeepsLeadingZero(cell)) err = worksheet_write_string(sheet, row, col, cell.c_str(), text);
            else if (IsPlainNumber(cell)) err = worksheet_write_number(sheet, row, col, NumberOf(cell), nullptr);
            else err = worksheet_write_string(sheet, row, col, cell.c_str(), nullptr);
            ok = err == LXW_NO_ERROR;
        }
    }
    const bool closed = workbook_close(book) == LXW_NO_ERROR;
    if (!ok || !closed || !file.Commit()) return Fail(kCannotCreateFile);
    return true;
}
