// The report list of the customer screen: a tree view without branches over
// CKokyakuListModel. Cells are read on demand; the model keeps every rule
// (selection, sorting, widths), this widget only draws and forwards input.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <memory>

#include "customers/KokyakuListModel.h"

// Case-insensitive Japanese locale order. The collator's sort key of each
// text and its place among all texts seen are kept between sorts, so that
// sorting again by a column (or by another column of known texts) builds no
// key and compares nothing.
class CCollatorTextOrder final : public ITextOrder {
public:
    CCollatorTextOrder();
    ~CCollatorTextOrder() override;
    std::vector<uint32_t> Ranks(const std::vector<std::string_view>& texts) const override;
    int Compare(std::string_view a, std::string_view b) const override;
    std::unique_ptr<ITextOrder> Fresh() const override { return std::make_unique<CCollatorTextOrder>(); }
    void Stop() const override;

private:
    struct Cache;
    std::unique_ptr<Cache> m_cache;
};

class CKokyakuItemModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CKokyakuItemModel(CKokyakuListModel& list, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_list(list) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void Inserted(int row) {
        beginInsertRows({}, row, row);
        endInsertRows();
    }
    void Removed(int row) {
        beginRemoveRows({}, row, row);
        endRemoveRows();
    }
    void Changed(int row) { emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1))); }
    void HeadersChanged() {
        beginResetModel();
        endResetModel();
    }

private:
    CKokyakuListModel& m_list;
};

// Draws one cell: highlight colours for selected rows also without focus,
// one line vertically centred, 2 pixels inside the first column and 6 inside
// the others, aligned as the column, cut with "..." when too wide.
class CKokyakuListDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CKokyakuListDelegate(CKokyakuListModel& list, QObject* parent = nullptr)
        : QStyledItemDelegate(parent), m_list(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The text as drawn in a cell of the given width.
    static QString DisplayText(const QString& text, const QFontMetrics& metrics, int cellWidth, int column);

private:
    CKokyakuListModel& m_list;
};

class CKokyakuListCtrl final : public QTreeView, private IKokyakuListObserver {
    Q_OBJECT
public:
    // source: cell texts and sort keys (MakeKokyakuCellSource() for customers).
    explicit CKokyakuListCtrl(std::shared_ptr<const IListCellSource> source, QWidget* parent = nullptr);
    // Stores the column widths, then drops all rows.
    ~CKokyakuListCtrl() override;

    CKokyakuListModel& List() { return *m_list; }

    // ---- the list control's operations (see CKokyakuListModel)
    void SetColumns(std::vector<CListColumn> columns, ColumnWidthMode mode, const std::vector<int>& widths = {});
    void SetRows(std::vector<CKokyakuListItem> items) { m_list->SetRows(std::move(items)); }
    int InsertRow(const CKokyakuRow* row, int pos) { return m_list->InsertRow(row, pos); }
    int UpdateRow(const CKokyakuRow* row) { return m_list->UpdateRow(row); }
    void UpdateRows(const std::vector<int>& rows) { m_list->UpdateRows(rows); }
    bool RemovePair(const CKokyakuRow* row) { return m_list->RemovePair(row); }
    int NextSelected(int start) const { return m_list->NextSelected(start); }
    int SelectedCount() const { return m_list->SelectedCount(); }
    void SelectOnly(int row) { m_list->SelectOnly(row); }
    void SetSingleSelection(bool single);
    // Whether ranking the text columns ahead is still under way.
    bool PreparingSorts() const { return m_prepare.isActive(); }

signals:
    // The user changed the selection or the focused row.
    void SelectionChangedByUser();
    void RowDoubleClicked(int row);
    void ContextMenuAt(const QPoint& globalPos);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // IKokyakuListObserver
    void ColumnsReset() override;
    void RowsReset() override;
    void RowInserted(int row) override;
    void RowRemoved(int row) override;
    void RowChanged(int row) override;
    void SelectionChanged() override;
    void ScrollTo(int row) override;

    void PullSelection(const QItemSelection& selected, const QItemSelection& deselected);
    // Ranks the text columns ahead a step at a time, from a short while
    // after the rows last changed.
    void SchedulePrepare() { m_prepare.start(kPrepareDelayMs); }
    void PrepareStep();
    static constexpr int kPrepareDelayMs = 200;
    static constexpr int kWorkerPollMs = 25;

    std::unique_ptr<CKokyakuListModel> m_list;
    CKokyakuItemModel* m_model = nullptr;
    bool m_syncing = false;  // selection changes made from the list model
    QTimer m_prepare;
};
