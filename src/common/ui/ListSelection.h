#pragma once

// Keeps a view's selection and a core list model's selection in step. `List` is a
// core list model: RowCount, IsSelected, FocusedRow, SetSelectedFromView.

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QItemSelection>
#include <QItemSelectionModel>

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
