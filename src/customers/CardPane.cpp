#include "customers/CardPane.h"

#include <algorithm>

#include "common/Ports.h"
#include "customers/ColumnText.h"
#include "customers/Kokyaku.h"

// ---------------------------------------------------------------- layout

CardRect CardTabRect(int page, int paneWidth) {
    const int left = std::max(0, paneWidth - 240);
    return {left + 80 * page, 0, 80, 25};
}

CardRect CardButtonRect(int n) { return {7 + 75 * n, 32, 70, 20}; }

CardRect CardPageRect(int w, int h) { return {7, 59, std::max(0, w - 14), std::max(0, h - 66)}; }

std::vector<int> HistoryColumnWidths(int listWidth) { return {100, 100, std::max(100, listWidth - 300), 100}; }

// ---------------------------------------------------------------- history card

const std::vector<std::string>& HistoryColumnTitles() {
    static const std::vector<std::string> titles = {"日付", "概要", "詳細", "検索ｷｰﾜｰﾄﾞ"};
    return titles;
}

std::string HistoryCellText(const CRirekiData& r, int column) {
    switch (column) {
    case 0: return r.Date.Format("%Y/%m/%d");
    case 1: return r.ActionTitle;
    case 2: return r.Action;
    case 3: return r.Keyword;
    default: return {};
    }
}

void CCardPaneLogic::SetCustomer(const CKokyaku* customer) {
    m_customer = customer;
    Notify(customerChanged);
}

void CCardPaneLogic::SetHistory(const CRirekiList* list) {
    m_rows.clear();
    m_selected = -1;
    if (list)
        for (const auto& r : *list) m_rows.push_back(r.get());
    Notify(rowsChanged);
    Notify(selectionChanged);
}

void CCardPaneLogic::AddHistoryRow(CRirekiData* entry) {
    m_rows.insert(m_rows.begin(), entry);
    m_selected = 0;
    Notify(rowsChanged);
    Notify(selectionChanged);
}

void CCardPaneLogic::UpdateHistoryRow(const CRirekiData*) { Notify(rowsChanged); }

void CCardPaneLogic::RemoveHistoryRow(const CRirekiData* entry) {
    const int row = FindRow(entry);
    if (row < 0) return;
    m_rows.erase(m_rows.begin() + row);
    if (m_selected == row) m_selected = -1;
    else if (m_selected > row) --m_selected;
    Notify(rowsChanged);
    Notify(selectionChanged);
}

void CCardPaneLogic::SelectPage(int page) {
    if (page < kCardPageHistory || page > kCardPageDetail2) return;
    m_page = page;
    Notify(pageChanged);
}

void CCardPaneLogic::Select(int row) {
    m_selected = row >= 0 && row < RowCount() ? row : -1;
    Notify(selectionChanged);
}

int CCardPaneLogic::FindRow(const CRirekiData* entry) const {
    auto it = std::find(m_rows.begin(), m_rows.end(), entry);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

void CCardPaneLogic::SortByColumn(int column) {
    if (column < 0 || column >= kHistoryColumns) return;
    const bool ascending = m_sortToggle.NextAscending();
    std::vector<CListSortKey> keys(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (column == 0) {
            keys[i].present = m_rows[i]->Date.IsValid();
            keys[i].number = m_rows[i]->Date.Days();
        } else {
            keys[i].text = HistoryCellText(*m_rows[i], column);
        }
    }
    CRirekiData* selected = SelectedEntry();
    const auto order = SortedRowOrder(column == 0 ? ListSortKind::HitNumber : ListSortKind::Text, std::move(keys),
                                      ascending, CFoldedTextOrder());
    std::vector<CRirekiData*> rows;
    rows.reserve(order.size());
    for (std::size_t i : order) rows.push_back(m_rows[i]);
    m_rows = std::move(rows);
    m_selected = FindRow(selected);
    Notify(rowsChanged);
    Notify(selectionChanged);
}

bool CCardPaneLogic::Find(const std::string& text, bool down) {
    const int rows = RowCount();
    int row = down ? m_selected + 1 : (m_selected < 0 ? rows - 1 : m_selected - 1);
    for (; row >= 0 && row < rows; row += down ? 1 : -1)
        for (int c = 0; c < kHistoryColumns; ++c)
            if (CellText(row, c).find(text) != std::string::npos) {
                Select(row);
                return true;
            }
    ShowMessage("検索が終了しました。\n", MsgIcon::Information);
    return false;
}

const CRirekiData* CCardPaneLogic::Step(int d, bool& hasMore) {
    hasMore = false;
    if (m_selected < 0) return nullptr;
    const int to = m_selected + d;
    if (to < 0 || to >= RowCount()) return nullptr;
    Select(to);
    hasMore = to + d >= 0 && to + d < RowCount();
    return Row(to);
}

const CRirekiData* CCardPaneLogic::LocateEntry(int32_t key, bool& hasPrevious, bool& hasNext) {
    hasPrevious = hasNext = false;
    for (int i = 0; i < RowCount(); ++i)
        if (Row(i)->ID == key) {
            Select(i);
            hasPrevious = HasPrevious();
            hasNext = HasNext();
            return Row(i);
        }
    return nullptr;
}

// ---------------------------------------------------------------- detail card

std::string DetailText(const CKokyaku& customer, const std::string& field) {
    if (field == "ClosingDay" && customer.ClosingDay == 99) return "月末";
    return GetFieldText(customer, nullptr, field);
}

std::vector<CDetailItem> DetailItems(const CKokyaku* customer,
                                     const std::function<std::string(const std::string&)>& labelOf) {
    std::vector<CDetailItem> items;
    for (const KokyakuField& f : KokyakuFields()) {
        if (f.flags & kFieldPhoneNum) continue;
        CDetailItem item;
        item.field = f.name;
        item.label = labelOf ? labelOf(item.field) : std::string();
        if (customer) item.value = DetailText(*customer, item.field);
        if (item.field == "URL1" || item.field == "URL2") item.kind = DetailKind::Url;
        else if (item.field.rfind("EMail", 0) == 0) item.kind = DetailKind::Mail;
        else if (item.field == "ColorMark") {
            item.kind = DetailKind::Color;
            if (customer) item.color = static_cast<uint32_t>(customer->ColorMark);
        }
        items.push_back(std::move(item));
    }
    return items;
}

CustomerMark MarkOf(const CKokyaku* customer) {
    if (!customer) return CustomerMark::None;
    if (customer->ImportantRanking == "VIP") return CustomerMark::Vip;
    if (customer->ImportantRanking == "ブラックリスト") return CustomerMark::Caution;
    return CustomerMark::None;
}
