#include "customers/ui/DialogParts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>

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
