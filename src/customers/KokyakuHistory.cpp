#include "customers/KokyakuHistory.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unordered_set>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"
#include "customers/KokyakuListModel.h"

namespace {
constexpr const char* kReadOnlyAdd = "データベースは読取専用です。\n履歴を追加することはできません。\n";
constexpr const char* kSelectEntry = "履歴を選択してください";

// Brings a picked picture into the picture folder; false when that failed.
// copied receives the stored copy (to remove it again when the store fails).
bool StorePicture(CMilvaneDoc& doc, CRirekiData& r, std::string& copied) {
    const std::string before = r.Picture;
    if (StorePictureFile(r.Picture, doc.PictureFolder())) {
        copied = doc.PictureFolder() + "/" + r.Picture;
        return true;
    }
    return r.Picture == before;
}

void DropCopy(const std::string& copied) {
    if (copied.empty()) return;
    std::error_code ec;
    std::filesystem::remove(copied, ec);
}
}  // namespace

CKokyakuHistory::CKokyakuHistory(CMilvaneDoc* doc, CKokyakuListModel& list, CCardPaneLogic& card,
                                 IKokyakuHistoryScreen& screen)
    : m_doc(doc), m_list(list), m_card(card), m_screen(screen) {}

bool CKokyakuHistory::ReadOnly(const char* message) const {
    if (!IsReadOnly(m_doc)) return false;
    ShowMessage(message);
    return true;
}

void CKokyakuHistory::Clear() {
    m_card.SetCustomer(nullptr);
    m_card.SetHistory(nullptr);
    m_history.clear();
}

void CKokyakuHistory::Refresh() {
    Clear();
    const int row = m_list.NextSelected(-1);
    if (row < 0 || !m_doc) return;
    const CKokyakuRow* customer = m_list.Item(row).row;
    m_card.SetCustomer(customer->Record());
    CRirekiList list;
    if (m_doc->Database().GetRirekiForKokyaku(customer->ID, list) != 1) {
        ShowMessage("顧客の履歴を取得できませんでした。\n履歴を表示できません。\n");
        return;
    }
    m_history = std::move(list);
    m_card.SetHistory(&m_history);
}

CRirekiData* CKokyakuHistory::Cached(int32_t key) const {
    for (const auto& r : m_history)
        if (r->ID == key) return r.get();
    return nullptr;
}

void CKokyakuHistory::MarkHistoryDate(const std::vector<int32_t>& customerKeys, const CDateTime& at) {
    if (!m_doc) return;
    std::unordered_set<int32_t> keys(customerKeys.begin(), customerKeys.end());
    m_doc->KokyakuList.SetRirekiUpDate(customerKeys, at);
    const auto& columns = m_list.Columns();
    const bool shown = std::any_of(columns.begin(), columns.end(),
                                   [](const CListColumn& c) { return c.field == "RirekiUpDate"; });
    if (!shown) return;
    std::vector<int> rows;
    for (int r = 0; r < m_list.RowCount(); ++r)
        if (keys.count(m_list.Item(r).row->ID)) rows.push_back(r);
    m_list.UpdateRows(rows);
}

// ---------------------------------------------------------------- storing

int32_t CKokyakuHistory::AddEntry(int32_t customerKey, CRirekiData& record) {
    if (ReadOnly(kReadOnlyAdd) || !m_doc) return -1;
    std::string copied;
    if (!StorePicture(*m_doc, record, copied)) return -1;
    const CDateTime now = CDateTime::Now();
    const int32_t key = m_doc->Database().AddNewRireki(customerKey, record, now);
    if (key < 1) {
        DropCopy(copied);
        return key;
    }
    record.ID = key;
    record.CustomerID = customerKey;
    const int row = m_list.NextSelected(-1);
    const bool shownCustomer = row >= 0 && m_list.Item(row).row->ID == customerKey;
    if (!m_screen.CardShown()) {
        m_screen.ShowCard(kCardPageHistory);  // shows the history afresh, the new entry first
        bool p = false, n = false;
        m_card.LocateEntry(key, p, n);
    } else if (shownCustomer) {
        m_history.insert(m_history.begin(), std::make_unique<CRirekiData>(record));
        m_card.AddHistoryRow(m_history.front().get());
    }
    MarkHistoryDate({customerKey}, now);
    return key;
}

int CKokyakuHistory::ModifyEntry(int32_t key, CRirekiData& record) {
    if (ReadOnly("データベースは読取専用です。\n履歴を修正することはできません。\n") || !m_doc) return -1;
    std::string copied;
    if (!StorePicture(*m_doc, record, copied)) return -1;
    const CDateTime now = CDateTime::Now();
    const int result = m_doc->Database().ModifyRireki(key, record, now);
    if (result != 1) {
        DropCopy(copied);
        return result;
    }
    if (CRirekiData* cached = Cached(key)) {
        const int32_t owner = cached->CustomerID;
        *cached = record;
        cached->ID = key;
        cached->CustomerID = owner;
        m_card.UpdateHistoryRow(cached);
        MarkHistoryDate({owner}, now);
    } else {
        MarkHistoryDate({record.CustomerID}, now);
    }
    return result;
}

// ---------------------------------------------------------------- commands

void CKokyakuHistory::Add(const RirekiDialogRunner& run) {
    if (ReadOnly(kReadOnlyAdd)) return;
    const int row = m_list.NextSelected(-1);
    if (row < 0) {
        ShowMessage("履歴を追加する顧客を選択してください");
        return;
    }
    m_list.SelectOnly(row);
    RirekiDialogRequest request;
    request.mode = HistoryDialogMode::Add;
    request.owner = this;
    request.customerKey = m_list.Item(row).row->ID;
    CRirekiData unused;
    run(request, unused);
}

void CKokyakuHistory::Change(const RirekiDialogRunner& run) {
    const CRirekiData* entry = m_card.SelectedEntry();
    if (!entry) {
        ShowMessage(kSelectEntry);
        return;
    }
    RirekiDialogRequest request;
    request.mode = HistoryDialogMode::Modify;
    if (IsReadOnly(m_doc)) {
        ShowMessage("データベースは読取専用です。\n履歴を修正することはできません。\n参照のみを行ないます。");
        request.mode = HistoryDialogMode::View;
    }
    request.owner = this;
    request.customerKey = entry->CustomerID;
    request.record = entry;
    request.hasPrevious = m_card.HasPrevious();
    request.hasNext = m_card.HasNext();
    CRirekiData unused;
    run(request, unused);
}

void CKokyakuHistory::Copy(const RirekiDialogRunner& run) {
    if (ReadOnly("データベースは読取専用です。\n履歴をコピーすることはできません。\n")) return;
    const CRirekiData* entry = m_card.SelectedEntry();
    if (!entry) {
        ShowMessage(kSelectEntry);
        return;
    }
    CRirekiData copy = *entry;
    copy.Date = CDateTime::Now();
    RirekiDialogRequest request;
    request.mode = HistoryDialogMode::Copy;
    request.owner = this;
    request.customerKey = copy.CustomerID;
    request.record = &copy;
    CRirekiData unused;
    run(request, unused);
}

void CKokyakuHistory::Delete() {
    if (ReadOnly("データベースは読取専用です。\n履歴を削除することはできません。\n")) return;
    CRirekiData* entry = m_card.SelectedEntry();
    if (!entry) {
        ShowMessage(kSelectEntry);
        return;
    }
    if (Ports::Prompt().AskYesNo("選択されている履歴を削除します。\nよろしいですか？\n", MsgIcon::Question,
                                 Answer::No) != Answer::Yes || !m_doc)
        return;
    if (m_doc->Database().DeleteRireki(entry->ID, CDateTime::Now()) != 1) {
        ShowMessage("履歴が削除できませんでした");
        return;
    }
    m_card.RemoveHistoryRow(entry);
    m_history.erase(std::remove_if(m_history.begin(), m_history.end(),
                                   [entry](const auto& r) { return r.get() == entry; }),
                    m_history.end());
}

void CKokyakuHistory::BulkAdd(const RirekiDialogRunner& run) {
    if (ReadOnly(kReadOnlyAdd)) return;
    std::vector<uint32_t> keys;
    for (int r = m_list.NextSelected(-1); r >= 0; r = m_list.NextSelected(r))
        keys.push_back(static_cast<uint32_t>(m_list.Item(r).row->ID));
    if (keys.empty()) {
        ShowMessage("顧客を選択してください。");
        return;
    }
    char question[160];
    std::snprintf(question, sizeof question, "選択されている%zu件の顧客に履歴を一括追加します。よろしいですか？",
                  keys.size());
    if (Ports::Prompt().AskYesNo(question, MsgIcon::Question, Answer::Yes) != Answer::Yes) return;
    RirekiDialogRequest request;
    request.mode = HistoryDialogMode::BulkAdd;
    CRirekiData entry;
    if (run(request, entry) != kRirekiEndBulk || !m_doc) return;
    const CDateTime now = CDateTime::Now();
    const int result = m_doc->Database().AddNewRireki(keys, entry, now);
    if (result == -1) ShowMessage("顧客への履歴登録に失敗しました。\n");
    else if (result == 10) ShowMessage("一部の顧客への履歴登録に失敗しました。\n");
    else ShowMessage("選択されている顧客に履歴を登録しました。\n", MsgIcon::Information);
    Refresh();
    if (result == 1) MarkHistoryDate(std::vector<int32_t>(keys.begin(), keys.end()), now);
}
