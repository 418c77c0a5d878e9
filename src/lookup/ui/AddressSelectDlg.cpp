#include "lookup/ui/AddressSelectDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CAddressSelectDlg::CAddressSelectDlg(const std::vector<std::string>& headers,
                                     const std::vector<std::vector<std::string>>& rows, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("住所の選択"));
    auto* top = new QVBoxLayout(this);
    const QString prompt = QString::fromUtf8("該当するデータが%1件あります。使用するデータを選択してください。")
                               .arg(rows.size());
    auto* label = new QLabel(prompt, this);
    top->addWidget(label);

    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList head;
    for (const std::string& h : headers) head << QString::fromStdString(h);
    m_list->setHeaderLabels(head);
    for (const auto& row : rows) {
        QStringList cells;
        for (const std::string& c : row) cells << QString::fromStdString(c);
        new QTreeWidgetItem(m_list, cells);
    }
    for (int c = 0; c < m_list->columnCount(); ++c) m_list->resizeColumnToContents(c);
    m_list->setAccessibleName(prompt);
    label->setBuddy(m_list);
    if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
    top->addWidget(m_list);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QString::fromUtf8("キャンセル"), this);
    m_ok->setDefault(true);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (Chosen()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemActivated, this, [this] {
        if (Chosen()) accept();
    });
    resize(640, 320);
    m_list->setFocus();
}

std::optional<std::size_t> CAddressSelectDlg::Chosen() const {
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item) return std::nullopt;
    const int i = m_list->indexOfTopLevelItem(item);
    if (i < 0) return std::nullopt;
    return static_cast<std::size_t>(i);
}

std::optional<std::size_t> ChooseAddress(QWidget* parent, const std::vector<std::string>& headers,
                                         const std::vector<std::vector<std::string>>& rows) {
    CAddressSelectDlg dlg(headers, rows, parent);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Chosen();
}
