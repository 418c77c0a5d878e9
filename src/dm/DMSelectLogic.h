// The two selection dialogs of the DM subsystem without widgets: choosing a
// DM title for customers chosen elsewhere (or a DM whose targets are
// printed), and ticking customers (to make them targets, or to print them).
// Also the customer screen's hand-over of its selected customers to a DM.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dm/DMData.h"
#include "dm/DMTitleForm.h"

class CMilvaneDoc;
class CKokyakuRow;

using CDMKeys = std::vector<uint32_t>;

// The DM title selection dialog: mode 1 adds the given customers to the
// chosen DM; mode 2 chooses a DM whose targets are printed.
class CDMTitleSelectLogic {
public:
    CDMTitleSelectLogic(CMilvaneDoc* doc, int mode, CDMKeys customerKeys = {});

    // Reads all titles into the dialog's own list.
    void Open();
    const CDMList& Titles() const { return m_titles; }
    int Mode() const { return m_mode; }
    bool HistoryShown() const { return m_mode == 2; }
    bool HistoryEnabled() const;
    bool NewButtonShown() const { return m_mode == 1; }
    bool OkEnabled() const { return !m_titles.empty(); }

    // OK with the chosen row (-1: none). True when the dialog closes with OK.
    bool Ok(int row);
    // "DMタイトルを新規登録...": editTitle runs the DM title dialog; true
    // when the selection dialog closes with OK.
    bool RegisterNew(const std::function<bool(CDMTitleForm&)>& editTitle);

    bool keepHistory = true;  // "履歴に残す"
    // Mode 2 results.
    CDMKeys resultKeys;
    int32_t resultDMKey = 0;

private:
    CMilvaneDoc* m_doc;
    int m_mode;
    CDMKeys m_customers;
    CDMList m_titles;
};

// The customer selection dialog: mode 1 targets of a DM, mode 2 form printing.
class CCustomerSelectLogic {
public:
    CCustomerSelectLogic(CMilvaneDoc& doc, int mode);

    int Mode() const { return m_mode; }
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const CKokyakuRow& Row(int row) const { return *m_rows[static_cast<std::size_t>(row)]; }
    bool Ticked(int row) const { return m_ticked[static_cast<std::size_t>(row)]; }
    void SetTicked(int row, bool ticked) { m_ticked[static_cast<std::size_t>(row)] = ticked; }
    bool HistoryShown() const { return m_mode == 2; }

    // "すべて選択": every row ticked (the widgets select them all).
    void TickAll();
    // After OK of the extraction dialog: the rows of the extraction's
    // customers, ticked; the message when an extraction exists but names none.
    std::vector<int> ApplyExtraction();
    // OK: false keeps the dialog open after its message.
    bool Ok();
    void Cancel();

    bool keepHistory;  // "履歴に残す" (mode 2)
    // Results: mode 1 one target per ticked customer; mode 2 the ticked customers' keys.
    std::vector<CDMMngData> targets;
    std::vector<uint32_t> records;

private:
    void DiscardExtraction();

    CMilvaneDoc& m_doc;
    int m_mode;
    std::vector<const CKokyakuRow*> m_rows;
    std::vector<bool> m_ticked;
};

// The customer screen's "DM登録画面へ" with the selected customers:
// chooseTitle opens the DM title selection dialog in mode 1 (true on OK).
// True when the main window is to show the DM screen.
bool CustomersToDm(CMilvaneDoc* doc, const CDMKeys& selected,
                   const std::function<bool(const CDMKeys&)>& chooseTitle);
