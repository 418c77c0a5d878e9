// Import of customers from outside data: the field rules, the mapping dialog's
// rules (項目の対応付け), the table sources and the command of the customer list.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "customers/Kokyaku.h"
#include "customers/MLVColSet.h"
#include "exchange/ExchangeFormat.h"

using CKeyArray = std::vector<uint32_t>;

// ---------------------------------------------------------------- field rules

// Whether a catalogue column can receive imported data.
bool IsImportableColumn(std::string_view fieldName);
// The rule shown in "読み込めるデータについて" ("" for a field without one).
std::string ImportRuleText(std::string_view fieldName);
// A new customer as the import makes it before any value is set: 個人, the
// first mail address standard, no dates (AddImportedRecords stamps them).
CKokyaku NewImportedKokyaku();
// Sets the field from imported text by its rule: texts cut to their byte
// limit (characters Shift-JIS cannot hold become "〓"), codes from the
// leading digits or their default, the birthday only from a valid date.
void SetImportedValue(CKokyaku& k, const KokyakuField& field, std::string_view text);
// The number of the leading half- or full-width digits (blanks before them
// skipped), or nullopt when there is none.
std::optional<long long> LeadingNumber(std::string_view text);

// Converts every data row of the table (row 0 excluded) with the mapping
// (one field name or "" per source column, column 1 first). Each converted row
// is removed from the table; a row whose mapped cells are all empty stays.
CKokyakuList ConvertImportRows(ExchangeTable& table, const std::vector<std::string>& mapping);

// ---------------------------------------------------------------- mapping dialog

class CImportMapModel {
public:
    // table: the import table (row 0 the header); columns: the catalogue.
    CImportMapModel(const ExchangeTable& table, const std::vector<CMLVCol>& columns, bool desktopDatabase);

    // "顧客データベースの項目": the fields not yet mapped, catalogue order.
    const std::vector<CMLVCol>& Fields() const { return m_fields; }
    // The headings of "読み込むデータ" and one line of three texts per source column.
    std::vector<std::string> Headings() const;
    std::vector<std::vector<std::string>> Lines() const;
    // "１行目から読み込む": checked and fixed for a desktop database.
    bool FirstRowFixed() const { return m_desktopDatabase; }
    bool readFirstRow;

    // "対応づける→" with the field and data line (-1 none); false after a message.
    bool Map(int field, int line);
    // "解除する←"; false after a message.
    bool Unmap(int line);
    // "完了": false after a refusal or a No (the dialog stays).
    bool Finish();

    // One field name ("" unmapped) per source column.
    const std::vector<std::string>& Mapping() const { return m_mapping; }
    std::string Label(std::string_view fieldName) const;

private:
    void Refill();

    const ExchangeTable& m_table;
    std::vector<CMLVCol> m_catalogue;
    std::vector<CMLVCol> m_fields;
    std::vector<std::string> m_mapping;
    bool m_desktopDatabase;
};

// The rows the mapping leaves to convert: the header goes, and the first data
// row too unless readFirstRow.
void DropHeadingRows(ExchangeTable& table, bool readFirstRow);

// ---------------------------------------------------------------- desktop databases

// The tables of a desktop database file. The libmdb adapter is the real one;
// tests use a fake.
class ITableSource {
public:
    virtual ~ITableSource() = default;
    // False after setting the error text.
    virtual bool Open(const std::string& path) = 0;
    // User tables in file order.
    virtual std::vector<std::string> Tables() = 0;
    // Row 0 the field names ("" in column 0), then the rows in primary-key
    // order with their numbers from 1 in column 0; values "%d", "%g",
    // "%Y/%m/%d", truth values "1"/"0", the rest text. False after setting
    // the error text.
    virtual bool ReadTable(const std::string& name, ExchangeTable& rows) = 0;
    virtual std::string ErrorText() const = 0;
};
std::unique_ptr<ITableSource> MakeMdbTableSource();

// ---------------------------------------------------------------- the command

// The dialogs the import opens; each returns nullopt for Cancel.
struct CImportDialogs {
    // "データの取り込み" (137): the source, 0 database .. 3 ContactXML.
    std::function<std::optional<int>()> chooseSource;
    // "ﾃｷｽﾄﾌｧｲﾙの形式" (133) with the preview: the delimiter byte.
    std::function<std::optional<char>(const std::string& preview)> textFormat;
    // "シートの選択" (213) and "ﾃｰﾌﾞﾙの選択" (131): an index of the names.
    std::function<std::optional<std::size_t>(const std::vector<std::string>& names)> chooseSheet;
    std::function<std::optional<std::size_t>(const std::vector<std::string>& names)> chooseTable;
    // "項目の対応付け" (129) on the model; false for Cancel.
    std::function<bool(CImportMapModel& model)> mapColumns;
    // The ContactXML reader: fills the records; 1 read, 0 cancelled, -1 failed.
    std::function<int(CKokyakuList& records)> readXml;
    // The desktop database reader (default: libmdb).
    std::function<std::unique_ptr<ITableSource>()> tableSource;
};

// The database side: AddNewKokyaku of the customer database.
using AddKokyakuFn = std::function<int(CKokyakuList& records, CKeyArray& refused)>;

// Adds the records in one call, as the customer entry adds one: LastUpDate
// and RirekiUpDate are now, StartDate too unless the record brings its own.
// -1 ends; 10 removes the refused records, highest position first. Returns 1
// when something was added. pictures: the picture files stored for each
// record, removed again for the records that were not added.
int AddImportedRecords(CKokyakuList& records, const AddKokyakuFn& add,
                       const std::vector<std::vector<std::string>>& pictures = {});
// Stores the picture fields that hold full paths into the picture folder as
// the entry dialogs do; the full paths of the stored files per record.
std::vector<std::vector<std::string>> StoreImportedPictures(CKokyakuList& records, const std::string& pictureFolder);

// "外部ﾃﾞｰﾀの取り込み...": 1 when customers were added.
int ImportCustomers(const std::vector<CMLVCol>& catalogue, const CImportDialogs& dialogs, const AddKokyakuFn& add,
                    const std::string& pictureFolder = std::string());

// The command on the column catalogue of the installation's data folder
// ("リストの初期化ができませんでした。" when it cannot be read).
int ImportCustomersWithCatalogue(const std::string& installDir, const CImportDialogs& dialogs, const AddKokyakuFn& add,
                                 const std::string& pictureFolder);

// Messages shared by the imports.
inline constexpr const char* kNoImportRecords = "読み込む顧客データがありません";
inline constexpr const char* kBadArgument = "引数が不正です";
inline constexpr const char* kBadFormatChoice = "選択した形式が不正です";
inline constexpr const char* kImportReadOnly = "データベースは読取専用です。\n外部データの読み込みをすることはできません。";
inline constexpr const char* kImportSaveFailed =
    "現在のデータベース状態を更新できませんでした。読み込みを中止します。\nディスクの空き容量が足りない場合は、いったん『Milvane』を終了して、ディスクの空き容量を増やしてから再度操作してください。";
inline constexpr const char* kNoSheetChosen = "ｼｰﾄ名を選択してください.";

// Opens a workbook for reading: a missing file, a file open in an office
// suite and an unreadable file are refused with their message (nullptr).
std::unique_ptr<class CWorkbookReader> OpenWorkbookForImport(const std::string& path);
// Reads the chosen sheet's used range (the column warning shown when it is
// clipped); false after a message.
bool ReadSheetForImport(CWorkbookReader& reader, std::size_t sheet, ExchangeTable& table);
