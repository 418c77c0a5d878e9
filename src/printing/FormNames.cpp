#include "printing/FormNames.h"

#include <algorithm>
#include <cstdio>

#include "common/Folders.h"
#include "common/Ports.h"
#include "common/SjisField.h"

CFormNamesLogic::CFormNamesLogic(std::string installDir, std::vector<CUserFormEntry>& forms,
                                 std::function<void()> changed)
    : m_installDir(std::move(installDir)), m_forms(forms), m_changed(std::move(changed)) {}

std::string CFormNamesLogic::CheckName(const std::string& name) {
    return name.empty() ? "フォーム名を入力してください" : SjisFieldProblem(name, kUserFormNameLimit);
}

bool CFormNamesLogic::Rename(const std::vector<int>& selected,
                             const std::function<bool(std::string& name)>& askName) {
    if (selected.size() >= 2) {
        ShowMessage("名前の変更をするには、フォームを１つだけ選択してください");
        return false;
    }
    if (selected.empty() || selected[0] < 0 || selected[0] >= static_cast<int>(m_forms.size())) {
        ShowMessage("名前を変更するフォームを選択してください");
        return false;
    }
    std::string name = m_forms[selected[0]].name;
    if (!askName(name)) return false;
    m_forms[selected[0]].name = name;
    WriteUserForms(m_installDir, m_forms);
    if (m_changed) m_changed();
    return true;
}

std::vector<int> CFormNamesLogic::Delete(std::vector<int> selected) {
    std::vector<int> removed;
    if (selected.empty()) {
        ShowMessage("削除するフォームを選択してください");
        return removed;
    }
    if (Ports::Prompt().AskYesNo("選択したフォームをすべて削除してよろしいですか？", MsgIcon::Question, Answer::No) !=
        Answer::Yes)
        return removed;
    std::sort(selected.begin(), selected.end());
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        int row = *it;
        if (row < 0 || row >= static_cast<int>(m_forms.size())) continue;
        const int32_t number = m_forms[row].number;
        const std::string file = UserFormPath(m_installDir, number);
        if (FileExists(file)) std::remove(file.c_str());
        if (!DelPickUp(m_installDir, number)) continue;
        m_forms.erase(m_forms.begin() + row);
        removed.push_back(row);
        if (m_changed) m_changed();
    }
    return removed;
}
