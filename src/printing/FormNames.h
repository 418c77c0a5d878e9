// "ｵﾘｼﾞﾅﾙﾌｫｰﾑ名の変更と削除": renaming and deleting user-made forms.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "printing/UserForms.h"

class CFormNamesLogic {
public:
    // forms: the menu screen's list, changed in place; changed runs after
    // every stored change (the menu screen refreshes its gallery).
    CFormNamesLogic(std::string installDir, std::vector<CUserFormEntry>& forms, std::function<void()> changed);

    // False when there is nothing to show (the dialog closes as cancelled).
    bool HasForms() const { return !m_forms.empty(); }
    static bool RenameEnabled(const std::vector<int>& selected) { return selected.size() == 1; }
    static bool DeleteEnabled(const std::vector<int>& selected) { return !selected.empty(); }

    // "名前の変更": askName gets the current name and returns false when
    // cancelled. True when a row was renamed.
    bool Rename(const std::vector<int>& selected, const std::function<bool(std::string& name)>& askName);
    // The check of the name dialog's OK (not empty, at most 200 Shift-JIS
    // bytes, only characters Shift-JIS holds): the message, or "" when accepted.
    static std::string CheckName(const std::string& name);
    // "フォームの削除": rows from the last to the first; the rows removed.
    std::vector<int> Delete(std::vector<int> selected);

private:
    std::string m_installDir;
    std::vector<CUserFormEntry>& m_forms;
    std::function<void()> m_changed;
};
