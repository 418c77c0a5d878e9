#include "exchange/Export.h"

#include <algorithm>
#include <cstdio>

#include "common/Ports.h"
#include "customers/ColumnText.h"
#include "customers/Kokyaku.h"
#include "exchange/XmlConv.h"

namespace {

template <typename... Args>
std::string Printf(const char* fmt, Args... args) {
    std::string out(static_cast<std::size_t>(std::snprintf(nullptr, 0, fmt, args...)), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, args...);
    return out;
}

}  // namespace

bool IsExportableColumn(std::string_view name) {
    if (name == "ColorMark" || name == "RirekiUpDate") return false;
    const KokyakuField* field = FindKokyakuField(name);
    return !field || (field->flags & (kFieldKey | kFieldPhoneNum | kFieldPicture)) == 0;
}

namespace {

// "%Y/%m/%d" without the general formatter: an export writes hundreds of
// thousands of dates.
std::string DateText(const CDateTime& date) {
    if (!date.IsValid()) return std::string();
    const int y = date.Year(), m = date.Month(), d = date.Day();
    if (y < 1000 || y > 9999) return date.Format("%Y/%m/%d");
    char text[10] = {char('0' + y / 1000), char('0' + y / 100 % 10), char('0' + y / 10 % 10), char('0' + y % 10), '/',
                     char('0' + m / 10),    char('0' + m % 10),       '/',                     char('0' + d / 10),
                     char('0' + d % 10)};
    return std::string(text, sizeof text);
}

// The cell of a field looked up once per column (null for derived columns).
std::string CellText(const CKokyaku& record, const KokyakuField* field, std::string_view name) {
    if (!field) return GetFieldText(record, nullptr, name);  // derived columns (joined addresses)
    switch (field->kind) {
        case KokyakuFieldKind::Text:
            return field->Text(record);
        case KokyakuFieldKind::Integer:
            return std::to_string(field->Int(record));
        case KokyakuFieldKind::Coded: {
            // A code without its own text reads as the last code of the field.
            const int32_t code = field->Int(record);
            const char* text = field->CodeText(code);
            if (!text && !field->codes.empty()) text = field->codes.back().text;
            return std::to_string(code) + "：" + (text ? text : "");
        }
        case KokyakuFieldKind::Date:
            return DateText(field->Date(record));
        case KokyakuFieldKind::Colour:
        case KokyakuFieldKind::Number:
            break;
    }
    return std::string();
}

}  // namespace

std::string ExportCellText(const CKokyaku& record, std::string_view name) {
    return CellText(record, FindKokyakuField(name), name);
}

ExchangeRowSource ExportRows(IKokyakuCursor& customers, const std::vector<CMLVCol>& columns, std::size_t count) {
    std::vector<const KokyakuField*> fields;
    for (const CMLVCol& c : columns) fields.push_back(FindKokyakuField(c.fieldName));
    return [&customers, &columns, fields = std::move(fields), count, next = std::size_t{0},
            header = true](std::vector<std::string>& row) mutable {
        row.clear();
        row.reserve(columns.size());
        if (header) {
            header = false;
            for (const CMLVCol& c : columns) row.push_back(c.label);
            return 1;
        }
        if (next == count) return 0;
        const CKokyaku* k = customers.Next();
        if (!k) return customers.Failed() ? -1 : 0;
        ++next;
        for (std::size_t c = 0; c < columns.size(); ++c) row.push_back(CellText(*k, fields[c], columns[c].fieldName));
        return 1;
    };
}

ExchangeTable BuildExportTable(const std::vector<const CKokyaku*>& customers, const std::vector<CMLVCol>& columns) {
    ExchangeTable table;
    table.reserve(customers.size() + 1);
    CKokyakuListCursor cursor(customers);
    const ExchangeRowSource next = ExportRows(cursor, columns, customers.size());
    for (std::vector<std::string> row; next(row) > 0;) table.push_back(std::move(row));
    return table;
}

// ---------------------------------------------------------------- column dialog

CExportColumnsModel::CExportColumnsModel(std::string installDir) : m_set(std::move(installDir)) {}

int CExportColumnsModel::Open() {
    if (!m_set.Load()) return 0;
    m_chosen.clear();
    Refill();
    return 1;
}

void CExportColumnsModel::Refill() {
    m_available.clear();
    for (const CMLVCol& c : m_set.columns) {
        if (!IsExportableColumn(c.fieldName)) continue;
        bool chosen = std::any_of(m_chosen.begin(), m_chosen.end(),
                                  [&](const CMLVCol& x) { return x.fieldName == c.fieldName; });
        if (!chosen) m_available.push_back(c);
    }
}

bool CExportColumnsModel::Add(int index) {
    if (index < 0 || index >= static_cast<int>(m_available.size())) {
        ShowMessage("書き出す列を「書き出し可能な列」から選択してください");
        return false;
    }
    const CMLVCol col = m_available[static_cast<std::size_t>(index)];
    if (std::any_of(m_chosen.begin(), m_chosen.end(), [&](const CMLVCol& x) { return x.fieldName == col.fieldName; })) {
        ShowMessage("この列はすでに書き出し設定がされています");
        return false;
    }
    m_chosen.push_back(col);
    m_available.erase(m_available.begin() + index);
    return true;
}

void CExportColumnsModel::AddAll() {
    m_chosen.insert(m_chosen.end(), m_available.begin(), m_available.end());
    m_available.clear();
}

bool CExportColumnsModel::Remove(int index) {
    if (index < 0 || index >= static_cast<int>(m_chosen.size())) {
        ShowMessage("書き出しをやめる列を「書き出す列」から選択してください");
        return false;
    }
    m_chosen.erase(m_chosen.begin() + index);
    Refill();
    return true;
}

void CExportColumnsModel::RemoveAll() {
    m_chosen.clear();
    Refill();
}

int CExportColumnsModel::MoveUp(int index) {
    if (index < 0 || index >= static_cast<int>(m_chosen.size())) {
        ShowMessage("移動する項目を選択してください");
        return -1;
    }
    if (index == 0) return index;
    std::swap(m_chosen[static_cast<std::size_t>(index)], m_chosen[static_cast<std::size_t>(index - 1)]);
    return index - 1;
}

int CExportColumnsModel::MoveDown(int index) {
    if (index < 0 || index >= static_cast<int>(m_chosen.size())) {
        ShowMessage("移動する項目を選択してください");
        return -1;
    }
    if (index + 1 == static_cast<int>(m_chosen.size())) return index;
    std::swap(m_chosen[static_cast<std::size_t>(index)], m_chosen[static_cast<std::size_t>(index + 1)]);
    return index + 1;
}

bool CExportColumnsModel::Ok() const {
    if (!m_chosen.empty()) return true;
    ShowMessage("書き出す列が１つも設定されていません。\n最低１つは設定してください。");
    return false;
}

// ---------------------------------------------------------------- command

namespace {

int WriteExportFrom(IKokyakuCursor& customers, std::size_t total, const std::string& pictureFolder,
                    const CExportDialogs& dialogs) {
    if (total == 0) {
        ShowMessage("書き出すデータがありません");
        return 0;
    }
    const std::optional<int> index = dialogs.chooseFormat();
    if (!index) return 0;
    const std::vector<CExchangeFormat*> formats = WritableFormats();
    if (*index < 0 || *index >= static_cast<int>(formats.size())) {
        ShowMessage("選択した形式が不正です");
        return 0;
    }
    CExchangeFormat& format = *formats[static_cast<std::size_t>(*index)];

    if (!format.WritesRows()) {
        // The records document is written whole.
        CKokyakuList copies;
        while (const CKokyaku* k = customers.Next()) copies.push_back(std::make_unique<CKokyaku>(*k));
        if (customers.Failed()) {
            ShowMessage(kRowsUnreadable);
            return 0;
        }
        return CXmlConv().WriteXML(RecordPointers(copies), pictureFolder) == 1 ? 1 : 0;
    }

    std::optional<std::string> path = Ports::Prompt().ChooseSaveFile("名前を付けて保存", format.Filter(), "");
    if (!path || path->empty()) return 0;
    const std::string target = format.WithDefaultExtension(*path);
    const std::optional<std::vector<CMLVCol>> columns = dialogs.chooseColumns();
    if (!columns) return 0;

    const std::size_t limit = format.MaxDataRows();
    std::size_t count = total;
    if (limit && count > limit) {
        ShowMessage(Printf("一度に書き出せるのは%lld件までです。\n%lld件目までのﾃﾞｰﾀを書き出します。",
                           static_cast<long long>(limit), static_cast<long long>(limit)),
                    MsgIcon::Information);
        count = limit;
    }
    bool written;
    {
        // Row by row: neither the table nor the file is held whole.
        WaitScope wait(true);
        written = format.WriteRows(target, ExportRows(customers, *columns, count));
    }
    if (!written) {
        ShowMessage(format.errorString());
        return 0;
    }
    return 1;
}

}  // namespace

int ExportCustomers(const std::vector<const CKokyaku*>& selected, const std::string& pictureFolder,
                    const CExportDialogs& dialogs) {
    CKokyakuListCursor cursor(selected);
    return ExportCustomers(cursor, selected.size(), pictureFolder, dialogs);
}

int ExportCustomers(IKokyakuCursor& customers, std::size_t count, const std::string& pictureFolder,
                    const CExportDialogs& dialogs) {
    if (count == 0) {
        ShowMessage("書き出す顧客を選択してください。");
        return 0;
    }
    const std::string question =
        Printf("選択されている%lld件の顧客を外部データに書き出します。よろしいですか？", static_cast<long long>(count));
    if (Ports::Prompt().AskYesNo(question, MsgIcon::Question, Answer::Yes) != Answer::Yes) return 0;
    if (WriteExportFrom(customers, count, pictureFolder, dialogs) != 1) return 0;
    ShowMessage("書き出しを完了しました。", MsgIcon::Information);
    return 1;
}

int WriteExport(const std::vector<const CKokyaku*>* customers, const std::string& pictureFolder,
                const CExportDialogs& dialogs) {
    if (!customers) {
        ShowMessage("引数が不正です");
        return 0;
    }
    CKokyakuListCursor cursor(*customers);
    return WriteExportFrom(cursor, customers->size(), pictureFolder, dialogs);
}

