// The DM screen without widgets: the title rows and their selection, the
// targets of the selected title, the caption, the enabling of the commands,
// every command of the screen, the hit-rate display and ChangeDmState, which
// printing and mailing call once a DM has gone out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "dm/DMData.h"
#include "dm/DMTitleForm.h"

class CMilvaneDoc;

inline constexpr const char* kDMScreenTitle = "Milvane－DM送付管理";
inline constexpr const char* kDMTargetCaption = "DM送付対象顧客";

// What the logic asks of the screen's widgets and dialogs.
class IDMScreen {
public:
    virtual ~IDMScreen() = default;
    virtual void SetFrameTitle(const std::string& title) = 0;
    // Rows, selection, targets, caption, buttons or the hit-rate display
    // changed: the widgets show the logic's state afresh.
    virtual void Redraw() = 0;
    // The DM title dialog on form; true on OK.
    virtual bool EditTitle(CDMTitleForm& form) = 0;
    // The customer selection dialog for targets; true on OK with chosen filled.
    virtual bool ChooseCustomers(std::vector<CDMMngData>& chosen) = 0;
    // The analysis sheet locked to the DM hit rate; true on OK. Only called
    // when CanAnalyseHitRate() is true.
    virtual bool CanAnalyseHitRate() const { return false; }
    virtual bool AnalyseHitRate() { return false; }
};

// Column texts of the title list.
std::string DMSendMethodText(int sendMethod);
// hits / targets × 100; 0 when either is 0.
double DMHitRate(int hits, int targets);
// "DMヒット率 : %.2f％".
std::string DMHitRateCaption(double rate);
// "%d件".
std::string DMCountText(int count);

// The cached customers with these keys get RirekiUpDate = now (their
// history changed through a DM).
void MarkHistoryChanged(CMilvaneDoc& doc, const std::vector<uint32_t>& customerKeys, const CDateTime& now);

class CDMViewLogic {
public:
    // doc may be null (the screen then only says that no data is there).
    CDMViewLogic(CMilvaneDoc* doc, IDMScreen& screen);

    // ---- opening and closing
    void Open();
    void Close();

    // ---- state shown
    const std::vector<CDMListData*>& Rows() const { return m_rows; }
    const std::vector<int>& SelectedRows() const { return m_selected; }
    // The target rows (the document's target array).
    std::vector<const CDMMngData*> Targets() const;
    const std::vector<int>& SelectedTargets() const { return m_selectedTargets; }
    std::string Caption() const;
    bool ReadOnly() const;
    // Buttons 1012 ... 1018 by their command (ID_DM_ADD ... ID_DM_TARGET_DELETE, ID_DM_HIT_RATE).
    bool ButtonEnabled(int command) const;
    // Menu commands of the screen.
    bool CommandEnabled(int command) const;

    bool ShowingHitRate() const { return m_showingHitRate; }
    int HitCount() const { return m_hitCount; }
    int TargetCount() const { return m_targetCount; }
    double HitRate() const { return DMHitRate(m_hitCount, m_targetCount); }
    // The target is a hit of the DM hit-rate analysis shown.
    bool IsHit(int32_t customerKey) const;

    // ---- selection (from the widgets)
    // Selects title rows and loads the targets.
    void SelectTitles(std::vector<int> rows);
    void SelectTargets(std::vector<int> rows);
    void LoadTargets();

    // ---- commands
    void Add();
    void Copy();
    void Change();
    void Delete();
    // A click on the "済" image of a row.
    void ClickCheck(int row);
    void AddTargets();
    void RemoveTargets();
    void HitRateAnalysis();

    // Sets the DM of a row sent or unsent through the database. 1 done,
    // 0 not found, -1 failed (each after its message).
    int ChangeDmState(int row, int sendState, int historyRegistered, int sendMethod);

private:
    CDMListData* Single() const;
    CDMListData* DocCopy(int32_t key) const;
    int RowOfKey(int32_t key) const;
    void InsertNew(std::unique_ptr<CDMListData> rec);
    void StopHitRate();
    std::vector<uint32_t> TargetKeys() const;

    CMilvaneDoc* m_doc;
    IDMScreen& m_screen;
    std::vector<CDMListData*> m_rows;  // records of the document's title list, in row order
    std::vector<int> m_selected;       // ascending
    std::vector<int> m_selectedTargets;
    bool m_showingHitRate = false;
    int m_hitCount = 0;
    int m_targetCount = 0;
};
