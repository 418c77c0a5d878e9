#include "exchange/Import.h"

#include <algorithm>
#include <cstdio>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/SjisText.h"
#include "exchange/Formats.h"
#include "exchange/TextImport.h"
#include "exchange/WorkbookImport.h"

namespace {

template <typename... Args>
std::string Printf(const char* fmt, Args... args) {
    std::string out(static_cast<std::size_t>(std::snprintf(nullptr, 0, fmt, args...)), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, args...);
    return out;
}

// A coded field: its valid range, its default and its rule.
struct CodedRule {
    const char* field;
    int low, high, extra;  // extra: one more valid value (-1 none)
    int def;
    const char* text;
};

constexpr CodedRule kCodedRules[] = {
    {"Sex", 0, 1, -1, 0,
     "数値で 0 を男性、数値で 1 を女性とします。判別できなかった場合または対応づけなかった場合、男性として登録されます。"},
    {"EntryType", 0, 1, -1, 1,
     "数値で 0 を法人、数値で 1 を個人とします。判別できなかった場合または対応づけなかった場合、個人として登録されます。"},
    {"CustomerType", 0, 1, -1, 0,
     "数値で 0 を正規顧客、数値で 1 を見込み客とします。判別できなかった場合または対応づけなかった場合、正規顧客として登録されます。"},
    {"ClosingDate", 1, 12, -1, 0,
     "数値で 1 ～ 12。判別できなかった場合または対応づけなかった場合、未設定となります。"},
    {"ClosingDay", 1, 31, 99, 0,
     "数値で 1 ～ 31、または 99（末日扱い）。判別できなかった場合または対応づけなかった場合、未設定となります。"},
    {"TaxMethod", 0, 4, -1, 4,
     "数値で 0 ～ 4。0：外税（納品ごと）、1：外税（請求時）、2：内税、3：なし、4：未設定。判別できなかった場合または対応づけなかった場合、未設定となります。"},
    {"CommonMail", 1, 5, -1, 1,
     "数値で 1 ～ 5。メールアドレスの1番目から5番目までのどれを標準のアドレスにするか指定します。判別できなかった場合または対応づけなかった場合、1 となります。"},
};

constexpr const char* kBirthDayRule = "日付と認識できる形式（yyyy/mm/dd など）。認識できなかった場合、読み込みは行いません。";

const CodedRule* FindCodedRule(std::string_view field) {
    for (const CodedRule& r : kCodedRules)
        if (field == r.field) return &r;
    return nullptr;
}

}  // namespace

bool IsImportableColumn(std::string_view name) {
    if (name == "StartDate" || name == "LastUpDate" || name == "ColorMark" || name == "RirekiUpDate") return false;
    const KokyakuField* field = FindKokyakuField(name);
    return field && field->IsUserField() && (field->flags & kFieldPicture) == 0;
}

std::string ImportRuleText(std::string_view name) {
    if (const CodedRule* r = FindCodedRule(name)) return r->text;
    if (name == "BirthDay") return kBirthDayRule;
    const KokyakuField* field = FindKokyakuField(name);
    if (!field || !field->IsText() || field->byteLimit <= 0) return std::string();
    return Printf("最大 %d バイトまで。これを超えるデータは切り捨てられます。", field->byteLimit);
}

CKokyaku NewImportedKokyaku() {
    CKokyaku k;
    for (const CodedRule& r : kCodedRules) FindKokyakuField(r.field)->SetInt(k, r.def);
    return k;
}

std::optional<long long> LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    long long value = 0;
    bool any = false;
    while (i < text.size()) {
        int digit;
        if (text[i] >= '0' && text[i] <= '9') {
            digit = text[i] - '0';
            ++i;
        } else if (i + 2 < text.size() && static_cast<unsigned char>(text[i]) == 0xEF &&
                   static_cast<unsigned char>(text[i + 1]) == 0xBC &&
                   static_cast<unsigned char>(text[i + 2]) >= 0x90 && static_cast<unsigned char>(text[i + 2]) <= 0x99) {
            digit = static_cast<unsigned char>(text[i + 2]) - 0x90;  // "０".."９"
            i += 3;
        } else {
            break;
        }
        any = true;
        if (value < 1000000000LL) value = value * 10 + digit;
    }
    if (!any) return std::nullopt;
    return value;
}

void SetImportedValue(CKokyaku& k, const KokyakuField& field, std::string_view text) {
    if (const CodedRule* r = FindCodedRule(field.name)) {
        std::optional<long long> n = LeadingNumber(text);
        bool ok = n && ((*n >= r->low && *n <= r->high) || *n == r->extra);
        field.SetInt(k, ok ? static_cast<int32_t>(*n) : r->def);
        return;
    }
    if (field.IsDate()) {
        std::string t(text);
        std::replace(t.begin(), t.end(), '-', '/');
        if (std::optional<CDateTime> d = CDateTime::ParseDate(t)) field.SetDate(k, *d);
        return;
    }
    if (!field.IsText()) return;
    std::string value(text);
    if (FirstNonSjisChar(value)) value = SjisToUtf8(Utf8ToSjis(value));
    if (field.byteLimit > 0 && SjisLength(value) > static_cast<std::size_t>(field.byteLimit))
        value = SjisTruncate(value, static_cast<std::size_t>(field.byteLimit));
    field.Text(k) = std::move(value);
}

CKokyakuList ConvertImportRows(ExchangeTable& table, const std::vector<std::string>& mapping) {
    std::vector<const KokyakuField*> fields;
    for (const std::string& name : mapping) fields.push_back(name.empty() ? nullptr : FindKokyakuField(name));
    CKokyakuList records;
    const CKokyaku blank = NewImportedKokyaku();
    std::size_t keep = 1;
    for (std::size_t r = 1; r < table.size(); ++r) {
        std::vector<std::string>& row = table[r];
        bool any = false;
        for (std::size_t c = 0; c < fields.size() && c + 1 < row.size(); ++c)
            if (fields[c] && !row[c + 1].empty()) any = true;
        if (!any) {
            if (keep != r) table[keep] = std::move(row);
            ++keep;
            continue;
        }
        auto k = std::make_unique<CKokyaku>(blank);
        for (std::size_t c = 0; c < fields.size() && c + 1 < row.size(); ++c)
            if (fields[c]) SetImportedValue(*k, *fields[c], row[c + 1]);
        records.push_back(std::move(k));
    }
    table.resize(std::min(keep, table.size()));
    return records;
}

// ---------------------------------------------------------------- mapping dialog

CImportMapModel::CImportMapModel(const ExchangeTable& table, const std::vector<CMLVCol>& columns, bool desktopDatabase)
    : readFirstRow(desktopDatabase), m_table(table), m_desktopDatabase(desktopDatabase) {
    for (const CMLVCol& c : columns)
        if (IsImportableColumn(c.fieldName)) m_catalogue.push_back(c);
    m_mapping.assign(table.empty() || table[0].empty() ? 0 : table[0].size() - 1, std::string());
    Refill();
}

void CImportMapModel::Refill() {
    m_fields.clear();
    for (const CMLVCol& c : m_catalogue)
        if (std::find(m_mapping.begin(), m_mapping.end(), c.fieldName) == m_mapping.end()) m_fields.push_back(c);
}

std::string CImportMapModel::Label(std::string_view fieldName) const {
    for (const CMLVCol& c : m_catalogue)
        if (c.fieldName == fieldName) return c.label;
    return std::string(fieldName);
}

std::vector<std::string> CImportMapModel::Headings() const {
    if (m_desktopDatabase) return {"対応させる列", "ﾃﾞｰﾀの列名", "１行目"};
    return {"対応させる列", "１行目", "２行目"};
}

std::vector<std::vector<std::string>> CImportMapModel::Lines() const {
    auto cell = [this](std::size_t row, std::size_t col) {
        return row < m_table.size() && col < m_table[row].size() ? m_table[row][col] : std::string();
    };
    std::vector<std::vector<std::string>> lines;
    for (std::size_t i = 0; i < m_mapping.size(); ++i) {
        std::string mapped = m_mapping[i].empty() ? std::string() : Label(m_mapping[i]);
        if (m_desktopDatabase) lines.push_back({mapped, cell(0, i + 1), cell(1, i + 1)});
        else lines.push_back({mapped, cell(1, i + 1), cell(2, i + 1)});
    }
    return lines;
}

bool CImportMapModel::Map(int field, int line) {
    if (field < 0 || static_cast<std::size_t>(field) >= m_fields.size()) {
        ShowMessage("対応づける列名を選択してください");
        return false;
    }
    if (line < 0 || static_cast<std::size_t>(line) >= m_mapping.size()) {
        ShowMessage("対応づけるデータを選択してください");
        return false;
    }
    if (!m_mapping[line].empty()) {
        ShowMessage(
            "選択したデータはすでに対応づけをおこなっています。\n対応づけを変更するにはいったん対応づけを解除してください。");
        return false;
    }
    m_mapping[line] = m_fields[field].fieldName;
    Refill();
    return true;
}

bool CImportMapModel::Unmap(int line) {
    if (line < 0 || static_cast<std::size_t>(line) >= m_mapping.size()) {
        ShowMessage("対応づけを解除するデータを選択してください");
        return false;
    }
    m_mapping[line].clear();
    Refill();
    return true;
}

bool CImportMapModel::Finish() {
    auto mapped = [this](const char* f) { return std::find(m_mapping.begin(), m_mapping.end(), f) != m_mapping.end(); };
    if (std::all_of(m_mapping.begin(), m_mapping.end(), [](const std::string& m) { return m.empty(); })) {
        ShowMessage("ひとつも対応づけがされていません。\nデータを読み込むには最低１つのデータを対応づける必要があります。");
        return false;
    }
    const bool noName = !mapped("Name") && !mapped("CompName");
    const bool shortAddress = (mapped("Add1_Home") && !mapped("Add2_Home") && !mapped("Add3_Home")) ||
                              (mapped("Add1_Office") && !mapped("Add2_Office") && !mapped("Add3_Office"));
    std::string question;
    if (noName && shortAddress) {
        question = Printf(
            "項目<%s>も<%s>も対応づけされていません。\nまた、項目<住所１>の対応づけを行いましたが<住所２>と<住所３>は対応づけされていません。\n<住所１>は20バイトまでしか登録できませんが、このまま処理を進めてもよろしいですか？",
            Label("Name").c_str(), Label("CompName").c_str());
    } else if (noName) {
        question = Printf("項目<%s>も<%s>も対応づけされていません。\nこのまま処理を進めてもよろしいですか？",
                          Label("Name").c_str(), Label("CompName").c_str());
    } else if (shortAddress) {
        question =
            "項目<住所１>の対応づけを行いましたが<住所２>と<住所３>は対応づけされていません。\n<住所１>は20バイトまでしか登録できませんが、このまま処理を進めてもよろしいですか？";
    }
    if (!question.empty() && Ports::Prompt().AskYesNo(question, MsgIcon::Question, Answer::No) != Answer::Yes)
        return false;
    return true;
}

void DropHeadingRows(ExchangeTable& table, bool readFirstRow) {
    std::size_t drop = std::min<std::size_t>(readFirstRow ? 1 : 2, table.size());
    table.erase(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(drop));
    table.insert(table.begin(), std::vector<std::string>());  // the converter skips row 0
}

// ---------------------------------------------------------------- the command

int AddImportedRecords(CKokyakuList& records, const AddKokyakuFn& add,
                       const std::vector<std::vector<std::string>>& pictures) {
    auto removePictures = [&pictures](std::size_t pos) {
        if (pos >= pictures.size()) return;
        for (const std::string& path : pictures[pos]) std::remove(path.c_str());
    };
    // Added now: a registration date the source brings (ContactXML) stays.
    const CDateTime now = CDateTime::Now();
    for (auto& k : records) {
        if (!k->StartDate.IsValid()) k->StartDate = now;
        k->LastUpDate = now;
        k->RirekiUpDate = now;
    }
    CKeyArray refused;
    int result = add(records, refused);
    if (result != 1 && result != 10) {
        for (std::size_t i = 0; i < pictures.size(); ++i) removePictures(i);
        return 0;
    }
    if (result == 10) {
        std::sort(refused.begin(), refused.end(), std::greater<>());
        for (uint32_t pos : refused) {
            removePictures(pos);
            if (pos < records.size()) records.erase(records.begin() + pos);
        }
    }
    return 1;
}

std::vector<std::vector<std::string>> StoreImportedPictures(CKokyakuList& records, const std::string& pictureFolder) {
    std::vector<std::vector<std::string>> stored(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        CKokyaku& k = *records[i];
        for (std::string* field : {&k.Picture1, &k.Picture2, &k.Picture3, &k.Picture4, &k.Picture5}) {
            if (StorePictureFile(*field, pictureFolder)) stored[i].push_back(JoinPath(pictureFolder, *field));
            else if (field->find('/') != std::string::npos) field->clear();
        }
    }
    return stored;
}

std::unique_ptr<CWorkbookReader> OpenWorkbookForImport(const std::string& path) {
    if (!FileExists(path)) {
        ShowMessage(Printf("%sが見つかりませんでした。処理を中断します", path.c_str()));
        return nullptr;
    }
    std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (FileExists(OfficeLockFile(path))) {
        ShowMessage(name + "は 現在 Excelで開かれています。\nﾌﾞｯｸを閉じてから 操作を行ってください。");
        return nullptr;
    }
    std::unique_ptr<CWorkbookReader> reader = MakeWorkbookReader(path);
    if (!reader || !reader->Open(path)) {
        ShowMessage(Printf("%sを読み込めませんでした。", name.c_str()));
        return nullptr;
    }
    return reader;
}

bool ReadSheetForImport(CWorkbookReader& reader, std::size_t sheet, ExchangeTable& table) {
    SheetRange range;
    if (!reader.ReadSheet(sheet, range)) {
        ShowMessage(Printf("%sを読み込めませんでした。", reader.SheetNames().at(sheet).c_str()));
        return false;
    }
    bool clipped = false;
    table = SheetTable(range, clipped);
    if (clipped) ShowMessage(kTooManyColumns);
    return true;
}

namespace {

// Sources 0 to 2 into the import table; false when the import ends.
bool ReadSourceTable(int source, const CImportDialogs& dialogs, ExchangeTable& table) {
    const CExchangeFormat* format = ExchangeFormats()[static_cast<std::size_t>(source)];
    std::optional<std::string> path =
        Ports::Prompt().ChooseOpenFile("ファイルを開く", format->ReadFilter(), std::string());
    if (!path) return false;
    if (source == 2) {
        std::string bytes;
        if (!ReadWholeFile(*path, bytes)) {
            ShowMessage("ファイルの読み込みができませんでした");
            return false;
        }
        std::optional<char> delimiter = dialogs.textFormat(TextPreview(bytes));
        if (!delimiter) return false;
        if (!ParseDelimitedText(bytes, *delimiter, table)) {
            ShowMessage(kTextMalformed);
            return false;
        }
        return true;
    }
    if (source == 1) {
        std::unique_ptr<CWorkbookReader> reader = OpenWorkbookForImport(*path);
        if (!reader) return false;
        std::optional<std::size_t> sheet = dialogs.chooseSheet(reader->SheetNames());
        if (!sheet) return false;
        return ReadSheetForImport(*reader, *sheet, table);
    }
    std::unique_ptr<ITableSource> db = dialogs.tableSource ? dialogs.tableSource() : MakeMdbTableSource();
    if (!db->Open(*path)) {
        CMilvaneData::ShowDriverError(db->ErrorText());
        return false;
    }
    std::vector<std::string> tables = db->Tables();
    if (tables.empty()) {
        ShowMessage("テーブルがありません。\n処理を中止します。");
        return false;
    }
    std::optional<std::size_t> choice = dialogs.chooseTable(tables);
    if (!choice || *choice >= tables.size()) return false;
    if (!db->ReadTable(tables[*choice], table)) {
        CMilvaneData::ShowDriverError(db->ErrorText());
        return false;
    }
    return true;
}

}  // namespace

int ImportCustomers(const std::vector<CMLVCol>& catalogue, const CImportDialogs& dialogs, const AddKokyakuFn& add,
                    const std::string& pictureFolder) {
    if (!add) {
        ShowMessage(kBadArgument);
        return 0;
    }
    std::optional<int> source = dialogs.chooseSource();
    if (!source) return 0;
    if (*source < 0 || *source > 3) {
        ShowMessage(kBadFormatChoice);
        return 0;
    }
    CKokyakuList records;
    if (*source == 3) {
        if (!dialogs.readXml || dialogs.readXml(records) != 1) return 0;
    } else {
        ExchangeTable table;
        if (!ReadSourceTable(*source, dialogs, table)) return 0;
        if (table.size() < 2) {
            ShowMessage("データ行がありません。処理を中止します。");
            return 0;
        }
        CImportMapModel model(table, catalogue, *source == 0);
        if (!dialogs.mapColumns(model)) return 0;
        DropHeadingRows(table, model.readFirstRow);
        WaitScope wait(true);
        records = ConvertImportRows(table, model.Mapping());
    }
    if (records.empty()) {
        ShowMessage(kNoImportRecords);
        return 0;
    }
    if (*source == 3) return AddImportedRecords(records, add, StoreImportedPictures(records, pictureFolder));
    return AddImportedRecords(records, add);
}

int ImportCustomersWithCatalogue(const std::string& installDir, const CImportDialogs& dialogs, const AddKokyakuFn& add,
                                 const std::string& pictureFolder) {
    CMLVColSet set(installDir);
    if (!set.Load()) {
        ShowMessage("リストの初期化ができませんでした。");
        return 0;
    }
    return ImportCustomers(set.columns, dialogs, add, pictureFolder);
}
