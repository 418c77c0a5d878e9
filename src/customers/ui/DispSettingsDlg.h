// The list display settings dialog "顧客一覧の表示設定" (displayed columns of
// the customer list and the default sort order) and the free item names
// dialog "顧客情報のフリー項目設定". The rules live in CDispSettingsModel and
// CFreeItemNamesModel; these windows show their lists and forward buttons.
#pragma once

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class CDispSettingsModel;
class CFreeItemNamesModel;

class CDispSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDispSettingsDlg(const std::string& installDir, QWidget* parent = nullptr);
    ~CDispSettingsDlg() override;

    // Loads the settings and fills the window; false when it must close at once.
    bool Open();

    QListWidget* DisplayedList() const { return m_displayed; }   // "表示列"
    QListWidget* AvailableList() const { return m_available; }   // "表示可能な列"
    QComboBox* SortField() const { return m_sortField; }
    QRadioButton* Ascending() const { return m_ascending; }
    QRadioButton* Descending() const { return m_descending; }
    QPushButton* Button(const QString& caption) const;
    CDispSettingsModel& Model() { return *m_model; }

    void accept() override;

private slots:
    void OnShow();
    void OnHide();
    void OnUp();
    void OnDown();

private:
    void FillDisplayed(int select);
    void FillAvailable();

    std::unique_ptr<CDispSettingsModel> m_model;
    QListWidget* m_displayed;
    QListWidget* m_available;
    QComboBox* m_sortField;
    QButtonGroup* m_direction;
    QRadioButton* m_ascending;
    QRadioButton* m_descending;
    std::vector<QPushButton*> m_buttons;
};

class CFreeItemDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFreeItemDlg(const std::string& installDir, QWidget* parent = nullptr);
    ~CFreeItemDlg() override;

    // Loads the column definitions; false when the dialog must close at once.
    bool Open();

    QListWidget* ItemList() const { return m_items; }  // "変更可能な項目名"
    QLineEdit* NewName() const { return m_newName; }   // "新しい項目名"
    QPushButton* Button(const QString& caption) const;
    CFreeItemNamesModel& Model() { return *m_model; }

    void accept() override;

private slots:
    void OnSelect();
    void OnChange();
    void OnReset();

private:
    void Fill();

    std::unique_ptr<CFreeItemNamesModel> m_model;
    QListWidget* m_items;
    QLineEdit* m_newName;
    std::vector<QPushButton*> m_buttons;
};

// Menu command "顧客一覧の表示項目設定..." (and the customer screen's): true
// when the dialog closed with OK, so that the caller rebuilds its columns.
bool RunDispSettingsDialog(QWidget* parent, const std::string& installDir);
// Menu command "顧客情報フリー項目の設定...": true when closed with OK.
bool RunFreeItemDialog(QWidget* parent, const std::string& installDir);
