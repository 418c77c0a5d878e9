// The rows, columns, selection and sorting of the history list, without
// widgets. A row holds an entry's key and date; what the rows show is read
// from a row source a page at a time and kept in a small cache.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "customers/KokyakuListSort.h"
#include "history/RirekiData.h"

// ---- columns

inline constexpr int kRirekiColumnCount = 9;
inline constexpr int kRirekiDetailColumn = 5;
inline constexpr int kRirekiAmountColumn = 8;
inline constexpr const char* kRListSection = "Settings-RList";

struct CRirekiColumnDef {
    const char* heading;
    int defaultWidth;  // 0 for the detail column, which takes the rest
    const char* customerField;  // customer field shown, whose display name replaces the heading, or nullptr
    const char* entryField;     // the entry's text field shown, or nullptr
};
extern const CRirekiColumnDef kRirekiColumns[kRirekiColumnCount];

// The headings; those of the customer columns come from the column set of the
// installation's data folder when it loads and holds the field.
std::vector<std::string> RirekiColumnHeadings(const std::string& installDir);
// The detail column's default: the client width less the other defaults, 200 when that is below 201.
int RirekiDetailDefaultWidth(int clientWidth);
// The least width of all default columns together (the detail column at its
// smallest default width).
int RirekiDefaultColumnsWidth();
// "Settings-RList"/"colwidth%d" with the defaults; a stored width below 1 becomes 20.
std::vector<int> LoadRirekiColumnWidths(int clientWidth);
void StoreRirekiColumnWidths(const std::vector<int>& widths);

// The amount as the list shows it.
std::string RirekiAmountText(double money);

// ---- the list

// Where the rows' texts and the sort values beyond the dates come from.
class IRirekiRowSource {
public:
    virtual ~IRirekiRowSource() = default;
    // The entries of these keys as shown; keys without an entry are left out.
    // False when the read failed.
    virtual bool ReadShown(const std::vector<int32_t>& keys, std::vector<CRirekiShown>& rows) = 0;
    // Every entry's key with its text in a text column (1..7), or its amount.
    virtual bool ForEachText(int column, const std::function<void(int32_t key, std::string_view text)>& each) = 0;
    virtual bool ForEachAmount(const std::function<void(int32_t key, double money)>& each) = 0;
    // Every entry as shown (the object is reused between calls).
    virtual bool ForEachShown(const std::function<void(const CRirekiShown& shown)>& each) = 0;
};

class IRirekiListObserver {
public:
    virtual ~IRirekiListObserver() = default;
    virtual void RowsReset() = 0;  // rows replaced or reordered
    virtual void RowsAboutToBeRemoved(int first, int last) = 0;
    virtual void RowsRemoved() = 0;
    virtual void SelectionChanged() = 0;
    virtual void ScrollTo(int row) = 0;
};

class CRirekiListModel {
public:
    CRirekiListModel();

    void SetObserver(IRirekiListObserver* observer) { m_observer = observer; }
    // The case-insensitive text order of the text columns (code point order by default).
    void SetTextOrder(std::shared_ptr<const ITextOrder> order) { m_textOrder = std::move(order); }
    // The source of what the rows show; the cache starts afresh.
    void SetSource(std::shared_ptr<IRirekiRowSource> source);

    // ---- rows
    // Replaces every row; the selection, the focus and the cache are cleared.
    void SetRows(CRirekiKeyList rows);
    int RowCount() const { return static_cast<int>(m_items.size()); }
    const CRirekiKey& Item(int row) const { return m_items[static_cast<std::size_t>(row)]; }
    // The row as shown, read with its page when not cached; null when its
    // entry cannot be read. Valid until the next read.
    const CRirekiShown* Shown(int row) const;
    std::string CellText(int row, int column) const { return CellText(Shown(row), column); }
    static std::string CellText(const CRirekiShown* shown, int column);
    // Whether one of the row's nine texts contains text (bytes, case-sensitive).
    static bool Contains(const CRirekiShown* shown, std::string_view text);
    // The first row from start on, stepping down or up, that contains text; -1 when none.
    int FindRow(std::string_view text, int start, bool down) const;
    // Removes the rows (any order); their selection goes with them.
    void RemoveRows(std::vector<int> rows);

    // ---- selection (rows selected in the control; the focus alone selects nothing)
    bool IsSelected(int row) const { return m_selected[static_cast<std::size_t>(row)] != 0; }
    int SelectedCount() const { return m_selectedCount; }
    // The next selected row after start (-1 to begin), or -1.
    int NextSelected(int start) const;
    std::vector<int> SelectedRows() const;
    int FocusedRow() const { return m_focus; }
    // The row alone selected and focused, scrolled into view.
    void SelectOnly(int row);
    void ClearSelection();
    // The user's own changes in the control (no notification back).
    void SetSelectedFromView(int row, bool selected);
    void SetFocusFromView(int row) { m_focus = row; }

    // ---- sorting
    // Sorts by the column in the direction of the shared toggle; true when ascending.
    bool SortByColumn(int column);
    // Equal rows keep their order. The date sorts by the rows' own dates;
    // the other columns read their values from the source.
    void Sort(int column, bool ascending);

    // ---- widths
    const std::vector<int>& Widths() const { return m_widths; }
    void SetWidths(std::vector<int> widths) { m_widths = std::move(widths); }
    void SetColumnWidth(int column, int width);

private:
    // Each row's value in the column (the text columns as ranks); false when
    // the source could not give them.
    bool SortValues(int column, std::vector<double>& values) const;
    void Reorder(const std::vector<uint32_t>& order);

    IRirekiListObserver* m_observer = nullptr;
    std::shared_ptr<const ITextOrder> m_textOrder;
    std::shared_ptr<IRirekiRowSource> m_source;
    CRirekiKeyList m_items;
    std::vector<uint8_t> m_selected;
    int m_selectedCount = 0;
    int m_focus = -1;
    CSortToggle m_toggle;
    std::vector<int> m_widths;
    // Shown rows by key; an entry that could not be read has ID -1.
    mutable std::unordered_map<int32_t, CRirekiShown> m_cache;
};
