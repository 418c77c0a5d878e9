#include "customers/DispSettings.h"

#include <utility>

#include "common/Folders.h"
#include "common/Ports.h"
#include "common/SjisText.h"
#include "customers/DefaultSort.h"

// ---------------------------------------------------------------- CDispSettingsModel

CDispSettingsModel::CDispSettingsModel(std::string installDir) : m_installDir(installDir), m_set(installDir) {}

int CDispSettingsModel::Open() {
    if (!m_set.Load()) return 0;
    CMLVDispKokyakuCol disp(m_installDir);
    disp.Load();
    m_displayed.clear();
    for (const std::string& name : disp.names)
        if (const CMLVCol* col = m_set.Find(name)) m_displayed.push_back(*col);
    RebuildAvailable();

    m_sortChoices = DisplayableColumns(m_set);
    CDefaultSort sort(GetDataFolder(m_installDir));
    sort.Load();
    m_sortIndex = -1;
    for (std::size_t i = 0; i < m_sortChoices.size(); ++i)
        if (m_sortChoices[i].fieldName == sort.fieldName) {
            m_sortIndex = static_cast<int>(i);
            break;
        }
    m_direction = sort.direction;
    return 1;
}

void CDispSettingsModel::RebuildAvailable() {
    m_available.clear();
    for (const CMLVCol& col : DisplayableColumns(m_set)) {
        bool shown = false;
        for (const CMLVCol& d : m_displayed)
            if (d.fieldName == col.fieldName) shown = true;
        if (!shown) m_available.push_back(col);
    }
}

int CDispSettingsModel::Show(int availableIndex) {
    if (availableIndex < 0 || availableIndex >= static_cast<int>(m_available.size())) {
        ShowMessage("表示したい列を「表示可能な列」から選択してください");
        return -1;
    }
    const CMLVCol col = m_available[availableIndex];
    for (const CMLVCol& d : m_displayed)
        if (d.fieldName == col.fieldName) {
            ShowMessage("この列はすでに表示設定がされています");
            return -1;
        }
    m_displayed.push_back(col);
    m_available.erase(m_available.begin() + availableIndex);
    return static_cast<int>(m_displayed.size()) - 1;
}

bool CDispSettingsModel::Hide(int displayedIndex) {
    if (displayedIndex < 0 || displayedIndex >= static_cast<int>(m_displayed.size())) {
        ShowMessage("表示をやめる列を「表示列」から選択してください");
        return false;
    }
    // A column listed twice loses its first entry.
    const std::string field = m_displayed[displayedIndex].fieldName;
    for (auto it = m_displayed.begin(); it != m_displayed.end(); ++it)
        if (it->fieldName == field) {
            m_displayed.erase(it);
            break;
        }
    RebuildAvailable();
    return true;
}

int CDispSettingsModel::MoveUp(int index) {
    if (index < 0 || index >= static_cast<int>(m_displayed.size())) {
        ShowMessage("移動する項目を選択してください");
        return -1;
    }
    if (index == 0) return index;
    std::swap(m_displayed[index], m_displayed[index - 1]);
    return index - 1;
}

int CDispSettingsModel::MoveDown(int index) {
    if (index < 0 || index >= static_cast<int>(m_displayed.size())) {
        ShowMessage("移動する項目を選択してください");
        return -1;
    }
    if (index + 1 == static_cast<int>(m_displayed.size())) return index;
    std::swap(m_displayed[index], m_displayed[index + 1]);
    return index + 1;
}

void CDispSettingsModel::Ok() {
    CMLVDispKokyakuCol disp(m_installDir);
    for (const CMLVCol& col : m_displayed) disp.names.push_back(col.fieldName);
    if (!disp.Save()) ShowMessage("表示列の設定ができませんでした");

    if (m_sortIndex >= 0 && m_sortIndex < static_cast<int>(m_sortChoices.size()) &&
        (m_direction == 0 || m_direction == 1)) {
        CDefaultSort sort(GetDataFolder(m_installDir));
        sort.fieldName = m_sortChoices[m_sortIndex].fieldName;
        sort.direction = m_direction;
        if (!sort.Save()) ShowMessage("並び順の設定ができませんでした");
    }
}

// ---------------------------------------------------------------- CFreeItemNamesModel

CFreeItemNamesModel::CFreeItemNamesModel(std::string installDir) : m_set(std::move(installDir)) {}

void CFreeItemNamesModel::Refill() {
    m_items.clear();
    for (const CMLVCol& col : m_set.columns)
        if (col.freeItem != 0) m_items.push_back(col);
}

int CFreeItemNamesModel::Open() {
    if (!m_set.Load()) return 0;
    Refill();
    return 1;
}

bool CFreeItemNamesModel::Change(int index, const std::string& newName) {
    if (index < 0 || index >= static_cast<int>(m_items.size())) {
        ShowMessage("変更する項目名が選択されていません。\nリストから現在の項目名を選択した後、"
                    "新しい項目名を入力して【変更】ボタンをクリックしてください。");
        return false;
    }
    if (newName.empty()) {
        ShowMessage("項目名を入力してください。");
        return false;
    }
    if (SjisLength(newName) > 10)
        ShowMessage("項目名が全角で５文字を超えています。\n詳細設定画面で、項目名を表示しきれない可能性があります。");
    if (!m_set.SetLabel(m_items[index].fieldName, newName)) {
        ShowMessage("項目名の変更ができません");
        return false;
    }
    m_items[index].label = newName;
    return true;
}

bool CFreeItemNamesModel::Reset() {
    if (Ports::Prompt().AskYesNo("すべての項目名を初期状態に戻します。この操作は元に戻せません。\nよろしいですか？",
                                 MsgIcon::Information, Answer::Yes) != Answer::Yes)
        return false;
    if (!m_set.ResetToMaster(false)) return false;
    m_set.Load();
    Refill();
    return true;
}

bool CFreeItemNamesModel::Ok() {
    if (m_set.Save()) return true;
    ShowMessage("項目名の変更ができませんでした");
    return false;
}
