// The report list of the history screen: a table view without grid or row
// headings over CRirekiListModel (it keeps nothing per row, unlike a tree
// view). Cells are read on demand; the model keeps the rules.
#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>
#include <memory>
#include <string>
#include <vector>

#include "history/RirekiListModel.h"

class CRirekiItemModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CRirekiItemModel(CRirekiListModel& list, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_list(list) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetHeadings(std::vector<std::string> headings);
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void BeginRemove(int first, int last) { beginRemoveRows({}, first, last); }
    void EndRemove() { endRemoveRows(); }

private:
    CRirekiListModel& m_list;
    std::vector<std::string> m_headings;
};

class CRirekiListCtrl final : public QTableView, private IRirekiListObserver {
    Q_OBJECT
public:
    explicit CRirekiListCtrl(QWidget* parent = nullptr);
    ~CRirekiListCtrl() override;

    CRirekiListModel& List() { return *m_list; }
    // The column headings.
    QHeaderView* header() const { return horizontalHeader(); }
    CRirekiItemModel* ItemModel() const { return m_model; }
    void SetHeadings(std::vector<std::string> headings);
    // Applies the list model's widths to the header.
    void ApplyWidths();

signals:
    void RowDoubleClicked(int row);
    void SelectionChangedByUser();

private:
    void RowsReset() override;
    void RowsAboutToBeRemoved(int first, int last) override;
    void RowsRemoved() override;
    void SelectionChanged() override;
    void ScrollTo(int row) override;

    void PullSelection(const QItemSelection& selected, const QItemSelection& deselected);

    std::unique_ptr<CRirekiListModel> m_list;
    CRirekiItemModel* m_model = nullptr;
    bool m_syncing = false;  // selection changes made from the list model
};
