#include "dm/ui/DMSelectDlgs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/MilvaneDoc.h"
#include "customers/KokyakuRow.h"
#include "dm/ui/DMTitleDlg.h"
#include "dm/ui/DMWidgets.h"
#include "extract/ui/ExtractDlg.h"

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

QTreeWidget* MakeList(const QStringList& heads, const std::vector<int>& widths, const QString& name, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setHeaderLabels(heads);
    for (std::size_t i = 0; i < widths.size(); ++i) list->setColumnWidth(static_cast<int>(i), widths[i]);
    list->setAccessibleName(name);
    return list;
}

QPushButton* Button(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(name);
    b->setAutoDefault(false);
    return b;
}

// OK (default) and キャンセル at the bottom right.
QHBoxLayout* OkCancel(QDialog* dlg, QPushButton*& ok) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    ok = Button(QStringLiteral("OK"), QStringLiteral("OK"), dlg);
    ok->setDefault(true);
    auto* cancel = Button(QStringLiteral("キャンセル"), QStringLiteral("キャンセル"), dlg);
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    return row;
}
}  // namespace

// ---------------------------------------------------------------- DM title selection

CDMTitleSelectDlg::CDMTitleSelectDlg(CMilvaneDoc* doc, int mode, CDMKeys customerKeys, QWidget* parent)
    : QDialog(parent), m_logic(doc, mode, std::move(customerKeys)), m_installDir(doc ? doc->InstallDir() : "") {
    setWindowTitle(QStringLiteral("DMタイトルを選択"));
    auto* top = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("DMタイトル(&L)"), this);
    top->addWidget(label);
    m_list = MakeList({QStringLiteral("送付日"), QStringLiteral("DMタイトル"), QStringLiteral("内容"),
                       QStringLiteral("送付管理者")},
                      {80, 150, 150, 150}, QStringLiteral("DMタイトル"), this);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    label->setBuddy(m_list);
    top->addWidget(m_list);

    auto* row = new QHBoxLayout;
    m_keep = new QCheckBox(QStringLiteral("履歴に残す(&H)"), this);
    m_keep->setAccessibleName(QStringLiteral("履歴に残す"));
    m_new = Button(QStringLiteral("DMタイトルを新規登録(&N)..."), QStringLiteral("DMタイトルを新規登録..."), this);
    row->addWidget(m_keep);
    row->addWidget(m_new);
    row->addStretch();
    top->addLayout(row);
    top->addLayout(OkCancel(this, m_ok));

    m_logic.Open();
    for (const auto& t : m_logic.Titles())
        new QTreeWidgetItem(m_list, {Q(t->Date.Format("%Y/%m/%d")), Q(t->Title), Q(t->Content), Q(t->Manager)});
    if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
    m_keep->setVisible(m_logic.HistoryShown());
    m_keep->setChecked(m_logic.keepHistory);
    m_keep->setEnabled(m_logic.HistoryEnabled());
    m_new->setVisible(m_logic.NewButtonShown());
    m_ok->setEnabled(m_logic.OkEnabled());
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { accept(); });
    connect(m_new, &QPushButton::clicked, this, [this] {
        if (m_logic.RegisterNew([this](CDMTitleForm& f) { return RunDMTitleDialog(this, m_installDir, f); }))
            QDialog::accept();
    });
    resize(580, 340);
    m_list->setFocus();
}

void CDMTitleSelectDlg::accept() {
    m_logic.keepHistory = m_keep->isChecked();
    QTreeWidgetItem* item = m_list->currentItem();
    int row = item && item->isSelected() ? m_list->indexOfTopLevelItem(item) : -1;
    if (m_logic.Ok(row)) QDialog::accept();
}

bool RunDMTitleSelectDialog(QWidget* parent, CMilvaneDoc* doc, const CDMKeys& customerKeys) {
    CDMTitleSelectDlg dlg(doc, 1, customerKeys, parent);
    return dlg.exec() == QDialog::Accepted;
}

// ---------------------------------------------------------------- customer selection

CCustomerSelectDlg::CCustomerSelectDlg(CMilvaneDoc& doc, int mode, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_logic(doc, mode) {
    setWindowTitle(QStringLiteral("顧客を選択"));
    auto* top = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("顧客(&L)：スペースキーでチェックを付け外しします"), this);
    top->addWidget(label);
    m_list = MakeList({QStringLiteral("選択"), QStringLiteral("お客様コード"), QStringLiteral("氏名"),
                       QStringLiteral("会社名")},
                      {40, 100, 160, 160}, QStringLiteral("顧客"), this);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    label->setBuddy(m_list);
    top->addWidget(m_list);

    auto* row = new QHBoxLayout;
    m_all = Button(QStringLiteral("すべて選択(&A)"), QStringLiteral("すべて選択"), this);
    m_extract = Button(QStringLiteral("抽出(&E)..."), QStringLiteral("抽出..."), this);
    m_keep = new QCheckBox(QStringLiteral("履歴に残す(&H)"), this);
    m_keep->setAccessibleName(QStringLiteral("履歴に残す"));
    row->addWidget(m_all);
    row->addWidget(m_extract);
    row->addWidget(m_keep);
    row->addStretch();
    top->addLayout(row);
    QPushButton* ok = nullptr;
    top->addLayout(OkCancel(this, ok));

    m_list->setUpdatesEnabled(false);
    for (int i = 0; i < m_logic.RowCount(); ++i) {
        const CKokyakuRow& k = m_logic.Row(i);
        auto* item = new QTreeWidgetItem(
            m_list, {QString(), Q(std::string(k.CustomerID())), Q(std::string(k.Name())), Q(std::string(k.CompName()))});
        item->setIcon(0, DMCheckIcon(false));
        item->setText(0, QString());
        item->setData(0, Qt::AccessibleTextRole, QStringLiteral("未選択"));
    }
    m_list->setUpdatesEnabled(true);
    if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0), 0,
                                                                QItemSelectionModel::NoUpdate);
    m_keep->setVisible(m_logic.HistoryShown());
    m_keep->setEnabled(m_logic.HistoryShown());
    m_keep->setChecked(m_logic.keepHistory);

    connect(m_all, &QPushButton::clicked, this, [this] {
        m_logic.TickAll();
        m_list->selectAll();
        for (int i = 0; i < m_logic.RowCount(); ++i) ShowTick(i);
    });
    connect(m_extract, &QPushButton::clicked, this, [this] {
        if (RunExtractDialog(this, m_doc, kExtractSelect) != 1) return;
        m_list->clearSelection();
        std::vector<int> rows = m_logic.ApplyExtraction();
        for (int r : rows) {
            m_list->topLevelItem(r)->setSelected(true);
            ShowTick(r);
        }
        if (!rows.empty()) m_list->scrollToItem(m_list->topLevelItem(rows.front()));
    });
    // A click on the image, or the space key, ticks or unticks the row.
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (column != 0) return;
        int r = m_list->indexOfTopLevelItem(item);
        m_logic.SetTicked(r, !m_logic.Ticked(r));
        ShowTick(r);
    });
    m_list->installEventFilter(this);
    resize(560, 420);
    m_list->setFocus();
}

void CCustomerSelectDlg::ShowTick(int row) {
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    bool on = m_logic.Ticked(row);
    item->setIcon(0, DMCheckIcon(on));
    item->setData(0, Qt::AccessibleTextRole, on ? QStringLiteral("選択") : QStringLiteral("未選択"));
}

void CCustomerSelectDlg::ToggleCurrent() {
    QList<QTreeWidgetItem*> items = m_list->selectedItems();
    if (items.isEmpty() && m_list->currentItem()) items.append(m_list->currentItem());
    if (items.isEmpty()) return;
    bool on = !m_logic.Ticked(m_list->indexOfTopLevelItem(items.front()));
    for (QTreeWidgetItem* item : items) {
        int r = m_list->indexOfTopLevelItem(item);
        m_logic.SetTicked(r, on);
        ShowTick(r);
    }
}

bool CCustomerSelectDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        ToggleCurrent();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CCustomerSelectDlg::accept() {
    m_logic.keepHistory = m_keep->isChecked();
    if (m_logic.Ok()) QDialog::accept();
}

void CCustomerSelectDlg::reject() {
    m_logic.Cancel();
    QDialog::reject();
}

bool RunCustomerSelectDialog(QWidget* parent, CMilvaneDoc& doc, std::vector<CDMMngData>& chosen) {
    CCustomerSelectDlg dlg(doc, 1, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    chosen = dlg.Logic().targets;
    return true;
}
