// The customer screen's history: the selected customer's entries shown on
// the card pane, the history commands (add, change, copy, delete, bulk add)
// and the storing operations the entry dialog calls.
#pragma once

#include <cstdint>
#include <vector>

#include "customers/CardPane.h"
#include "history/RirekiEntry.h"
#include "history/RirekiNavigator.h"

class CMilvaneDoc;
class CKokyakuListModel;

// What the history commands ask of the customer screen.
class IKokyakuHistoryScreen {
public:
    virtual ~IKokyakuHistoryScreen() = default;
    virtual bool CardShown() const = 0;
    // Shows the card pane on a page.
    virtual void ShowCard(int page) = 0;
};

class CKokyakuHistory : public IRirekiOwner {
public:
    CKokyakuHistory(CMilvaneDoc* doc, CKokyakuListModel& list, CCardPaneLogic& card, IKokyakuHistoryScreen& screen);

    // The first selected customer and its history on the card; with no
    // selection the card shows nothing.
    void Refresh();
    void Clear();

    // ---- commands
    void Add(const RirekiDialogRunner& run);
    void Change(const RirekiDialogRunner& run);
    void Copy(const RirekiDialogRunner& run);
    void Delete();
    void BulkAdd(const RirekiDialogRunner& run);

    // ---- IRirekiOwner
    int32_t AddEntry(int32_t customerKey, CRirekiData& record) override;
    int ModifyEntry(int32_t key, CRirekiData& record) override;
    const CRirekiData* PreviousEntry(bool& hasMore) override { return m_card.PreviousEntry(hasMore); }
    const CRirekiData* NextEntry(bool& hasMore) override { return m_card.NextEntry(hasMore); }
    const CRirekiData* LocateEntry(int32_t key, bool& hasPrevious, bool& hasNext) override {
        return m_card.LocateEntry(key, hasPrevious, hasNext);
    }

    const CRirekiList& History() const { return m_history; }

    // Marks the cached customers' last-history date and rewrites their rows
    // when that column is on screen.
    void MarkHistoryDate(const std::vector<int32_t>& customerKeys, const CDateTime& at);

private:
    bool ReadOnly(const char* message) const;
    CRirekiData* Cached(int32_t key) const;

    CMilvaneDoc* m_doc;
    CKokyakuListModel& m_list;
    CCardPaneLogic& m_card;
    IKokyakuHistoryScreen& m_screen;
    CRirekiList m_history;  // the shown customer's entries, newest first
};
