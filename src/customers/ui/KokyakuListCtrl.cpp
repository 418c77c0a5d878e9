#include "customers/ui/KokyakuListCtrl.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QPainter>
#include <algorithm>
#include <deque>
#include <numeric>
#include <unordered_map>

#include "common/ui/ListSelection.h"
#include "customers/KokyakuListColumns.h"

namespace {
QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
constexpr int kFirstInset = 2;
constexpr int kOtherInset = 6;
}  // namespace

// ---------------------------------------------------------------- text order

struct CCollatorTextOrder::Cache {
    // Texts kept at most; beyond it the cache starts again.
    static constexpr std::size_t kMaxTexts = 4'000'000;

    Cache() : collator(QLocale(QLocale::Japanese, QLocale::Japan)) {
        collator.setCaseSensitivity(Qt::CaseInsensitive);
    }

    // A copy of the text that lives as long as the cache, without an
    // allocation per text.
    std::string_view Keep(std::string_view text) {
        if (text.size() > kChunk / 4) return owned.emplace_back(text);
        if (chunks.empty() || chunkUsed + text.size() > kChunk) {
            chunks.push_back(std::make_unique<char[]>(kChunk));
            chunkUsed = 0;
        }
        char* at = chunks.back().get() + chunkUsed;
        std::copy(text.begin(), text.end(), at);
        chunkUsed += text.size();
        return std::string_view(at, text.size());
    }

    void Clear() {
        chunks.clear();
        owned.clear();
        chunkUsed = 0;
        slotOf.clear();
        keys.clear();
        rank.clear();
        ordered.clear();
    }

    // Adds the slots not ranked yet to the ordered ones and ranks all again.
    void Merge(std::vector<uint32_t>& added) {
        auto less = [this](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]) < 0; };
        std::sort(added.begin(), added.end(), less);
        const std::size_t middle = ordered.size();
        ordered.insert(ordered.end(), added.begin(), added.end());
        std::inplace_merge(ordered.begin(), ordered.begin() + static_cast<std::ptrdiff_t>(middle), ordered.end(), less);
        rank.resize(keys.size());
        uint32_t r = 0;
        for (std::size_t i = 0; i < ordered.size(); ++i) {
            if (i > 0 && keys[ordered[i - 1]].compare(keys[ordered[i]]) != 0) r = static_cast<uint32_t>(i);
            rank[ordered[i]] = r;
        }
    }

    static constexpr std::size_t kChunk = 1 << 20;
    std::vector<std::unique_ptr<char[]>> chunks;  // the kept texts
    std::size_t chunkUsed = 0;
    std::deque<std::string> owned;  // long kept texts
    QCollator collator;
    std::unordered_map<std::string_view, uint32_t> slotOf;  // kept text -> its slot below
    std::vector<QCollatorSortKey> keys;                // by slot
    std::vector<uint32_t> rank;                        // by slot; equal keys share the first place
    std::vector<uint32_t> ordered;                     // every slot, in text order
};

CCollatorTextOrder::CCollatorTextOrder() : m_cache(std::make_unique<Cache>()) {}
CCollatorTextOrder::~CCollatorTextOrder() = default;

std::vector<uint32_t> CCollatorTextOrder::Ranks(const std::vector<std::string>& texts) const {
    Cache& cache = *m_cache;
    if (cache.slotOf.size() + texts.size() > Cache::kMaxTexts) cache.Clear();
    // A key once per distinct text: columns such as prefectures or ranks
    // repeat a few values over many rows.
    std::vector<uint32_t> textSlot(texts.size()), added;
    cache.slotOf.reserve(cache.slotOf.size() + texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto it = cache.slotOf.find(texts[i]);
        if (it == cache.slotOf.end()) {
            it = cache.slotOf.emplace(cache.Keep(texts[i]), static_cast<uint32_t>(cache.keys.size())).first;
            cache.keys.push_back(cache.collator.sortKey(FromUtf8(texts[i])));
            added.push_back(it->second);
        }
        textSlot[i] = it->second;
    }
    if (!added.empty()) cache.Merge(added);
    std::vector<uint32_t> ranks(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) ranks[i] = cache.rank[textSlot[i]];
    return ranks;
}

// ---------------------------------------------------------------- item model

int CKokyakuItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.RowCount();
}

int CKokyakuItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.ColumnCount();
}

QVariant CKokyakuItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
        QString text = FromUtf8(m_list.CellText(index.row(), index.column()));
        if (role == Qt::ToolTipRole && text.isEmpty()) return {};
        return text;
    }
    if (role == Qt::TextAlignmentRole) {
        bool right = IsRightAlignedColumn(m_list.Columns()[static_cast<std::size_t>(index.column())].field);
        return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant CKokyakuItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_list.ColumnCount()) return {};
    const CListColumn& c = m_list.Columns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return FromUtf8(c.label);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (IsRightAlignedColumn(c.field) ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

// ---------------------------------------------------------------- delegate

QString CKokyakuListDelegate::DisplayText(const QString& text, const QFontMetrics& metrics, int cellWidth,
                                          int column) {
    int room = cellWidth - (column == 0 ? kFirstInset : kOtherInset) - kOtherInset;
    std::string utf8 = text.toStdString();
    std::string cut = CutToWidth(utf8, room, [&](std::string_view s) {
        return metrics.horizontalAdvance(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
    });
    return cut.size() == utf8.size() ? text : FromUtf8(cut);
}

void CKokyakuListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    // Highlight colours of the active group: a selected row stays marked when
    // the list loses the focus.
    const QPalette& pal = option.palette;
    painter->fillRect(option.rect, selected ? pal.brush(QPalette::Active, QPalette::Highlight)
                                            : pal.brush(QPalette::Active, QPalette::Base));
    const int column = index.column();
    const bool right =
        column < m_list.ColumnCount() && IsRightAlignedColumn(m_list.Columns()[static_cast<std::size_t>(column)].field);
    QRect textRect = option.rect.adjusted(column == 0 ? kFirstInset : kOtherInset, 0, -kOtherInset, 0);
    QString text = DisplayText(index.data(Qt::DisplayRole).toString(), option.fontMetrics, option.rect.width(), column);
    painter->save();
    painter->setFont(option.font);
    painter->setPen(selected ? pal.color(QPalette::Active, QPalette::HighlightedText)
                             : pal.color(QPalette::Active, QPalette::Text));
    painter->drawText(textRect, Qt::TextSingleLine | Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft), text);
    painter->restore();
}

QSize CKokyakuListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return {option.fontMetrics.horizontalAdvance(index.data().toString()) + 2 * kOtherInset,
            option.fontMetrics.height() + 4};
}

// ---------------------------------------------------------------- list control

CKokyakuListCtrl::CKokyakuListCtrl(std::shared_ptr<const IListCellSource> source, QWidget* parent)
    : QTreeView(parent), m_list(std::make_unique<CKokyakuListModel>(std::move(source))) {
    m_list->SetTextOrder(std::make_shared<CCollatorTextOrder>());
    m_list->SetObserver(this);
    m_model = new CKokyakuItemModel(*m_list, this);
    setModel(m_model);
    setItemDelegate(new CKokyakuListDelegate(*m_list, this));
    SetUpRowList(*this);
    setAllColumnsShowFocus(false);  // drawRow draws the row's focus rectangle
    setTextElideMode(Qt::ElideNone);
    setAccessibleName(QStringLiteral("顧客一覧"));
    ConnectListHeader(*this, *m_list);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& sel, const QItemSelection& desel) { PullSelection(sel, desel); });
    ConnectListFocus(*this, *m_list, m_syncing, [this] { emit SelectionChangedByUser(); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit RowDoubleClicked(index.row());
    });
}

CKokyakuListCtrl::~CKokyakuListCtrl() {
    m_list->StoreColumnWidths();
    m_list->SetObserver(nullptr);
    m_list->SetRows({});
}

void CKokyakuListCtrl::SetColumns(std::vector<CListColumn> columns, ColumnWidthMode mode,
                                  const std::vector<int>& widths) {
    m_list->SetColumns(std::move(columns), mode, widths);
}

void CKokyakuListCtrl::SetSingleSelection(bool single) {
    m_list->SetSingleSelection(single);
    setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
}

void CKokyakuListCtrl::ColumnsReset() {
    // Widths come from the list model; keep resize signals from overwriting them.
    std::vector<int> widths;
    for (int c = 0; c < m_list->ColumnCount(); ++c) widths.push_back(m_list->ColumnWidth(c));
    m_model->HeadersChanged();
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
        m_list->SetColumnWidth(c, widths[static_cast<std::size_t>(c)]);
        header()->resizeSection(c, widths[static_cast<std::size_t>(c)]);
    }
    SelectionChanged();
}

void CKokyakuListCtrl::RowsReset() {
    std::vector<int> widths;
    for (int c = 0; c < m_list->ColumnCount(); ++c) widths.push_back(m_list->ColumnWidth(c));
    m_model->Reset();
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) header()->resizeSection(c, widths[static_cast<std::size_t>(c)]);
}

void CKokyakuListCtrl::RowInserted(int row) { m_model->Inserted(row); }
void CKokyakuListCtrl::RowRemoved(int row) { m_model->Removed(row); }
void CKokyakuListCtrl::RowChanged(int row) { m_model->Changed(row); }

void CKokyakuListCtrl::SelectionChanged() {
    PushListSelectionSyncing(*this, *m_list, *m_model, std::max(0, m_list->ColumnCount() - 1), m_syncing);
}

void CKokyakuListCtrl::ScrollTo(int row) { ScrollListTo(*this, *m_list, *m_model, row); }

void CKokyakuListCtrl::PullSelection(const QItemSelection& selected, const QItemSelection& deselected) {
    if (m_syncing) return;
    PullListSelection(*m_list, selected, deselected);
    emit SelectionChangedByUser();
}

void CKokyakuListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    if (hasFocus() && index.row() == m_list->FocusedRow()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = QRect(option.rect.left(), option.rect.top(), header()->length() - header()->offset(),
                           option.rect.height());
        focus.backgroundColor = m_list->IsSelected(index.row()) ? palette().color(QPalette::Highlight)
                                                                : palette().color(QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
}

void CKokyakuListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuAt(event->globalPos());
}
