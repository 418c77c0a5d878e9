// The customer screen without widgets: which customers and columns are
// listed, the commands of the screen and the operations the entry dialogs
// call. The widgets of the screen implement IKokyakuScreen and forward their
// commands here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "customers/Kokyaku.h"
#include "customers/KokyakuListModel.h"

class CMilvaneDoc;
struct CKokyaku;

// What the logic asks of the screen's widgets.
class IKokyakuScreen {
public:
    virtual ~IKokyakuScreen() = default;
    virtual void SetFrameTitle(const std::string& title) = 0;
    virtual void SetCountText(const std::string& text) = 0;
    // The three extraction buttons: "抽出を解除(すべて表示)", "抽出やり直し",
    // "抽出条件を保存"; each shown and enabled, or hidden and disabled.
    virtual void ShowExtractionButtons(bool release, bool redo, bool save) = 0;
    // The card pane (when it exists): show the selected customer afresh, or clear it.
    virtual void RefreshCard() = 0;
    virtual void ClearCard() = 0;
    virtual void HideCard() = 0;
    // The save dialog of the extraction conditions; true when saved.
    virtual bool SaveExtraction() = 0;
    virtual void SwitchScreen(int screen) = 0;
    virtual void CloseMainWindow() = 0;
    // The extraction dialog in a mode (ExtractMode): 0 cancelled, 1 customers
    // extracted, 2 history extracted (the document holds the result).
    virtual int ExtractionDialog(int mode) = 0;
    // Whether the history screen can show a history result.
    virtual bool CanShowHistory() const = 0;
    // Leaves for the history screen, keeping the document's extraction.
    virtual void ShowHistoryResult() = 0;
};

inline constexpr const char* kCardWidthKey = "cardwid";
inline constexpr int kSplitterWidth = 3;

// The list's width beside the card pane: formWidth - cardwid - 3 when a width
// is stored (at least 1), kept between 100 and minFormWidth - 100; else half
// the form.
int SplitterListWidth(int formWidth, int storedCardWidth, int minFormWidth);
// A dragged splitter position kept within the same limits.
int ClampSplitter(int x, int minFormWidth);

inline constexpr const char* kKokyakuTitle = "Milvane－顧客一覧";
inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kCardTypeKey = "CardType";

// What a change or copy command works on.
struct CEntryTarget {
    const CKokyaku* record = nullptr;  // none when no row is selected (or it cannot be read)
    bool hasPrev = false;        // a row exists above it
    bool hasNext = false;        // a row exists below it
};

// The answer of NextCustomer / PrevCustomer.
struct CNeighbour {
    int32_t key = 0;      // 0: the move is impossible
    bool further = false; // another row exists beyond it in the same direction
};

class CKokyakuViewLogic {
public:
    // doc may be null (the screen then only reports that no data is there).
    CKokyakuViewLogic(CMilvaneDoc* doc, CKokyakuListModel& list, IKokyakuScreen& screen);

    // ---- set-up
    // Title, pre-extraction, rows, count and the entry screen type.
    void FirstDisplay();
    // Applies the stored pre-extraction when nothing is extracted or analysed.
    void ApplyPreExtraction();
    // Builds the rows of the current population and its columns, selects the
    // first row, updates the count and the card.
    void Populate();
    void UpdateCount();
    bool IsFiltered() const { return m_filtered; }
    // The card page the screen mode asks for: -1 none (mode 1), 0 history (mode 2), 1 detail (mode 3).
    int CardPageForMode() const;

    // ---- the current extraction
    // The document's mark that the current extraction is saved.
    bool ExtractionSaved() const;
    void SetExtractionSaved(bool saved);
    // Before leaving the current list: false cancels the command.
    bool CheckUnsavedExtraction();
    // Drops the extraction and the analysis result of the document.
    void DropExtraction();
    // After the analysis sheet: kind is the result it stored (0 none);
    // rowsCleared tells that the rows were emptied while it ran. A stored
    // list result replaces the current extraction; the DM hit rate goes to
    // the DM screen.
    void AnalysisFinished(int kind, bool rowsCleared);

    // ---- commands
    void Delete();
    void DeleteAllHistory();
    bool CanSelectAll() const { return m_list.RowCount() > 0; }
    void SelectAll();
    void Counts();
    void Update();
    // The import commands: the unsaved-extraction check (a cancelled save
    // ends the command), refuses read-only data, saves the database, runs
    // import (given the database's add of many customers; 1 = customers were
    // added), then drops the extraction and reloads every customer.
    void Import(const std::function<int(const std::function<int(CKokyakuList&, std::vector<uint32_t>&)>& add)>& import);
    // After OK of the display settings dialog.
    void DisplaySettingsChanged() { Populate(); }
    int CardType() const { return m_cardType; }
    void SetCardType(int type);
    // Searches the column texts for text from the row after (or before) the
    // first selected row; selects the hit. False after "検索が終了しました。\n".
    bool Find(const std::string& text, bool down);
    void ReleaseExtraction();
    // "抽出...", "抽出のやり直し...", "抽出条件の保存...".
    void Extract();
    void RedoExtraction();
    void SaveExtractionCommand();
    // A new customer extraction is in the document: shows it.
    void ExtractionReplaced();
    void MenuScreen();
    void Exit();
    // Change and copy: the first selected row (the focused one when none is
    // selected) becomes the only selected row; its record and neighbours.
    CEntryTarget EntryTarget();
    // Redraws the rows of the customers (after a bulk change).
    void RewriteRows(const std::vector<uint32_t>& keys);

    // ---- operations of the entry and history dialogs
    // Adds a copy of the record; the new key, or -1.
    int32_t AddCustomer(const CKokyaku& record);
    // Changes the customer key to a copy of record; the database result.
    int ModifyCustomer(int32_t key, const CKokyaku& record);
    CNeighbour NextCustomer() { return Neighbour(+1); }
    CNeighbour PrevCustomer() { return Neighbour(-1); }

    // The selected customers' keys, in row order (selection rule of the list).
    std::vector<uint32_t> SelectedKeys() const;
    // The selected customers' whole records, read from the database in row
    // order (same rule); empty, after a message, when reading fails.
    CKokyakuList SelectedRecords() const;

private:
    bool ReadOnly(const char* message) const;
    CNeighbour Neighbour(int step);
    void BuildColumns();
    void SetColumns(std::vector<CListColumn> columns, ColumnWidthMode mode, const std::vector<int>& widths = {});

    CMilvaneDoc* m_doc;
    CKokyakuListModel& m_list;
    IKokyakuScreen& m_screen;
    bool m_filtered = false;
    int m_cardType = 0;
};
