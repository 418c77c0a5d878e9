#include "dm/ui/MailSubjectDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/ui/SjisFieldBinding.h"
#include "dm/MailSend.h"

CMailSubjectDlg::CMailSubjectDlg(const CMailSubjectRequest& request, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("メーラーを起動"));
    auto* label = new QLabel(QString::fromUtf8("件名："), this);
    m_subject = new QLineEdit(this);
    m_subject->setAccessibleName(QString::fromUtf8("件名"));
    BindSjisField(m_subject, static_cast<int>(kMaxMailSubjectBytes));
    m_subject->setMinimumWidth(320);
    label->setBuddy(m_subject);
    m_history = new QCheckBox(QString::fromUtf8("履歴に登録する"), this);
    m_history->setAccessibleName(QString::fromUtf8("履歴に登録する"));
    m_history->setChecked(request.registerHistory);
    m_history->setEnabled(request.canChange);
    m_start = new QPushButton(QString::fromUtf8("メーラー起動"), this);
    m_start->setAccessibleName(QString::fromUtf8("メーラー起動"));
    m_start->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    cancel->setAccessibleName(QString::fromUtf8("ｷｬﾝｾﾙ"));
    cancel->setAutoDefault(false);
    connect(m_start, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_subject, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_history);
    layout->addLayout(buttons);
    setTabOrder(m_subject, m_history);
    setTabOrder(m_history, m_start);
    setTabOrder(m_start, cancel);
    m_subject->setFocus();
}

CMailSubject CMailSubjectDlg::Result() const {
    return {m_subject->text().toStdString(), m_history->isChecked()};
}

void CMailSubjectDlg::accept() {
    if (!CheckMailSubject(m_subject->text().toStdString())) {
        m_subject->setFocus();
        m_subject->selectAll();
        return;
    }
    QDialog::accept();
}

MailSubjectRunner MailSubjectDialogRunner(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner](const CMailSubjectRequest& request) -> std::optional<CMailSubject> {
        CMailSubjectDlg dlg(request, owner.data());
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Result();
    };
}
