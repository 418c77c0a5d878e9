#include "history/RirekiListModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "common/Ports.h"
#include "customers/MLVColSet.h"
#include "history/RirekiData.h"

const CRirekiColumnDef kRirekiColumns[kRirekiColumnCount] = {
    {"日付", 90, nullptr},          {"顧客ID", 50, "CustomerID"}, {"顧客氏名", 80, "Name"},
    {"顧客会社", 100, "CompName"},  {"概要", 100, nullptr},       {"詳細", 0, nullptr},
    {"キーワード", 100, nullptr},   {"自社担当者", 80, nullptr},  {"金額", 50, nullptr},
};

std::vector<std::string> RirekiColumnHeadings(const std::string& installDir) {
    std::vector<std::string> headings;
    for (const auto& c : kRirekiColumns) headings.emplace_back(c.heading);
    CMLVColSet set(installDir);
    if (!set.Load()) return headings;
    for (int i = 0; i < kRirekiColumnCount; ++i) {
        if (!kRirekiColumns[i].customerField) continue;
        if (const CMLVCol* col = set.Find(kRirekiColumns[i].customerField)) headings[std::size_t(i)] = col->label;
    }
    return headings;
}

namespace {
constexpr int kLeastDetailWidth = 200;
int OtherColumnsWidth() {
    int others = 0;
    for (const auto& c : kRirekiColumns) others += c.defaultWidth;
    return others;
}
}  // namespace

int RirekiDetailDefaultWidth(int clientWidth) {
    const int width = clientWidth - OtherColumnsWidth();
    return width <= kLeastDetailWidth ? kLeastDetailWidth : width;
}

int RirekiDefaultColumnsWidth() { return OtherColumnsWidth() + kLeastDetailWidth; }

namespace {
std::string WidthKey(int column) { return "colwidth" + std::to_string(column); }
}  // namespace

std::vector<int> LoadRirekiColumnWidths(int clientWidth) {
    std::vector<int> widths;
    for (int i = 0; i < kRirekiColumnCount; ++i) {
        const int def = i == kRirekiDetailColumn ? RirekiDetailDefaultWidth(clientWidth) : kRirekiColumns[i].defaultWidth;
        const int w = Ports::Profile().GetInt(kRListSection, WidthKey(i), def);
        widths.push_back(w < 1 ? 20 : w);
    }
    return widths;
}

void StoreRirekiColumnWidths(const std::vector<int>& widths) {
    for (int i = 0; i < kRirekiColumnCount && i < static_cast<int>(widths.size()); ++i)
        Ports::Profile().WriteInt(kRListSection, WidthKey(i), widths[std::size_t(i)]);
}

std::string RirekiAmountText(double money) { return money == 0 ? "0" : FormatAmount(money); }

// ---------------------------------------------------------------- rows

CRirekiListModel::CRirekiListModel() : m_textOrder(std::make_shared<CFoldedTextOrder>()) {}

std::string CRirekiListModel::CellText(const CRirekiListItem& item, int column) {
    const CRirekiData* r = item.record;
    if (!r) return {};
    switch (column) {
    case 0: return r->Date.Format("%Y/%m/%d");
    case 1: return item.customer ? item.customer->code : std::string();
    case 2: return item.customer ? item.customer->name : std::string();
    case 3: return item.customer ? item.customer->company : std::string();
    case 4: return r->ActionTitle;
    case 5: return r->Action;
    case 6: return r->Keyword;
    case 7: return r->TantouName;
    case 8: return RirekiAmountText(r->Money);
    default: return {};
    }
}

void CRirekiListModel::SetRows(std::vector<CRirekiListItem> items) {
    m_items = std::move(items);
    m_selected.assign(m_items.size(), 0);
    m_selectedCount = 0;
    m_focus = -1;
    if (m_observer) {
        m_observer->RowsReset();
        m_observer->SelectionChanged();
    }
}

void CRirekiListModel::RemoveRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](int r) { return r < 0 || r >= RowCount(); }),
               rows.end());
    if (rows.empty()) return;
    // Contiguous runs, removed from the bottom so that the indexes above stay valid.
    std::vector<std::pair<int, int>> runs;
    for (int r : rows) {
        if (!runs.empty() && runs.back().second + 1 == r) runs.back().second = r;
        else runs.emplace_back(r, r);
    }
    int focus = m_focus;
    auto eraseRun = [&](int first, int last) {
        for (int r = first; r <= last; ++r) m_selectedCount -= m_selected[std::size_t(r)];
        m_items.erase(m_items.begin() + first, m_items.begin() + last + 1);
        m_selected.erase(m_selected.begin() + first, m_selected.begin() + last + 1);
        if (focus > last) focus -= last - first + 1;
        else if (focus >= first) focus = -1;
    };
    if (runs.size() > 64) {
        // Many scattered rows: one pass, the control starts afresh.
        std::vector<uint8_t> gone(m_items.size(), 0);
        for (int r : rows) gone[std::size_t(r)] = 1;
        std::size_t out = 0;
        int newFocus = -1;
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            if (gone[i]) {
                m_selectedCount -= m_selected[i];
                continue;
            }
            if (static_cast<int>(i) == m_focus) newFocus = static_cast<int>(out);
            m_items[out] = std::move(m_items[i]);
            m_selected[out] = m_selected[i];
            ++out;
        }
        m_items.resize(out);
        m_selected.resize(out);
        m_focus = newFocus;
        if (m_observer) {
            m_observer->RowsReset();
            m_observer->SelectionChanged();
        }
        return;
    }
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        if (m_observer) m_observer->RowsAboutToBeRemoved(it->first, it->second);
        eraseRun(it->first, it->second);
        if (m_observer) m_observer->RowsRemoved();
    }
    m_focus = focus;
    if (m_observer) m_observer->SelectionChanged();
}

// ---------------------------------------------------------------- selection

int CRirekiListModel::NextSelected(int start) const {
    if (m_selectedCount == 0) return -1;
    for (std::size_t r = static_cast<std::size_t>(std::max(start + 1, 0)); r < m_selected.size(); ++r)
        if (m_selected[r]) return static_cast<int>(r);
    return -1;
}

std::vector<int> CRirekiListModel::SelectedRows() const {
    std::vector<int> rows;
    for (int r = NextSelected(-1); r >= 0; r = NextSelected(r)) rows.push_back(r);
    return rows;
}

void CRirekiListModel::SelectOnly(int row) {
    if (row < 0 || row >= RowCount()) return;
    if (m_selectedCount > 0) std::fill(m_selected.begin(), m_selected.end(), 0);
    m_selected[std::size_t(row)] = 1;
    m_selectedCount = 1;
    m_focus = row;
    if (m_observer) {
        m_observer->SelectionChanged();
        m_observer->ScrollTo(row);
    }
}

void CRirekiListModel::ClearSelection() {
    std::fill(m_selected.begin(), m_selected.end(), 0);
    m_selectedCount = 0;
    if (m_observer) m_observer->SelectionChanged();
}

void CRirekiListModel::SetSelectedFromView(int row, bool selected) {
    if (row < 0 || row >= RowCount()) return;
    uint8_t& s = m_selected[std::size_t(row)];
    if (s == uint8_t(selected)) return;
    s = selected;
    m_selectedCount += selected ? 1 : -1;
}

// ---------------------------------------------------------------- sorting

bool CRirekiListModel::SortByColumn(int column) {
    if (column < 0 || column >= kRirekiColumnCount) return false;
    const bool ascending = m_toggle.NextAscending();
    Sort(column, ascending);
    return ascending;
}

void CRirekiListModel::Sort(int column, bool ascending) {
    const std::size_t n = m_items.size();
    // Each row's key beside its row number, negated for descending: equal
    // rows keep their order either way, and the sort reads memory in order.
    std::vector<std::pair<double, std::size_t>> keyed(n);
    auto keyBy = [&](auto keyOf) {
        for (std::size_t i = 0; i < n; ++i) {
            const double key = keyOf(i);
            keyed[i] = {ascending ? key : -key, i};
        }
    };
    if (column == 0) {
        // Unset dates come before set ones.
        keyBy([&](std::size_t i) {
            const CDateTime& d = m_items[i].record->Date;
            return d.IsValid() ? d.Days() : -1e300;
        });
    } else if (column == kRirekiAmountColumn) {
        keyBy([&](std::size_t i) { return m_items[i].record->Money; });
    } else if (column >= 1 && column <= 7) {
        std::vector<std::string> texts;
        texts.reserve(n);
        for (const auto& item : m_items) texts.push_back(CellText(item, column));
        const std::vector<uint32_t> ranks = m_textOrder->Ranks(texts);
        keyBy([&](std::size_t i) { return static_cast<double>(ranks[i]); });
    } else {
        return;
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = keyed[i].second;

    std::vector<CRirekiListItem> items;
    std::vector<uint8_t> selected;
    items.reserve(n);
    selected.reserve(n);
    int focus = -1;
    for (std::size_t i = 0; i < n; ++i) {
        if (static_cast<int>(order[i]) == m_focus) focus = static_cast<int>(i);
        items.push_back(std::move(m_items[order[i]]));
        selected.push_back(m_selected[order[i]]);
    }
    m_items = std::move(items);
    m_selected = std::move(selected);
    m_focus = focus;
    if (m_observer) {
        m_observer->RowsReset();
        m_observer->SelectionChanged();
    }
}

void CRirekiListModel::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < static_cast<int>(m_widths.size())) m_widths[std::size_t(column)] = width;
}
