// The rules of the list display settings dialog ("顧客一覧の表示設定") and of
// the free item names dialog ("顧客情報のフリー項目設定"). The dialogs show
// the lists these models hold and forward their buttons; every refusal shows
// its message and changes nothing.
#pragma once

#include <string>
#include <vector>

#include "customers/MLVColSet.h"

class CDispSettingsModel {
public:
    explicit CDispSettingsModel(std::string installDir);

    // Loads the set (0: the dialog closes at once), the displayed columns and
    // the default sort.
    int Open();

    // "表示列": the displayed columns, left to right.
    const std::vector<CMLVCol>& Displayed() const { return m_displayed; }
    // "表示可能な列": displayable definitions not displayed, in set order.
    const std::vector<CMLVCol>& Available() const { return m_available; }
    // The sort drop-down: every displayable definition in set order.
    const std::vector<CMLVCol>& SortChoices() const { return m_sortChoices; }
    // Index in SortChoices of the current sort field, -1 when none.
    int SortIndex() const { return m_sortIndex; }
    // 0 ascending, 1 descending, other: no direction chosen.
    int SortDirection() const { return m_direction; }
    void SetSortIndex(int index) { m_sortIndex = index; }
    void SetSortDirection(int direction) { m_direction = direction; }

    // "←表示する": the available row; returns the new row in Displayed(), -1
    // after a message.
    int Show(int availableIndex);
    // "表示しない→": the displayed row; the first entry with its field name
    // leaves. True when one was removed.
    bool Hide(int displayedIndex);
    // "上へ"/"下へ" in "表示列": the new row (unchanged at the ends), -1 after
    // the message for no selection.
    int MoveUp(int displayedIndex);
    int MoveDown(int displayedIndex);
    // OK: writes "MLVDispCol.sys" and, with a sort field and direction,
    // "DefOrder.dat"; each failure has its message. The dialog closes anyway.
    void Ok();

    CMLVColSet& Set() { return m_set; }

private:
    void RebuildAvailable();

    std::string m_installDir;
    CMLVColSet m_set;
    std::vector<CMLVCol> m_displayed;
    std::vector<CMLVCol> m_available;
    std::vector<CMLVCol> m_sortChoices;
    int m_sortIndex = -1;
    int m_direction = 1;
};

class CFreeItemNamesModel {
public:
    explicit CFreeItemNamesModel(std::string installDir);

    // Loads the set (0: the dialog closes at once) and lists the free items.
    int Open();
    // "変更可能な項目名": the free items in set order.
    const std::vector<CMLVCol>& Items() const { return m_items; }
    // "変更": the selected row (-1 none) and the new name. Messages for no
    // selection, an empty name, the warning for more than 10 bytes (then goes
    // on), and a refusal. True when the row now shows the new name.
    bool Change(int index, const std::string& newName);
    // "初期状態に戻す": asks, then copies the master set over the data folder's
    // at once and reloads. True when the list was refilled.
    bool Reset();
    // OK: writes "MLVColSet.sys"; false after "項目名の変更ができませんでした".
    // The dialog closes anyway.
    bool Ok();

    CMLVColSet& Set() { return m_set; }

private:
    void Refill();

    CMLVColSet m_set;
    std::vector<CMLVCol> m_items;
};
