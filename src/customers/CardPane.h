// The card pane beside the customer list, without widgets: its layout, the
// history card (rows, sorting, find, selection and the walk of the entry
// dialogs) and the items of the detail card.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "customers/KokyakuListSort.h"
#include "history/RirekiData.h"
#include "history/RirekiNavigator.h"

struct CKokyaku;

// ---------------------------------------------------------------- layout

struct CardRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const CardRect&) const = default;
};

inline constexpr int kCardPageHistory = 0;
inline constexpr int kCardPageDetail = 1;
inline constexpr int kCardPageDetail2 = 2;

// The tab of a page: 80 × 25 at the top right; from the left edge when the
// pane is narrower than the three tabs.
CardRect CardTabRect(int page, int paneWidth);
// The n-th button (70 × 20) of the button row.
CardRect CardButtonRect(int n);
// The area of the history list and the detail cards.
CardRect CardPageRect(int paneWidth, int paneHeight);
// Widths of the history card's columns for a list of that width.
std::vector<int> HistoryColumnWidths(int listWidth);

// ---------------------------------------------------------------- history card

inline constexpr int kHistoryColumns = 4;
const std::vector<std::string>& HistoryColumnTitles();  // "日付", "概要", "詳細", "検索ｷｰﾜｰﾄﾞ"
std::string HistoryCellText(const CRirekiData& r, int column);

class CCardPaneLogic : public IRirekiNavigator {
public:
    // Called after the rows or the selection changed (the widget redraws).
    std::function<void()> rowsChanged;
    std::function<void()> selectionChanged;
    std::function<void()> customerChanged;
    std::function<void()> pageChanged;

    // ---- called by the customer screen
    void SetCustomer(const CKokyaku* customer);
    const CKokyaku* Customer() const { return m_customer; }
    // Rebuilds the rows from the list, in its order (null empties them).
    void SetHistory(const CRirekiList* list);
    // The entry becomes the first row, selected.
    void AddHistoryRow(CRirekiData* entry);
    // Redraws the row of the entry.
    void UpdateHistoryRow(const CRirekiData* entry);
    void RemoveHistoryRow(const CRirekiData* entry);
    void SelectPage(int page);
    int Page() const { return m_page; }
    // Searches the four column texts from the row after (or before) the
    // selected one; selects the hit. False after "検索が終了しました。\n".
    bool Find(const std::string& text, bool down);

    // ---- rows
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    CRirekiData* Row(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    std::string CellText(int row, int column) const { return HistoryCellText(*Row(row), column); }
    int Selected() const { return m_selected; }
    CRirekiData* SelectedEntry() const { return m_selected >= 0 ? Row(m_selected) : nullptr; }
    void Select(int row);  // -1 clears
    // Sorts by the column: each click, on any column, reverses the direction.
    void SortByColumn(int column);
    int FindRow(const CRirekiData* entry) const;
    // "修正...", "ｺﾋﾟｰ", "削除" of the history page.
    bool RowCommandsEnabled() const { return m_selected >= 0; }

    // ---- the walk of the entry dialogs
    const CRirekiData* PreviousEntry(bool& hasMore) override { return Step(-1, hasMore); }
    const CRirekiData* NextEntry(bool& hasMore) override { return Step(+1, hasMore); }
    const CRirekiData* LocateEntry(int32_t key, bool& hasPrevious, bool& hasNext) override;
    bool HasPrevious() const { return m_selected > 0; }
    bool HasNext() const { return m_selected >= 0 && m_selected + 1 < RowCount(); }

private:
    const CRirekiData* Step(int d, bool& hasMore);
    void Notify(const std::function<void()>& f) const {
        if (f) f();
    }

    const CKokyaku* m_customer = nullptr;
    std::vector<CRirekiData*> m_rows;
    int m_selected = -1;
    int m_page = kCardPageDetail;
    CSortToggle m_sortToggle;  // one direction for every column and customer
};

// ---------------------------------------------------------------- detail card

enum class DetailKind { Text, Url, Mail, Color };

struct CDetailItem {
    std::string field;
    std::string label;
    std::string value;
    DetailKind kind = DetailKind::Text;
    uint32_t color = 0xFFFFFF;  // Color: 0x00BBGGRR
};

// "ID" and the stored fields of the customer in record order, labelled by
// labelOf ("" where it has none); values empty without a customer.
std::vector<CDetailItem> DetailItems(const CKokyaku* customer,
                                     const std::function<std::string(const std::string&)>& labelOf);
// The text of one field on the detail card: the list's text, but "月末" for ClosingDay 99.
std::string DetailText(const CKokyaku& customer, const std::string& field);

enum class CustomerMark { None, Vip, Caution };
CustomerMark MarkOf(const CKokyaku* customer);
inline constexpr const char* kCautionText = "要注意！ ";
