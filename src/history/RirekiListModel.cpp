#include "history/RirekiListModel.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_set>
#include <utility>

#include "common/Ports.h"
#include "customers/MLVColSet.h"
#include "history/RirekiData.h"

const CRirekiColumnDef kRirekiColumns[kRirekiColumnCount] = {
    {"日付", 90, nullptr, nullptr},         {"顧客ID", 50, "CustomerID", nullptr},
    {"顧客氏名", 80, "Name", nullptr},      {"顧客会社", 100, "CompName", nullptr},
    {"概要", 100, nullptr, "ActionTitle"},  {"詳細", 0, nullptr, "Action"},
    {"キーワード", 100, nullptr, "Keyword"}, {"自社担当者", 80, nullptr, "TantouName"},
    {"金額", 50, nullptr, nullptr},
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

namespace {
// Rows read together when one of them is not cached, and the most kept.
constexpr std::size_t kPageRows = 128;
constexpr std::size_t kCacheRows = 16 * kPageRows;
}  // namespace

CRirekiListModel::CRirekiListModel() : m_textOrder(std::make_shared<CFoldedTextOrder>()) {}

void CRirekiListModel::SetSource(std::shared_ptr<IRirekiRowSource> source) {
    m_source = std::move(source);
    m_cache.clear();
}

std::string CRirekiListModel::CellText(const CRirekiShown* shown, int column) {
    if (!shown) return {};
    const CRirekiData& r = shown->entry;
    const CRirekiCustomerTexts* customer = shown->hasCustomer ? &shown->customer : nullptr;
    switch (column) {
    case 0: return r.Date.Format("%Y/%m/%d");
    case 1: return customer ? customer->code : std::string();
    case 2: return customer ? customer->name : std::string();
    case 3: return customer ? customer->company : std::string();
    case 4: return r.ActionTitle;
    case 5: return r.Action;
    case 6: return r.Keyword;
    case 7: return r.TantouName;
    case 8: return RirekiAmountText(r.Money);
    default: return {};
    }
}

const CRirekiShown* CRirekiListModel::Shown(int row) const {
    if (row < 0 || row >= RowCount()) return nullptr;
    const int32_t key = Item(row).ID;
    auto it = m_cache.find(key);
    if (it == m_cache.end()) {
        // The page of the row, less what is cached.
        if (m_cache.size() + kPageRows > kCacheRows) m_cache.clear();
        const std::size_t first = static_cast<std::size_t>(row) / kPageRows * kPageRows;
        const std::size_t last = std::min(first + kPageRows, m_items.size());
        std::vector<int32_t> keys;
        for (std::size_t r = first; r < last; ++r)
            if (!m_cache.count(m_items[r].ID)) keys.push_back(m_items[r].ID);
        std::vector<CRirekiShown> rows;
        if (m_source && m_source->ReadShown(keys, rows))
            for (CRirekiShown& shown : rows) {
                const int32_t k = shown.entry.ID;
                m_cache.insert_or_assign(k, std::move(shown));
            }
        // Keys not read stay marked, so that painting does not read them again.
        for (int32_t k : keys) m_cache[k];
        it = m_cache.find(key);
    }
    return it->second.entry.ID == key ? &it->second : nullptr;
}

bool CRirekiListModel::Contains(const CRirekiShown* shown, std::string_view text) {
    if (!shown) return text.empty();
    const auto in = [text](const std::string& s) { return s.find(text) != std::string::npos; };
    const CRirekiData& r = shown->entry;
    if (in(r.ActionTitle) || in(r.Action) || in(r.Keyword) || in(r.TantouName)) return true;
    const CRirekiCustomerTexts& c = shown->customer;
    if (shown->hasCustomer && (in(c.code) || in(c.name) || in(c.company))) return true;
    // The date and the amount are formatted only for a text of the characters
    // they can show.
    if (text.find_first_not_of("0123456789/.-infa") != std::string_view::npos) return false;
    return in(CellText(shown, 0)) || in(CellText(shown, kRirekiAmountColumn));
}

int CRirekiListModel::FindRow(std::string_view text, int start, bool down) const {
    const int step = down ? 1 : -1;
    // The rows near the start through the cache; the rest by one scan of
    // every entry, which is far faster than reading the rows by key.
    int row = start;
    for (int near = 0; row >= 0 && row < RowCount() && near < static_cast<int>(2 * kPageRows); row += step, ++near)
        if (Contains(Shown(row), text)) return row;
    if (row < 0 || row >= RowCount()) return -1;
    std::unordered_set<int32_t> hits;
    if (!m_source || !m_source->ForEachShown([&](const CRirekiShown& shown) {
            if (Contains(&shown, text)) hits.insert(shown.entry.ID);
        })) {
        for (; row >= 0 && row < RowCount(); row += step)
            if (Contains(Shown(row), text)) return row;
        return -1;
    }
    for (; row >= 0 && row < RowCount(); row += step)
        if (hits.count(Item(row).ID)) return row;
    return -1;
}

void CRirekiListModel::SetRows(CRirekiKeyList rows) {
    m_items = std::move(rows);
    m_cache.clear();
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

namespace {
// A value for each key of the rows (a key may be on several rows): a table
// over dense keys, a map over sparse ones.
template <class T>
class CKeyValues {
public:
    CKeyValues(const CRirekiKeyList& rows, T initial) : m_initial(initial) {
        int64_t maxKey = -1;
        for (const CRirekiKey& r : rows) maxKey = std::max<int64_t>(maxKey, r.ID);
        m_dense = maxKey < static_cast<int64_t>(4 * rows.size() + (1 << 16));
        if (m_dense) {
            m_table.assign(static_cast<std::size_t>(maxKey + 1), initial);
            m_present.assign(m_table.size(), false);
        }
        for (const CRirekiKey& r : rows) {
            if (r.ID < 0) continue;
            if (m_dense) m_present[std::size_t(r.ID)] = true;
            else m_map.emplace(r.ID, initial);
        }
    }
    // The value of a key of the rows, or null for another key.
    T* Find(int32_t key) {
        if (key < 0) return nullptr;
        if (m_dense) return std::size_t(key) < m_table.size() && m_present[std::size_t(key)] ? &m_table[std::size_t(key)] : nullptr;
        auto it = m_map.find(key);
        return it == m_map.end() ? nullptr : &it->second;
    }
    T Get(int32_t key) {
        const T* v = Find(key);
        return v ? *v : m_initial;
    }

private:
    T m_initial;
    bool m_dense = true;
    std::vector<T> m_table;
    std::vector<bool> m_present;
    std::unordered_map<int32_t, T> m_map;
};

// The row order that sorts the values ascending, equal values in row order.
std::vector<uint32_t> StableOrder(const std::vector<double>& values) {
    const std::size_t n = values.size();
    std::vector<uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    if (std::is_sorted(values.begin(), values.end())) return order;
    if (std::is_sorted(values.rbegin(), values.rend())) {
        // Reversed as a whole, with each run of equal values turned back.
        std::reverse(order.begin(), order.end());
        for (std::size_t i = 0; i < n;) {
            std::size_t j = i + 1;
            while (j < n && values[order[j]] == values[order[i]]) ++j;
            std::reverse(order.begin() + std::ptrdiff_t(i), order.begin() + std::ptrdiff_t(j));
            i = j;
        }
        return order;
    }
    // Small whole numbers (the text columns' ranks, many amounts): a counting
    // sort, stable by its nature.
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    if (*hi - *lo <= static_cast<double>(n) + 1024 &&
        std::all_of(values.begin(), values.end(), [](double v) { return v == std::floor(v); })) {
        const double low = *lo;
        std::vector<uint32_t> next(static_cast<std::size_t>(*hi - low) + 2, 0);
        for (double v : values) ++next[static_cast<std::size_t>(v - low) + 1];
        std::partial_sum(next.begin(), next.end(), next.begin());
        for (std::size_t i = 0; i < n; ++i) order[next[static_cast<std::size_t>(values[i] - low)]++] = static_cast<uint32_t>(i);
        return order;
    }
    // The row number beside each value decides between equal ones, and the
    // sort reads memory in order.
    std::vector<std::pair<double, uint32_t>> keyed(n);
    for (std::size_t i = 0; i < n; ++i) keyed[i] = {values[i], static_cast<uint32_t>(i)};
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < n; ++i) order[i] = keyed[i].second;
    return order;
}
}  // namespace

bool CRirekiListModel::SortValues(int column, std::vector<double>& values) const {
    const std::size_t n = m_items.size();
    values.assign(n, 0);
    if (column == 0) {
        for (std::size_t i = 0; i < n; ++i) values[i] = m_items[i].Date;
        return true;
    }
    if (!m_source || n == 0) return n == 0;
    if (column == kRirekiAmountColumn) {
        CKeyValues<double> amounts(m_items, 0);
        const bool read = m_source->ForEachAmount([&](int32_t key, double money) {
            if (double* v = amounts.Find(key)) *v = money;
        });
        for (std::size_t i = 0; i < n && read; ++i) values[i] = amounts.Get(m_items[i].ID);
        return read;
    }
    // Each distinct text ranked once; rows whose entry is gone show "".
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, uint32_t, Hash, std::equal_to<>> index;
    std::vector<std::string> texts{std::string()};
    index.emplace(std::string(), 0u);
    CKeyValues<uint32_t> textOf(m_items, 0);
    const bool read = m_source->ForEachText(column, [&](int32_t key, std::string_view text) {
        uint32_t* t = textOf.Find(key);
        if (!t) return;
        auto it = index.find(text);
        if (it == index.end()) {
            it = index.emplace(std::string(text), static_cast<uint32_t>(texts.size())).first;
            texts.emplace_back(text);
        }
        *t = it->second;
    });
    if (!read) return false;
    index.clear();
    const std::vector<uint32_t> ranks = m_textOrder->Ranks(std::vector<std::string_view>(texts.begin(), texts.end()));
    for (std::size_t i = 0; i < n; ++i) values[i] = static_cast<double>(ranks[textOf.Get(m_items[i].ID)]);
    return true;
}

void CRirekiListModel::Sort(int column, bool ascending) {
    if (column < 0 || column >= kRirekiColumnCount) return;
    std::vector<double> values;
    if (!SortValues(column, values)) return;
    if (!ascending)
        for (double& v : values) v = -v;
    std::vector<uint32_t> order = StableOrder(values);
    values = {};
    Reorder(order);
}

void CRirekiListModel::Reorder(const std::vector<uint32_t>& order) {
    const std::size_t n = m_items.size();
    CRirekiKeyList items(n);
    std::vector<uint8_t> selected(n);
    int focus = -1;
    for (std::size_t i = 0; i < n; ++i) {
        if (static_cast<int>(order[i]) == m_focus) focus = static_cast<int>(i);
        items[i] = m_items[order[i]];
        selected[i] = m_selected[order[i]];
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
