#include "customers/ui/DispSettingsDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/ui/SjisFieldBinding.h"
#include "customers/DispSettings.h"
#include "customers/ui/DialogParts.h"

namespace {

QPushButton* MakeButton(const QString& caption, QWidget* parent, std::vector<QPushButton*>& all) {
    return ::MakeButton(caption, parent, &all);
}

QListWidget* MakeList(const QString& name, QWidget* parent) {
    auto* l = new QListWidget(parent);
    l->setAccessibleName(name);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setMinimumSize(180, 240);
    return l;
}

QHBoxLayout* OkCancelRow(QDialog* dlg, std::vector<QPushButton*>& all) {
    QPushButton *ok, *cancel;
    QHBoxLayout* row = ::OkCancelRow(dlg, ok, cancel);
    all.push_back(ok);
    all.push_back(cancel);
    return row;
}

template <class Items>
QStringList Labels(const Items& items) {
    QStringList out;
    for (const auto& c : items) out << Q(c.label);
    return out;
}

}  // namespace

// ---------------------------------------------------------------- display settings

CDispSettingsDlg::CDispSettingsDlg(const std::string& installDir, QWidget* parent)
    : QDialog(parent), m_model(std::make_unique<CDispSettingsModel>(installDir)) {
    setWindowTitle(QStringLiteral("顧客一覧の表示設定"));

    const ColumnPicker picker = MakeColumnPicker(this, m_buttons);
    m_displayed = picker.shown;
    m_available = picker.available;
    QPushButton *show = picker.show, *hide = picker.hide, *up = picker.up, *down = picker.down;
    connect(show, &QPushButton::clicked, this, &CDispSettingsDlg::OnShow);
    connect(hide, &QPushButton::clicked, this, &CDispSettingsDlg::OnHide);
    connect(up, &QPushButton::clicked, this, &CDispSettingsDlg::OnUp);
    connect(down, &QPushButton::clicked, this, &CDispSettingsDlg::OnDown);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &CDispSettingsDlg::OnShow);
    connect(m_displayed, &QListWidget::itemDoubleClicked, this, &CDispSettingsDlg::OnHide);

    QGridLayout* columns = picker.grid;
    columns->setColumnStretch(0, 1);
    columns->setColumnStretch(2, 1);

    auto* sortBox = new QGroupBox(QStringLiteral("並び順"), this);
    auto* sortLabel = new QLabel(QStringLiteral("並べ替える列"), sortBox);
    m_sortField = new QComboBox(sortBox);
    m_sortField->setAccessibleName(QStringLiteral("並べ替える列"));
    m_sortField->setMaxVisibleItems(16);
    sortLabel->setBuddy(m_sortField);
    m_ascending = new QRadioButton(QStringLiteral("昇順で並べ替え"), sortBox);
    m_descending = new QRadioButton(QStringLiteral("降順で並べ替え"), sortBox);
    m_ascending->setAccessibleName(m_ascending->text());
    m_descending->setAccessibleName(m_descending->text());
    m_direction = new QButtonGroup(this);
    m_direction->addButton(m_ascending, 0);
    m_direction->addButton(m_descending, 1);
    auto* sortLayout = new QHBoxLayout(sortBox);
    sortLayout->addWidget(sortLabel);
    sortLayout->addWidget(m_sortField, 1);
    sortLayout->addSpacing(12);
    sortLayout->addWidget(m_ascending);
    sortLayout->addWidget(m_descending);

    auto* top = new QVBoxLayout(this);
    top->addLayout(columns, 1);
    top->addSpacing(6);
    top->addWidget(sortBox);
    top->addLayout(OkCancelRow(this, m_buttons));

    setTabOrder(m_displayed, up);
    setTabOrder(up, down);
    setTabOrder(down, show);
    setTabOrder(show, hide);
    setTabOrder(hide, m_available);
    setTabOrder(m_available, m_sortField);
    setTabOrder(m_sortField, m_ascending);
    setTabOrder(m_ascending, m_descending);
    setTabOrder(m_descending, m_buttons[4]);
    setTabOrder(m_buttons[4], m_buttons[5]);
    resize(560, 440);
}

CDispSettingsDlg::~CDispSettingsDlg() = default;

bool CDispSettingsDlg::Open() {
    if (!m_model->Open()) return false;
    FillDisplayed(-1);
    FillAvailable();
    m_sortField->clear();
    for (const auto& c : m_model->SortChoices()) m_sortField->addItem(Q(c.label));
    m_sortField->setCurrentIndex(m_model->SortIndex());
    if (m_model->SortDirection() == 0) m_ascending->setChecked(true);
    else if (m_model->SortDirection() == 1) m_descending->setChecked(true);
    m_displayed->setFocus();
    return true;
}

QPushButton* CDispSettingsDlg::Button(const QString& caption) const { return FindButton(m_buttons, caption); }

void CDispSettingsDlg::FillDisplayed(int select) { FillList(m_displayed, Labels(m_model->Displayed()), select); }

void CDispSettingsDlg::FillAvailable() { FillList(m_available, Labels(m_model->Available()), -1); }

void CDispSettingsDlg::OnShow() {
    const int row = SelectedRow(m_available);
    const int added = m_model->Show(row);
    if (added < 0) return;
    FillDisplayed(added);
    FillAvailable();
    if (m_available->count() > 0) m_available->setCurrentRow(std::min(row, m_available->count() - 1));
}

void CDispSettingsDlg::OnHide() {
    const int row = SelectedRow(m_displayed);
    if (!m_model->Hide(row)) return;
    FillDisplayed(std::min(row, m_displayed->count() - 2));
    FillAvailable();
}

void CDispSettingsDlg::OnUp() {
    const int to = m_model->MoveUp(SelectedRow(m_displayed));
    if (to >= 0) FillDisplayed(to);
}

void CDispSettingsDlg::OnDown() {
    const int to = m_model->MoveDown(SelectedRow(m_displayed));
    if (to >= 0) FillDisplayed(to);
}

void CDispSettingsDlg::accept() {
    m_model->SetSortIndex(m_sortField->currentIndex());
    m_model->SetSortDirection(m_direction->checkedId());  // -1 when neither is chosen
    m_model->Ok();
    QDialog::accept();
}

// ---------------------------------------------------------------- free item names

CFreeItemDlg::CFreeItemDlg(const std::string& installDir, QWidget* parent)
    : QDialog(parent), m_model(std::make_unique<CFreeItemNamesModel>(installDir)) {
    setWindowTitle(QStringLiteral("顧客情報のフリー項目設定"));

    auto* listLabel = new QLabel(QStringLiteral("変更可能な項目名"), this);
    m_items = MakeList(QStringLiteral("変更可能な項目名"), this);
    listLabel->setBuddy(m_items);
    auto* nameLabel = new QLabel(QStringLiteral("新しい項目名"), this);
    m_newName = new QLineEdit(this);
    m_newName->setAccessibleName(QStringLiteral("新しい項目名"));
    BindSjisField(m_newName, 0);
    nameLabel->setBuddy(m_newName);

    QPushButton* change = MakeButton(QStringLiteral("変更"), this, m_buttons);
    QPushButton* reset = MakeButton(QStringLiteral("初期状態に戻す"), this, m_buttons);
    connect(change, &QPushButton::clicked, this, &CFreeItemDlg::OnChange);
    connect(reset, &QPushButton::clicked, this, &CFreeItemDlg::OnReset);
    connect(m_items, &QListWidget::currentRowChanged, this, &CFreeItemDlg::OnSelect);

    auto* left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(m_items, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(nameLabel);
    right->addWidget(m_newName);
    auto* changeRow = new QHBoxLayout;
    changeRow->addStretch(1);
    changeRow->addWidget(change);
    right->addLayout(changeRow);
    right->addStretch(1);
    right->addWidget(reset);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addSpacing(8);
    body->addLayout(right, 1);

    auto* top = new QVBoxLayout(this);
    top->addLayout(body, 1);
    top->addLayout(OkCancelRow(this, m_buttons));

    setTabOrder(m_items, m_newName);
    setTabOrder(m_newName, change);
    setTabOrder(change, reset);
    setTabOrder(reset, m_buttons[2]);
    setTabOrder(m_buttons[2], m_buttons[3]);
    resize(460, 340);
}

CFreeItemDlg::~CFreeItemDlg() = default;

bool CFreeItemDlg::Open() {
    if (!m_model->Open()) return false;
    Fill();
    m_items->setFocus();
    return true;
}

QPushButton* CFreeItemDlg::Button(const QString& caption) const { return FindButton(m_buttons, caption); }

void CFreeItemDlg::Fill() {
    const QSignalBlocker block(m_items);
    m_items->clear();
    for (const auto& c : m_model->Items()) m_items->addItem(Q(c.label));
}

void CFreeItemDlg::OnSelect() {
    const int row = SelectedRow(m_items);
    if (row >= 0 && row < static_cast<int>(m_model->Items().size()))
        m_newName->setText(Q(m_model->Items()[row].label));
}

void CFreeItemDlg::OnChange() {
    const int row = SelectedRow(m_items);
    if (!m_model->Change(row, m_newName->text().toStdString())) return;
    // The entry keeps its place and selection; the list does not scroll.
    m_items->item(row)->setText(Q(m_model->Items()[row].label));
}

void CFreeItemDlg::OnReset() {
    if (m_model->Reset()) Fill();
}

void CFreeItemDlg::accept() {
    m_model->Ok();
    QDialog::accept();
}

// ---------------------------------------------------------------- entry points

bool RunDispSettingsDialog(QWidget* parent, const std::string& installDir) {
    CDispSettingsDlg dlg(installDir, parent);
    if (!dlg.Open()) return false;
    return dlg.exec() == QDialog::Accepted;
}

bool RunFreeItemDialog(QWidget* parent, const std::string& installDir) {
    CFreeItemDlg dlg(installDir, parent);
    if (!dlg.Open()) return false;
    return dlg.exec() == QDialog::Accepted;
}
