#include "app/ui/FindDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/ui/SjisFieldBinding.h"

CFindDlg::CFindDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("検索");
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* label = new QLabel("検索する文字列(&N):", this);
    m_text = new QLineEdit(this);
    m_text->setAccessibleName("検索する文字列");
    BindSjisField(m_text, 0);
    m_text->setMinimumWidth(220);
    label->setBuddy(m_text);

    auto* direction = new QGroupBox("方向", this);
    m_up = new QRadioButton("上へ(&U)", direction);
    m_down = new QRadioButton("下へ(&D)", direction);
    m_up->setAccessibleName("上へ");
    m_down->setAccessibleName("下へ");
    m_down->setChecked(true);
    auto* dirLayout = new QHBoxLayout(direction);
    dirLayout->addWidget(m_up);
    dirLayout->addWidget(m_down);

    m_findNext = new QPushButton("次を検索(&F)", this);
    m_findNext->setAccessibleName("次を検索");
    m_findNext->setDefault(true);
    m_cancel = new QPushButton("キャンセル", this);
    m_cancel->setAccessibleName("キャンセル");

    auto* grid = new QGridLayout;
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_text, 0, 1);
    grid->addWidget(direction, 1, 1, Qt::AlignRight);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addLayout(grid, 1);
    top->addLayout(buttons);

    connect(m_text, &QLineEdit::textChanged, this, &CFindDlg::UpdateButtons);
    connect(m_findNext, &QPushButton::clicked, this, [this] {
        if (!m_text->text().isEmpty()) emit findNext(Request());
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    UpdateButtons();
}

CFindRequest CFindDlg::Request() const { return {m_text->text(), m_down->isChecked()}; }

void CFindDlg::SetText(const QString& text) { m_text->setText(text); }

void CFindDlg::SetDown(bool down) { (down ? m_down : m_up)->setChecked(true); }

void CFindDlg::UpdateButtons() { m_findNext->setEnabled(!m_text->text().isEmpty()); }
