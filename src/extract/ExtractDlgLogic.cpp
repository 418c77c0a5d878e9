#include "extract/ExtractDlgLogic.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/KokyakuEntry.h"
#include "customers/PreExtraction.h"

namespace {

bool Joins(int connector) { return connector == kConnAnd || connector == kConnOr; }

}  // namespace

// ---------------------------------------------------------------- opening

CExtractDlgLogic::CExtractDlgLogic(CMilvaneDoc* doc, std::string installDir, int mode, int resultKind)
    : m_doc(doc),
      m_installDir(std::move(installDir)),
      m_mode(mode),
      m_resultKind(mode == kExtractRireki ? 1 : mode == kExtractAny ? (resultKind == 1 ? 1 : 0) : 0),
      m_builder({}),
      m_saved(m_installDir) {}

void CExtractDlgLogic::Open() {
    m_builder = CExQueryBuilder(LoadExFieldList(m_installDir));
    ResetRows();
    LoadSaved();
    if (m_doc && m_doc->Extraction) ShowCondition(*m_doc->Extraction);
    m_unchanged = false;
}

void CExtractDlgLogic::ResetRows() {
    for (int r = 0; r < 3; ++r) {
        m_rows[r] = ExRowInput();
        m_ops[r].clear();
    }
}

bool CExtractDlgLogic::RowEnabled(int r) const {
    if (r <= 0) return true;
    if (r == 1) return Joins(m_rows[0].connector);
    return Joins(m_rows[0].connector) && Joins(m_rows[1].connector);
}

bool CExtractDlgLogic::DisplaySettingsEnabled() const {
    return m_resultKind == 0 && (m_mode == kExtractAny || m_mode == kExtractCustomers);
}

void CExtractDlgLogic::LoadSaved() {
    if (!m_saved.Load()) m_saved.Conditions.clear();
    FillList();
}

void CExtractDlgLogic::FillList() {
    m_listed.clear();
    m_listedNames.clear();
    for (std::size_t i = 0; i < m_saved.Conditions.size(); ++i) {
        const CExCondition& c = m_saved.Conditions[i];
        const bool listed = c.ResultKind == 0 ? m_mode != kExtractRireki
                                              : (m_mode == kExtractAny || m_mode == kExtractRireki);
        if (!listed) continue;
        m_listed.push_back(static_cast<int>(i));
        m_listedNames.push_back(c.ConditionName);
    }
    m_listSelection = -1;
}

// ---------------------------------------------------------------- edits

void CExtractDlgLogic::SelectField(int r, int index) {
    ExRowInput& row = m_rows[r];
    row.field = index;
    const std::string& ref = m_builder.RefOf(index);
    row.choices = ExValueChoices(ref, m_installDir);
    row.value = row.choices.empty() ? std::string() : row.choices.front();
    row.colour = -1;
    row.op = -1;
    m_ops[r] = ExOperatorsFor(ref);
    m_unchanged = false;
}

bool CExtractDlgLogic::ChooseField(int r, int index) {
    if (index == m_rows[r].field) return true;
    if (index < 0 || index >= static_cast<int>(Fields().size()) || m_builder.RefOf(index).empty()) {
        ShowMessage("この項目は選択できません");
        return false;
    }
    SelectField(r, index);
    return true;
}

void CExtractDlgLogic::SetValue(int r, const std::string& text) {
    m_rows[r].value = text;
    m_unchanged = false;
}

void CExtractDlgLogic::SetColour(int r, int index) {
    m_rows[r].colour = index;
    m_unchanged = false;
}

void CExtractDlgLogic::SetOperator(int r, int index) {
    m_rows[r].op = index;
    m_unchanged = false;
}

void CExtractDlgLogic::SetConnector(int r, int connector) {
    if (r < 0 || r > 1) return;
    m_rows[r].connector = connector;
    // Without row B there is no choice after it.
    if (r == 0 && !Joins(connector)) m_rows[1].connector = kConnEnd;
    m_unchanged = false;
}

void CExtractDlgLogic::SetResultKind(int kind) {
    if (kind == 1 && !RirekiChoiceEnabled()) return;
    if (kind == 0 && !CustomerChoiceEnabled()) return;
    m_resultKind = kind;
    m_unchanged = false;
}

// ---------------------------------------------------------------- showing a condition

bool CExtractDlgLogic::ShowCondition(const CExCondition& condition) {
    const bool history = condition.ResultKind == 1;
    if ((history && m_mode != kExtractAny && m_mode != kExtractRireki) || (!history && m_mode == kExtractRireki)) {
        ShowMessage(kExtractMisfit);
        return false;
    }
    m_condition = condition;
    m_resultKind = history ? 1 : 0;
    ResetRows();
    const std::vector<std::string>* arrays[3] = {&condition.RowA, &condition.RowB, &condition.RowC};
    bool ok = CExCondition::RowInUse(*arrays[0]) && ShowRow(0, *arrays[0]);
    if (ok && CExCondition::RowInUse(*arrays[1])) ok = ShowRow(1, *arrays[1]);
    if (ok && arrays[2]->size() == 3) ShowRow(2, *arrays[2]);
    return true;
}

bool CExtractDlgLogic::ShowRow(int r, const std::vector<std::string>& array) {
    const int index = array[0].empty() ? -1 : m_builder.IndexOf(array[0]);
    if (index < 0) {
        ShowMessage(kExtractMisfit);
        return false;
    }
    SelectField(r, index);
    ExRowInput& row = m_rows[r];
    if (ExKindOf(array[0]) == ExFieldKind::Colour) {
        const long colour = std::strtol(array[1].c_str(), nullptr, 10);
        row.colour = ColorMarkIndex(static_cast<uint32_t>(colour));
    } else {
        row.value = array[1];
    }
    const auto& ops = m_ops[r];
    auto it = std::find_if(ops.begin(), ops.end(), [&](const ExOperator& op) { return array[2] == op.pattern; });
    if (it == ops.end()) {
        ShowMessage(kExtractMisfit);
        return false;
    }
    row.op = static_cast<int>(it - ops.begin());
    if (r < 2) {
        const std::string conn = array.size() > 3 ? array[3] : std::string();
        row.connector = conn == "AND" ? kConnAnd : conn == "OR" ? kConnOr : kConnEnd;
    }
    return true;
}

void CExtractDlgLogic::PickSaved(int listRow) {
    m_listSelection = listRow;
    if (listRow < 0 || listRow >= static_cast<int>(m_listed.size())) return;
    const CExCondition saved = m_saved.Conditions[m_listed[listRow]];
    if (ShowCondition(saved)) m_unchanged = true;
}

// ---------------------------------------------------------------- commands

bool CExtractDlgLogic::Run() {
    if (!m_doc) return false;
    if (!m_unchanged && !m_builder.BuildStatement(m_rows, m_resultKind, m_condition)) return false;
    return RunExtraction(*m_doc, m_condition, m_unchanged);
}

void CExtractDlgLogic::SaveConditions() {
    if (!m_builder.BuildStatement(m_rows, m_resultKind, m_condition)) return;
    if (!saveDialog || !saveDialog(m_condition)) return;
    ShowMessage("抽出条件を保存しました。", MsgIcon::Information);
    m_unchanged = true;
    LoadSaved();
}

void CExtractDlgLogic::Rename(int listRow) {
    if (listRow < 0 || listRow >= static_cast<int>(m_listed.size())) {
        ShowMessage("名前を変更する条件を選択してください");
        return;
    }
    CExCondition& c = m_saved.Conditions[m_listed[listRow]];
    if (!renameDialog) return;
    std::optional<std::string> name = renameDialog(c.ConditionName);
    if (!name || name->empty()) return;
    std::string previous = std::exchange(c.ConditionName, *name);
    if (!m_saved.Save()) c.ConditionName = std::move(previous);  // the list stays as on disk
    FillList();
    m_listSelection = listRow;
}

void CExtractDlgLogic::Delete(int listRow) {
    if (listRow < 0 || listRow >= static_cast<int>(m_listed.size())) {
        ShowMessage("削除する条件を選択してください");
        return;
    }
    const int position = m_listed[listRow];
    const std::string text =
        "条件「" + m_saved.Conditions[position].ConditionName + "」を削除します。\nよろしいですか？";
    if (Ports::Prompt().AskYesNo(text, MsgIcon::Question, Answer::No) != Answer::Yes) return;
    CExCondition removed = std::move(m_saved.Conditions[position]);
    m_saved.Conditions.erase(m_saved.Conditions.begin() + position);
    if (!m_saved.Save())  // the list stays as on disk
        m_saved.Conditions.insert(m_saved.Conditions.begin() + position, std::move(removed));
    FillList();
}

bool CExtractDlgLogic::Preset() {
    if (!m_doc || !m_builder.BuildStatement(m_rows, m_resultKind, m_condition)) return false;
    m_condition.DisplayColumns.clear();
    const char* question =
        "今後、通常、顧客一覧を表示するときはこの条件で抽出した結果を表示します。抽出を解除することですべての顧客を表示"
        "することができます。\n\n通常の顧客一覧表示をすべての顧客に戻したい場合は、メニュー画面の【設定】－［顧客一覧の"
        "事前抽出設定を解除］をクリックしてください。\n\n設定してよろしいですか？";
    if (Ports::Prompt().AskYesNo(question, MsgIcon::Question, Answer::Yes) == Answer::No) return false;
    if (!SaveCondition(m_doc->DataDir, m_condition)) return false;
    ShowMessage("設定しました", MsgIcon::Information);
    return true;
}

void CExtractDlgLogic::DisplaySettings() {
    if (!columnsDialog) return;
    std::optional<std::vector<std::string>> columns = columnsDialog(m_condition.DisplayColumns);
    if (!columns) return;
    m_condition.DisplayColumns = std::move(*columns);
    m_unchanged = false;
}

// ---------------------------------------------------------------- running

bool RunExtraction(CMilvaneDoc& doc, const CExCondition& condition, bool unchangedFromSaved) {
    CKeyArray keys;
    CRirekiKeyList entries;
    int result;
    {
        WaitScope wait;
        result = condition.ResultKind == 1 ? doc.Database().ExtractRirekiKeys(condition.QueryText, entries)
                                           : doc.Database().ExtractKokyaku(condition.QueryText, keys);
    }
    if (result == -1) {
        ShowMessage("抽出に失敗しました");
        return false;
    }
    doc.Extraction = std::make_shared<CExCondition>(condition);
    doc.ExtractSaved = unchangedFromSaved ? 1 : 0;
    doc.ExtractActive = 1;
    if (condition.ResultKind == 1) {
        doc.RirekiList = std::move(entries);
        doc.ExtractKeys.clear();
    } else {
        doc.ExtractKeys = std::move(keys);
    }
    return true;
}

// ---------------------------------------------------------------- save and rename dialogs

bool CanOpenSaveDialog(const CExCondition* condition) {
    if (condition) return true;
    ShowMessage("条件が不正です。保存できません。");
    return false;
}

ExSaveResult SaveConditionAs(const std::string& installDir, CExCondition& condition, const std::string& name) {
    if (!AcceptConditionName(name)) return ExSaveResult::Stay;
    condition.ConditionName = name;
    CExtract list(installDir);
    if (!list.Load()) return ExSaveResult::NotSaved;
    if (!list.Append(condition)) {
        ShowMessage("抽出条件を保存できませんでした");
        return ExSaveResult::NotSaved;
    }
    return ExSaveResult::Saved;
}

bool AcceptConditionName(const std::string& name) {
    if (!name.empty()) return true;
    ShowMessage("名前を入力してください");
    return false;
}

// ---------------------------------------------------------------- display columns

CExColumnsModel::CExColumnsModel(std::string installDir) : m_installDir(std::move(installDir)) {}

bool CExColumnsModel::Open(const std::vector<std::string>& given) {
    CMLVColSet set(m_installDir);
    if (!set.Load()) return false;
    m_catalogue = set.columns;
    const std::vector<std::string> names = given.empty() ? CustomerListColumnNames(m_installDir) : given;
    m_shown.clear();
    for (const std::string& name : names)
        if (const CMLVCol* col = set.Find(name); col && IsDisplayableColumn(name)) m_shown.push_back(*col);
    Refill();
    return true;
}

void CExColumnsModel::Refill() {
    m_available.clear();
    for (const CMLVCol& col : m_catalogue) {
        if (!IsDisplayableColumn(col.fieldName)) continue;
        const bool shown = std::any_of(m_shown.begin(), m_shown.end(),
                                       [&](const CMLVCol& s) { return s.fieldName == col.fieldName; });
        if (!shown) m_available.push_back(col);
    }
}

int CExColumnsModel::Show(int availableRow) {
    if (availableRow < 0 || availableRow >= static_cast<int>(m_available.size())) {
        ShowMessage("表示したい列を「表示可能な列」から選択してください");
        return -1;
    }
    const CMLVCol col = m_available[availableRow];
    for (const CMLVCol& s : m_shown) {
        if (s.fieldName == col.fieldName) {
            ShowMessage("この列はすでに表示設定がされています");
            return -1;
        }
    }
    m_shown.push_back(col);
    m_available.erase(m_available.begin() + availableRow);
    return static_cast<int>(m_shown.size()) - 1;
}

bool CExColumnsModel::Hide(int shownRow) {
    if (shownRow < 0 || shownRow >= static_cast<int>(m_shown.size())) {
        ShowMessage("表示をやめる列を「表示列」から選択してください");
        return false;
    }
    m_shown.erase(m_shown.begin() + shownRow);
    Refill();
    return true;
}

int CExColumnsModel::MoveUp(int shownRow) {
    if (shownRow < 0 || shownRow >= static_cast<int>(m_shown.size())) {
        ShowMessage("移動する項目を選択してください");
        return -1;
    }
    if (shownRow == 0) return 0;
    std::swap(m_shown[shownRow], m_shown[shownRow - 1]);
    return shownRow - 1;
}

int CExColumnsModel::MoveDown(int shownRow) {
    if (shownRow < 0 || shownRow >= static_cast<int>(m_shown.size())) {
        ShowMessage("移動する項目を選択してください");
        return -1;
    }
    if (shownRow + 1 == static_cast<int>(m_shown.size())) return shownRow;
    std::swap(m_shown[shownRow], m_shown[shownRow + 1]);
    return shownRow + 1;
}

std::vector<std::string> CExColumnsModel::Ok() const {
    std::vector<std::string> names;
    for (const CMLVCol& c : m_shown) names.push_back(c.fieldName);
    if (names.empty())
        ShowMessage("表示列を設定していません。顧客リストの通常と同じ状態で結果を表示します。", MsgIcon::Information);
    return names;
}

// ---------------------------------------------------------------- pre-extraction command

void SetPreExtractionCommand(CMilvaneDoc& doc, const std::function<int(int mode)>& dialog) {
    ShowMessage(kPreExtractionIntro, MsgIcon::Information);
    if (std::unique_ptr<CExCondition> stored = LoadCondition(doc.DataDir)) {
        doc.Extraction = std::shared_ptr<CExCondition>(std::move(stored));
        doc.ExtractActive = 1;
        doc.ExtractSaved = 1;
    }
    dialog(kExtractPreset);
    doc.Extraction.reset();
    doc.ExtractActive = 0;
    doc.ExtractSaved = 0;
}
