// The rows, columns, selection and sorting of the history list, without
// widgets. Each row joins a history record (owned by the document) with the
// texts of its customer taken when the list was filled.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "customers/KokyakuListSort.h"

struct CRirekiData;

// The texts of an entry's customer as they were when the rows were filled,
// shared by all the customer's entries.
struct CRirekiCustomerTexts {
    std::string code;  // the customer's CustomerID text
    std::string name;
    std::string company;
};

struct CRirekiListItem {
    CRirekiData* record = nullptr;
    std::shared_ptr<const CRirekiCustomerTexts> customer;  // none when the customer is missing
};

// ---- columns

inline constexpr int kRirekiColumnCount = 9;
inline constexpr int kRirekiDetailColumn = 5;
inline constexpr int kRirekiAmountColumn = 8;
inline constexpr const char* kRListSection = "Settings-RList";

struct CRirekiColumnDef {
    const char* heading;
    int defaultWidth;  // 0 for the detail column, which takes the rest
    const char* customerField;  // customer field whose display name replaces the heading, or nullptr
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

    // ---- rows
    // Replaces every row; the selection and the focus are cleared.
    void SetRows(std::vector<CRirekiListItem> items);
    int RowCount() const { return static_cast<int>(m_items.size()); }
    const CRirekiListItem& Item(int row) const { return m_items[static_cast<std::size_t>(row)]; }
    std::string CellText(int row, int column) const { return CellText(Item(row), column); }
    static std::string CellText(const CRirekiListItem& item, int column);
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
    void Sort(int column, bool ascending);

    // ---- widths
    const std::vector<int>& Widths() const { return m_widths; }
    void SetWidths(std::vector<int> widths) { m_widths = std::move(widths); }
    void SetColumnWidth(int column, int width);

private:
    IRirekiListObserver* m_observer = nullptr;
    std::shared_ptr<const ITextOrder> m_textOrder;
    std::vector<CRirekiListItem> m_items;
    std::vector<uint8_t> m_selected;
    int m_selectedCount = 0;
    int m_focus = -1;
    CSortToggle m_toggle;
    std::vector<int> m_widths;
};
