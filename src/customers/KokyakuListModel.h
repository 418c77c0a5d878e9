// The rows, columns, selection and sorting of the customer list, without
// widgets. The list widget shows this model and reports the user's clicks to
// it; the customer screen works on it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "customers/KokyakuListColumns.h"
#include "customers/KokyakuListPrepared.h"
#include "customers/KokyakuListSort.h"

class CKokyakuRow;
struct CMLVSorunaHit;

// One row: the customer's lean row (owned by the document's list) and the
// analysis hit shown with it, or none.
struct CKokyakuListItem {
    const CKokyakuRow* row = nullptr;
    const CMLVSorunaHit* hit = nullptr;
};

// A column of the list: the field name and its heading.
struct CListColumn {
    std::string field;
    std::string label;
};

// Where the list takes its cell texts and sort keys from.
class IListCellSource {
public:
    virtual ~IListCellSource() = default;
    virtual std::string CellText(const CKokyakuListItem& item, const std::vector<CListColumn>& columns,
                                 std::size_t column) const = 0;
    virtual CListSortKey SortKey(const CKokyakuListItem& item, const std::string& field, ListSortKind kind) const = 0;
    // The text a text column sorts by: a view of what the row holds, or of
    // storage filled with it.
    virtual std::string_view SortText(const CKokyakuListItem& item, const std::string& field,
                                      std::string& storage) const {
        storage = SortKey(item, field, ListSortKind::Text).text;
        return storage;
    }
    // A hint that SortText will read the item soon: stage 0 its row, stage 1
    // (some items later, with the row at hand) what the row holds.
    virtual void Prefetch(const CKokyakuListItem& item, int stage) const {
        (void)item;
        (void)stage;
    }
    // Whether the field's sort text follows from the row's kept values alone
    // (no settings, no hit), so that it can be read ahead, and by two threads
    // at once.
    virtual bool SortTextFromRow(const std::string& field) const {
        (void)field;
        return false;
    }
};

// Calls each(i, text, scratch) with the sort text of the field of items
// [begin, end), the memory of later items fetched ahead; scratch: the text
// lives only until the next call.
template <class Each>
void ForEachSortText(const std::vector<CKokyakuListItem>& items, std::size_t begin, std::size_t end,
                     const IListCellSource& source, const std::string& field, Each each) {
    constexpr std::size_t kAhead = 8;
    std::string storage;
    for (std::size_t i = begin; i < end; ++i) {
        if (i + 2 * kAhead < end) source.Prefetch(items[i + 2 * kAhead], 0);
        if (i + kAhead < end) source.Prefetch(items[i + kAhead], 1);
        const std::string_view text = source.SortText(items[i], field, storage);
        each(i, text, !text.empty() && text.data() == storage.data());
    }
}

// Told about every change so that a view can follow.
class IKokyakuListObserver {
public:
    virtual ~IKokyakuListObserver() = default;
    virtual void ColumnsReset() = 0;
    virtual void RowsReset() = 0;  // rows replaced or reordered
    virtual void RowInserted(int row) = 0;
    virtual void RowRemoved(int row) = 0;
    virtual void RowChanged(int row) = 0;
    virtual void SelectionChanged() = 0;  // selected rows or the focused row
    virtual void ScrollTo(int row) = 0;
};

class CKokyakuListModel {
public:
    // source: the cell texts and sort keys (MakeKokyakuCellSource for customer records).
    explicit CKokyakuListModel(std::shared_ptr<const IListCellSource> source);

    void SetObserver(IKokyakuListObserver* observer) { m_observer = observer; }
    void SetTextOrder(std::shared_ptr<const ITextOrder> order);

    // ---- columns
    // Replaces all columns; widths chosen by the mode (given: for ColumnWidthMode::Given).
    void SetColumns(std::vector<CListColumn> columns, ColumnWidthMode mode, const std::vector<int>& given = {});
    const std::vector<CListColumn>& Columns() const { return m_columns; }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);  // the user resized a column
    // Writes the widths of all columns but the analysis columns to the profile.
    void StoreColumnWidths() const;

    // ---- rows
    // Replaces all rows; the selection and focus are cleared.
    void SetRows(std::vector<CKokyakuListItem> items);
    // Inserts a row without hit at pos (at most the row count); the row index or -1.
    int InsertRow(const CKokyakuRow* row, int pos);
    // The row holding the customer, after telling the view to redraw it; -1 when none.
    int UpdateRow(const CKokyakuRow* row);
    void UpdateRows(const std::vector<int>& rows);
    // Removes the row of the customer; false when no row holds it.
    bool RemovePair(const CKokyakuRow* row);
    void RemoveRow(int row);
    // Removes the rows of all the customers in one pass; the number removed.
    int RemoveRecords(const std::unordered_set<const CKokyakuRow*>& rows);
    int FindRow(const CKokyakuRow* row) const;

    int RowCount() const { return static_cast<int>(m_items.size()); }
    const CKokyakuListItem& Item(int row) const { return m_items[static_cast<std::size_t>(row)]; }
    std::string CellText(int row, int column) const;

    // ---- selection
    // The next selected row after start (-1 to begin), or -1. When no row is
    // selected, the focused row counts as the one selected row.
    int NextSelected(int start) const;
    int SelectedCount() const;
    std::vector<int> SelectedRows() const;  // by the same rule, in row order
    bool IsSelected(int row) const { return m_selected[static_cast<std::size_t>(row)] != 0; }
    int FocusedRow() const { return m_focus; }
    // Makes the row the only selected and focused row and scrolls it into view.
    void SelectOnly(int row);
    void SelectAll();
    void ClearSelection();
    // Selection as the user made it in the view (no notification back).
    void SetSelectedFromView(int row, bool selected);
    void SetFocusFromView(int row);
    // Single selection while the card pane is shown: only the first selected row stays.
    void SetSingleSelection(bool single);
    bool SingleSelection() const { return m_single; }

    // ---- sorting
    // Sorts by the column's field in the direction of the shared toggle.
    // Returns whether it sorted ascending.
    bool SortByColumn(int column);
    void Sort(int column, bool ascending);
    // One step of ranking the text columns ahead (see CPreparedRanks), for
    // lists of at least the minimum's rows.
    CPreparedRanks::Progress PrepareSorts();
    void SetPrepareMinimum(std::size_t rows) { m_prepared.SetMinimum(rows); }
    std::string RankingAhead() const { return m_prepared.Ranking(); }

private:
    // Rows from which a sort reads texts straight from the rows on two threads.
    static constexpr std::size_t kReadOnTwoThreadsFrom = 100'000;

    void ItemsChanged() {
        m_ascendingBy.clear();
        m_prepared.ItemsChanged();
    }
    void SetSelectedRaw(std::size_t row, bool selected);
    void NotifySelection();

    std::shared_ptr<const IListCellSource> m_source;
    std::shared_ptr<const ITextOrder> m_textOrder;
    IKokyakuListObserver* m_observer = nullptr;
    std::vector<CListColumn> m_columns;
    std::vector<int> m_widths;
    std::vector<CKokyakuListItem> m_items;
    std::vector<uint8_t> m_selected;
    int m_selectedCount = 0;
    int m_focus = -1;
    bool m_single = false;
    CSortToggle m_toggle;
    std::string m_ascendingBy;  // the rows are in this field's ascending order, unchanged since
    CPreparedRanks m_prepared;
};
