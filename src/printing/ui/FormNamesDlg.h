// Dialogs "ｵﾘｼﾞﾅﾙﾌｫｰﾑ名の変更と削除" and "オリジナルフォーム名の変更".
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "printing/FormNames.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class CMilvaneView;

class CFormNameDlg : public QDialog {
    Q_OBJECT
public:
    CFormNameDlg(const QString& name, QWidget* parent = nullptr);
    QString Name() const;
    void accept() override;
    QLineEdit* Edit() const { return m_edit; }

private:
    QLineEdit* m_edit = nullptr;
};

class CFormNamesDlg : public QDialog {
    Q_OBJECT
public:
    CFormNamesDlg(const std::string& installDir, std::vector<CUserFormEntry>& forms, std::function<void()> changed,
                  QWidget* parent = nullptr);
    int exec() override;
    QListWidget* List() const { return m_list; }
    QPushButton* RenameButton() const { return m_rename; }
    QPushButton* DeleteButton() const { return m_delete; }
    // The name dialog; tests replace it.
    std::function<bool(std::string&)> askName;

    void OnRename();
    void OnDelete();

private:
    std::vector<int> Selected() const;
    void UpdateButtons();

    CFormNamesLogic m_logic;
    std::vector<CUserFormEntry>& m_forms;
    QListWidget* m_list = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_delete = nullptr;
};

// ID_FORM_NAMES on the menu screen.
void RunFormNamesDialog(CMilvaneView& view);
