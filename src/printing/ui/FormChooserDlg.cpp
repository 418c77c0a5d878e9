#include "printing/ui/FormChooserDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CFormChooserDlg::CFormChooserDlg(const QString& installDir, bool allowRecordHistory, bool recordHistoryDefault,
                                 QWidget* parent)
    : QDialog(parent), m_installDir(installDir), m_groups(BuiltInFormGroups()) {
    setWindowTitle(QStringLiteral("印刷フォームの選択"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(QStringLiteral("印刷するフォームを選択してください。"), this);
    layout->addWidget(prompt);
    auto* row = new QHBoxLayout;
    m_tabs = new QTabWidget(this);
    m_tabs->setAccessibleName(QStringLiteral("フォームの種類"));
    for (const CFormGroup& group : m_groups) {
        auto* list = new QListWidget(m_tabs);
        const QString name = QString::fromStdString(group.name);
        list->setAccessibleName(name);
        for (const CFormLayout* form : group.forms) {
            auto* item = new QListWidgetItem(QString::fromStdString(form->title), list);
            item->setData(Qt::UserRole, form->number);
        }
        list->setCurrentRow(0);
        connect(list, &QListWidget::currentRowChanged, this, &CFormChooserDlg::OnSelectionChanged);
        connect(list, &QListWidget::itemActivated, this, &QDialog::accept);
        m_tabs->addTab(list, name);
        m_lists.push_back(list);
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, &CFormChooserDlg::OnSelectionChanged);
    row->addWidget(m_tabs, 1);
    m_picture = new QLabel(this);
    m_picture->setFixedSize(240, 300);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFrameShape(QFrame::Box);
    m_picture->setAccessibleName(QStringLiteral("フォームのプレビュー"));
    row->addWidget(m_picture);
    layout->addLayout(row, 1);
    m_history = new QCheckBox(QStringLiteral("履歴に残す(&R)"), this);
    m_history->setAccessibleName(QStringLiteral("履歴に残す"));
    m_history->setChecked(allowRecordHistory && recordHistoryDefault);
    m_history->setVisible(allowRecordHistory);
    m_history->setEnabled(allowRecordHistory);
    layout->addWidget(m_history);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("プレビュー"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("プレビュー"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    OnSelectionChanged();
    if (!m_lists.empty()) m_lists.front()->setFocus();
}

const CFormLayout* CFormChooserDlg::Current() const {
    int tab = m_tabs->currentIndex();
    if (tab < 0 || tab >= static_cast<int>(m_groups.size())) return nullptr;
    int row = m_lists[tab]->currentRow();
    if (row < 0 || row >= static_cast<int>(m_groups[tab].forms.size())) return nullptr;
    return m_groups[tab].forms[row];
}

void CFormChooserDlg::OnSelectionChanged() {
    const CFormLayout* form = Current();
    m_picturePath.clear();
    QPixmap picture;
    if (form) {
        m_picturePath = QString::fromStdString(
            PreviewPicturePath(m_installDir.toStdString(), form->number, form->second));
        picture.load(m_picturePath);
    }
    if (picture.isNull())
        m_picture->clear();
    else
        m_picture->setPixmap(picture.scaled(m_picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_picture->setAccessibleDescription(form ? QString::fromStdString(form->title) : QString());
}

bool CFormChooserDlg::SelectForm(int32_t layout) {
    for (size_t g = 0; g < m_groups.size(); ++g)
        for (size_t f = 0; f < m_groups[g].forms.size(); ++f)
            if (m_groups[g].forms[f]->number == layout) {
                m_tabs->setCurrentIndex(static_cast<int>(g));
                m_lists[g]->setCurrentRow(static_cast<int>(f));
                return true;
            }
    return false;
}

CFormChoice CFormChooserDlg::Choice() const {
    CFormChoice choice;
    if (const CFormLayout* form = Current()) {
        choice.layout = form->number;
        choice.second = form->second;
        choice.formType = form->formType;
    }
    choice.recordHistory = m_history->isEnabled() && m_history->isChecked();
    return choice;
}
