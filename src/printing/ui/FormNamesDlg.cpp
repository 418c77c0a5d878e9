#include "printing/ui/FormNamesDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MilvaneDoc.h"
#include "app/ui/MilvaneView.h"
#include "common/Ports.h"
#include "printing/ui/FormGalleryUi.h"

CFormNameDlg::CFormNameDlg(const QString& name, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("オリジナルフォーム名の変更"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("新しい名前を入力してください"), this);
    layout->addWidget(label);
    m_edit = new QLineEdit(name, this);
    m_edit->setMaxLength(kUserFormNameLimit);
    m_edit->setAccessibleName(QStringLiteral("新しい名前を入力してください"));
    label->setBuddy(m_edit);
    layout->addWidget(m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_edit->selectAll();
    m_edit->setFocus();
}

QString CFormNameDlg::Name() const { return m_edit->text(); }

void CFormNameDlg::accept() {
    const std::string message = CFormNamesLogic::CheckName(Name().toStdString());
    if (!message.empty()) {
        ShowMessage(message);
        m_edit->setFocus();
        return;
    }
    QDialog::accept();
}

CFormNamesDlg::CFormNamesDlg(const std::string& installDir, std::vector<CUserFormEntry>& forms,
                             std::function<void()> changed, QWidget* parent)
    : QDialog(parent), m_logic(installDir, forms, std::move(changed)), m_forms(forms) {
    setWindowTitle(QStringLiteral("ｵﾘｼﾞﾅﾙﾌｫｰﾑ名の変更と削除"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("フォーム名の変更・削除を行います。\nリストからフォームを選択して操作ボタンをクリックしてください。"),
        this));
    auto* listLabel = new QLabel(QStringLiteral("オリジナルフォーム一覧"), this);
    layout->addWidget(listLabel);
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAccessibleName(QStringLiteral("オリジナルフォーム一覧"));
    listLabel->setBuddy(m_list);
    for (const CUserFormEntry& e : forms) m_list->addItem(QString::fromStdString(e.name));
    layout->addWidget(m_list);
    auto* row = new QHBoxLayout;
    m_rename = new QPushButton(QStringLiteral("名前の変更"), this);
    m_delete = new QPushButton(QStringLiteral("フォームの削除"), this);
    auto* close = new QPushButton(QStringLiteral("とじる"), this);
    m_rename->setAccessibleName(QStringLiteral("名前の変更"));
    m_delete->setAccessibleName(QStringLiteral("フォームの削除"));
    close->setAccessibleName(QStringLiteral("とじる"));
    row->addWidget(m_rename);
    row->addWidget(m_delete);
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);
    askName = [this](std::string& name) {
        CFormNameDlg dialog(QString::fromStdString(name), this);
        if (dialog.exec() != QDialog::Accepted) return false;
        name = dialog.Name().toStdString();
        return true;
    };
    connect(m_rename, &QPushButton::clicked, this, &CFormNamesDlg::OnRename);
    connect(m_delete, &QPushButton::clicked, this, &CFormNamesDlg::OnDelete);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CFormNamesDlg::UpdateButtons);
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    UpdateButtons();
    m_list->setFocus();
}

int CFormNamesDlg::exec() {
    if (!m_logic.HasForms()) return QDialog::Rejected;
    return QDialog::exec();
}

std::vector<int> CFormNamesDlg::Selected() const {
    std::vector<int> rows;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->isSelected()) rows.push_back(i);
    return rows;
}

void CFormNamesDlg::UpdateButtons() {
    const auto rows = Selected();
    m_rename->setEnabled(CFormNamesLogic::RenameEnabled(rows));
    m_delete->setEnabled(CFormNamesLogic::DeleteEnabled(rows));
}

void CFormNamesDlg::OnRename() {
    const auto rows = Selected();
    if (!m_logic.Rename(rows, askName)) return;
    m_list->item(rows[0])->setText(QString::fromStdString(m_forms[rows[0]].name));
    m_list->clearSelection();
    m_list->setCurrentRow(rows[0]);
}

void CFormNamesDlg::OnDelete() {
    for (int row : m_logic.Delete(Selected())) delete m_list->takeItem(row);
    m_list->clearSelection();
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    UpdateButtons();
}

void RunFormNamesDialog(CMilvaneView& view) {
    std::vector<CUserFormEntry> forms = ReadUserForms(view.Document().InstallDir());
    CFormNamesDlg dialog(view.Document().InstallDir(), forms, [&view] {
        if (view.Hooks().formListChanged) view.Hooks().formListChanged(view);
    }, &view);
    dialog.exec();
}
