#include "history/RirekiListLogic.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "analysis/SorunaHit.h"
#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"
#include "extract/ExCondition.h"
#include "extract/ExtractionState.h"
#include "extract/ExtractDlgLogic.h"
#include "history/RirekiData.h"

namespace {
std::string Format(const char* fmt, long long n) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, n);
    return buf;
}
}  // namespace

CRirekiListLogic::CRirekiListLogic(CMilvaneDoc* doc, CRirekiListModel& list, IRirekiScreen& screen)
    : m_doc(doc), m_list(list), m_screen(screen) {}

void CRirekiListLogic::LoadColumnWidths(int clientWidth) { m_list.SetWidths(LoadRirekiColumnWidths(clientWidth)); }

// ---------------------------------------------------------------- filling

namespace {
// The rows' texts and sort values from the document's database.
class CRirekiDbRows final : public IRirekiRowSource {
public:
    explicit CRirekiDbRows(CMilvaneData& db) : m_db(db) {}
    bool ReadShown(const std::vector<int32_t>& keys, std::vector<CRirekiShown>& rows) override {
        return m_db.GetRirekiShown(keys, rows) == 1;
    }
    bool ForEachText(int column, const std::function<void(int32_t, std::string_view)>& each) override {
        if (column < 0 || column >= kRirekiColumnCount) return false;
        const CRirekiColumnDef& c = kRirekiColumns[column];
        if (c.customerField) return m_db.ForEachRirekiText(c.customerField, true, each) == 1;
        return c.entryField && m_db.ForEachRirekiText(c.entryField, false, each) == 1;
    }
    bool ForEachAmount(const std::function<void(int32_t, double)>& each) override {
        return m_db.ForEachRirekiMoney(each) == 1;
    }
    bool ForEachShown(const std::function<void(const CRirekiShown&)>& each) override {
        return m_db.ForEachRirekiShown(each) == 1;
    }

private:
    CMilvaneData& m_db;
};
}  // namespace

bool CRirekiListLogic::Fill() {
    // The rows go first: the wait dialog lets the list paint, and the entries
    // they showed may have been replaced by an extraction.
    m_list.SetRows({});
    std::optional<WaitScope> wait(std::in_place, true);
    if (!m_doc) {
        wait.reset();
        ShowMessage("履歴データを表示できません。\n");
        return false;
    }
    m_list.SetSource(std::make_shared<CRirekiDbRows>(m_doc->Database()));
    m_list.SetRows(m_doc->RirekiList);
    wait.reset();

    m_extractionShown = m_doc->Extraction != nullptr;
    m_screen.ShowExtractionButtons(m_extractionShown);
    UpdateCount();
    return true;
}

void CRirekiListLogic::UpdateCount() { m_screen.SetCountText(Format("%lld件", m_list.RowCount())); }

// ---------------------------------------------------------------- viewing

const CRirekiData* CRirekiListLogic::ReadEntry(int row) {
    m_current = CRirekiData();
    const int32_t key = m_list.Item(row).ID;
    // An entry gone from the database shows empty.
    if (!m_doc || m_doc->Database().GetRireki(key, m_current) != 1) {
        m_current = CRirekiData();
        m_current.ID = key;
    }
    return &m_current;
}

CRirekiListTarget CRirekiListLogic::ViewTarget() {
    CRirekiListTarget target;
    if (!HasSelection()) {
        ShowMessage("履歴が選択されていません。");
        return target;
    }
    const int row = m_list.NextSelected(-1);
    m_list.SelectOnly(row);
    target.record = ReadEntry(row);
    target.hasPrevious = row > 0;
    target.hasNext = row < m_list.RowCount() - 1;
    return target;
}

const CRirekiData* CRirekiListLogic::Neighbour(int step, bool& hasMore) {
    hasMore = false;
    if (m_list.SelectedCount() != 1) return nullptr;
    const int row = m_list.NextSelected(-1);
    const int next = row + step;
    if (row < 0 || next < 0 || next >= m_list.RowCount()) return nullptr;
    m_list.SelectOnly(next);
    hasMore = next + step >= 0 && next + step < m_list.RowCount();
    return ReadEntry(next);
}

const CRirekiData* CRirekiListLogic::LocateEntry(int32_t key, bool& hasPrevious, bool& hasNext) {
    hasPrevious = hasNext = false;
    for (int row = 0; row < m_list.RowCount(); ++row) {
        if (m_list.Item(row).ID != key) continue;
        m_list.SelectOnly(row);
        hasPrevious = row > 0;
        hasNext = row < m_list.RowCount() - 1;
        return ReadEntry(row);
    }
    return nullptr;
}

// ---------------------------------------------------------------- deleting

void CRirekiListLogic::Delete() {
    if (IsReadOnly(m_doc)) {
        ShowMessage("データベースは読取専用です。\n履歴を削除できません。");
        return;
    }
    if (!HasSelection() || !m_doc) {
        ShowMessage("削除する履歴を選択してください");
        return;
    }
    const std::vector<int> rows = m_list.SelectedRows();
    const std::string question = Format(
        "選択されている%lld件の履歴を削除します。\n履歴を削除すると、二度と元に戻すことはできません。\n\n"
        "本当に削除してよろしいですか？",
        static_cast<long long>(rows.size()));
    if (Ports::Prompt().AskYesNo(question, MsgIcon::Exclamation, Answer::No) != Answer::Yes) return;

    CKeyArray keys, deleted;
    for (int r : rows) keys.push_back(static_cast<uint32_t>(m_list.Item(r).ID));
    int result;
    {
        WaitScope wait;
        result = m_doc->Database().DeleteRireki(keys, deleted);
    }
    if (result == -1) {
        ShowMessage("履歴が削除できませんでした");
        return;
    }
    if (result == 10) ShowMessage("一部の履歴が削除できませんでした");
    else if (result != 1) return;

    std::unordered_set<int32_t> gone;
    for (uint32_t key : deleted) gone.insert(static_cast<int32_t>(key));
    std::vector<int> removeRows;
    for (int r : rows)
        if (gone.count(m_list.Item(r).ID)) removeRows.push_back(r);
    m_list.RemoveRows(std::move(removeRows));
    auto& list = m_doc->RirekiList;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const CRirekiKey& k) { return gone.count(k.ID) > 0; }),
               list.end());
    UpdateCount();
}

// ---------------------------------------------------------------- find

bool CRirekiListLogic::Find(const std::string& text, bool down) {
    const int start = m_list.NextSelected(-1);
    const int hit = m_list.FindRow(text, start < 0 ? (down ? 0 : -1) : start + (down ? 1 : -1), down);
    if (hit >= 0) {
        m_list.SelectOnly(hit);
        return true;
    }
    ShowMessage("検索が終了しました。\n", MsgIcon::Information);
    return false;
}

// ---------------------------------------------------------------- the extraction

bool CRirekiListLogic::ExtractionSaved() const { return m_doc && m_doc->ExtractSaved; }

void CRirekiListLogic::SetExtractionSaved(bool saved) {
    if (m_doc) m_doc->ExtractSaved = saved ? 1 : 0;
}

bool CRirekiListLogic::CheckUnsavedExtraction() {
    return ::CheckUnsavedExtraction(m_doc, [this] { return m_screen.SaveExtraction(); });
}

void CRirekiListLogic::DropExtraction() {
    if (!m_doc) return;
    ClearExtraction(m_doc);
}

void CRirekiListLogic::ReleaseExtraction() {
    if (!m_extractionShown || !CheckUnsavedExtraction()) return;
    int result;
    CRirekiKeyList all;
    {
        WaitScope wait;
        DropExtraction();
        m_extractionShown = false;
        result = m_doc ? m_doc->Database().GetRirekiKeys(all) : 0;
    }
    if (result != 1) {
        // The old rows stay on screen, still backed by the document's list.
        m_screen.ShowExtractionButtons(false);
        ShowMessage("履歴情報を取得できませんでした");
        return;
    }
    m_list.SetRows({});
    m_doc->RirekiList = std::move(all);
    Fill();
}

void CRirekiListLogic::SaveConditions() {
    if (IsReadOnly(m_doc)) {
        ShowMessage("データベースは読取専用です。\n抽出条件の保存はできません。");
        return;
    }
    if (m_doc && m_doc->Extraction && m_screen.SaveExtraction()) m_doc->ExtractSaved = 1;
}

void CRirekiListLogic::Extract() {
    if (!m_doc || !CheckUnsavedExtraction()) return;
    const int result = m_screen.ExtractionDialog(kExtractAny, 1);
    if (result == 1) {
        HandToCustomerList();
        m_screen.SwitchScreen(SCREEN_KOKYAKU_LIST);
    } else if (result == 2) {
        Fill();
    }
}

void CRirekiListLogic::RedoExtraction() {
    if (!m_doc || !m_doc->Extraction) return;
    if (m_screen.ExtractionDialog(kExtractRireki, 1) == 2) Fill();
}

void CRirekiListLogic::Analysis() {
    if (!m_doc || !CheckUnsavedExtraction()) return;
    const int kind = m_screen.AnalysisSheet();
    if (kind == 4) {
        // Without the DM screen the result stays here and goes when the view does.
        if (!m_screen.ScreenBuilt(SCREEN_DM)) return;
        HandToDmScreen();
        m_screen.SwitchScreen(SCREEN_DM);
    } else if (kind >= 1 && kind <= 7) {
        HandToCustomerList();
        m_screen.SwitchScreen(SCREEN_KOKYAKU_LIST);
    }
}

void CRirekiListLogic::MenuScreen() {
    if (CheckUnsavedExtraction()) m_screen.SwitchScreen(0);
}

void CRirekiListLogic::Exit() {
    if (CheckUnsavedExtraction()) m_screen.CloseMainWindow();
}

void CRirekiListLogic::Close() {
    if (m_doc && (m_doc->Extraction || (m_doc->AnalysisKind >= 1 && m_doc->AnalysisKind <= 7)) &&
        !m_handedToCustomerList && !m_handedToDmScreen) {
        DropExtraction();
        m_doc->AnalysisKind = -1;
        m_doc->AnalysisDMKey = 0;
        m_doc->AnalysisKeys.clear();
        m_doc->AnalysisHits.clear();
    }
    StoreRirekiColumnWidths(m_list.Widths());
    m_list.SetRows({});
}

// ---------------------------------------------------------------- printing selection

std::vector<CRirekiCustomerEntries> CRirekiListLogic::SelectedByCustomer() const {
    std::vector<CRirekiCustomerEntries> groups;
    if (!m_doc) return groups;
    CMilvaneData& db = m_doc->Database();
    std::unordered_map<int32_t, std::size_t> index;
    for (int r = m_list.NextSelected(-1); r >= 0; r = m_list.NextSelected(r)) {
        auto rec = std::make_unique<CRirekiData>();
        if (db.GetRireki(m_list.Item(r).ID, *rec) != 1) continue;
        auto [it, added] = index.emplace(rec->CustomerID, groups.size());
        if (added) {
            CRirekiCustomerEntries& g = groups.emplace_back();
            g.customerKey = rec->CustomerID;
            g.customer = std::make_unique<CKokyaku>();
            if (db.GetKokyaku(g.customerKey, *g.customer) != 1) g.customer.reset();
        }
        groups[it->second].entries.push_back(std::move(rec));
    }
    return groups;
}
