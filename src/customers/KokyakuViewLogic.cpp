#include "customers/KokyakuViewLogic.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "analysis/SorunaHit.h"
#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/DefaultSort.h"
#include "customers/Kokyaku.h"
#include "customers/MLVColSet.h"
#include "customers/PreExtraction.h"
#include "exchange/Import.h"
#include "extract/ExtractDlgLogic.h"
#include "extract/ExCondition.h"
#include "extract/ExtractionState.h"

namespace {

std::string Format(const char* fmt, long long n) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, n);
    return buf;
}

std::string Format(const char* fmt, const std::string& s) {
    std::string out = fmt;
    auto pos = out.find("%s");
    if (pos != std::string::npos) out.replace(pos, 2, s);
    return out;
}

// The analysis column shown before the ordinary ones, or "" for none.
const char* AnalysisColumnOf(int kind) {
    switch (kind) {
    case 1: return "回数";
    case 2: return "日時";
    case 3: return "日数";
    case 6: return "金額";
    default: return "";
    }
}

}  // namespace

int ClampSplitter(int x, int minFormWidth) { return std::max(100, std::min(x, minFormWidth - 100)); }

int SplitterListWidth(int formWidth, int storedCardWidth, int minFormWidth) {
    if (storedCardWidth < 1) return formWidth / 2;
    return ClampSplitter(formWidth - storedCardWidth - kSplitterWidth, minFormWidth);
}

CKokyakuViewLogic::CKokyakuViewLogic(CMilvaneDoc* doc, CKokyakuListModel& list, IKokyakuScreen& screen)
    : m_doc(doc), m_list(list), m_screen(screen) {}

bool CKokyakuViewLogic::ReadOnly(const char* message) const {
    if (!IsReadOnly(m_doc)) return false;
    ShowMessage(message);
    return true;
}

// ---------------------------------------------------------------- set-up

void CKokyakuViewLogic::FirstDisplay() {
    m_screen.SetFrameTitle(kKokyakuTitle);
    if (!m_doc) {
        ShowMessage("顧客データが取得できません\n");
    } else {
        ApplyPreExtraction();
        Populate();
    }
    m_cardType = Ports::Profile().GetInt(kSettingsSection, kCardTypeKey, 0);
}

void CKokyakuViewLogic::ApplyPreExtraction() {
    if (!m_doc || m_doc->Extraction || m_doc->AnalysisKind != -1) return;
    std::unique_ptr<CExCondition> condition = LoadCondition(m_doc->DataDir);
    if (!condition) return;
    std::string query = condition->QueryText;
    std::string order = CDefaultSort(m_doc->DataDir).GetOrderText();
    if (!order.empty()) query += " " + order;
    std::vector<uint32_t> keys;
    if (m_doc->Database().ExtractKokyaku(query, keys) == -1 &&
        Ports::Prompt().AskYesNo("抽出に失敗しました。全顧客を表示してよろしいですか？", MsgIcon::Question,
                                 Answer::Yes) == Answer::Yes)
        return;
    m_doc->Extraction = std::shared_ptr<CExCondition>(std::move(condition));
    m_doc->ExtractActive = 1;
    m_doc->ExtractKeys = std::move(keys);
    m_doc->ExtractSaved = 1;
}

void CKokyakuViewLogic::Populate() {
    std::vector<CKokyakuListItem> items;
    if (m_doc) {
        if (m_doc->AnalysisKind == 4) {
            // Its result belongs to the DM screen.
            m_doc->AnalysisKind = -1;
            m_doc->AnalysisDMKey = 0;
            m_doc->AnalysisKeys.clear();
            m_doc->AnalysisHits.clear();
        }
        auto lookup = [&](int32_t key) { return m_doc->KokyakuList.Find(key); };
        const int kind = m_doc->AnalysisKind;
        if (kind >= 1 && kind <= 7) {
            if (kind == 5 || kind == 7) {
                for (uint32_t key : m_doc->AnalysisKeys)
                    if (const CKokyakuRow* rec = lookup(static_cast<int32_t>(key))) items.push_back({rec, nullptr});
            } else {
                for (const auto& hit : m_doc->AnalysisHits)
                    if (const CKokyakuRow* rec = lookup(hit->CustomerID)) items.push_back({rec, hit.get()});
            }
            m_filtered = true;
            m_screen.ShowExtractionButtons(true, false, false);
        } else if (m_doc->Extraction) {
            for (uint32_t key : m_doc->ExtractKeys)
                if (const CKokyakuRow* rec = lookup(static_cast<int32_t>(key))) items.push_back({rec, nullptr});
            m_filtered = true;
            m_screen.ShowExtractionButtons(true, true, true);
        } else {
            items.reserve(m_doc->KokyakuList.size());
            for (const auto& rec : m_doc->KokyakuList) items.push_back({rec.get(), nullptr});
            m_filtered = false;
            m_screen.ShowExtractionButtons(false, false, false);
        }
    }
    BuildColumns();
    m_list.SetRows(std::move(items));
    if (m_list.RowCount() > 0) m_list.SelectOnly(0);
    UpdateCount();
    m_screen.RefreshCard();
}

void CKokyakuViewLogic::SetColumns(std::vector<CListColumn> columns, ColumnWidthMode mode,
                                   const std::vector<int>& widths) {
    // The rows keep the values of the shown fields.
    if (m_doc) {
        std::vector<std::string> fields;
        for (const CListColumn& c : columns) fields.push_back(c.field);
        if (!m_doc->KokyakuList.Keep(fields)) ShowMessage("顧客データの取得に失敗しました。\n");
    }
    m_list.SetColumns(std::move(columns), mode, widths);
}

void CKokyakuViewLogic::BuildColumns() {
    std::vector<CListColumn> columns;
    if (!m_doc) {
        m_list.SetColumns(std::move(columns), ColumnWidthMode::Stored);
        return;
    }
    const std::string& install = m_doc->InstallDir();
    const bool analysed = m_doc->AnalysisKind >= 1 && m_doc->AnalysisKind <= 7;
    if (!analysed && m_doc->Extraction && !m_doc->Extraction->DisplayColumns.empty()) {
        CMLVColSet set(install);
        set.Load();
        for (const auto& name : m_doc->Extraction->DisplayColumns)
            if (const CMLVCol* col = set.Find(name)) columns.push_back({col->fieldName, col->label});
        SetColumns(std::move(columns), ColumnWidthMode::Extraction);
        return;
    }
    std::vector<CMLVCol> displayed = BuildCustomerListColumns(install);
    if (analysed) {
        std::vector<int> widths;
        std::string hitColumn = AnalysisColumnOf(m_doc->AnalysisKind);
        if (!hitColumn.empty()) {
            columns.push_back({hitColumn, hitColumn});
            widths.push_back(hitColumn == "日時" ? 120 : 100);
        }
        std::vector<std::string> fields;
        std::unordered_set<std::string> seen;
        for (const auto& col : displayed) {
            if (!seen.insert(col.fieldName).second) continue;
            columns.push_back({col.fieldName, col.label});
            fields.push_back(col.fieldName);
        }
        for (int w : ColumnWidths(fields, ColumnWidthMode::Stored, {})) widths.push_back(w);
        SetColumns(std::move(columns), ColumnWidthMode::Given, widths);
        return;
    }
    for (const auto& col : displayed) columns.push_back({col.fieldName, col.label});
    SetColumns(std::move(columns), ColumnWidthMode::Stored);
}

void CKokyakuViewLogic::UpdateCount() { m_screen.SetCountText(Format("%lld件", m_list.RowCount())); }

int CKokyakuViewLogic::CardPageForMode() const {
    if (!m_doc) return -1;
    switch (m_doc->CustomerScreenMode) {
    case 2: return 0;
    case 3: return 1;
    default: return -1;
    }
}

// ---------------------------------------------------------------- extraction

bool CKokyakuViewLogic::ExtractionSaved() const { return m_doc && m_doc->ExtractSaved; }

void CKokyakuViewLogic::SetExtractionSaved(bool saved) {
    if (m_doc) m_doc->ExtractSaved = saved ? 1 : 0;
}

bool CKokyakuViewLogic::CheckUnsavedExtraction() {
    return ::CheckUnsavedExtraction(m_doc, [this] { return m_screen.SaveExtraction(); });
}

void CKokyakuViewLogic::DropExtraction() {
    if (!m_doc) return;
    ClearExtraction(m_doc);
    m_doc->AnalysisKind = -1;
    m_doc->AnalysisDMKey = 0;
    m_doc->AnalysisKeys.clear();
    m_doc->AnalysisHits.clear();
}

void CKokyakuViewLogic::AnalysisFinished(int kind, bool rowsCleared) {
    if (kind == 4 && m_doc) {
        // The rows come back without the DM result, which stays for the DM screen.
        if (rowsCleared) {
            std::vector<uint32_t> keys;
            keys.swap(m_doc->AnalysisKeys);
            const int32_t dmKey = m_doc->AnalysisDMKey;
            m_doc->AnalysisKind = -1;
            Populate();
            m_doc->AnalysisKind = 4;
            m_doc->AnalysisDMKey = dmKey;
            m_doc->AnalysisKeys.swap(keys);
        }
        m_screen.SwitchScreen(SCREEN_DM);
        return;
    }
    if (kind >= 1 && m_doc) {
        m_doc->ExtractSaved = 0;
        m_doc->Extraction.reset();
        m_doc->ExtractActive = 0;
        m_doc->ExtractKeys.clear();
        Populate();
    } else if (rowsCleared) {
        Populate();
    }
}

void CKokyakuViewLogic::ReleaseExtraction() {
    if (!m_filtered || !CheckUnsavedExtraction()) return;
    // The rows point at the hits that are about to go.
    m_list.SetRows({});
    DropExtraction();
    Populate();
}

void CKokyakuViewLogic::Extract() {
    if (!m_doc || !CheckUnsavedExtraction()) return;
    const int result = m_screen.ExtractionDialog(m_screen.CanShowHistory() ? kExtractAny : kExtractCustomers);
    if (result == 2)
        m_screen.ShowHistoryResult();
    else if (result == 1)
        ExtractionReplaced();
}

void CKokyakuViewLogic::RedoExtraction() {
    if (!m_doc || !m_doc->Extraction) return;
    if (m_screen.ExtractionDialog(kExtractCustomers) == 1) ExtractionReplaced();
}

void CKokyakuViewLogic::SaveExtractionCommand() {
    if (ReadOnly("データベースは読取専用です。\n抽出条件の保存はできません。")) return;
    if (!m_doc || !m_doc->Extraction) return;
    if (m_screen.SaveExtraction()) m_doc->ExtractSaved = 1;
}

void CKokyakuViewLogic::ExtractionReplaced() {
    // The rows may point at analysis hits, which the extraction replaces.
    m_list.SetRows({});
    m_doc->AnalysisKind = -1;
    m_doc->AnalysisDMKey = 0;
    m_doc->AnalysisKeys.clear();
    m_doc->AnalysisHits.clear();
    Populate();
}

// ---------------------------------------------------------------- commands

std::vector<uint32_t> CKokyakuViewLogic::SelectedKeys() const {
    std::vector<uint32_t> keys;
    for (int r = m_list.NextSelected(-1); r >= 0; r = m_list.NextSelected(r))
        keys.push_back(static_cast<uint32_t>(m_list.Item(r).row->ID));
    return keys;
}

CKokyakuList CKokyakuViewLogic::SelectedRecords() const {
    CKokyakuList records;
    if (!m_doc) return records;
    WaitScope wait;
    if (!m_doc->ReadListedCustomers(SelectedKeys(), records)) records.clear();
    return records;
}

void CKokyakuViewLogic::Delete() {
    if (ReadOnly("データベースは読取専用です。\n顧客を削除することはできません。\n")) return;
    std::vector<uint32_t> keys = SelectedKeys();
    if (keys.empty()) {
        ShowMessage("削除する顧客を選択してください");
        return;
    }
    std::string question = Format(
        "選択されている%lld件の顧客を削除します。\n顧客を削除すると、二度と元に戻すことはできません。\n"
        "また、削除する顧客の履歴・DM送付予定などもすべて削除されます。\n\n本当に削除してよろしいですか？",
        static_cast<long long>(keys.size()));
    if (Ports::Prompt().AskYesNo(question, MsgIcon::Exclamation, Answer::No) != Answer::Yes) return;
    if (!m_doc) {
        ShowMessage("顧客を削除できませんでした\n");
        return;
    }
    std::vector<uint32_t> deleted;
    int result = m_doc->DeleteKokyaku(keys, deleted);
    if (result == -1) {
        ShowMessage("顧客情報が削除できませんでした。\n");
        return;
    }
    if (result == 0) {
        ShowMessage("顧客情報が見つかりませんでした。\n");
        return;
    }
    if (result == 10) ShowMessage("一部の顧客情報が削除できませんでした。\n");

    m_screen.ClearCard();
    std::unordered_set<int32_t> gone;
    for (uint32_t key : deleted) gone.insert(static_cast<int32_t>(key));
    std::unordered_set<const CKokyakuRow*> rows;
    for (int32_t key : gone)
        if (const CKokyakuRow* row = m_doc->KokyakuList.Find(key)) rows.insert(row);
    m_list.RemoveRecords(rows);
    m_doc->KokyakuList.Remove(gone);

    if (result == 10) m_screen.RefreshCard();
    else if (m_list.RowCount() > 0) m_list.SelectOnly(0);
    UpdateCount();
}

void CKokyakuViewLogic::DeleteAllHistory() {
    if (ReadOnly("データベースは読取専用です。\n履歴を削除することはできません。\n")) return;
    int row = m_list.NextSelected(-1);
    if (row < 0) {
        ShowMessage("履歴を削除する顧客を選択してください");
        return;
    }
    m_list.SelectOnly(row);
    if (Ports::Prompt().AskYesNo("選択されている顧客の履歴をすべて削除します。\n\n一度この操作を行なうと元に戻すことは"
                                 "できません。\n本当に削除してよろしいですか？",
                                 MsgIcon::Exclamation, Answer::No) != Answer::Yes)
        return;
    if (!m_doc) return;
    switch (m_doc->Database().DeleteRirekiForKokyaku(m_list.Item(row).row->ID)) {
    case 1:
        m_screen.RefreshCard();
        break;
    case 10:
        ShowMessage("指定された顧客の履歴の一部は削除できませんでした。\n");
        m_screen.RefreshCard();
        break;
    case 0:
        ShowMessage("指定された顧客の履歴はありませんでした。\n", MsgIcon::Information);
        break;
    default:
        ShowMessage("指定された顧客の履歴が削除できませんでした。\n");
        break;
    }
}

void CKokyakuViewLogic::SelectAll() {
    if (!CanSelectAll()) return;
    m_screen.HideCard();
    m_list.SetSingleSelection(false);
    m_list.SelectAll();
}

void CKokyakuViewLogic::Counts() {
    long long cached = m_doc ? static_cast<long long>(m_doc->KokyakuList.size()) : 0;
    std::string text = Format("現在データベースに登録されている顧客は%lld人です。\n", cached);
    if (m_filtered) text += Format("\n現在顧客一覧に抽出されている顧客は%lld人です。\n", m_list.RowCount());
    ShowMessage(text, MsgIcon::Information);
}

void CKokyakuViewLogic::Update() {
    if (ReadOnly("データベースは読取専用です。\n更新することはできません。\n")) return;
    if (!m_doc) {
        ShowMessage("更新できません");
        return;
    }
    if (m_doc->Database().SaveMLV(false) == 1) ShowMessage("更新しました", MsgIcon::Information);
    else ShowMessage("更新に失敗しました");
}

void CKokyakuViewLogic::Import(
    const std::function<int(const std::function<int(CKokyakuList&, std::vector<uint32_t>&)>& add)>& import) {
    if (!CheckUnsavedExtraction()) return;
    if (ReadOnly(kImportReadOnly)) return;
    if (!m_doc) {
        ShowMessage(kBadArgument);
        return;
    }
    CMilvaneData& db = m_doc->Database();
    if (db.SaveMLV(false) != 1) {
        ShowMessage(kImportSaveFailed);
        return;
    }
    if (import([&db](CKokyakuList& records, std::vector<uint32_t>& refused) {
            return db.AddNewKokyaku(records, refused);
        }) != 1)
        return;
    // The rows point at the records that are about to go.
    m_list.SetRows({});
    DropExtraction();
    if (m_doc->ReadCustomers() == 0)
        ShowMessage("顧客データの取得に失敗しました。\n顧客データを表示できません。\n");
    Populate();
}

void CKokyakuViewLogic::SetCardType(int type) {
    if (type < 0 || type > 2) return;
    m_cardType = type;
    Ports::Profile().WriteInt(kSettingsSection, kCardTypeKey, type);
}

bool CKokyakuViewLogic::Find(const std::string& text, bool down) {
    const int rows = m_list.RowCount();
    const int columns = m_list.ColumnCount();
    const int start = m_list.NextSelected(-1);
    int row = down ? start + 1 : (start < 0 ? rows - 1 : start - 1);
    for (; row >= 0 && row < rows; row += down ? 1 : -1) {
        for (int c = 0; c < columns; ++c) {
            if (m_list.CellText(row, c).find(text) != std::string::npos) {
                m_list.SelectOnly(row);
                return true;
            }
        }
    }
    ShowMessage("検索が終了しました。\n", MsgIcon::Information);
    return false;
}

void CKokyakuViewLogic::MenuScreen() {
    if (CheckUnsavedExtraction()) m_screen.SwitchScreen(0);
}

void CKokyakuViewLogic::Exit() {
    if (!CheckUnsavedExtraction()) return;
    m_screen.HideCard();
    m_screen.CloseMainWindow();
}

CEntryTarget CKokyakuViewLogic::EntryTarget() {
    CEntryTarget target;
    int row = m_list.NextSelected(-1);
    if (row < 0) return target;
    m_list.SelectOnly(row);
    target.record = m_list.Item(row).row->Record();
    target.hasPrev = row >= 1;
    target.hasNext = row < m_list.RowCount() - 1;
    return target;
}

void CKokyakuViewLogic::RewriteRows(const std::vector<uint32_t>& keys) {
    std::unordered_set<int32_t> wanted;
    for (uint32_t k : keys) wanted.insert(static_cast<int32_t>(k));
    std::vector<int> rows;
    for (int r = 0; r < m_list.RowCount(); ++r)
        if (wanted.count(m_list.Item(r).row->ID)) rows.push_back(r);
    m_list.UpdateRows(rows);
}

// ---------------------------------------------------------------- dialog operations

int32_t CKokyakuViewLogic::AddCustomer(const CKokyaku& record) {
    int32_t key = -1;
    if (m_doc) {
        auto copy = std::make_unique<CKokyaku>(record);
        key = m_doc->AddKokyaku(copy);
    }
    if (key == -1) {
        ShowMessage("顧客追加に失敗しました。\n");
    } else {
        int row = m_list.InsertRow(&m_doc->KokyakuList.front(), 0);
        if (row >= 0) m_list.SelectOnly(row);
    }
    UpdateCount();
    return key;
}

int CKokyakuViewLogic::ModifyCustomer(int32_t key, const CKokyaku& record) {
    if (!m_doc) return -1;
    auto copy = std::make_unique<CKokyaku>(record);
    int result = m_doc->ChangeKokyaku(key, copy);
    if (result == 1) {
        // The row object stays; its values and record are the new ones.
        int row = m_list.UpdateRow(m_doc->KokyakuList.Find(key));
        if (row >= 0) m_list.SelectOnly(row);
    } else if (result == 0) {
        ShowMessage(Format("顧客ID：%sの情報が見つかりませんでした。\n", record.CustomerID));
    } else if (result == -1) {
        ShowMessage(Format("顧客ID：%sの情報が更新できませんでした。\n", record.CustomerID));
    }
    return result;
}

CNeighbour CKokyakuViewLogic::Neighbour(int step) {
    CNeighbour answer;
    if (m_list.RowCount() == 0 || m_list.SelectedCount() != 1) return answer;
    int row = m_list.NextSelected(-1);
    int next = row + step;
    if (row < 0 || next < 0 || next >= m_list.RowCount()) return answer;
    m_list.SelectOnly(next);
    answer.key = m_list.Item(next).row->ID;
    answer.further = next + step >= 0 && next + step < m_list.RowCount();
    return answer;
}
