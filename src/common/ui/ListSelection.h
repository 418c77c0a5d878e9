#pragma once

// A tree view showing a core list model: the view's selection and the model's
// kept in step, the header sorting and sizing through the model. `List` is a
// core list model: RowCount, IsSelected, FocusedRow, SetSelectedFromView,
// SortByColumn, SetColumnWidth.

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTreeView>

// A row list without branches: whole rows selected, several at a time, nothing edited in place.
inline void SetUpRowList(QTreeView& view) {
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    view.setUniformRowHeights(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// The same for a table view, which keeps nothing per row (lists of millions
// of rows): no grid and no row headings, and Tab leaves the list.
inline void SetUpRowTable(QTableView& view) {
    view.setShowGrid(false);
    view.setWordWrap(false);
    view.setCornerButtonEnabled(false);
    view.setTabKeyNavigation(false);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
    view.horizontalHeader()->setHighlightSections(false);
    view.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// Fixed, clickable columns: a click sorts the list, a resize is kept as its width.
template <class List>
void ConnectListHeader(QAbstractItemView& view, QHeaderView* header, List& list) {
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(1);
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    QObject::connect(header, &QHeaderView::sectionClicked, &view, [&list](int section) { list.SortByColumn(section); });
    QObject::connect(header, &QHeaderView::sectionResized, &view,
                     [&list](int section, int, int size) { list.SetColumnWidth(section, size); });
}
template <class List>
void ConnectListHeader(QTreeView& view, List& list) {
    ConnectListHeader(view, view.header(), list);
}

// Selects in `view` what `list` has selected, contiguous runs as ranges over
// columns 0..lastColumn, and puts the current index on the focused row.
template <class List>
void PushListSelection(QAbstractItemView& view, const List& list, const QAbstractItemModel& model, int lastColumn) {
    QItemSelection selection;
    const int rows = list.RowCount();
    for (int r = 0; r < rows;) {
        if (!list.IsSelected(r)) {
            ++r;
            continue;
        }
        int end = r;
        while (end + 1 < rows && list.IsSelected(end + 1)) ++end;
        selection.select(model.index(r, 0), model.index(end, lastColumn));
        r = end + 1;
    }
    view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const int focus = list.FocusedRow();
    view.selectionModel()->setCurrentIndex(focus >= 0 ? model.index(focus, 0) : QModelIndex(),
                                           QItemSelectionModel::NoUpdate);
}

// Hands a change the person made in the view to `list`.
template <class List>
void PullListSelection(List& list, const QItemSelection& selected, const QItemSelection& deselected) {
    for (const QItemSelectionRange& range : deselected)
        for (int r = range.top(); r <= range.bottom(); ++r) list.SetSelectedFromView(r, false);
    for (const QItemSelectionRange& range : selected)
        for (int r = range.top(); r <= range.bottom(); ++r) list.SetSelectedFromView(r, true);
}

// PushListSelection with `syncing` set while it runs, so that the view's own
// selection signals are not handed back; then repaints the rows.
template <class List>
void PushListSelectionSyncing(QAbstractItemView& view, const List& list, const QAbstractItemModel& model,
                              int lastColumn, bool& syncing) {
    syncing = true;
    PushListSelection(view, list, model, lastColumn);
    syncing = false;
    view.viewport()->update();
}

// Scrolls `view` to `row` when the list has that row.
template <class List>
void ScrollListTo(QAbstractItemView& view, const List& list, const QAbstractItemModel& model, int row) {
    if (row >= 0 && row < list.RowCount()) view.scrollTo(model.index(row, 0));
}

// Hands the row the person makes current to `list`, unless a push made it
// (`syncing`), and then calls `then`.
template <class List, class Then>
void ConnectListFocus(QAbstractItemView& view, List& list, const bool& syncing, Then then) {
    QObject::connect(view.selectionModel(), &QItemSelectionModel::currentChanged, &view,
                     [&list, &syncing, then](const QModelIndex& current, const QModelIndex&) {
                         if (syncing) return;
                         list.SetFocusFromView(current.isValid() ? current.row() : -1);
                         then();
                     });
}
