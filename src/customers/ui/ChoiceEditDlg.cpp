#include "customers/ui/ChoiceEditDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "customers/ComboData.h"
#include "customers/MLVColSet.h"
#include "customers/ui/ChoiceComboBox.h"
#include "customers/ui/DialogParts.h"
#include "common/ui/SjisFieldBinding.h"

// ---------------------------------------------------------------- entry dialog

CChoiceEntryDlg::CChoiceEntryDlg(const std::string& text, int limitBytes, Check check, QWidget* parent)
    : QDialog(parent), m_check(std::move(check)) {
    setWindowTitle(QStringLiteral("項目の追加・変更"));
    auto* label = new QLabel(QStringLiteral("内容(&N):"), this);
    m_edit = new QLineEdit(this);
    BindSjisField(m_edit, limitBytes);
    m_edit->setText(Q(text));
    m_edit->selectAll();
    m_edit->setAccessibleName(QStringLiteral("内容"));
    m_edit->setMinimumWidth(320);
    label->setBuddy(m_edit);

    QPushButton* cancel = nullptr;
    auto* buttons = OkCancelRow(this, m_ok, cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(label);
    top->addWidget(m_edit);
    top->addSpacing(8);
    top->addLayout(buttons);
    setTabOrder(m_edit, m_ok);
    setTabOrder(m_ok, cancel);
    m_edit->setFocus();
}

std::string CChoiceEntryDlg::Text() const { return m_edit->text().toStdString(); }

void CChoiceEntryDlg::accept() {
    if (m_check && !m_check(Text())) {
        m_edit->setFocus();
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- chooser

CChoiceChooserDlg::CChoiceChooserDlg(const std::string& installDir, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("入力用選択肢の編集"));
    CMLVColSet set(installDir);
    const bool haveSet = set.Load() != 0;
    const std::vector<std::string> labels = ChoiceChooserLabels(haveSet ? &set : nullptr);

    auto* box = new QGroupBox(QStringLiteral("編集する選択肢"), this);
    auto* boxLayout = new QVBoxLayout(box);
    m_group = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(labels.size()); ++i) {
        auto* r = new QRadioButton(Q(labels[i]), box);
        r->setAccessibleName(Q(labels[i]));
        m_group->addButton(r, i);
        boxLayout->addWidget(r);
        m_radios.push_back(r);
    }
    if (!m_radios.empty()) m_radios.front()->setChecked(true);
    box->setMinimumWidth(260);

    QPushButton* cancel = nullptr;
    auto* buttons = OkCancelRow(this, m_ok, cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(box);
    top->addLayout(buttons);
    if (!m_radios.empty()) m_radios.front()->setFocus();
}

int CChoiceChooserDlg::ChosenList() const { return m_group->checkedId(); }

void CChoiceChooserDlg::SetChosenList(int listNo) {
    if (QRadioButton* r = Radio(listNo)) r->setChecked(true);
}

QRadioButton* CChoiceChooserDlg::Radio(int listNo) const {
    return listNo >= 0 && listNo < static_cast<int>(m_radios.size()) ? m_radios[listNo] : nullptr;
}

// ---------------------------------------------------------------- list editor

CChoiceListEditDlg::CChoiceListEditDlg(const std::string& installDir, int listNo, QWidget* parent)
    : QDialog(parent), m_editor(std::make_unique<CChoiceListEditor>(installDir, listNo)) {
    m_explanation = new QLabel(this);
    m_explanation->setWordWrap(true);
    m_heading = new QLabel(this);
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setMinimumSize(260, 200);
    m_heading->setBuddy(m_list);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);

    auto* side = new QVBoxLayout;
    const QString captions[] = {QStringLiteral("追加..."), QStringLiteral("変更..."), QStringLiteral("削除"),
                                QStringLiteral("上へ"), QStringLiteral("下へ")};
    for (const QString& c : captions) {
        QPushButton* b = MakeButton(c, this, &m_buttons);
        side->addWidget(b);
        if (c == QStringLiteral("削除")) side->addSpacing(12);
    }
    side->addStretch(1);
    connect(m_buttons[0], &QPushButton::clicked, this, &CChoiceListEditDlg::OnAdd);
    connect(m_buttons[1], &QPushButton::clicked, this, &CChoiceListEditDlg::OnChange);
    connect(m_buttons[2], &QPushButton::clicked, this, &CChoiceListEditDlg::OnDelete);
    connect(m_buttons[3], &QPushButton::clicked, this, &CChoiceListEditDlg::OnUp);
    connect(m_buttons[4], &QPushButton::clicked, this, &CChoiceListEditDlg::OnDown);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CChoiceListEditDlg::OnChange);
    auto* del = new QShortcut(QKeySequence::Delete, m_list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &CChoiceListEditDlg::OnDelete);

    auto* middle = new QHBoxLayout;
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(m_heading);
    listColumn->addWidget(m_list, 1);
    middle->addLayout(listColumn, 1);
    middle->addLayout(side);

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    auto* buttons = OkCancelRow(this, ok, cancel);
    m_buttons.push_back(ok);
    m_buttons.push_back(cancel);

    auto* top = new QVBoxLayout(this);
    top->addWidget(m_explanation);
    top->addSpacing(6);
    top->addLayout(middle, 1);
    top->addWidget(m_note);
    top->addLayout(buttons);

    QWidget* prev = m_list;
    for (QPushButton* b : m_buttons) {
        setTabOrder(prev, b);
        prev = b;
    }
    resize(460, 400);
}

CChoiceListEditDlg::~CChoiceListEditDlg() = default;

bool CChoiceListEditDlg::Open() {
    if (!m_editor->Open()) return false;
    setWindowTitle(Q(m_editor->Title()));
    m_explanation->setText(Q(m_editor->Explanation()));
    m_heading->setText(Q(m_editor->ListHeading()));
    m_note->setText(Q(m_editor->Note()));
    m_list->setAccessibleName(m_heading->text());
    Refill(-1);
    m_list->setFocus();
    return true;
}

QPushButton* CChoiceListEditDlg::Button(const QString& caption) const { return FindButton(m_buttons, caption); }

int CChoiceListEditDlg::Row() const { return SelectedRow(m_list); }

void CChoiceListEditDlg::Refill(int select) {
    QStringList rows;
    for (const auto& e : m_editor->Entries()) rows << Q(e.text);
    FillList(m_list, rows, select);
}

void CChoiceListEditDlg::OnAdd() {
    CChoiceEntryDlg dlg(std::string(), m_editor->Limit(),
                        [this](const std::string& t) { return m_editor->ValidateEntryText(t); }, this);
    if (dlg.exec() != QDialog::Accepted) return;
    Refill(m_editor->Add(dlg.Text()));
}

void CChoiceListEditDlg::OnChange() {
    const int row = Row();
    if (!m_editor->CanChange(row)) return;
    CChoiceEntryDlg dlg(m_editor->Entries()[row].text, m_editor->Limit(),
                        [this](const std::string& t) { return m_editor->ValidateEntryText(t); }, this);
    if (dlg.exec() != QDialog::Accepted) return;
    m_editor->Change(row, dlg.Text());
    Refill(row);
}

void CChoiceListEditDlg::OnDelete() {
    const int row = Row();
    if (!m_editor->Delete(row)) return;
    Refill(std::min(row, m_list->count() - 2));
}

void CChoiceListEditDlg::OnUp() {
    const int to = m_editor->MoveUp(Row());
    if (to >= 0) Refill(to);
}

void CChoiceListEditDlg::OnDown() {
    const int to = m_editor->MoveDown(Row());
    if (to >= 0) Refill(to);
}

void CChoiceListEditDlg::accept() {
    if (!m_editor->Ok()) return;  // stays open after the message
    QDialog::accept();
}

// ---------------------------------------------------------------- entry points

bool RunChoiceListEditor(QWidget* parent, const std::string& installDir, int listNo) {
    CChoiceListEditDlg dlg(installDir, listNo, parent);
    if (!dlg.Open()) return false;
    return dlg.exec() == QDialog::Accepted;
}

bool RunChoiceListChooser(QWidget* parent, const std::string& installDir) {
    int listNo = -1;
    {
        CChoiceChooserDlg chooser(installDir, parent);
        if (chooser.exec() != QDialog::Accepted) return false;
        listNo = chooser.ChosenList();
    }
    if (listNo < 0) return false;
    return RunChoiceListEditor(parent, installDir, listNo);
}
