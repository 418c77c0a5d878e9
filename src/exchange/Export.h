// Export of customers to an outside file: the cell texts of the export
// table, the column dialog's rules and the command of the customer list.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "customers/MLVColSet.h"
#include "exchange/ExchangeFormat.h"

struct CKokyaku;
class IKokyakuCursor;

// Whether a catalogue column may be exported: all but "ID", the numeric
// phone columns, the pictures, "ColorMark" and "RirekiUpDate".
bool IsExportableColumn(std::string_view fieldName);
// The text of one export cell (codes as "0：男", dates "%Y/%m/%d", numbers "%d").
std::string ExportCellText(const CKokyaku& record, std::string_view fieldName);
// Row 0 the labels of the columns, then one row per customer in order.
ExchangeTable BuildExportTable(const std::vector<const CKokyaku*>& customers, const std::vector<CMLVCol>& columns);
// The same rows one at a time, for the first `count` customers the cursor
// gives (-1 from the source when the cursor fails); the cursor and the columns
// must outlive the source.
ExchangeRowSource ExportRows(IKokyakuCursor& customers, const std::vector<CMLVCol>& columns, std::size_t count);

// The column dialog "書き出し列の設定": "書き出す列" (chosen, in order) and
// "書き出し可能な列" (the other exportable columns, catalogue order).
class CExportColumnsModel {
public:
    explicit CExportColumnsModel(std::string installDir);

    // Loads the catalogue; 0 when it cannot be loaded (the dialog closes as cancelled).
    int Open();
    const std::vector<CMLVCol>& Chosen() const { return m_chosen; }
    const std::vector<CMLVCol>& Available() const { return m_available; }

    // "書き出す←": the available row (-1 none); false after a message.
    bool Add(int availableIndex);
    void AddAll();  // "全部書き出す←"
    // "書き出さない→": the chosen row (-1 none); false after a message.
    bool Remove(int chosenIndex);
    void RemoveAll();  // "全部書き出さない→"
    // "上へ" / "下へ": the row's new index (unchanged at the ends); -1 after the message.
    int MoveUp(int chosenIndex);
    int MoveDown(int chosenIndex);
    // OK: false after the message when nothing is chosen (the dialog stays).
    bool Ok() const;

private:
    void Refill();

    CMLVColSet m_set;
    std::vector<CMLVCol> m_chosen;
    std::vector<CMLVCol> m_available;
};

// The dialogs the export command opens; each returns nullopt for Cancel.
struct CExportDialogs {
    // "顧客データ書き出し": an index into WritableFormats().
    std::function<std::optional<int>()> chooseFormat;
    // "書き出し列の設定": the chosen columns in order.
    std::function<std::optional<std::vector<CMLVCol>>()> chooseColumns;
};

// "外部ﾃﾞｰﾀへ書き出し...": the selected customers in list order. 1 when written.
int ExportCustomers(const std::vector<const CKokyaku*>& selected, const std::string& pictureFolder,
                    const CExportDialogs& dialogs);
// The same for `count` customers read one at a time from the cursor (a whole
// list written without holding it).
int ExportCustomers(IKokyakuCursor& customers, std::size_t count, const std::string& pictureFolder,
                    const CExportDialogs& dialogs);
// The export itself, after the question. 1 when written.
int WriteExport(const std::vector<const CKokyaku*>* customers, const std::string& pictureFolder,
                const CExportDialogs& dialogs);
