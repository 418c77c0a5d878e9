// The subject dialog "メーラーを起動": the subject, the check "履歴に登録する"
// and the buttons "メーラー起動" and "ｷｬﾝｾﾙ".
#pragma once

#include <QDialog>
#include <optional>

#include "dm/MailFlows.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class CMailSubjectDlg final : public QDialog {
    Q_OBJECT
public:
    CMailSubjectDlg(const CMailSubjectRequest& request, QWidget* parent = nullptr);

    QLineEdit* SubjectEdit() const { return m_subject; }
    QCheckBox* HistoryCheck() const { return m_history; }
    QPushButton* StartButton() const { return m_start; }
    CMailSubject Result() const;

    void accept() override;

private:
    QLineEdit* m_subject;
    QCheckBox* m_history;
    QPushButton* m_start;
};

// The dialog as a MailSubjectRunner over parent.
MailSubjectRunner MailSubjectDialogRunner(QWidget* parent);
