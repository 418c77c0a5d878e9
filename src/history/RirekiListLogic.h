// The history list screen without widgets: filling the rows from the
// document, the count, find, view, delete, release of the extraction, the
// unsaved-extraction check and closing. The screen's widgets implement
// IRirekiScreen and forward their commands here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "customers/Kokyaku.h"
#include "history/RirekiData.h"
#include "history/RirekiListModel.h"

class CMilvaneDoc;

class IRirekiScreen {
public:
    virtual ~IRirekiScreen() = default;
    virtual void SetCountText(const std::string& text) = 0;
    // The three extraction buttons, shown and enabled or hidden and disabled.
    virtual void ShowExtractionButtons(bool shown) = 0;
    // The save dialog of the extraction conditions; true when saved.
    virtual bool SaveExtraction() = 0;
    virtual void SwitchScreen(int screen) = 0;
    virtual void CloseMainWindow() = 0;
    // The extraction dialog in a mode (ExtractMode) with the result preset
    // (0 customers, 1 history): 0 cancelled, 1 customers extracted, 2 history
    // extracted (the document holds the result).
    virtual int ExtractionDialog(int mode, int resultKind) = 0;
    // The analysis sheet: 0 when cancelled, else the kind of the result the
    // document now holds (1..7).
    virtual int AnalysisSheet() = 0;
    // Whether the main window can show that screen.
    virtual bool ScreenBuilt(int screen) const = 0;
};

inline constexpr const char* kRirekiTitle = "Milvane－履歴一覧";

// What the view-only history dialog opens on.
struct CRirekiListTarget {
    const CRirekiData* record = nullptr;  // none after "履歴が選択されていません。"
    bool hasPrevious = false;
    bool hasNext = false;
};

// The selected entries of one customer, for printing, read whole.
struct CRirekiCustomerEntries {
    int32_t customerKey = 0;
    std::unique_ptr<CKokyaku> customer;  // none when the database has no such customer
    CRirekiList entries;                 // in row order
};

class CRirekiListLogic {
public:
    // doc may be null (the screen then only reports that nothing can be shown).
    CRirekiListLogic(CMilvaneDoc* doc, CRirekiListModel& list, IRirekiScreen& screen);

    // Column widths from the profile for a view of that client width.
    void LoadColumnWidths(int clientWidth);
    // Rebuilds every row from the document's history list (their texts are
    // read from its database), the extraction buttons and the count. False
    // (after its message) without a document.
    bool Fill();
    void UpdateCount();
    bool ExtractionShown() const { return m_extractionShown; }

    bool HasSelection() const { return m_list.RowCount() > 0 && m_list.SelectedCount() > 0; }
    // The first selected row becomes the only one; its record (read by key,
    // valid until the next read) and neighbours.
    CRirekiListTarget ViewTarget();
    // Navigation of the view-only dialog: the neighbour of the one selected
    // row becomes selected; hasMore tells whether another lies beyond it.
    const CRirekiData* NextEntry(bool& hasMore) { return Neighbour(+1, hasMore); }
    const CRirekiData* PreviousEntry(bool& hasMore) { return Neighbour(-1, hasMore); }
    // The row of the entry with that key becomes the only selected row; null when none has it.
    const CRirekiData* LocateEntry(int32_t key, bool& hasPrevious, bool& hasNext);

    void Delete();
    // Searches the nine column texts from the row after (or before) the first
    // selected row; false after "検索が終了しました。\n".
    bool Find(const std::string& text, bool down);

    // ---- the current extraction
    // The document's mark that the current extraction is saved.
    bool ExtractionSaved() const;
    void SetExtractionSaved(bool saved);
    // Before leaving the rows shown: false abandons the command.
    bool CheckUnsavedExtraction();
    void ReleaseExtraction();
    void SaveConditions();
    // "抽出...": a customer result goes to the customer list, a history result refills.
    void Extract();
    // "抽出のやり直し...": the current history conditions again.
    void RedoExtraction();
    // "ソルナ分析...": a DM hit rate goes to the DM screen, every other result
    // to the customer list.
    void Analysis();
    // Set just before switching to a screen that takes over the result.
    void HandToCustomerList() { m_handedToCustomerList = true; }
    void HandToDmScreen() { m_handedToDmScreen = true; }

    void MenuScreen();
    void Exit();
    // Destruction of the view: drops a result no other screen took, stores
    // the widths, removes every row.
    void Close();

    // Distinct customers of the selected rows in row order, each with its
    // selected entries (entries gone from the database are left out).
    std::vector<CRirekiCustomerEntries> SelectedByCustomer() const;

private:
    const CRirekiData* Neighbour(int step, bool& hasMore);
    // The entry of the row read whole into m_current.
    const CRirekiData* ReadEntry(int row);
    void DropExtraction();

    CMilvaneDoc* m_doc;
    CRirekiListModel& m_list;
    IRirekiScreen& m_screen;
    bool m_extractionShown = false;
    bool m_handedToCustomerList = false;
    bool m_handedToDmScreen = false;
    CRirekiData m_current;  // the entry last read for the view dialog
};
