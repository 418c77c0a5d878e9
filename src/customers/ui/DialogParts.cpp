#include "customers/ui/DialogParts.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

QPushButton* MakeButton(const QString& caption, QWidget* parent, std::vector<QPushButton*>* all) {
    auto* b = new QPushButton(caption, parent);
    b->setAccessibleName(caption);
    b->setAutoDefault(false);
    if (all) all->push_back(b);
    return b;
}

QHBoxLayout* OkCancelRow(QDialog* dlg, QPushButton*& ok, QPushButton*& cancel) {
    ok = MakeButton(QStringLiteral("OK"), dlg);
    cancel = MakeButton(QStringLiteral("キャンセル"), dlg);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

ColumnPicker MakeColumnPicker(QWidget* parent, std::vector<QPushButton*>& all) {
    auto makeList = [parent](const QString& name) {
        auto* l = new QListWidget(parent);
        l->setAccessibleName(name);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setMinimumSize(180, 240);
        return l;
    };
    ColumnPicker p;
    auto* shownLabel = new QLabel(QStringLiteral("表示列"), parent);
    p.shown = makeList(QStringLiteral("表示列"));
    shownLabel->setBuddy(p.shown);
    auto* availableLabel = new QLabel(QStringLiteral("表示可能な列"), parent);
    p.available = makeList(QStringLiteral("表示可能な列"));
    availableLabel->setBuddy(p.available);
    p.show = MakeButton(QStringLiteral("←表示する"), parent, &all);
    p.hide = MakeButton(QStringLiteral("表示しない→"), parent, &all);
    p.up = MakeButton(QStringLiteral("上へ"), parent, &all);
    p.down = MakeButton(QStringLiteral("下へ"), parent, &all);

    auto* moveRow = new QHBoxLayout;
    moveRow->addWidget(p.up);
    moveRow->addWidget(p.down);
    moveRow->addStretch(1);
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(p.show);
    middle->addWidget(p.hide);
    middle->addStretch(1);
    p.grid = new QGridLayout;
    p.grid->addWidget(shownLabel, 0, 0);
    p.grid->addWidget(availableLabel, 0, 2);
    p.grid->addWidget(p.shown, 1, 0);
    p.grid->addLayout(middle, 1, 1);
    p.grid->addWidget(p.available, 1, 2);
    p.grid->addLayout(moveRow, 2, 0);
    return p;
}

QPushButton* FindButton(const std::vector<QPushButton*>& all, const QString& caption) {
    for (QPushButton* b : all)
        if (b->text() == caption) return b;
    return nullptr;
}

int SelectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> sel = list->selectedItems();
    return sel.isEmpty() ? -1 : list->row(sel.front());
}

void FillList(QListWidget* list, const QStringList& rows, int select) {
    list->clear();
    list->addItems(rows);
    if (select >= 0 && select < list->count()) {
        list->setCurrentRow(select);
        list->scrollToItem(list->item(select));
    }
}
