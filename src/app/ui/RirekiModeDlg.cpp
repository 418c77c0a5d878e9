#include "app/ui/RirekiModeDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CRirekiModeDlg::CRirekiModeDlg(bool extractAvailable, QWidget* parent) : QDialog(parent) {
    setWindowTitle("履歴一覧表示方法");
    m_extract = new QRadioButton("抽出して表示する", this);
    m_all = new QRadioButton("すべて表示する", this);
    m_extract->setAccessibleName("抽出して表示する");
    m_all->setAccessibleName("すべて表示する");
    auto* note = new QLabel("※すべて表示する場合は表示に時間がかかることがあります。", this);
    note->setWordWrap(true);

    m_extract->setEnabled(extractAvailable);
    (extractAvailable ? m_extract : m_all)->setChecked(true);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setText("OK");
    box->button(QDialogButtonBox::Cancel)->setText("キャンセル");
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 12);
    layout->addWidget(m_extract);
    layout->addWidget(m_all);
    layout->addSpacing(4);
    layout->addWidget(note);
    layout->addSpacing(8);
    layout->addWidget(box);
}

CRirekiModeDlg::Choice CRirekiModeDlg::Selected() const { return m_all->isChecked() ? ShowAll : Extract; }
