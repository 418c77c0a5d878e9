#include "customers/KokyakuListModel.h"

#include <algorithm>
#include <thread>

#include "common/TextArena.h"

CKokyakuListModel::CKokyakuListModel(std::shared_ptr<const IListCellSource> source)
    : m_source(std::move(source)),
      m_textOrder(std::make_shared<CFoldedTextOrder>()) {}

void CKokyakuListModel::SetTextOrder(std::shared_ptr<const ITextOrder> order) {
    if (order) m_textOrder = std::move(order);
}

void CKokyakuListModel::SetColumns(std::vector<CListColumn> columns, ColumnWidthMode mode,
                                   const std::vector<int>& given) {
    m_ascendingBy.clear();
    std::vector<std::string> fields;
    fields.reserve(columns.size());
    for (const auto& c : columns) fields.push_back(c.field);
    m_widths = ColumnWidths(fields, mode, given);
    m_columns = std::move(columns);
    if (m_observer) m_observer->ColumnsReset();
}

int CKokyakuListModel::ColumnWidth(int column) const {
    return column >= 0 && column < ColumnCount() ? m_widths[static_cast<std::size_t>(column)] : 0;
}

void CKokyakuListModel::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < ColumnCount()) m_widths[static_cast<std::size_t>(column)] = width;
}

void CKokyakuListModel::StoreColumnWidths() const {
    std::vector<std::string> fields;
    for (const auto& c : m_columns) fields.push_back(c.field);
    ::StoreColumnWidths(fields, m_widths);
}

void CKokyakuListModel::SetRows(std::vector<CKokyakuListItem> items) {
    ItemsChanged();
    m_items = std::move(items);
    m_selected.assign(m_items.size(), 0);
    m_selectedCount = 0;
    m_focus = -1;
    if (m_observer) {
        m_observer->RowsReset();
        m_observer->SelectionChanged();
    }
}

int CKokyakuListModel::InsertRow(const CKokyakuRow* row, int pos) {
    ItemsChanged();
    if (!row || pos < 0 || pos > RowCount()) return -1;
    m_items.insert(m_items.begin() + pos, CKokyakuListItem{row, nullptr});
    m_selected.insert(m_selected.begin() + pos, 0);
    if (m_focus >= pos) ++m_focus;
    if (m_observer) m_observer->RowInserted(pos);
    return pos;
}

int CKokyakuListModel::FindRow(const CKokyakuRow* row) const {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].row == row) return static_cast<int>(i);
    return -1;
}

int CKokyakuListModel::UpdateRow(const CKokyakuRow* row) {
    m_ascendingBy.clear();
    const int at = FindRow(row);
    if (at >= 0 && m_observer) m_observer->RowChanged(at);
    return at;
}

void CKokyakuListModel::UpdateRows(const std::vector<int>& rows) {
    m_ascendingBy.clear();
    if (!m_observer) return;
    for (int r : rows)
        if (r >= 0 && r < RowCount()) m_observer->RowChanged(r);
}

bool CKokyakuListModel::RemovePair(const CKokyakuRow* row) {
    const int at = FindRow(row);
    if (at < 0) return false;
    RemoveRow(at);
    return true;
}

void CKokyakuListModel::RemoveRow(int row) {
    ItemsChanged();
    if (row < 0 || row >= RowCount()) return;
    auto r = static_cast<std::size_t>(row);
    bool wasSelected = m_selected[r] != 0;
    if (wasSelected) --m_selectedCount;
    m_items.erase(m_items.begin() + row);
    m_selected.erase(m_selected.begin() + row);
    bool focusChanged = false;
    if (m_focus == row) {
        m_focus = -1;
        focusChanged = true;
    } else if (m_focus > row) {
        --m_focus;
    }
    if (m_observer) {
        m_observer->RowRemoved(row);
        if (wasSelected || focusChanged) m_observer->SelectionChanged();
    }
}

int CKokyakuListModel::RemoveRecords(const std::unordered_set<const CKokyakuRow*>& rows) {
    ItemsChanged();
    if (rows.empty()) return 0;
    std::size_t out = 0;
    int focus = -1;
    int selectedCount = 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (rows.count(m_items[i].row)) continue;
        if (static_cast<int>(i) == m_focus) focus = static_cast<int>(out);
        selectedCount += m_selected[i];
        m_items[out] = m_items[i];
        m_selected[out] = m_selected[i];
        ++out;
    }
    int removed = static_cast<int>(m_items.size() - out);
    if (removed == 0) return 0;
    m_items.resize(out);
    m_selected.resize(out);
    m_focus = focus;
    m_selectedCount = selectedCount;
    if (m_observer) {
        m_observer->RowsReset();
        m_observer->SelectionChanged();
    }
    return removed;
}

CPreparedRanks::Progress CKokyakuListModel::PrepareSorts() {
    std::vector<std::string> fields;
    fields.reserve(m_columns.size());
    for (const auto& c : m_columns) fields.push_back(c.field);
    return m_prepared.Advance(m_items, fields, *m_source, *m_textOrder);
}

std::string CKokyakuListModel::CellText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return {};
    return m_source->CellText(Item(row), m_columns, static_cast<std::size_t>(column));
}

int CKokyakuListModel::NextSelected(int start) const {
    if (m_selectedCount == 0) return m_focus > start ? m_focus : -1;
    for (std::size_t i = static_cast<std::size_t>(std::max(start + 1, 0)); i < m_selected.size(); ++i)
        if (m_selected[i]) return static_cast<int>(i);
    return -1;
}

int CKokyakuListModel::SelectedCount() const {
    if (m_selectedCount == 0) return m_focus >= 0 ? 1 : 0;
    return m_selectedCount;
}

std::vector<int> CKokyakuListModel::SelectedRows() const {
    std::vector<int> rows;
    for (int r = NextSelected(-1); r >= 0; r = NextSelected(r)) rows.push_back(r);
    return rows;
}

void CKokyakuListModel::SetSelectedRaw(std::size_t row, bool selected) {
    if ((m_selected[row] != 0) == selected) return;
    m_selected[row] = selected ? 1 : 0;
    m_selectedCount += selected ? 1 : -1;
}

void CKokyakuListModel::NotifySelection() {
    if (m_observer) m_observer->SelectionChanged();
}

void CKokyakuListModel::SelectOnly(int row) {
    if (row < 0 || row >= RowCount()) return;
    std::fill(m_selected.begin(), m_selected.end(), 0);
    m_selected[static_cast<std::size_t>(row)] = 1;
    m_selectedCount = 1;
    m_focus = row;
    NotifySelection();
    if (m_observer) m_observer->ScrollTo(row);
}

void CKokyakuListModel::SelectAll() {
    if (m_single) return;
    std::fill(m_selected.begin(), m_selected.end(), 1);
    m_selectedCount = RowCount();
    NotifySelection();
}

void CKokyakuListModel::ClearSelection() {
    std::fill(m_selected.begin(), m_selected.end(), 0);
    m_selectedCount = 0;
    NotifySelection();
}

void CKokyakuListModel::SetSelectedFromView(int row, bool selected) {
    if (row >= 0 && row < RowCount()) SetSelectedRaw(static_cast<std::size_t>(row), selected);
}

void CKokyakuListModel::SetFocusFromView(int row) { m_focus = row >= 0 && row < RowCount() ? row : -1; }

void CKokyakuListModel::SetSingleSelection(bool single) {
    m_single = single;
    if (!single || m_selectedCount <= 1) return;
    int first = NextSelected(-1);
    std::fill(m_selected.begin(), m_selected.end(), 0);
    m_selected[static_cast<std::size_t>(first)] = 1;
    m_selectedCount = 1;
    NotifySelection();
}

bool CKokyakuListModel::SortByColumn(int column) {
    bool ascending = m_toggle.NextAscending();
    Sort(column, ascending);
    return ascending;
}

void CKokyakuListModel::Sort(int column, bool ascending) {
    if (column < 0 || column >= ColumnCount()) return;
    const std::string field = m_columns[static_cast<std::size_t>(column)].field;
    if (!ascending && !m_ascendingBy.empty() && m_ascendingBy == field) {
        // Rows in this field's ascending order: descending is their exact reverse.
        std::reverse(m_items.begin(), m_items.end());
        std::reverse(m_selected.begin(), m_selected.end());
        m_prepared.ItemsChanged();
        if (m_focus >= 0) m_focus = RowCount() - 1 - m_focus;
        m_ascendingBy.clear();
        if (m_observer) {
            m_observer->RowsReset();
            m_observer->SelectionChanged();
        }
        return;
    }
    ListSortKind kind = SortKindOfField(field);
    std::vector<std::size_t> order;
    if (kind == ListSortKind::Text) {
        order = m_prepared.OrderOf(field, m_items, *m_source, *m_textOrder);
        if (!order.empty()) {
            if (!ascending) std::reverse(order.begin(), order.end());
        } else {
            // Not ranked ahead: only the texts, as views into the rows where
            // they hold them. Texts straight from long lists' rows are read on
            // two threads; nothing changes the rows while this waits.
            const std::size_t count = m_items.size();
            std::vector<std::string_view> texts(count);
            CTextArena made[2];
            const auto read = [&](int part, std::size_t begin, std::size_t end) {
                ForEachSortText(m_items, begin, end, *m_source, field,
                                [&](std::size_t i, std::string_view text, bool scratch) {
                                    texts[i] = scratch ? made[part].Keep(text) : text;
                                });
            };
            if (count >= kReadOnTwoThreadsFrom && m_source->SortTextFromRow(field)) {
                std::thread helper(read, 1, count / 2, count);
                read(0, 0, count / 2);
                helper.join();
            } else {
                read(0, 0, count);
            }
            order = SortedTextOrder(texts, ascending, *m_textOrder);
        }
    } else {
        std::vector<CListSortKey> keys;
        keys.reserve(m_items.size());
        for (const auto& item : m_items) keys.push_back(m_source->SortKey(item, field, kind));
        order = SortedRowOrder(kind, std::move(keys), ascending, *m_textOrder);
    }

    std::vector<CKokyakuListItem> items;
    std::vector<uint8_t> selected;
    items.reserve(order.size());
    selected.reserve(order.size());
    int focus = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        items.push_back(m_items[order[i]]);
        selected.push_back(m_selected[order[i]]);
        if (static_cast<int>(order[i]) == m_focus) focus = static_cast<int>(i);
    }
    m_items = std::move(items);
    m_selected = std::move(selected);
    m_focus = focus;
    m_prepared.ItemsChanged();
    if (ascending) m_ascendingBy = field;
    else m_ascendingBy.clear();
    if (m_observer) {
        m_observer->RowsReset();
        m_observer->SelectionChanged();
    }
}
