#include "customers/ui/BulkChangeDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/ui/SjisFieldBinding.h"

CBulkChangeDlg::CBulkChangeDlg(const EntryLabelFn& labels, QWidget* parent, const ChoiceComboFactory& choices)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("顧客の一括修正"));
    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    top->addLayout(grid);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < kBulkChangeFieldCount; ++i) {
        std::string label = labels ? labels(BulkChangeField(i)) : std::string();
        if (label.empty()) label = BulkChangeDefaultLabel(i);
        m_radios[i] = new QRadioButton(QString::fromStdString(label), this);
        m_radios[i]->setObjectName(QStringLiteral("ctl%1").arg(1191 + i));
        group->addButton(m_radios[i], i);
        if (i == 0) {
            m_values[i] = new CColorMarkCombo(this);
            m_values[i]->setCurrentIndex(-1);
        } else {
            QComboBox* c = choices ? choices(ChoiceListOfControl(1105 + i), true, this) : nullptr;
            if (!c) {
                c = new QComboBox(this);
                c->setEditable(true);
                c->setInsertPolicy(QComboBox::NoInsert);
            }
            BindSjisField(c, kRankLimit);
            // Each list starts on its first entry.
            c->setCurrentIndex(c->count() > 0 ? 0 : -1);
            m_values[i] = c;
        }
        m_values[i]->setObjectName(QStringLiteral("ctl%1").arg(1105 + i));
        m_values[i]->setAccessibleName(QString::fromStdString(label) + QString::fromUtf8("の値"));
        grid->addWidget(m_radios[i], i, 0);
        grid->addWidget(m_values[i], i, 1);
    }
    grid->setColumnStretch(1, 1);
    m_radios[0]->setChecked(true);
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool) { UpdateEnabling(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QString::fromUtf8("キャンセル"), this);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CBulkChangeDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    UpdateEnabling();
    setMinimumWidth(360);
}

int CBulkChangeDlg::ChosenButton() const {
    for (int i = 0; i < kBulkChangeFieldCount; ++i)
        if (m_radios[i]->isChecked()) return i;
    return 0;
}

void CBulkChangeDlg::UpdateEnabling() {
    const int chosen = ChosenButton();
    for (int i = 0; i < kBulkChangeFieldCount; ++i) m_values[i]->setEnabled(i == chosen);
}

void CBulkChangeDlg::OnOk() {
    const int b = ChosenButton();
    const std::string text = m_values[b]->currentText().toStdString();
    const int colour = b == 0 ? m_values[0]->currentIndex() : -1;
    switch (CheckBulkChangeOk(b, m_radios[b]->text().toStdString(), text, colour)) {
    case BulkOkResult::Accept:
        m_choice = MakeBulkChangeChoice(b, text, colour);
        accept();
        break;
    case BulkOkResult::FocusValue: m_values[b]->setFocus(Qt::OtherFocusReason); break;
    case BulkOkResult::Stay: break;
    }
}

std::optional<BulkChangeChoice> RunBulkChangeDialog(QWidget* parent, const EntryLabelFn& labels,
                                                    const ChoiceComboFactory& choices) {
    CBulkChangeDlg dlg(labels, parent, choices);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Choice();
}
