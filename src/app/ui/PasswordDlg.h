// The dialogs of the start-up password: asking for it (masked), and setting,
// changing or removing it.
#pragma once

#include <QDialog>

#include "app/PassCheck.h"

class QLabel;
class QLineEdit;
class QPushButton;

class CPasswordDlg : public QDialog {
    Q_OBJECT
public:
    CPasswordDlg(const QString& prompt, int attempt, QWidget* parent = nullptr);
    QString Password() const;
    QLineEdit* Edit() const { return m_edit; }

private:
    QLineEdit* m_edit;
};

class CNewPasswordDlg : public QDialog {
    Q_OBJECT
public:
    CNewPasswordDlg(bool passwordIsSet, QWidget* parent = nullptr);
    QString Password() const;
    QString Confirmation() const;
    QLineEdit* Edit() const { return m_edit; }
    QLineEdit* ConfirmEdit() const { return m_confirm; }
    QPushButton* OkButton() const { return m_ok; }

private:
    QLineEdit* m_edit;
    QLineEdit* m_confirm;
    QPushButton* m_ok;
};

// IPasswordPort with the two dialogs above, parented to the active window.
class CQtPasswordPort final : public IPasswordPort {
public:
    explicit CQtPasswordPort(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<std::string> AskPassword(const std::string& prompt, int attempt) override;
    std::optional<std::pair<std::string, std::string>> AskNewPassword(bool passwordIsSet) override;

private:
    QWidget* Parent() const;
    QWidget* m_parent;
};
