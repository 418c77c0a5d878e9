// "HTMLに書き出し..." of the customer list: the checks, the form and folder
// dialogs and the messages around CXmlConv::WriteHtml.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "customers/MLVColSet.h"
#include "history/RirekiData.h"

struct CKokyaku;

inline constexpr int kHtmlExportLimit = 1000;

struct CHtmlExportDialogs {
    // "HTML書き出し形式の選択": 0 customers, 1 with history; nullopt Cancel.
    std::function<std::optional<int>()> chooseForm;
    // "フォルダを指定": the folder text; nullopt Cancel.
    std::function<std::optional<std::string>()> chooseFolder;
    // The history of one customer (GetRirekiForKokyaku).
    std::function<int(int32_t customerKey, CRirekiList& list)> readHistory;
};

// The command. selected: the customers of the selected rows in list order;
// columns: the column catalogue (labels of the pages).
void HtmlExport(const std::vector<const CKokyaku*>& selected, const std::string& pictureFolder,
                const std::vector<CMLVCol>& columns, const CHtmlExportDialogs& dialogs);
