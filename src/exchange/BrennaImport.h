// Import of the customers kept by the slip-printing product Brenna: its
// customer workbook and the customer file of its ledger tool.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "exchange/Import.h"

// Profile sections of the product's machine values.
inline constexpr const char* kBrennaSection = "Brenna";          // "InstalledDir", "Ver"
inline constexpr const char* kCodeDataSection = "Common/CodeData";  // "DataPath"
inline constexpr const char* kLedgerFileName = "CodeKokyaku2.dat";

// One customer from the cells of a workbook row (columns 0 to 12) or the
// strings of a ledger entry (positions 0 to 9); nullopt when the cells that
// count (all but column 10, within the first 13) are empty.
std::optional<CKokyaku> BrennaRecord(const std::vector<std::string>& cells);

// The ledger file's customers. False after "ファイル操作中にエラーが発生しました" for a
// file that cannot be read as a ledger.
bool ReadBrennaLedger(const std::string& bytes, CKokyakuList& records);

// The workbook's customers: the rows after the first four of the sheet's used
// range. False after a message.
bool ReadBrennaWorkbook(CWorkbookReader& reader, std::size_t sheet, CKokyakuList& records);

struct CBrennaDialogs {
    // "Brennaデータの取り込み" (245): 0 workbook, 1 ledger; nullopt for Cancel.
    std::function<std::optional<int>()> chooseSource;
    // "シートの選択" (213).
    std::function<std::optional<std::size_t>(const std::vector<std::string>& names)> chooseSheet;
};

// "Brenna4の顧客ﾃﾞｰﾀ取り込み...": 1 when customers were added.
int ImportBrenna(const CBrennaDialogs& dialogs, const AddKokyakuFn& add);
