// The extraction dialog without widgets: its mode, the three condition rows,
// the result choice, the saved-condition list it shows, and its commands
// (run, save, rename, delete, pre-extraction, display columns). The small
// dialogs it opens are reached through the hooks; the window shows the state
// held here after every call.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "customers/MLVColSet.h"
#include "extract/ExCondition.h"
#include "extract/ExQueryBuilder.h"

class CMilvaneDoc;

// Who opened the dialog.
enum ExtractMode {
    kExtractAny = 1,         // result choice free
    kExtractCustomers = 2,   // customer list only
    kExtractRireki = 3,      // history list only
    kExtractSelect = 4,      // customer selection (DM targets)
    kExtractPreset = 5,      // setting the pre-extraction
};

inline constexpr const char* kExtractMisfit = "条件が不正なため、再現できません";

class CExtractDlgLogic {
public:
    // resultKind: the result chosen at the start (0 customers, 1 history);
    // the mode may fix it.
    CExtractDlgLogic(CMilvaneDoc* doc, std::string installDir, int mode, int resultKind = 0);

    // Fills the field lists, loads the saved list and shows the document's
    // current extraction when there is one.
    void Open();

    // ---- the mode's fixed states
    int Mode() const { return m_mode; }
    bool CustomerChoiceEnabled() const { return m_mode != kExtractRireki; }
    bool RirekiChoiceEnabled() const { return m_mode == kExtractAny || m_mode == kExtractRireki; }
    bool RunEnabled() const { return m_mode != kExtractPreset; }
    bool SaveShown() const { return m_mode != kExtractPreset; }
    bool RenameDeleteEnabled() const { return m_mode != kExtractPreset; }
    bool PresetShown() const { return m_mode == kExtractPreset; }

    // ---- state
    const std::vector<ExField>& Fields() const { return m_builder.Fields(); }
    const ExRowInput& Row(int r) const { return m_rows[r]; }
    const std::string& RefOf(int r) const { return m_builder.RefOf(m_rows[r].field); }
    ExFieldKind KindOf(int r) const { return ExKindOf(RefOf(r)); }
    const std::vector<ExOperator>& Operators(int r) const { return m_ops[r]; }
    // Row B while the connector after A joins; row C while both join.
    bool RowEnabled(int r) const;
    int ResultKind() const { return m_resultKind; }
    bool DisplaySettingsEnabled() const;
    bool Unchanged() const { return m_unchanged; }
    const CExCondition& Condition() const { return m_condition; }
    // The saved-condition list box: names, and each line's position in the saved list.
    const std::vector<std::string>& ListedNames() const { return m_listedNames; }
    const std::vector<int>& ListedPositions() const { return m_listed; }
    int ListSelection() const { return m_listSelection; }
    const CExtract& Saved() const { return m_saved; }

    // ---- edits (each one clears the unchanged-from-saved flag)
    // False after "この項目は選択できません" (a separator line); the previous
    // field stays.
    bool ChooseField(int r, int index);
    void SetValue(int r, const std::string& text);
    void SetColour(int r, int index);
    void SetOperator(int r, int index);
    void SetConnector(int r, int connector);
    void SetResultKind(int kind);
    void SetListSelection(int row) { m_listSelection = row; }

    // ---- commands
    // Shows a condition's rows again; false after kExtractMisfit when its kind
    // does not fit the mode (nothing changes then).
    bool ShowCondition(const CExCondition& condition);
    // Selection change in the saved-condition list.
    void PickSaved(int listRow);
    // "抽出実行": true when the document holds the new extraction (the dialog closes).
    bool Run();
    // "条件を保存...".
    void SaveConditions();
    // "名前の変更..." and "条件を削除" on the list line.
    void Rename(int listRow);
    void Delete(int listRow);
    // The pre-extraction button: true when it was stored (the dialog closes).
    bool Preset();
    // "顧客一覧の表示設定...".
    void DisplaySettings();

    // ---- the small dialogs
    // Save dialog with the condition; true when it saved it.
    std::function<bool(CExCondition&)> saveDialog;
    // Rename dialog with the current name; the new name, or nullopt when cancelled.
    std::function<std::optional<std::string>(const std::string&)> renameDialog;
    // Display columns dialog; the edited list, or nullopt when cancelled.
    std::function<std::optional<std::vector<std::string>>(const std::vector<std::string>&)> columnsDialog;

private:
    void ResetRows();
    void SelectField(int r, int index);
    bool ShowRow(int r, const std::vector<std::string>& array);
    void LoadSaved();
    void FillList();

    CMilvaneDoc* m_doc;
    std::string m_installDir;
    int m_mode;
    int m_resultKind;
    CExQueryBuilder m_builder;
    std::array<ExRowInput, 3> m_rows;
    std::array<std::vector<ExOperator>, 3> m_ops;
    CExCondition m_condition;
    bool m_unchanged = false;
    CExtract m_saved;
    std::vector<int> m_listed;
    std::vector<std::string> m_listedNames;
    int m_listSelection = -1;
};

// Runs a built condition: ExtractKokyaku or ExtractRirekiKeys with its statement.
// On success the document's current extraction becomes a copy of it, marked
// saved when it came unchanged from a saved condition, with the keys (or the
// history list) found. False after "抽出に失敗しました".
bool RunExtraction(CMilvaneDoc& doc, const CExCondition& condition, bool unchangedFromSaved);

// The save dialog: opening without a condition shows "条件が不正です。保存できません。".
bool CanOpenSaveDialog(const CExCondition* condition);
enum class ExSaveResult { Stay, Saved, NotSaved };
// Its OK: names the condition and appends it to the saved list read afresh.
ExSaveResult SaveConditionAs(const std::string& installDir, CExCondition& condition, const std::string& name);
// The rename dialog's OK: false after "名前を入力してください".
bool AcceptConditionName(const std::string& name);

// The display columns dialog "表示設定－顧客抽出".
class CExColumnsModel {
public:
    explicit CExColumnsModel(std::string installDir);
    // Loads the catalogue (false: the dialog closes at once); an empty list
    // starts from the customer list's displayed columns.
    bool Open(const std::vector<std::string>& given);
    // "表示列" and "表示可能な列".
    const std::vector<CMLVCol>& Shown() const { return m_shown; }
    const std::vector<CMLVCol>& Available() const { return m_available; }
    // "←表示する": the new row in Shown(), -1 after a message.
    int Show(int availableRow);
    // "表示しない→": true when removed.
    bool Hide(int shownRow);
    // "上へ"/"下へ": the row's new place; -1 after the message for no selection.
    int MoveUp(int shownRow);
    int MoveDown(int shownRow);
    // OK: the field names (an empty list is told first).
    std::vector<std::string> Ok() const;

private:
    void Refill();

    std::string m_installDir;
    std::vector<CMLVCol> m_catalogue;
    std::vector<CMLVCol> m_shown;
    std::vector<CMLVCol> m_available;
};

// The menu command "顧客一覧の事前抽出の設定...": explains, makes the stored
// pre-extraction the document's current extraction so that the dialog (run
// with kExtractPreset) shows its rows, and drops it afterwards.
void SetPreExtractionCommand(CMilvaneDoc& doc, const std::function<int(int mode)>& dialog);
