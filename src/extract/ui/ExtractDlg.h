// The extraction dialog "抽出" and its small dialogs: saving a condition
// under a name, renaming a saved one, and the columns of a customer result.
// The rules live in CExtractDlgLogic and CExColumnsModel; these windows show
// their state and forward every edit and button.
#pragma once

#include <QDialog>
#include <QLineEdit>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "extract/ExtractDlgLogic.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class CMilvaneDoc;

// The value box's editor: the input method follows the row's field, and in
// the reading fields committed text arrives as half-width katakana.
class CExValueEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    void SetImeMode(ExImeMode mode);

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool m_halfKana = false;
};

class CExtractDlg : public QDialog {
    Q_OBJECT
public:
    CExtractDlg(CMilvaneDoc& doc, int mode, int resultKind, QWidget* parent = nullptr);
    ~CExtractDlg() override;

    CExtractDlgLogic& Logic() { return *m_logic; }

    // Controls by row (0..2).
    QComboBox* FieldBox(int r) const { return m_rows[r].field; }
    QComboBox* ValueBox(int r) const { return m_rows[r].value; }
    QComboBox* ColourBox(int r) const { return m_rows[r].colour; }
    QComboBox* OperatorBox(int r) const { return m_rows[r].op; }
    QComboBox* ConnectorBox(int r) const { return r < 2 ? m_rows[r].connector : nullptr; }
    QRadioButton* CustomerChoice() const { return m_customers; }
    QRadioButton* RirekiChoice() const { return m_rireki; }
    QListWidget* SavedList() const { return m_saved; }
    QPushButton* Button(const QString& caption) const;

private slots:
    void OnRun();
    void OnSave();
    void OnRename();
    void OnDelete();
    void OnPreset();
    void OnColumns();

private:
    struct RowControls {
        QComboBox* field = nullptr;
        QComboBox* value = nullptr;
        CExValueEdit* valueEdit = nullptr;
        QComboBox* colour = nullptr;
        QComboBox* op = nullptr;
        QComboBox* connector = nullptr;
    };
    void BuildRow(int r, class QGridLayout* grid);
    // Shows the logic's state in every control.
    void Refresh();
    void RefreshRow(int r);
    void FillSavedList();

    std::unique_ptr<CExtractDlgLogic> m_logic;
    std::array<RowControls, 3> m_rows;
    QRadioButton* m_customers = nullptr;
    QRadioButton* m_rireki = nullptr;
    QListWidget* m_saved = nullptr;
    std::vector<QPushButton*> m_buttons;
    bool m_refreshing = false;
};

// "抽出条件の保存": a name for the condition, appended to the saved list.
class CExSaveDlg : public QDialog {
    Q_OBJECT
public:
    CExSaveDlg(const std::string& installDir, CExCondition& condition, QWidget* parent = nullptr);
    QLineEdit* NameEdit() const { return m_name; }
    bool SavedIt() const { return m_savedIt; }
    void accept() override;

private:
    std::string m_installDir;
    CExCondition& m_condition;
    QLineEdit* m_name;
    bool m_savedIt = false;
};

// "保存済み抽出条件の名前を変更".
class CExRenameDlg : public QDialog {
    Q_OBJECT
public:
    explicit CExRenameDlg(const std::string& name, QWidget* parent = nullptr);
    QLineEdit* NameEdit() const { return m_name; }
    std::string Name() const;
    void accept() override;

private:
    QLineEdit* m_name;
};

// "表示設定－顧客抽出".
class CExColumnsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CExColumnsDlg(const std::string& installDir, QWidget* parent = nullptr);
    bool Open(const std::vector<std::string>& given);
    QListWidget* ShownList() const { return m_shown; }
    QListWidget* AvailableList() const { return m_available; }
    QPushButton* Button(const QString& caption) const;
    const std::vector<std::string>& Result() const { return m_result; }
    void accept() override;

private:
    void FillShown(int select);
    void FillAvailable();

    CExColumnsModel m_model;
    QListWidget* m_shown;
    QListWidget* m_available;
    std::vector<QPushButton*> m_buttons;
    std::vector<std::string> m_result;
};

// Opens the extraction dialog. 0 cancelled; 1 a customer extraction was run
// (or, in the pre-extraction mode, the condition stored); 2 a history extraction.
int RunExtractDialog(QWidget* parent, CMilvaneDoc& doc, int mode, int resultKind = 0);
// The save dialog for a condition (the document's current extraction): true
// when it was saved.
bool RunSaveExtractionDialog(QWidget* parent, const std::string& installDir, CExCondition* condition);
