// The dialogs of the data-folder commands: the data location (228), the
// history purge (223) and the optimisation (224). Each holds its core logic
// class; OK runs the logic's checks and closes only when they pass.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "maintenance/DataLocation.h"
#include "maintenance/HistoryPurge.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

class CDataLocationDlg : public QDialog {
    Q_OBJECT
public:
    CDataLocationDlg(const std::string& currentDataDir, QWidget* parent = nullptr);
    DataLocationRequest Result() const { return m_logic.Result(); }
    QLineEdit* FolderEdit() const { return m_folder; }
    QButtonGroup* Choices() const { return m_choices; }
    QPushButton* OkButton() const { return m_ok; }
    void accept() override;

private:
    CDataLocationDlgLogic m_logic;
    QButtonGroup* m_choices = nullptr;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_ok = nullptr;
};

class CRirekiPurgeDlg : public QDialog {
    Q_OBJECT
public:
    CRirekiPurgeDlg(const std::tm& today, QWidget* parent = nullptr);
    RirekiPurgeRequest Result() const { return m_logic.Result(); }
    QLineEdit* FolderEdit() const { return m_edits[0]; }
    QLineEdit* DateEdit(int part) const { return m_edits[1 + part]; }  // 0 year, 1 month, 2 day
    QPushButton* OkButton() const { return m_ok; }
    void accept() override;

private:
    CRirekiPurgeDlgLogic m_logic;
    QLineEdit* m_edits[4] = {};
    QPushButton* m_ok = nullptr;
};

class COptimiseDlg : public QDialog {
    Q_OBJECT
public:
    COptimiseDlg(const std::tm& today, QWidget* parent = nullptr);
    std::string FileName() const { return m_logic.name; }
    QLineEdit* NameEdit() const { return m_name; }
    QPushButton* OkButton() const { return m_ok; }
    void accept() override;

private:
    COptimiseDlgLogic m_logic;
    QLineEdit* m_name = nullptr;
    QPushButton* m_ok = nullptr;
};
