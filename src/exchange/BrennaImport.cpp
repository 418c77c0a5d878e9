#include "exchange/BrennaImport.h"

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "exchange/WorkbookImport.h"

namespace {

constexpr int kOldestVersion = 710;
constexpr int kNewerVersion = 800;
constexpr std::size_t kWorkbookColumns = 13;
constexpr std::size_t kHeadingRows = 4;

void SetText(CKokyaku& k, const char* field, const std::string& value) {
    SetImportedValue(k, *FindKokyakuField(field), value);
}

int CellNumber(const std::string& text) {
    std::optional<long long> n = LeadingNumber(text);
    return n ? static_cast<int>(*n) : -1;
}

}  // namespace

std::optional<CKokyaku> BrennaRecord(const std::vector<std::string>& cells) {
    auto cell = [&cells](std::size_t i) { return i < cells.size() ? cells[i] : std::string(); };
    bool any = false;
    for (std::size_t i = 0; i < kWorkbookColumns; ++i)
        if (i != 10 && !cell(i).empty()) any = true;
    if (!any) return std::nullopt;

    CKokyaku k = NewImportedKokyaku();
    SetText(k, "CustomerID", cell(0));
    SetText(k, "CompName", cell(1));
    SetText(k, "Section", cell(2));
    SetText(k, "Suffix", cell(3));
    SetText(k, "Name", cell(4));
    if (k.Suffix.empty() || (!cell(5).empty() && !k.Name.empty())) SetText(k, "Suffix", cell(5));
    const bool company = !k.CompName.empty() || !k.Section.empty();
    k.EntryType = company ? 0 : 1;
    SetText(k, company ? "Zip_Office" : "Zip_Home", cell(6));
    SetText(k, company ? "Add3_Office" : "Add3_Home", cell(7));
    SetText(k, company ? "TEL_Office" : "TEL_Home", cell(8));
    SetText(k, company ? "FAX_Office" : "FAX_Home", cell(9));
    switch (CellNumber(cell(11))) {
    case 1: k.TaxMethod = 1; break;
    case 2: k.TaxMethod = 0; break;
    case 4: k.TaxMethod = 3; break;
    default: break;
    }
    int day = CellNumber(cell(12));
    if ((day >= 1 && day <= 31) || day == 99) k.ClosingDay = day;
    return k;
}

bool ReadBrennaLedger(const std::string& bytes, CKokyakuList& records) {
    CKokyakuList read;
    try {
        CArchiveReader ar(bytes);
        int32_t version = ar.ReadInt32();
        if (version < 2) {
            std::size_t count = ar.ReadCount();
            for (std::size_t i = 0; i < count; ++i) {
                // The product writes no known schema number for its string
                // arrays: the one the file carries is taken.
                if (!ar.ReadObjectTag("CStringArray", 0, true)) continue;
                std::size_t n = ar.ReadCount();
                std::vector<std::string> strings;
                for (std::size_t s = 0; s < n; ++s) {
                    std::string text = ar.ReadString();
                    if (s < 10) strings.push_back(std::move(text));
                }
                strings.resize(10);
                if (std::optional<CKokyaku> k = BrennaRecord(strings)) read.push_back(std::make_unique<CKokyaku>(*k));
            }
            std::size_t values = ar.ReadCount();
            for (std::size_t i = 0; i < values; ++i) ar.ReadUInt32();
        }
    } catch (const ArchiveError&) {
        ShowMessage(kFileErrorMessage);
        return false;
    }
    for (auto& k : read) records.push_back(std::move(k));
    return true;
}

bool ReadBrennaWorkbook(CWorkbookReader& reader, std::size_t sheet, CKokyakuList& records) {
    SheetRange range;
    if (!ReadSheetForImport(reader, sheet, range)) return false;
    for (const SheetRow& row : range.rows) {
        if (row.number - range.firstRow < kHeadingRows) continue;
        std::vector<std::string> cells = row.cells;
        cells.resize(kWorkbookColumns);
        if (std::optional<CKokyaku> k = BrennaRecord(cells)) records.push_back(std::make_unique<CKokyaku>(*k));
    }
    return true;
}

namespace {

// The version check; false when the import ends.
bool CheckVersion(const char* missing, const char* newer) {
    // The product's key is read under both spellings of its maker's name;
    // profile sections are one key whatever the case.
    int version = Ports::Profile().GetInt(kBrennaSection, "Ver", 0);
    if (version < kOldestVersion) {
        ShowMessage(missing);
        return false;
    }
    if (version >= kNewerVersion)
        return Ports::Prompt().AskYesNo(newer, MsgIcon::Information, Answer::No) == Answer::Yes;
    return true;
}

bool ReadWorkbookSource(const CBrennaDialogs& dialogs, CKokyakuList& records) {
    std::string installed = Ports::Profile().GetString(kBrennaSection, "InstalledDir", std::string());
    if (!CheckVersion(
            "『Brenna４』が見つかりません。\nこの機能は『Brenna４』がインストールしてある場合のみ有効です。\n",
            "『Brenna４』より新しいバージョンがインストールされています。\nデータが正しく取り込めないかもしれませんが、処理を続けますか？\n\n※『Brenna４』の得意先Excelブックと列構成が変更されていない場合は正常に取り込めます。\nデータ構成についてはBrennaのマニュアルなどでご確認ください。"))
        return false;
    std::unique_ptr<CWorkbookReader> reader = OpenWorkbookForImport(installed + "/Excel/Kokyaku.xls");
    if (!reader) return false;
    std::optional<std::size_t> sheet = dialogs.chooseSheet(reader->SheetNames());
    if (!sheet) return false;
    return ReadBrennaWorkbook(*reader, *sheet, records);
}

bool ReadLedgerSource(CKokyakuList& records) {
    if (!CheckVersion(
            "『Brenna４』が見つかりません。\nこの機能は『Brenna４』がインストールしてある場合のみ有効です。",
            "『Brenna４』より新しいバージョンがインストールされています。\nデータが正しく取り込めないかもしれませんが、処理を続けますか？\n\n※『Brenna４』の顧客台帳ツールとデータ構成が変更されていない場合は正常に取り込めます。データ構成についてはBrennaのマニュアルなどでご確認ください。"))
        return false;
    std::string folder = Ports::Profile().GetString(kCodeDataSection, "DataPath", std::string());
    if (folder.empty()) return false;
    std::string path = folder + "/" + kLedgerFileName;
    if (!FileExists(path)) {
        ShowMessage("データがありません");
        return false;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    return ReadBrennaLedger(bytes, records);
}

}  // namespace

int ImportBrenna(const CBrennaDialogs& dialogs, const AddKokyakuFn& add) {
    if (!add) {
        ShowMessage(kBadArgument);
        return 0;
    }
    std::optional<int> source = dialogs.chooseSource();
    if (!source) return 0;
    CKokyakuList records;
    if (*source == 0) {
        if (!ReadWorkbookSource(dialogs, records)) return 0;
    } else if (*source == 1) {
        if (!ReadLedgerSource(records)) return 0;
    } else {
        ShowMessage(kBadFormatChoice);
        return 0;
    }
    if (records.empty()) {
        ShowMessage(kNoImportRecords);
        return 0;
    }
    return AddImportedRecords(records, add);
}
