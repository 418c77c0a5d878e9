#include "history/ui/RirekiListCtrl.h"

#include <QHeaderView>

#include "common/ui/ListSelection.h"
#include "customers/ui/KokyakuListCtrl.h"

namespace {
QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
Qt::Alignment ColumnAlignment(int column) {
    return Qt::AlignVCenter | (column == kRirekiAmountColumn ? Qt::AlignRight : Qt::AlignLeft);
}
}  // namespace

// ---------------------------------------------------------------- item model

int CRirekiItemModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_list.RowCount(); }

int CRirekiItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRirekiColumnCount;
}

QVariant CRirekiItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
        QString text = FromUtf8(m_list.CellText(index.row(), index.column()));
        if (role == Qt::ToolTipRole && text.isEmpty()) return {};
        return text;
    }
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ColumnAlignment(index.column()));
    return {};
}

QVariant CRirekiItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kRirekiColumnCount) return {};
    if (role == Qt::DisplayRole)
        return section < static_cast<int>(m_headings.size()) ? FromUtf8(m_headings[std::size_t(section)])
                                                              : QString::fromUtf8(kRirekiColumns[section].heading);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ColumnAlignment(section));
    return {};
}

void CRirekiItemModel::SetHeadings(std::vector<std::string> headings) {
    m_headings = std::move(headings);
    emit headerDataChanged(Qt::Horizontal, 0, kRirekiColumnCount - 1);
}

// ---------------------------------------------------------------- list control

CRirekiListCtrl::CRirekiListCtrl(QWidget* parent)
    : QTableView(parent), m_list(std::make_unique<CRirekiListModel>()) {
    m_list->SetTextOrder(std::make_shared<CCollatorTextOrder>());
    m_list->SetObserver(this);
    m_model = new CRirekiItemModel(*m_list, this);
    setModel(m_model);
    SetUpRowTable(*this);
    setTextElideMode(Qt::ElideRight);
    setAccessibleName(QStringLiteral("履歴一覧"));
    // Selected rows stay marked while the list has no focus.
    QPalette pal = palette();
    pal.setBrush(QPalette::Inactive, QPalette::Highlight, pal.brush(QPalette::Active, QPalette::Highlight));
    pal.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                 pal.brush(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
    ConnectListHeader(*this, header(), *m_list);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& sel, const QItemSelection& desel) { PullSelection(sel, desel); });
    ConnectListFocus(*this, *m_list, m_syncing, [] {});
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit RowDoubleClicked(index.row());
    });
}

CRirekiListCtrl::~CRirekiListCtrl() { m_list->SetObserver(nullptr); }

void CRirekiListCtrl::SetHeadings(std::vector<std::string> headings) { m_model->SetHeadings(std::move(headings)); }

void CRirekiListCtrl::ApplyWidths() {
    const std::vector<int> widths = m_list->Widths();
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) header()->resizeSection(c, widths[std::size_t(c)]);
}

void CRirekiListCtrl::RowsReset() {
    m_model->Reset();
    ApplyWidths();
}

void CRirekiListCtrl::RowsAboutToBeRemoved(int first, int last) {
    m_syncing = true;
    m_model->BeginRemove(first, last);
}

void CRirekiListCtrl::RowsRemoved() {
    m_model->EndRemove();
    m_syncing = false;
}

void CRirekiListCtrl::SelectionChanged() {
    PushListSelectionSyncing(*this, *m_list, *m_model, kRirekiColumnCount - 1, m_syncing);
}

void CRirekiListCtrl::ScrollTo(int row) { ScrollListTo(*this, *m_list, *m_model, row); }

void CRirekiListCtrl::PullSelection(const QItemSelection& selected, const QItemSelection& deselected) {
    if (m_syncing) return;
    PullListSelection(*m_list, selected, deselected);
    emit SelectionChangedByUser();
}
